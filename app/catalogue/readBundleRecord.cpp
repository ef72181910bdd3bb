#include "AppScanner.h"

#include "AppInfo.h"
#include "ScanSupport.h"

#include <QFileInfo>

bool readBundleRecord(const QString &bundlePath, AppInfo *info)
{
    const QFileInfo bundle(bundlePath);
    if (!bundle.isAbsolute() || !bundle.isDir())
        return false;
    // Named from the root, its icon folder is the whole path: one of the
    // same name in a scanned folder keeps its own.
    const QString folder = QStringLiteral("/");
    const QStringList caches = scan::cacheFileNames();
    const QString path = bundle.absoluteFilePath();
    if (path.endsWith(QLatin1String(".app")))
        scan::readApp(info, bundle, folder, caches);
    else if (path.endsWith(QLatin1String(".wdgt")))
        scan::readWidget(info, bundle, folder, caches);
    else if (path.endsWith(QLatin1String(".plugin")) || path.endsWith(QLatin1String(".webplugin"))
             || path.endsWith(QLatin1String(".prefPane")))
        scan::readPlugin(info, bundle, folder, caches);
    else
        return false;
    return true;
}
