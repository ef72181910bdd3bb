#pragma once

#include <QHash>
#include <QVector>
#include <QtGlobal>

// The kernel's table of UDP sockets (Linux: /proc/net/udp and udp6, as the
// calling process's network namespace and user namespace see them). Shared by
// the service, which asks who could have sent from a port, and the
// application, which asks who answers on one.
struct HpUdpSocket
{
    bool v6 = false;
    uint uid = 0;
    quint64 inode = 0;
};

// Sockets bound to the port that can send or answer as 127.0.0.1: IPv4 ones
// bound to 127.0.0.1 or any address, IPv6 ones bound to any address or to
// ::ffff:127.0.0.1.
QVector<HpUdpSocket> hpUdpSocketsOnPort(quint16 port);

// The same for every port at once, read in one pass: under a flood from
// thousands of sockets the tables are large, and the service reads them once
// for many datagrams.
QHash<quint16, QVector<HpUdpSocket>> hpUdpSocketsByPort();
