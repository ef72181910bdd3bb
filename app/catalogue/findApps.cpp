#include "AppScanner.h"

#include "AppInfo.h"
#include "ScanSupport.h"
#include "hpSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const char kGenericAppIcon[] =
    "/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/GenericApplicationIcon.icns";

} // namespace

void scan::readApp(AppInfo *info, const QFileInfo &bundle, const QString &folder, const QStringList &caches)
{
    const QString path = bundle.absoluteFilePath();
    const QSettings plist(scan::plistFile(path + QStringLiteral("/Contents/Info.plist")), hpSettingsFormat());
    scan::readCommonKeys(info, bundle, plist, "CrAppModeShortcutName", 0);
    info->lastOpenTime = scan::executableReadText(path, plist);

    QString relative = path.mid(folder.length());
    if (relative.endsWith(QLatin1String(".app")))
        relative.chop(4);
    const QString iconDir = scan::iconDirFor(relative, caches);
    info->iconDir = iconDir;

    // The folder, not the PNG in it, marks a bundle as converted.
    if (QFileInfo(iconDir).isDir())
        return;
    scan::convertIcon(iconDir, scan::bundleIconSource(path, plist, kGenericAppIcon));
}

namespace {

bool isApp(const QFileInfo &entry)
{
    return entry.absoluteFilePath().endsWith(QLatin1String(".app"));
}

} // namespace

void findApps(const QString &folder)
{
    const QStringList caches = scan::cacheFileNames();
    for (const QFileInfo &entry : scan::listFolder(folder)) {
        if (isApp(entry)) {
            auto *info = new AppInfo;
            scan::readApp(info, entry, folder, caches);
            scan::publish(info);
            continue;
        }
        // One level of sub-folders (such as Utilities) holds bundles too.
        for (const QFileInfo &inner : scan::listFolder(entry.absoluteFilePath())) {
            if (!isApp(inner))
                continue;
            auto *info = new AppInfo;
            scan::readApp(info, inner, folder, caches);
            scan::publish(info);
        }
    }
}
