#include "ScanSupport.h"

#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "hpSettings.h"
#include "hpUtils.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <qplatformdefs.h>

namespace scan {

QString scannedFolder(const QString &folder)
{
    QString clean = QDir(folder).absolutePath();
    if (!clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

QFileInfoList listFolder(const QString &folder)
{
    return QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

QString plistFile(const QString &path)
{
    return hpIsRegularFile(path) ? path : QString();
}

namespace {

bool statFollowing(const QString &path, QT_STATBUF *st)
{
    const QByteArray native = QFile::encodeName(path);
    return !native.isEmpty() && QT_STAT(native.constData(), st) == 0;
}

// Local time as "dd/MM/yyyy HH:mm:ss". Qt's conversions re-read the time zone
// file for every date on Linux, which was a quarter of a warm scan; the C
// library loads it once.
QString timeText(time_t secs)
{
    struct tm local;
    if (!localtime_r(&secs, &local))
        return QString();
    char text[64];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text);
}

enum class FileTime { Modified, Read };

// Links are followed, as QFileInfo does; empty when there is no such file.
// A last-read time is that of a file the bundle runs or shows, so only a
// regular file has one.
QString fileTimeText(const QString &path, FileTime which)
{
    QT_STATBUF st;
    if (!statFollowing(path, &st) || (which == FileTime::Read && !S_ISREG(st.st_mode)))
        return QString();
    return timeText(which == FileTime::Modified ? st.st_mtime : st.st_atime);
}

} // namespace

QString lastReadText(const QString &file)
{
    return fileTimeText(file, FileTime::Read);
}

namespace {

QString stringValue(const QSettings &plist, const char *key)
{
    return plist.value(QLatin1String(key)).toString();
}

} // namespace

void readCommonKeys(AppInfo *info, const QFileInfo &bundle, const QSettings &plist, const char *nameKey, int kind)
{
    info->kind = kind;
    info->name = stringValue(plist, nameKey);
    if (info->name.isEmpty())
        info->name = bundle.fileName();
    info->path = bundle.absoluteFilePath();
    info->size = 0;
    info->reserved = 0;
    info->reservedFlag = false;
    info->sizeState = 0;
    info->version = stringValue(plist, "CFBundleShortVersionString");
    info->notice = stringValue(plist, "NSHumanReadableCopyright");
    info->bundleId = stringValue(plist, "CFBundleIdentifier");
    info->modifyTime = fileTimeText(info->path, FileTime::Modified);
}

QString executableReadText(const QString &bundlePath, const QSettings &plist)
{
    // An empty key would otherwise name the MacOS folder itself.
    const QString executable = stringValue(plist, "CFBundleExecutable");
    return executable.isEmpty() ? QString() : lastReadText(bundlePath + QStringLiteral("/Contents/MacOS/") + executable);
}

QString bundleIconSource(const QString &bundlePath, const QSettings &plist, const char *fallback)
{
    QString source = bundlePath + QStringLiteral("/Contents/Resources/") + stringValue(plist, "CFBundleIconFile");
    if (!source.endsWith(QLatin1String(".icns")))
        source += QStringLiteral(".icns");
    return hpIsRegularFile(source) ? source : QString::fromLatin1(fallback);
}

QStringList cacheFileNames()
{
    QStringList names;
    for (const char *cache : {envSizeList, envTimeList}) {
        const QString name = QFileInfo(QString::fromUtf8(cache)).fileName();
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

QString iconDirFor(const QString &relativePath, const QStringList &cacheNames)
{
    // The caches, their lock files ("<file>.lock", "<file>.lock.rmlock") and
    // their temporary copies all share the icon folder, and an icon folder
    // made at one of those names stalls or breaks the size pass. So a bundle
    // whose first component starts like a cache's file name (compared as the
    // Mac's default file system compares names) gets a "_" before it; so does
    // one that starts with "_" already, or "_sizeList.plist" and
    // "sizeList.plist" would share a folder.
    const QStringRef first = relativePath.leftRef(relativePath.indexOf(QLatin1Char('/')));
    bool prefixed = first.startsWith(QLatin1Char('_'));
    for (const QString &name : cacheNames)
        prefixed = prefixed || first.startsWith(name, Qt::CaseInsensitive);
    return QString::fromUtf8(envIconPath) + (prefixed ? QLatin1Char('_') + relativePath : relativePath);
}

namespace {

int runShell(const QString &command)
{
    // The bytes the file system gave us for these names, so any name the
    // listing produced can be named back to the tools.
    return std::system(QFile::encodeName(command).constData());
}

} // namespace

void convertIcon(const QString &iconDir, const QString &source)
{
    QString quotedSource = source;
    hpConvPath(quotedSource);
    QString quotedDir = iconDir;
    runShell(QStringLiteral("mkdir -p ") + hpConvPath(quotedDir));
    QString target = iconDir + QStringLiteral("/icon_32x32.png");
    const QString command = QStringLiteral("sips -s format png ") + quotedSource + QStringLiteral(" --out ")
                            + hpConvPath(target);
    const int ret = runShell(command);
    qDebug("%s {ret:%d}", QFile::encodeName(command).constData(), ret);
}

void publish(AppInfo *info)
{
    AppCenter::Inst()->append(QList<AppInfo *>{info});
}

} // namespace scan
