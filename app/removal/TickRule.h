#pragma once

#include <QString>
#include <QStringList>

// Where the removal page's check boxes start. The related-file search lists
// whatever begins with a key; only what is plainly the item's own starts
// ticked, so that a removal with the page's defaults never takes another
// item's, another maker's or the system's files. The user's ticks decide.
class TickRule
{
public:
    // The base names and bundle identifiers of every other catalogued item.
    explicit TickRule(const QStringList &otherKeys = QStringList());

    // name: an entry the search found by key; keyIsBundleId: whether key is
    // the item's bundle identifier (else its base name).
    bool ticked(const QString &name, const QString &key, bool keyIsBundleId) const;

    // Names compared the way the Mac's default file system compares them.
    static QString folded(const QString &s);

private:
    QStringList mOtherKeys; // folded
};
