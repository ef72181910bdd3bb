// The leftover scan over a Library of 20,000 entries, against one `find` over
// the same folders in the same run. Prints the ratio; the target is at most 2.
#include "LeftoverFinder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void touch(const QString &path, int bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(bytes, 'x'));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    QVector<LeftoverFinder::Folder> folders;
    for (const LeftoverFinder::Folder &folder : LeftoverFinder::folders(home.path())) {
        // The system's folders are the machine's own: only the user's are built.
        if (!folder.path.startsWith(home.path()))
            continue;
        QDir().mkpath(folder.path);
        folders << folder;
    }
    // A real Library's mix: most entries belong to installed makers or Apple,
    // some have no reverse-DNS name, one in ten is a leftover with a few files.
    QStringList claims;
    for (int i = 0; i < total; ++i) {
        const QString folder = folders.at(i % folders.size()).path;
        const int kind = i % 10;
        if (kind == 0) {
            const QString dir = folder + QStringLiteral("org.gone%1.App").arg(i / 10);
            QDir().mkpath(dir);
            for (int k = 0; k < 4; ++k)
                touch(dir + QStringLiteral("/f%1").arg(k), 4096);
        } else if (kind < 6) {
            claims << QStringLiteral("com.maker%1.App").arg(i / 10 % 500);
            touch(folder + QStringLiteral("com.maker%1.App%2.plist").arg(i / 10 % 500).arg(i), 512);
        } else if (kind < 8) {
            touch(folder + QStringLiteral("com.apple.thing%1.plist").arg(i), 512);
        } else {
            QDir().mkpath(folder + QStringLiteral("Folder %1").arg(i));
            touch(folder + QStringLiteral("Folder %1/data").arg(i), 512);
        }
    }
    claims.removeDuplicates();
    qInstallMessageHandler(quiet);

    QStringList paths;
    for (const LeftoverFinder::Folder &folder : qAsConst(folders))
        paths << folder.path;
    const int rounds = 3;
    qint64 findMs = 0;
    qint64 scanMs = 0;
    int groups = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        QProcess find;
        find.setStandardOutputFile(QProcess::nullDevice());
        find.start(QStringLiteral("find"), paths);
        find.waitForFinished(-1);
        findMs += clock.elapsed();

        clock.restart();
        LeftoverFinder finder(claims, home.path());
        for (const LeftoverFinder::Folder &folder : qAsConst(folders))
            finder.scan(folder);
        groups = finder.groups().size();
        scanMs += clock.elapsed();
    }
    std::printf("entries %d, leftover groups %d\n", total, groups);
    std::printf("find over the folders: %.1f ms\n", double(findMs) / rounds);
    std::printf("leftover scan:         %.1f ms\n", double(scanMs) / rounds);
    std::printf("ratio scan/find:       %.2f (target at most 2)\n", findMs > 0 ? double(scanMs) / double(findMs) : 0.0);
    return 0;
}
