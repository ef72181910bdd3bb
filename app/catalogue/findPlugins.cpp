#include "AppScanner.h"

#include "AppInfo.h"
#include "ScanSupport.h"
#include "hpSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char kGenericPluginIcon[] = "/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/KEXT.icns";

} // namespace

void scan::readPlugin(AppInfo *info, const QFileInfo &bundle, const QString &folder, const QStringList &caches)
{
    const QString path = bundle.absoluteFilePath();
    const QSettings plist(scan::plistFile(path + QStringLiteral("/Contents/Info.plist")), hpSettingsFormat());
    scan::readCommonKeys(info, bundle, plist, "CFBundleName", 2);
    info->lastOpenTime = scan::executableReadText(path, plist);
    info->iconDir = scan::iconDirFor(path.mid(folder.length()), caches);

    if (QFileInfo(info->iconDir).isDir())
        return;
    scan::convertIcon(info->iconDir, scan::bundleIconSource(path, plist, kGenericPluginIcon));
}

namespace {

bool isPlugin(const QString &path)
{
    return path.endsWith(QLatin1String(".plugin")) || path.endsWith(QLatin1String(".webplugin"))
           || path.endsWith(QLatin1String(".prefPane"));
}

} // namespace

void findPlugins(const QString &folder)
{
    const QStringList caches = scan::cacheFileNames();
    for (const QFileInfo &entry : scan::listFolder(folder)) {
        if (!isPlugin(entry.absoluteFilePath()))
            continue;
        auto *info = new AppInfo;
        scan::readPlugin(info, entry, folder, caches);
        scan::publish(info);
    }
}
