#include "AppFinder.h"

#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "AppScanner.h"
#include "CacheFile.h"
#include "ScanSupport.h"
#include "hpUtils.h"

#include <QElapsedTimer>
#include <QSet>

namespace {
const qint64 kSaveIntervalMs = 500;
// Another instance saves its caches in milliseconds; a lock held longer
// belongs to one that hangs, and the pass must not hang with it.
const int kLockWaitMs = 3000;
}

AppFinder::AppFinder(QObject *parent)
    : QThread(parent)
{
}

void AppFinder::run()
{
    AppCenter *center = AppCenter::Inst();
    center->setScanning(true);
    const QString home = hpHomePath();
    // With a home of "/" the home's folders are the system's: scanned twice
    // they would list every item twice, and the size pass, which finds records
    // by path, would only ever update the first.
    QSet<QString> scanned;
    const auto scanOnce = [&scanned](void (*scanner)(const QString &), const QString &folder) {
        const QString clean = scan::scannedFolder(folder);
        if (scanned.contains(clean))
            return;
        scanned.insert(clean);
        scanner(clean);
    };
    scanOnce(findApps, QStringLiteral("/Applications/"));
    scanOnce(findApps, home + QStringLiteral("/Applications/"));
    scanOnce(findWidgets, QStringLiteral("/Library/Widgets/"));
    scanOnce(findWidgets, home + QStringLiteral("/Library/Widgets/"));
    scanOnce(findPlugins, QStringLiteral("/Library/Internet Plug-Ins/"));
    scanOnce(findPlugins, home + QStringLiteral("/Library/Internet Plug-Ins/"));
    scanOnce(findPlugins, QStringLiteral("/Library/PreferencePanes/"));
    scanOnce(findPlugins, home + QStringLiteral("/Library/PreferencePanes/"));
    // Every item is in; sizes do not change who claims which file.
    center->setScanning(false);
    calSoftSize();
    emit done();
}

void AppFinder::calSoftSize()
{
    AppCenter *center = AppCenter::Inst();
    QList<AppInfo *> apps;
    center->getAppList(apps);
    // Only this thread touches the caches, so they are read once. Measurements
    // are written back at most a few times a second: each save rewrites and
    // flushes both whole files, which per record made the pass quadratic, and an
    // interrupted pass still keeps all but its last moments of work.
    CacheFile sizes(QString::fromUtf8(envSizeList));
    CacheFile times(QString::fromUtf8(envTimeList));
    // Once a save has waited in vain only the last one is tried, so a lock
    // that stays taken costs the pass two waits at most.
    bool saving = true;
    QElapsedTimer sinceSave;
    sinceSave.start();
    for (AppInfo *info : qAsConst(apps)) {
        const QString cachedTime = times.value(info->path).toString();
        const QString cachedSize = sizes.value(info->path).toString();
        bool readable = false;
        const qint64 cached = cachedSize.toLongLong(&readable);
        // A cached zero means "not measured", and an entry that is not a size
        // cannot stand for one; an unchanged bundle folder time keeps the size.
        const bool measure = !readable || cached <= 0 || cachedTime != info->modifyTime;
        if (measure) {
            info->size = hpGetSize(info->path);
            sizes.setValue(info->path, info->size);
            times.setValue(info->path, info->modifyTime);
            if (saving && sinceSave.elapsed() >= kSaveIntervalMs) {
                saving = sizes.save(kLockWaitMs) && times.save(kLockWaitMs);
                sinceSave.restart();
            }
        } else {
            info->size = cached;
        }
        info->sizeState = 2;
        center->update(info);
    }
    // A cached time vouches for the cached size, so it is saved only after the size.
    if (sizes.save(kLockWaitMs))
        times.save(kLockWaitMs);
    center->releaseAppList(apps);
}
