#include "hpServiceOwner.h"

#include <QFile>

bool hpServiceRunsAsRoot(quint16 port, QString *why)
{
    int found = 0;
    for (const char *table : {"/proc/net/udp", "/proc/net/udp6"}) {
        QFile f(QString::fromLatin1(table));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            continue;
        const QList<QByteArray> lines = f.readAll().split('\n');
        for (int i = 1; i < lines.size(); ++i) {
            // "sl local rem st tx:rx tr:when retrnsmt uid timeout inode ..."
            const QList<QByteArray> cols = lines.at(i).simplified().split(' ');
            if (cols.size() < 10)
                continue;
            const QList<QByteArray> local = cols.at(1).split(':');
            bool ok = false;
            if (local.size() != 2 || local.at(1).toUInt(&ok, 16) != port || !ok)
                continue;
            // Only sockets that can answer from 127.0.0.1.
            const QByteArray &a = local.at(0);
            if (a != "0100007F" && a != "00000000" && a != "00000000000000000000000000000000"
                && a != "0000000000000000FFFF00000100007F")
                continue;
            ++found;
            if (cols.at(7) != "0") {
                *why = QStringLiteral("port %1 is held by uid %2").arg(port).arg(QString::fromLatin1(cols.at(7)));
                return false;
            }
        }
    }
    if (!found)
        *why = QStringLiteral("no socket on port %1").arg(port);
    return found > 0;
}
