#include "hpServiceOwner.h"

#include "hpUdpTable.h"

bool hpServiceRunsAsRoot(quint16 port, QString *why)
{
    const QVector<HpUdpSocket> sockets = hpUdpSocketsOnPort(port);
    for (const HpUdpSocket &s : sockets) {
        if (s.uid != 0) {
            *why = QStringLiteral("port %1 is held by uid %2").arg(port).arg(s.uid);
            return false;
        }
    }
    if (sockets.isEmpty())
        *why = QStringLiteral("no socket on port %1").arg(port);
    return !sockets.isEmpty();
}
