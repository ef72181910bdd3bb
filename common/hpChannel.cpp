#include "hpChannel.h"

#include <QHostAddress>
#include <QThread>
#include <QUdpSocket>

QByteArray hpAddrText(const QHostAddress &address)
{
    return address.toString().toLatin1();
}

int hpRecvFromPeer(QUdpSocket *socket, char *buf, int len, int timeoutMs,
                   const std::function<bool(const QHostAddress &, quint16)> &isPeer, qint64 *trueSize)
{
    int result = -1;
    const int attempts = (timeoutMs + 99) / 100;
    for (int i = 0; i < attempts && socket; ++i) {
        if (i > 0) {
            QThread::msleep(100);
            qDebug(".");
        }
        while (socket->hasPendingDatagrams()) {
            const qint64 size = socket->pendingDatagramSize();
            QHostAddress from;
            quint16 fromPort = 0;
            const qint64 n = socket->readDatagram(buf, len, &from, &fromPort);
            result = int(n);
            if (n < 1)
                continue;
            if (!isPeer(from, fromPort)) {
                qDebug("dropped %lld bytes from %s:%d, not the peer\n", size, hpAddrText(from).constData(), fromPort);
                result = 0;
                continue;
            }
            if (trueSize)
                *trueSize = size;
            return result;
        }
    }
    return result;
}
