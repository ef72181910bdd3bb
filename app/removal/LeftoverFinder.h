#pragma once

#include "RelatedFiles.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// What applications deleted long ago left behind: entries of the Library
// folders the related-file searches read, named in a reverse-DNS namespace
// whose maker has nothing installed. Conservative on purpose: an entry any
// installed bundle might own is never one.
class LeftoverFinder
{
public:
    struct Entry {
        QString label; // the search's category, as the removal page shows it
        QString name;
        QString path;
        qint64 kib = 0;
    };
    // The entries of one identifier (the common reverse-DNS stem of their names).
    struct Group {
        QString identifier;
        QVector<Entry> entries;
        qint64 kib() const;
    };
    struct Folder {
        QString label;
        QString path; // ends with '/'
    };

    // claims: the identifiers installed bundles name, the bundles inside them
    // included (bundleClaims).
    LeftoverFinder(const QStringList &claims, const QString &home);

    // The folders the related-file searches read, each once, in their order.
    static QVector<Folder> folders(const QString &home);
    // A group as the removal page lists an item's files: by category, unticked.
    static QVector<RelatedFiles::Category> categories(const Group &group);

    // Adds one folder's leftovers; true when a group gained an entry.
    bool scan(const Folder &folder);
    // The groups found so far, by identifier.
    QVector<Group> groups() const;

    // "com.tideware.Tide.plist" -> "com.tideware.Tide"; empty for a name that
    // is no reverse-DNS name of at least three parts.
    static QString identifierOf(const QString &name);
    // Every CFBundleIdentifier the bundle and the bundles within it name.
    static QStringList bundleClaims(const QString &bundlePath);
    // Whether an installed item or Apple may own entries named for the identifier.
    bool claimed(const QString &identifier) const;

private:
    QString mHome;
    // Makers ("com.tideware", case-folded) with something installed.
    QSet<QString> mMakers;
    QVector<Group> mGroups;
    // Groups by their first three parts, case-folded.
    QHash<QString, int> mGroupIndex;
};
