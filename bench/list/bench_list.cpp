// The list view fed as the discovery worker feeds it: records appended from
// another thread one dataAppend() at a time, then every size measured one
// dataUpdated() at a time. Prints the GUI thread's time for each phase and the
// longest stall of its event loop (a 10 ms timer probe), as ratios against
// building the same number of rows alone in the same run.
//   bench_list [records]   (default 1000)
#include "AppCenter.h"
#include "AppInfo.h"
#include "ItemWidget.h"
#include "ListWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

// CPU time of the calling thread: what the GUI thread itself spent, without
// the hand-over to and from the feeding thread.
double threadMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

AppInfo record(int i, const QString &iconDir)
{
    AppInfo info;
    info.name = QStringLiteral("Sample %1.app").arg(i);
    info.path = QStringLiteral("/Applications/Sample %1.app").arg(i);
    info.version = QStringLiteral("1.%1").arg(i);
    info.bundleId = QStringLiteral("com.example.sample%1").arg(i);
    info.iconDir = iconDir;
    info.lastOpenTime = QStringLiteral("08/12/2026 15:04:12");
    return info;
}

// Runs step(i) for every i on its own thread, each after the GUI thread has
// handled the signal of the one before.
class Feeder : public QThread
{
public:
    Feeder(int count, std::function<void(int)> step)
        : mCount(count)
        , mStep(std::move(step))
    {
    }
    QSemaphore handled;

protected:
    void run() override
    {
        for (int i = 0; i < mCount; ++i) {
            mStep(i);
            handled.acquire();
        }
    }

private:
    int mCount;
    std::function<void(int)> mStep;
};

struct Phase {
    double wallMs = 0;
    double guiMs = 0;
    double stallMs = 0;
};

// Feeds count signals of the given kind and measures the GUI thread meanwhile.
template <typename Signal>
Phase feed(int count, Signal signal, std::function<void(int)> step)
{
    Feeder feeder(count, std::move(step));
    QObject ack;
    // Connected after the list, so it runs once the list has handled the call.
    QObject::connect(AppCenter::Inst(), signal, &ack, [&feeder] { feeder.handled.release(); });

    Phase phase;
    QElapsedTimer probeClock;
    qint64 lastTick = 0;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = probeClock.elapsed();
        phase.stallMs = qMax(phase.stallMs, double(now - lastTick - 10));
        lastTick = now;
    });
    QEventLoop loop;
    QObject::connect(&feeder, &QThread::finished, &loop, &QEventLoop::quit);

    QElapsedTimer wall;
    const double cpu0 = threadMs();
    wall.start();
    probeClock.start();
    probe.start();
    feeder.start();
    loop.exec();
    // What the last rows still owe: layout and paint.
    QCoreApplication::processEvents();
    phase.guiMs = threadMs() - cpu0;
    phase.wallMs = wall.elapsed();
    return phase;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench_list [records]\n");
        return 2;
    }
    QTemporaryDir icons;
    QImage icon(64, 64, QImage::Format_ARGB32);
    icon.fill(Qt::darkCyan);
    icon.save(icons.filePath(QStringLiteral("icon_32x32.png")));

    // Baseline: the rows alone, built into one parent.
    double baseMs;
    {
        QWidget parent;
        const double cpu0 = threadMs();
        for (int i = 0; i < count; ++i) {
            AppInfo info = record(i, icons.path());
            new ItemWidget(&info, &parent);
        }
        baseMs = threadMs() - cpu0;
    }

    ListWidget::setDiscoveryEnabled(false);
    ListWidget list;
    list.resize(580, 470);
    list.show();
    QCoreApplication::processEvents();

    const QString iconDir = icons.path();
    const Phase added = feed(count, &AppCenter::dataAppend, [&iconDir](int i) {
        AppCenter::Inst()->append(QList<AppInfo *>{new AppInfo(record(i, iconDir))});
    });
    const Phase sized = feed(count, &AppCenter::dataUpdated, [&iconDir](int i) {
        AppInfo info = record(i, iconDir);
        info.size = 1024 * (i + 1);
        info.sizeState = 2;
        AppCenter::Inst()->update(&info);
    });

    const double total = added.guiMs + sized.guiMs;
    std::printf("records                         %d\n", count);
    std::printf("baseline: rows alone            %8.1f ms GUI\n", baseMs);
    std::printf("appends, one signal each        %8.1f ms GUI  (%.1f ms wall)  %.2fx baseline\n", added.guiMs,
                added.wallMs, added.guiMs / baseMs);
    std::printf("size updates, one signal each   %8.1f ms GUI  (%.1f ms wall)  %.2fx baseline\n", sized.guiMs,
                sized.wallMs, sized.guiMs / baseMs);
    std::printf("total                           %8.1f ms GUI  %.2fx baseline (target <= 2x)\n", total,
                total / baseMs);
    std::printf("longest stall                   %8.1f ms appends, %.1f ms updates (target <= 100 ms)\n",
                added.stallMs, sized.stallMs);
    return 0;
}
