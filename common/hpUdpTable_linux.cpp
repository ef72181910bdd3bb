#include "hpUdpTable.h"

#include <QFile>
#include <QList>

QVector<HpUdpSocket> hpUdpSocketsOnPort(quint16 port)
{
    QVector<HpUdpSocket> sockets;
    for (const bool v6 : {false, true}) {
        QFile f(QString::fromLatin1(v6 ? "/proc/net/udp6" : "/proc/net/udp"));
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
            const QByteArray &a = local.at(0);
            const bool loopback = v6 ? a == "00000000000000000000000000000000" || a == "0000000000000000FFFF00000100007F"
                                     : a == "0100007F" || a == "00000000";
            if (loopback)
                sockets.append({v6, cols.at(7).toUInt(), cols.at(9).toULongLong()});
        }
    }
    return sockets;
}
