// hpGetSize over many small folders against one `du -sk` over the same folders.
#include "hpUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // hpGetSize logs each command; the log is not what is measured here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const int folders = argc > 1 ? atoi(argv[1]) : 500;
    QTemporaryDir tmp;
    QStringList paths;
    for (int i = 0; i < folders; ++i) {
        const QString dir = tmp.path() + QStringLiteral("/app%1.app/Contents/MacOS").arg(i);
        QDir().mkpath(dir);
        for (int f = 0; f < 8; ++f) {
            QFile file(dir + QStringLiteral("/f%1").arg(f));
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(1000 * (f + 1), 'x'));
        }
        paths << tmp.path() + QStringLiteral("/app%1.app").arg(i);
    }

    QElapsedTimer timer;
    timer.start();
    QProcess du;
    du.start(QStringLiteral("du"), QStringList{QStringLiteral("-sk")} + paths);
    du.waitForFinished(-1);
    const qint64 duNs = timer.nsecsElapsed();
    qint64 duTotal = 0;
    for (const QByteArray &line : du.readAllStandardOutput().split('\n'))
        duTotal += line.left(line.indexOf('\t')).toLongLong();

    timer.restart();
    qint64 total = 0;
    for (const QString &p : paths)
        total += hpGetSize(p);
    const qint64 ownNs = timer.nsecsElapsed();

    std::printf("folders: %d\n", folders);
    std::printf("du -sk once:        %8.2f ms (%lld KiB)\n", duNs / 1e6, (long long)duTotal);
    std::printf("hpGetSize per item: %8.2f ms (%lld KiB)\n", ownNs / 1e6, (long long)total);
    std::printf("ratio hpGetSize / du -sk: %.2f\n", double(ownNs) / double(duNs));
    return total == duTotal ? 0 : 1;
}
