// The catalogue on a sample world with many generated bundles: scan time with a
// cold and a warm icon cache against `find` over the same folders, and the cold
// and warm size pass against one `du -sk` over all bundles, in the same run.
// Figures are medians of five runs, but for the cold icon scan.
//   bench_catalogue [generated-bundles]   (default 1000; needs bubblewrap)
#include "AppCenter.h"
#include "AppEnv.h"
#include "AppFinder.h"
#include "AppInfo.h"
#include "AppScanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QElapsedTimer sClock;
qint64 sLastAppend = 0;

QStringList folders()
{
    const QString home = QStringLiteral("/Users/tester");
    return {"/Applications/", home + "/Applications/", "/Library/Widgets/", home + "/Library/Widgets/",
            "/Library/Internet Plug-Ins/", home + "/Library/Internet Plug-Ins/", "/Library/PreferencePanes/",
            home + "/Library/PreferencePanes/"};
}

void clearCatalogue()
{
    QList<AppInfo *> all;
    AppCenter::Inst()->getAppList(all);
    for (int i = 0; i < all.size(); ++i)
        AppCenter::Inst()->remove(0);
    AppCenter::Inst()->releaseAppList(all);
}

// The worker's scans, over the sample world instead of the real root.
qint64 scan()
{
    clearCatalogue();
    sClock.restart();
    sLastAppend = 0;
    const QStringList f = folders();
    findApps(f[0]);
    findApps(f[1]);
    findWidgets(f[2]);
    findWidgets(f[3]);
    for (int i = 4; i < 8; ++i)
        findPlugins(f[i]);
    return sLastAppend;
}

qint64 timed(const QString &program, const QStringList &args)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    p.waitForFinished(-1);
    return t.nsecsElapsed();
}

qint64 sizePass()
{
    QElapsedTimer t;
    t.start();
    AppFinder finder(nullptr);
    finder.calSoftSize();
    return t.nsecsElapsed();
}

double ms(qint64 ns) { return ns / 1e6; }

// Single runs of a few tens of milliseconds swing by half on a shared machine;
// every figure but the minutes-long cold icon scan is the median of five.
qint64 median(const std::function<qint64()> &run)
{
    std::vector<qint64> ns;
    for (int i = 0; i < 5; ++i)
        ns.push_back(run());
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2];
}

// The sample world's fallback icons live under /System, as on a Mac, so the
// figures are taken inside the sandbox that shows the world at /: outside it,
// widgets without an icon of their own would be converted again on every scan.
int runInSandbox(int generated)
{
    QTemporaryDir tmp;
    const QString root = tmp.path() + QStringLiteral("/root");
    if (QProcess::execute(QStringLiteral(KS_SOURCE_DIR "/tools/make-sample-root"),
                          {root, QStringLiteral("--apps"), QString::number(generated)})
        != 0) {
        std::fprintf(stderr, "make-sample-root failed\n");
        return 1;
    }
    QProcess inside;
    inside.setProcessChannelMode(QProcess::ForwardedChannels);
    inside.start(QStringLiteral(KS_SOURCE_DIR "/tools/sandbox"),
                 {root, QStringLiteral("--standins"), QStringLiteral(KS_STANDIN_DIR), QStringLiteral("--bind-ro"),
                  QCoreApplication::applicationDirPath(), QStringLiteral("--"),
                  QCoreApplication::applicationFilePath(), QString::number(generated), QStringLiteral("--inside")});
    if (!inside.waitForFinished(-1) || inside.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "the sandbox did not run: %s\n", qPrintable(inside.errorString()));
        return 1;
    }
    return inside.exitCode();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const int generated = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (argc < 3 || qstrcmp(argv[2], "--inside") != 0)
        return runInSandbox(generated);

    const QString icons = QStringLiteral("/tmp/bench-data/icon/");
    AppEnv::setEnv(envIconPath, icons);
    AppEnv::setEnv(envSizeList, icons + QStringLiteral("/sizeList.plist"));
    AppEnv::setEnv(envTimeList, icons + QStringLiteral("/timeList.plist"));
    QObject::connect(AppCenter::Inst(), &AppCenter::dataAppend, [] { sLastAppend = sClock.nsecsElapsed(); });

    QStringList findArgs = folders();
    findArgs << QStringLiteral("-maxdepth") << QStringLiteral("2");
    const qint64 findNs = median([&] { return timed(QStringLiteral("find"), findArgs); });

    // The conversions' own output is not part of the figures.
    const int out = dup(1);
    const int err = dup(2);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    const qint64 coldScan = scan();
    const qint64 warmScan = median(scan);
    QList<AppInfo *> all;
    AppCenter::Inst()->getAppList(all);
    QStringList bundles;
    for (const AppInfo *a : qAsConst(all))
        bundles << a->path;
    AppCenter::Inst()->releaseAppList(all);

    const qint64 duNs = median([&] { return timed(QStringLiteral("du"), QStringList{QStringLiteral("-sk")} + bundles); });
    const qint64 coldSize = median([&] {
        QFile::remove(QString(envSizeList));
        QFile::remove(QString(envTimeList));
        return sizePass();
    });
    const qint64 warmSize = median(sizePass);

    dup2(out, 1);
    dup2(err, 2);
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);

    std::printf("items: %d (%d generated)\n", int(bundles.size()), generated);
    std::printf("find over the 8 folders:      %9.2f ms\n", ms(findNs));
    std::printf("scan, cold icon cache:        %9.2f ms  = %7.2f x find\n", ms(coldScan), double(coldScan) / findNs);
    std::printf("scan, warm icon cache:        %9.2f ms  = %7.2f x find   (target <= 3)\n", ms(warmScan),
                double(warmScan) / findNs);
    std::printf("du -sk over all bundles:      %9.2f ms\n", ms(duNs));
    std::printf("size pass, cold caches:       %9.2f ms  = %7.2f x du     (target <= 2)\n", ms(coldSize),
                double(coldSize) / duNs);
    std::printf("size pass, warm caches:       %9.2f ms  = %7.3f x cold   (target <= 0.1)\n", ms(warmSize),
                double(warmSize) / coldSize);
    std::printf("peak memory (this process):   %9ld KiB\n", usage.ru_maxrss);
    return 0;
}
