// Stand-in for the macOS package installer, for the form the helper service runs:
//   installer -verboseR -pkg PKG -target TARGET
// The package is a POSIX tar of files relative to the target. It is checked,
// recorded (the record under TARGET is what tests read) and unpacked there.
#include "hpTar.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 5 || args.at(0) != QLatin1String("-verboseR") || args.at(1) != QLatin1String("-pkg")
        || args.at(3) != QLatin1String("-target")) {
        std::fprintf(stderr, "usage: installer -verboseR -pkg PKG -target TARGET\n");
        return 2;
    }
    const QString package = args.at(2);
    QByteArray data;
    QString why;
    QVector<HpTarEntry> entries;
    if (!hpReadRegularFile(package, &data, &why) || !hpTarRead(data, &entries, &why)) {
        std::fprintf(stderr, "installer: Error - the package %s is invalid: %s\n", qPrintable(package), qPrintable(why));
        return 1;
    }
    QString target = args.at(4);
    if (!target.endsWith(QLatin1Char('/')))
        target += QLatin1Char('/');
    const QString receipts = target + QStringLiteral("private/var/db/receipts");
    QFile log(receipts + QStringLiteral("/com.vextora.Kestrelsweep.update.log"));
    if (!QDir().mkpath(receipts) || !log.open(QIODevice::Append)
        || log.write(QFile::encodeName(package) + ' '
                     + QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex() + '\n') < 0) {
        std::fprintf(stderr, "installer: Error - cannot record the installation\n");
        return 1;
    }
    std::printf("installer:PHASE:Installing %d files\n", int(entries.size()));
    for (const HpTarEntry &entry : qAsConst(entries)) {
        if (!hpTarWriteEntry(target, entry, true)) {
            std::fprintf(stderr, "installer: Error - cannot install %s\n", qPrintable(entry.name));
            return 1;
        }
    }
    std::printf("installer: The install was successful.\n");
    return 0;
}
