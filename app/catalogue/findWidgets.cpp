#include "AppScanner.h"

#include "AppInfo.h"
#include "ScanSupport.h"
#include "hpSettings.h"
#include "hpUtils.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char kGenericWidgetIcon[] =
    "/System/Library/CoreServices/Dock.app/Contents/Resources/DashboardClient.app/Contents/Resources/widget.icns";

} // namespace

void scan::readWidget(AppInfo *info, const QFileInfo &bundle, const QString &folder, const QStringList &caches)
{
    const QString path = bundle.absoluteFilePath();
    {
        const QSettings plist(scan::plistFile(path + QStringLiteral("/Info.plist")), hpSettingsFormat());
        scan::readCommonKeys(info, bundle, plist, "CFBundleDisplayName", 1);
        const QString mainPage = plist.value(QStringLiteral("MainHTML")).toString();
        if (!mainPage.isEmpty())
            info->lastOpenTime = scan::lastReadText(path + QLatin1Char('/') + mainPage);
        info->iconDir = scan::iconDirFor(path.mid(folder.length()), caches);
    }
    // Unlike the other kinds, a widget is converted until its PNG exists.
    if (!QFileInfo::exists(info->iconDir + QStringLiteral("/icon_32x32.png"))) {
        QString source = path + QStringLiteral("/Icon.icns");
        if (!hpIsRegularFile(source))
            source = QLatin1String(kGenericWidgetIcon);
        scan::convertIcon(info->iconDir, source);
    }
}

void findWidgets(const QString &folder)
{
    const QStringList caches = scan::cacheFileNames();
    for (const QFileInfo &entry : scan::listFolder(folder)) {
        const QString path = entry.absoluteFilePath();
        if (!path.endsWith(QLatin1String(".wdgt")))
            continue;
        auto *info = new AppInfo;
        scan::readWidget(info, entry, folder, caches);
        scan::publish(info);
    }
}
