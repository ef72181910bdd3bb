#include "AppScanner.h"

#include "AppEnv.h"
#include "AppInfo.h"
#include "ScanSupport.h"
#include "hpSettings.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSettings>

namespace {

const char kGenericPluginIcon[] = "/System/Library/CoreServices/CoreTypes.bundle/Contents/Resources/KEXT.icns";

void readPluginInfo(AppInfo *info, const QFileInfo &bundle, const QString &folder)
{
    const QString path = bundle.absoluteFilePath();
    const QSettings plist(path + QStringLiteral("/Contents/Info.plist"), hpSettingsFormat());
    const auto value = [&plist](const char *key) { return plist.value(QLatin1String(key)).toString(); };

    info->kind = 2;
    info->name = value("CFBundleName");
    if (info->name.isEmpty())
        info->name = bundle.fileName();
    info->path = path;
    info->size = 0;
    info->reserved = 0;
    info->reservedFlag = false;
    info->sizeState = 0;
    info->version = value("CFBundleShortVersionString");
    info->notice = value("NSHumanReadableCopyright");
    info->bundleId = value("CFBundleIdentifier");
    const QString executable = value("CFBundleExecutable");
    if (!executable.isEmpty())
        info->lastOpenTime = scan::lastReadText(path + QStringLiteral("/Contents/MacOS/") + executable);
    info->modifyTime = scan::timeText(bundle.lastModified());
    info->iconDir = QString(envIconPath) + path.mid(folder.length());

    if (QFileInfo(info->iconDir).isDir())
        return;
    QString source = path + QStringLiteral("/Contents/Resources/") + value("CFBundleIconFile");
    if (!source.endsWith(QLatin1String(".icns")))
        source += QStringLiteral(".icns");
    if (!QFileInfo::exists(source))
        source = QLatin1String(kGenericPluginIcon);
    scan::convertIcon(info->iconDir, source);
}

bool isPlugin(const QString &path)
{
    return path.endsWith(QLatin1String(".plugin")) || path.endsWith(QLatin1String(".webplugin"))
           || path.endsWith(QLatin1String(".prefPane"));
}

} // namespace

void findPlugins(QString folder)
{
    for (const QFileInfo &entry : scan::listFolder(folder)) {
        if (!isPlugin(entry.absoluteFilePath()))
            continue;
        auto *info = new AppInfo;
        readPluginInfo(info, entry, folder);
        scan::publish(info);
    }
}
