#pragma once

#include <QMap>
#include <QScopedPointer>
#include <QString>
#include <QVariant>

class QSettings;

// One size cache: a property list keyed by bundle path, read once and saved
// in between by the size pass. QSettings would take the file's lock without a
// time limit whenever it writes, from its destructor too, so nothing is ever
// set on a QSettings of the cache itself: a save writes a private copy and
// renames it over the cache while holding the same lock QSettings uses, for at
// most a bounded wait.
class CacheFile
{
public:
    explicit CacheFile(const QString &path);
    ~CacheFile();

    QVariant value(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    // Merges what was set into the file as it is on disk now. False when the
    // lock stayed taken for lockWaitMs or the file could not be written; what
    // was set is kept for the next save.
    bool save(int lockWaitMs);

private:
    // What tells one version of the file from another without reading it.
    struct Identity {
        bool exists = false;
        qint64 device = 0, inode = 0, size = 0, modified = 0, changed = 0;
        bool operator==(const Identity &o) const;
        bool operator!=(const Identity &o) const { return !(*this == o); }
    };
    static Identity identityOf(const QString &path);
    void read();

    QString mPath;
    QScopedPointer<QSettings> mRead; // the file as last read
    Identity mIdentity;              // and the version last read or saved
    QMap<QString, QVariant> mSet;
    bool mDirty = false;
};
