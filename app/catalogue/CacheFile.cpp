#include "CacheFile.h"

#include "ScanSupport.h"
#include "hpSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryFile>

#include <cstdio>

#include <qplatformdefs.h>

namespace {

// Only files belong at a cache's own names. A folder there (an icon folder an
// earlier version made for a bundle named like the cache), a FIFO or a link
// would stall QSettings or QLockFile, or keep the cache from ever being
// written. The icon folder is ours alone, so whatever sits there goes; a link
// is removed as a link.
void removeNonFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    QT_STATBUF st;
    if (QT_LSTAT(native.constData(), &st) != 0 || S_ISREG(st.st_mode))
        return;
    if (S_ISDIR(st.st_mode))
        QDir(path).removeRecursively();
    else
        ::unlink(native.constData());
}

void removeNonFiles(const QString &cache)
{
    // QLockFile uses "<file>.lock", and "<file>.lock.rmlock" to clear a stale one.
    for (const QString &path : {cache, cache + QStringLiteral(".lock"), cache + QStringLiteral(".lock.rmlock")})
        removeNonFile(path);
}

} // namespace

CacheFile::CacheFile(const QString &path)
    : mPath(path)
{
    // Nothing this pass does puts a non-file there again: icon folders keep
    // clear of the caches' names.
    removeNonFiles(mPath);
    read();
}

CacheFile::~CacheFile() = default;

bool CacheFile::Identity::operator==(const Identity &o) const
{
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size && modified == o.modified
           && changed == o.changed;
}

// Every save renames a new file into place, ours and QSettings' alike, so the
// inode tells saves apart; size and times catch a writer that rewrites in place.
CacheFile::Identity CacheFile::identityOf(const QString &path)
{
    Identity id;
    QT_STATBUF st;
    if (QT_STAT(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.exists = true;
    id.device = qint64(st.st_dev);
    id.inode = qint64(st.st_ino);
    id.size = qint64(st.st_size);
    id.modified = qint64(st.st_mtime);
    id.changed = qint64(st.st_ctime);
    return id;
}

void CacheFile::read()
{
    // Taken first: a change made while the file is read shows at the next save.
    mIdentity = identityOf(mPath);
    mRead.reset(new QSettings(scan::plistFile(mPath), hpSettingsFormat()));
}

QVariant CacheFile::value(const QString &key) const
{
    const auto set = mSet.constFind(key);
    return set != mSet.constEnd() ? set.value() : mRead->value(key);
}

void CacheFile::setValue(const QString &key, const QVariant &value)
{
    mSet.insert(key, value);
    mDirty = true;
}

bool CacheFile::save(int lockWaitMs)
{
    if (!mDirty)
        return true;
    if (!QDir().mkpath(QFileInfo(mPath).absolutePath()))
        return false;
    QLockFile lock(mPath + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMs))
        return false;
    // Saved every half second, the whole file is parsed again only when
    // another process saved it meanwhile; what it saved stays.
    if (identityOf(mPath) != mIdentity)
        read();

    // The copy's name starts with the cache's, which no icon folder may.
    QTemporaryFile copy(mPath + QStringLiteral(".XXXXXX"));
    if (!copy.open())
        return false;
    copy.close();
    {
        // This pass's entries win.
        QSettings out(copy.fileName(), hpSettingsFormat());
        for (const QString &key : mRead->allKeys())
            out.setValue(key, mRead->value(key));
        for (auto it = mSet.constBegin(); it != mSet.constEnd(); ++it)
            out.setValue(it.key(), it.value());
        out.sync();
        if (out.status() != QSettings::NoError)
            return false;
    }
    if (std::rename(QFile::encodeName(copy.fileName()).constData(), QFile::encodeName(mPath).constData()) != 0)
        return false;
    copy.setAutoRemove(false);
    // The file is now what was read plus what was set, which every save sets again.
    mIdentity = identityOf(mPath);
    mDirty = false;
    return true;
}
