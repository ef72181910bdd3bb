// Runs the discovery worker once, as the list view starts it, and prints what
// reached the catalogue. Meant to run inside tools/sandbox on a sample world;
// "--home DIR" runs it with HOME=DIR, its data folder kept where it was:
//   record  <index> <kind> <sizeState> <size> <path> <name> <iconDir>
//   measured <path>            one per size measurement
//   converted <ret> <command>  one per icon conversion
//   appends <n> / updates <n>  signals as the GUI thread received them
//   iconpath <envIconPath>, sizelist <envSizeList>, timelist <envTimeList>
#include "AppCenter.h"
#include "AppEnv.h"
#include "AppFinder.h"
#include "AppInfo.h"
#include "Probe.h"
#include "hpUtils.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QMutex>
#include <QStringList>

#include <cstdio>

namespace {

QMutex sLinesLock;
QStringList sLines;

void probeHandler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    if (msg.startsWith(QLatin1String("du "))) {
        QMutexLocker lock(&sLinesLock);
        sLines << QStringLiteral("measured\t") + msg.section(QLatin1Char('"'), 1, -2);
    } else if (msg.startsWith(QLatin1String("sips "))) {
        const int at = msg.lastIndexOf(QLatin1String(" {ret:"));
        QMutexLocker lock(&sLinesLock);
        sLines << QStringLiteral("converted\t") + msg.mid(at + 6).chopped(1) + QLatin1Char('\t') + msg.left(at);
    }
    myMessageHandler(type, context, msg);
}

using probe::print;

} // namespace

int main(int argc, char *argv[])
{
    // It fills and deletes what it is told to: only inside the sandbox.
    if (!probe::inSandbox("ks_finder_probe"))
        return 2;
    if (argc == 3 && qstrcmp(argv[1], "--home") == 0) {
        if (qEnvironmentVariableIsEmpty("XDG_DATA_HOME"))
            qputenv("XDG_DATA_HOME", qgetenv("HOME") + "/.local/share");
        qputenv("HOME", argv[2]);
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("vextora"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrelsweep"));
    AppEnv::initPaths();
    qInstallMessageHandler(probeHandler);

    AppCenter *center = AppCenter::Inst();
    int appends = 0;
    int updates = 0;
    QObject receiver; // lives in this thread, so the worker's signals arrive queued
    QObject::connect(center, &AppCenter::dataAppend, &receiver, [&appends] { ++appends; });
    QObject::connect(center, &AppCenter::dataUpdated, &receiver, [&updates] { ++updates; });

    auto *finder = new AppFinder(nullptr);
    QEventLoop loop;
    QObject::connect(finder, &AppFinder::done, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    finder->start();
    loop.exec();
    finder->wait();

    QList<AppInfo *> apps;
    center->getAppList(apps);
    for (int i = 0; i < apps.size(); ++i) {
        const AppInfo *a = apps.at(i);
        print(QStringLiteral("record\t%1\t%2\t%3\t%4\t%5\t%6\t%7")
                  .arg(i)
                  .arg(a->kind)
                  .arg(a->sizeState)
                  .arg(a->size)
                  .arg(a->path, a->name, a->iconDir));
    }
    center->releaseAppList(apps);
    for (const QString &line : qAsConst(sLines))
        print(line);
    print(QStringLiteral("appends\t%1").arg(appends));
    print(QStringLiteral("updates\t%1").arg(updates));
    print(QStringLiteral("iconpath\t") + QString(envIconPath));
    print(QStringLiteral("sizelist\t") + QString(envSizeList));
    print(QStringLiteral("timelist\t") + QString(envTimeList));
    delete finder;
    return 0;
}
