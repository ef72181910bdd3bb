#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// An item's related files as a removal offers them: the bundle, then each
// Library folder's matches by category, each with where its check box starts.
// Free of widgets, so that the removal page and the command line list, tick
// and remove the same set.
class RelatedFiles
{
public:
    struct Entry {
        QString name; // as the folder lists it
        QString path;
        qint64 kib = 0;
        bool ticked = false;
    };
    struct Category {
        QString label; // a folder's own name, shown as it is in every language
        QVector<Entry> entries;
        qint64 kib() const;
    };

    // Where the search looks, under which category, and whether it looks for
    // the bundle identifier or the bundle's name.
    struct Search {
        const char *label;
        QString folder; // ends with '/'
        bool byBundleId = true;
    };
    static QVector<Search> searches(const QString &home);

    // The first category is the bundle itself. Other items' claims decide the
    // ticks, so the catalogue must be complete when this is asked. The
    // identifier the searches were keyed on goes to usedBundleId.
    static QVector<Category> search(const QString &appPath, QString *usedBundleId = nullptr);

    // What a removal with the ticks as they start takes, in listing order.
    static QStringList tickedPaths(const QVector<Category> &categories);
    // The user deletes what lies under /Users; the helper service the rest.
    static void splitByOwner(const QStringList &paths, QStringList &rootFiles, QStringList &userFiles);
};
