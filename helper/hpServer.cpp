#include "hpServer.h"

#include "hpChannel.h"
#include "hpPeerCheck.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHostAddress>
#include <QThread>
#include <QUdpSocket>

namespace {
QUdpSocket *sSocket = nullptr;
QHostAddress sPeerAddr;
quint16 sPeerPort = 0;
qint64 sPeerPid = 0;
QStringList sTrusted;
qint64 sLastRecvSize = 0;

// The loopback sender as IPv4, whichever form the socket reported it in.
bool isLoopbackV4(const QHostAddress &a)
{
    bool ok = false;
    const quint32 v4 = a.toIPv4Address(&ok);
    return ok && v4 == 0x7f000001u;
}
} // namespace

void hpServerSetTrusted(const QStringList &executables)
{
    sTrusted = executables;
}

qint64 hpServerLastRecvSize()
{
    return sLastRecvSize;
}

bool hpServerInit()
{
    qDebug("hpServerInit begin\n");
    delete sSocket; // what a failed attempt left behind
    sSocket = new QUdpSocket;
    sPeerAddr = QHostAddress(QHostAddress::LocalHost);
    sPeerPort = 0;
    sPeerPid = 0;
    bool bound = false;
    for (quint16 port : peerPortArray) {
        // Not shared: no other program may bind the port beside us and read
        // what the application sends.
        if (sSocket->bind(QHostAddress(QHostAddress::LocalHost), port, QAbstractSocket::DontShareAddress)) {
            qDebug("bound 127.0.0.1:%d\n", port);
            bound = true;
            break;
        }
    }
    if (!bound) {
        delete sSocket;
        sSocket = nullptr;
    }
    qDebug("hpServerInit end(%s)\n", bound ? "true" : "false");
    return bound;
}

void hpServerWait()
{
    qDebug("hpServerWait begin\n");
    char buf[4096];
    QHostAddress from;
    quint16 fromPort = 0;
    qint64 pid = 0;
    for (;;) {
        if (!sSocket->hasPendingDatagrams()) {
            QThread::msleep(200);
            continue;
        }
        const qint64 n = sSocket->readDatagram(buf, sizeof buf - 1, &from, &fromPort);
        if (n <= 0) {
            QThread::msleep(200);
            continue;
        }
        buf[n] = 0;
        qDebug("recv %s from:%s:%d\n", buf, hpAddrText(from).constData(), fromPort);
        if (!hpIsHello(buf, int(n))) {
            QThread::msleep(200);
            continue;
        }
        pid = hpHelloPid(buf, int(n));
        qDebug("recv %s from:%s:%d; ...%s\n", buf, hpAddrText(from).constData(), fromPort, buf + hpMagicLen + 1);
        QString why;
        if (!isLoopbackV4(from)) {
            qDebug("hello refused: sender %s is not 127.0.0.1\n", hpAddrText(from).constData());
            continue;
        }
        if (!hpPeerIsGenuine(fromPort, pid, sTrusted, &why)) {
            qDebug("hello refused: %s\n", why.toLocal8Bit().constData());
            continue;
        }
        const QByteArray reply = hpHelloText(QCoreApplication::applicationPid());
        const qint64 sent = sSocket->writeDatagram(reply, from, fromPort);
        qDebug("send %s --> %s:%d  (%d bytes sent)\n", reply.constData(), hpAddrText(from).constData(), fromPort, int(sent));
        if (sent == reply.size())
            break;
        QThread::msleep(200);
    }
    sPeerAddr = from;
    sPeerPort = fromPort;
    sPeerPid = pid;
    qDebug("Found Client: %s:%d,%lld\n", hpAddrText(sPeerAddr).constData(), sPeerPort, sPeerPid);
    qDebug("hpServerWait end\n");
}

int hpServerSend(const char *data, int len)
{
    qDebug("hpServerSend begin\n");
    int n = -1;
    if (sSocket)
        n = int(sSocket->writeDatagram(data, len, sPeerAddr, sPeerPort));
    qDebug("hpServerSend end(%d)\n", n);
    return n;
}

int hpServerRecv(char *buf, int len, int timeoutMs)
{
    qDebug("hpServerRecv begin\n");
    sLastRecvSize = 0;
    // After the handshake only the peer may give the command.
    const auto isPeer = [](const QHostAddress &from, quint16 fromPort) {
        return fromPort == sPeerPort && isLoopbackV4(from);
    };
    const int result = hpRecvFromPeer(sSocket, buf, len, timeoutMs, isPeer, &sLastRecvSize);
    qDebug("hpServerRecv end(%d)\n", result);
    return result;
}

void hpServerUninit()
{
    qDebug("hpServerUninit begin\n");
    if (sSocket)
        sSocket->close();
    delete sSocket;
    sSocket = nullptr;
    sPeerAddr = QHostAddress();
    sPeerPort = 0;
    qDebug("hpServerUninit end\n");
}
