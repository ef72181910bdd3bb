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
    mRead.reset(new QSettings(scan::plistFile(mPath), hpSettingsFormat()));
}

CacheFile::~CacheFile() = default;

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
    removeNonFiles(mPath);
    if (!QDir().mkpath(QFileInfo(mPath).absolutePath()))
        return false;
    QLockFile lock(mPath + QStringLiteral(".lock"));
    if (!lock.tryLock(lockWaitMs))
        return false;

    // The copy's name starts with the cache's, which no icon folder may.
    QTemporaryFile copy(mPath + QStringLiteral(".XXXXXX"));
    if (!copy.open())
        return false;
    copy.close();
    {
        // What another process saved meanwhile stays; this pass's entries win.
        const QSettings current(scan::plistFile(mPath), hpSettingsFormat());
        QSettings out(copy.fileName(), hpSettingsFormat());
        for (const QString &key : current.allKeys())
            out.setValue(key, current.value(key));
        for (auto it = mSet.constBegin(); it != mSet.constEnd(); ++it)
            out.setValue(it.key(), it.value());
        out.sync();
        if (out.status() != QSettings::NoError)
            return false;
    }
    if (std::rename(QFile::encodeName(copy.fileName()).constData(), QFile::encodeName(mPath).constData()) != 0)
        return false;
    copy.setAutoRemove(false);
    mDirty = false;
    return true;
}
