#include "hpClient.h"

#include "hpChannel.h"
#include "hpServiceOwner.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QThread>
#include <QSet>
#include <QUdpSocket>

#include <algorithm>
#include <cstring>

#include <cerrno>
#include <climits>
#include <csignal>

namespace {
// How long the service may take to answer a hello on any port, and how often
// the hello goes out again meanwhile.
const qint64 kFindMs = 3000;
const qint64 kHelloAgainMs = 400;
// The service's answer to a hello from a user who is not an administrator.
const char kRefusedAdmin[] = "Kestrelswp-Magic!admin";
const int kRefusedAdminLen = int(sizeof kRefusedAdmin - 1);
// What the service sends while it deletes, so that a slow one is not taken
// for a dead one.
const char kWorking[] = "[working]";
const int kWorkingLen = int(sizeof kWorking - 1);
const int kAliveStepMs = 1000;
// However busy the service says it is, one request is not waited for longer.
const qint64 kMaxWorkMs = 30 * 60 * 1000;

HpServiceVerdict sVerdict = HpServiceVerdict::Missing;

QUdpSocket *sSocket = nullptr;
QHostAddress sPeerAddr;
quint16 sPeerPort = 0;
qint64 sPeerPid = 0;

// The socket belongs to the thread that made it; the update installer and
// the removal worker are different threads.
void releaseSocket()
{
    if (!sSocket)
        return;
    if (sSocket->thread() == QThread::currentThread()) {
        sSocket->close();
        delete sSocket;
    } else {
        sSocket->deleteLater();
    }
    sSocket = nullptr;
}

bool isPeer(const QHostAddress &from, quint16 port)
{
    bool ok = false;
    const quint32 v4 = from.toIPv4Address(&ok);
    return ok && v4 == sPeerAddr.toIPv4Address() && port == sPeerPort;
}

QByteArray requestText(const QStringList &paths, const QVector<int> &indices)
{
    QByteArray text = "[remove]" + QByteArray::number(indices.size()) + ';';
    for (int i = 0; i < indices.size(); ++i) {
        if (i)
            text += ';';
        text += QByteArray::number(i) + ':' + paths.at(indices.at(i)).toUtf8();
    }
    return text;
}

int base64Size(int n)
{
    return (n + 2) / 3 * 4;
}

// What the service answers for this batch: "[result]N;" and per path
// "SUCCESS:" or "FAILURE:" plus the path in Latin-1 (one byte per UTF-16
// unit), joined with ";".
int resultSize(const QStringList &paths, const QVector<int> &indices)
{
    int n = 8 + QByteArray::number(indices.size()).size() + 1;
    for (int i = 0; i < indices.size(); ++i)
        n += 8 + paths.at(indices.at(i)).size() + (i ? 1 : 0);
    return n;
}

bool fits(const QStringList &paths, const QVector<int> &indices)
{
    return base64Size(requestText(paths, indices).size()) <= hpMaxCommand
        && resultSize(paths, indices) <= hpMaxResult;
}
} // namespace

bool hpClientInit()
{
    qDebug("hpClientInit begin\n");
    releaseSocket(); // left by an exchange that never released it
    sVerdict = HpServiceVerdict::Missing;
    sSocket = new QUdpSocket;
    sPeerAddr = QHostAddress(QHostAddress::LocalHost);
    sPeerPort = 0;
    sPeerPid = 0;
    // IPv4 loopback only, and the port not shared: no other socket can send
    // from it, which is what the service checks for every datagram.
    if (!sSocket->bind(QHostAddress(QHostAddress::LocalHost), 0, QAbstractSocket::DontShareAddress)) {
        qDebug("hpClientInit cannot bind: %s\n", sSocket->errorString().toLocal8Bit().constData());
        releaseSocket();
        qDebug("hpClientInit end\n");
        return false;
    }
    qDebug("hpClientInit bound 127.0.0.1:%d\n", sSocket->localPort());
    const QByteArray hello = hpHelloText(QCoreApplication::applicationPid());
    const QHostAddress loopback(QHostAddress::LocalHost);
    // Every port at once, and again while no verdict has come: a missing
    // service is known within the wait, not after a wait per port, and a
    // hello lost in a flood of strangers' datagrams is sent again.
    QSet<quint16> skipped;
    QElapsedTimer clock;
    clock.start();
    qint64 nextHello = 0;
    bool first = true;
    char buf[1024];
    while (clock.elapsed() < kFindMs) {
        if (clock.elapsed() >= nextHello) {
            int ports = 0;
            for (quint16 port : peerPortArray) {
                if (skipped.contains(port))
                    continue;
                const qint64 sent = sSocket->writeDatagram(hello, loopback, port);
                if (first)
                    qDebug("send %s --> %s:%d (%d bytes sent)\n", hello.constData(), hpAddrText(loopback).constData(),
                           port, int(sent));
                ++ports;
            }
            if (!first)
                qDebug("hello sent again to %d ports\n", ports);
            first = false;
            nextHello += kHelloAgainMs;
        }
        if (!sSocket->hasPendingDatagrams()) {
            const qint64 wait = qMin(nextHello, kFindMs) - clock.elapsed();
            if (wait > 0 && !sSocket->waitForReadyRead(int(wait)) && sSocket->state() != QAbstractSocket::BoundState)
                break;
            continue;
        }
        QHostAddress from;
        quint16 fromPort = 0;
        const qint64 n = sSocket->readDatagram(buf, sizeof buf - 1, &from, &fromPort);
        if (n <= 0)
            continue;
        bool v4 = false;
        const bool fromTable = from.toIPv4Address(&v4) == loopback.toIPv4Address() && v4
                               && std::find(std::begin(peerPortArray), std::end(peerPortArray), fromPort)
                                      != std::end(peerPortArray)
                               && !skipped.contains(fromPort);
        if (!fromTable || !hpIsHello(buf, int(n))) {
            if (hpRefusalLogAllowed())
                qDebug("dropped %d bytes from %s:%d, not a reply from the service's ports\n", int(n),
                       hpAddrText(from).constData(), fromPort);
            continue;
        }
        buf[n] = 0;
        qDebug("recv %s from:%s:%d\n", hpLogSafe(buf, int(n)).constData(), hpAddrText(from).constData(), fromPort);
        // Only root holds the service's port: a user's program that took
        // one while the service restarted is skipped, not trusted.
        QString why;
        if (!hpServiceRunsAsRoot(fromPort, &why)) {
            qDebug("not the service on port %d: %s\n", fromPort, hpLogSafe(why.toUtf8(), -1).constData());
            skipped.insert(fromPort);
            continue;
        }
        if (n == kRefusedAdminLen && memcmp(buf, kRefusedAdmin, size_t(n)) == 0) {
            qDebug("the service serves administrators only\n");
            sVerdict = HpServiceVerdict::NotAdministrator;
            break;
        }
        sPeerPid = hpHelloPid(buf, int(n));
        sPeerAddr = loopback;
        sPeerPort = fromPort;
        sVerdict = HpServiceVerdict::Found;
        qDebug("Found Server: %s:%d,%lld\n", hpAddrText(sPeerAddr).constData(), sPeerPort, sPeerPid);
        qDebug("connected\n");
        qDebug("hpClientInit end\n");
        return true;
    }
    // No service: release the socket rather than leave it to a caller that
    // never uninitialises after a failure.
    releaseSocket();
    qDebug("hpClientInit end\n");
    return false;
}

HpServiceVerdict hpClientVerdict()
{
    return sVerdict;
}

int hpClientRecvAnswer(char *buf, int len, int silenceMs, qint64 capMs)
{
    QElapsedTimer total;
    total.start();
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        // In short steps, so that a service that ended is noticed at once
        // rather than at the end of the silence bound.
        const int step = int(qBound(qint64(1), qMin(qint64(kAliveStepMs), silenceMs - quiet.elapsed()), qint64(INT_MAX)));
        const int n = hpClientRecv(buf, len, step);
        const bool working = n >= kWorkingLen && memcmp(buf, kWorking, kWorkingLen) == 0;
        // The reply to a hello sent again while the first reply was on its way.
        const bool lateHello = n > 0 && hpIsHello(buf, n);
        if (n > 0 && !working && !lateHello)
            return n;
        if (working)
            quiet.restart();
        if (total.elapsed() >= capMs) {
            qDebug("hpClientRecvAnswer: still at work after %lld ms, given up\n", total.elapsed());
            return -1;
        }
        if (quiet.elapsed() >= silenceMs) {
            qDebug("hpClientRecvAnswer: silent for %lld ms\n", quiet.elapsed());
            return n > 0 ? 0 : n;
        }
        if (!hpClientPeerAlive()) {
            qDebug("hpClientRecvAnswer: the service ended\n");
            return -1;
        }
    }
}

bool hpClientPeerAlive()
{
    qDebug("hpClientPeerAlive begin\n");
    // Exactly that process: kill(0, 0) would ask about our own process group.
    // EPERM means it exists but is not ours to signal, as root's service is not.
    const bool alive = sPeerPid > 0 && sPeerPid <= INT_MAX
                       && (::kill(pid_t(sPeerPid), 0) == 0 || errno == EPERM);
    qDebug("hpClientPeerAlive end(%s)\n", alive ? "alive" : "not alive");
    return alive;
}

int hpClientSend(const char *data, int len)
{
    qDebug("hpClientSend begin\n");
    int n = -1;
    if (sSocket && sPeerPort != 0)
        n = int(sSocket->writeDatagram(data, len, sPeerAddr, sPeerPort));
    qDebug("hpClientSend end(%d)\n", n);
    return n;
}

int hpClientRecv(char *buf, int len, int timeoutMs)
{
    qDebug("hpClientRecv begin\n");
    // Only the service that answered the hello speaks for it.
    const int result = hpRecvFromPeer(sSocket, buf, len, timeoutMs, isPeer, nullptr);
    qDebug("hpClientRecv end(%d)\n", result);
    return result;
}

void hpClientUninit()
{
    qDebug("hpClientUninit begin\n");
    releaseSocket();
    sPeerAddr = QHostAddress();
    sPeerPort = 0;
    qDebug("hpClientUninit end\n");
}

bool hpClientConnected()
{
    return sSocket && sPeerPort != 0;
}

bool hpClientCanSend(const QStringList &paths, QStringList *unsendable)
{
    QVector<int> refused;
    hpClientRemoveBatches(paths, &refused);
    for (int i : qAsConst(refused))
        unsendable->append(paths.at(i));
    return refused.isEmpty();
}

QVector<HpRemoveBatch> hpClientRemoveBatches(const QStringList &paths, QVector<int> *unsendable)
{
    QVector<HpRemoveBatch> batches;
    QVector<int> current;
    auto flush = [&]() {
        if (current.isEmpty())
            return;
        batches.append({requestText(paths, current).toBase64(), current});
        current.clear();
    };
    for (int i = 0; i < paths.size(); ++i) {
        if (paths.at(i).contains(QLatin1Char(';')) || !fits(paths, {i})) {
            unsendable->append(i);
            continue;
        }
        current.append(i);
        if (!fits(paths, current)) {
            current.removeLast();
            flush();
            current.append(i);
        }
    }
    flush();
    return batches;
}

void hpClientMergeResult(const QByteArray &result, const QStringList &paths, const QVector<int> &indices,
                         QVector<bool> *done)
{
    const QList<QByteArray> parts = result.split(';');
    if (parts.first() != "[result]" + QByteArray::number(indices.size()) || parts.size() != indices.size() + 1)
        return; // not an answer to this request: nothing is confirmed
    for (int k = 0; k < indices.size(); ++k) {
        if (parts.at(k + 1) == "SUCCESS:" + paths.at(indices.at(k)).toLatin1())
            (*done)[indices.at(k)] = true;
    }
}

QVector<bool> hpClientRemove(const QStringList &paths, int timeoutMs, bool *answered)
{
    QVector<bool> done(paths.size(), false);
    bool allAnswered = true;
    QVector<int> unsendable;
    const QVector<HpRemoveBatch> batches = hpClientRemoveBatches(paths, &unsendable);
    for (int i : qAsConst(unsendable))
        qDebug("not sent, the request format cannot carry it: %s\n", hpLogSafe(paths.at(i).toUtf8(), -1).constData());
    for (const HpRemoveBatch &batch : batches) {
        // The first batch may go on the exchange that found the service.
        if (!hpClientConnected() && !hpClientInit()) {
            allAnswered = false;
            break; // no service: the other batches would only wait as long again
        }
        char buf[hpMaxResult + 1];
        int n = -1;
        if (hpClientSend(batch.request.constData(), batch.request.size()) == batch.request.size())
            n = hpClientRecvAnswer(buf, hpMaxResult, timeoutMs, kMaxWorkMs);
        hpClientUninit();
        if (n <= 0) {
            // A service that let one request go unanswered would keep each
            // further one waiting as long: the caller's time bound is for all.
            allAnswered = false;
            break;
        }
        hpClientMergeResult(QByteArray(buf, n), paths, batch.indices, &done);
    }
    if (answered)
        *answered = allAnswered;
    return done;
}
