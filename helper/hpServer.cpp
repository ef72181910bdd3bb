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
quint64 sPeerStart = 0; // the peer's start time at its hello
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
    sSocket = nullptr;
    sPeerAddr = QHostAddress(QHostAddress::LocalHost);
    sPeerPort = 0;
    sPeerPid = 0;
    for (quint16 port : peerPortArray) {
        // A fresh socket for each port: one whose bind failed keeps the error,
        // and its first timed-out wait would then close it.
        auto *socket = new QUdpSocket;
        // Not shared: no other program may bind the port beside us and read
        // what the application sends.
        if (socket->bind(QHostAddress(QHostAddress::LocalHost), port, QAbstractSocket::DontShareAddress)) {
            qDebug("bound 127.0.0.1:%d\n", port);
            sSocket = socket;
            break;
        }
        delete socket;
    }
    qDebug("hpServerInit end(%s)\n", sSocket ? "true" : "false");
    return sSocket != nullptr;
}

void hpServerWait()
{
    qDebug("hpServerWait begin\n");
    char buf[4096];
    QHostAddress from;
    quint16 fromPort = 0;
    qint64 pid = 0;
    quint64 started = 0;
    for (;;) {
        // Waiting on the socket, not sleeping: junk is drained as fast as it
        // comes and cannot push the genuine hello back.
        if (!sSocket->hasPendingDatagrams()) {
            // A socket Qt closed after an error would answer every wait at
            // once: bind a new one rather than spin.
            if (!sSocket->waitForReadyRead(1000) && sSocket->state() != QAbstractSocket::BoundState) {
                qDebug("hpServerWait: socket lost (%s), binding again\n",
                       sSocket->errorString().toLocal8Bit().constData());
                while (!hpServerInit())
                    QThread::msleep(500);
            }
            continue;
        }
        const qint64 n = sSocket->readDatagram(buf, sizeof buf - 1, &from, &fromPort);
        if (n <= 0)
            continue;
        buf[n] = 0;
        const QByteArray shown = hpLogSafe(buf, int(n));
        QString why;
        pid = 0;
        started = 0;
        if (!hpIsHello(buf, int(n))) {
            why = QStringLiteral("not a hello");
        } else if (!isLoopbackV4(from)) {
            why = QStringLiteral("sender is not 127.0.0.1");
        } else {
            pid = hpHelloPid(buf, int(n));
            hpPeerIsGenuine(fromPort, pid, sTrusted, &started, &why);
        }
        if (!why.isEmpty()) {
            if (hpRefusalLogAllowed())
                qDebug("recv %s from:%s:%d\nhello refused: %s\n", shown.constData(), hpAddrText(from).constData(),
                       fromPort, hpLogSafe(why.toUtf8(), -1).constData());
            continue;
        }
        qDebug("recv %s from:%s:%d\n", shown.constData(), hpAddrText(from).constData(), fromPort);
        qDebug("recv %s from:%s:%d; ...%s\n", shown.constData(), hpAddrText(from).constData(), fromPort,
               hpLogSafe(buf + hpMagicLen + 1, int(n) - hpMagicLen - 1).constData());
        const QByteArray reply = hpHelloText(QCoreApplication::applicationPid());
        const qint64 sent = sSocket->writeDatagram(reply, from, fromPort);
        qDebug("send %s --> %s:%d  (%d bytes sent)\n", reply.constData(), hpAddrText(from).constData(), fromPort, int(sent));
        if (sent == reply.size())
            break;
    }
    sPeerAddr = from;
    sPeerPort = fromPort;
    sPeerPid = pid;
    sPeerStart = started;
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
    // After the handshake only the peer may give the command, and it is
    // proven again for every datagram: what held at the hello may not hold now.
    const auto isPeer = [](const QHostAddress &from, quint16 fromPort) {
        if (fromPort != sPeerPort || !isLoopbackV4(from))
            return false;
        QString why;
        if (hpPeerIsGenuine(fromPort, sPeerPid, sTrusted, &sPeerStart, &why))
            return true;
        if (hpRefusalLogAllowed())
            qDebug("command refused: %s\n", hpLogSafe(why.toUtf8(), -1).constData());
        return false;
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
