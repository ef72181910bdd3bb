#include "AppScanner.h"

#include "AppEnv.h"
#include "AppInfo.h"
#include "ScanSupport.h"
#include "hpSettings.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>

namespace {

const char kGenericWidgetIcon[] =
    "/System/Library/CoreServices/Dock.app/Contents/Resources/DashboardClient.app/Contents/Resources/widget.icns";

} // namespace

void findWidgets(QString folder)
{
    for (const QFileInfo &entry : scan::listFolder(folder)) {
        const QString path = entry.absoluteFilePath();
        if (!path.endsWith(QLatin1String(".wdgt")))
            continue;
        auto *info = new AppInfo;
        {
            const QSettings plist(path + QStringLiteral("/Info.plist"), hpSettingsFormat());
            const auto value = [&plist](const char *key) { return plist.value(QLatin1String(key)).toString(); };
            info->kind = 1;
            info->name = value("CFBundleDisplayName");
            if (info->name.isEmpty())
                info->name = entry.fileName();
            info->path = path;
            info->reserved = 0;
            info->sizeState = 0;
            info->size = 0;
            info->reservedFlag = false;
            info->version = value("CFBundleShortVersionString");
            info->notice = value("NSHumanReadableCopyright");
            info->bundleId = value("CFBundleIdentifier");
            const QString mainPage = value("MainHTML");
            if (!mainPage.isEmpty())
                info->lastOpenTime = scan::lastReadText(path + QLatin1Char('/') + mainPage);
            info->modifyTime = scan::timeText(entry.lastModified());
            info->iconDir = QString(envIconPath) + path.mid(folder.length());
        }
        // Unlike the other kinds, a widget is converted until its PNG exists.
        if (!QFileInfo::exists(info->iconDir + QStringLiteral("/icon_32x32.png"))) {
            QString source = path + QStringLiteral("/Icon.icns");
            if (!QFileInfo::exists(source))
                source = QLatin1String(kGenericWidgetIcon);
            scan::convertIcon(info->iconDir, source);
        }
        scan::publish(info);
    }
}
