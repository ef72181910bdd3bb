#include "hpServer.h"

#include "hpChannel.h"
#include "hpPeerCheck.h"
#include "hpPortFilter.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QThread>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

namespace {
QUdpSocket *sSocket = nullptr;
QHostAddress sPeerAddr;
quint16 sPeerPort = 0;
qint64 sPeerPid = 0;
quint64 sPeerStart = 0; // the peer's start time at its hello
QStringList sTrusted;
qint64 sLastRecvSize = 0;

// Per sender port: until when its hellos are dropped unexamined, and when it
// was last told that its user is no administrator.
constexpr qint64 kRefusedForUs = 1000 * 1000;
qint64 sRefusedUntil[65536];
qint64 sAdminToldAt[65536];

// The port of the last hello answered and when (wall clock, microseconds):
// a client says hello again until it is answered, and what it sent before
// the answer may still wait in the queue.
quint16 sAnsweredPort = 0;
qint64 sAnsweredAt = 0;

// Linux gives a datagram's real size when asked with MSG_TRUNC; elsewhere
// the flag only comes back to say the read cut it.
#ifdef Q_OS_LINUX
constexpr int kRealSize = MSG_TRUNC;
#else
constexpr int kRealSize = 0;
#endif

qint64 wallClockUs()
{
    timeval now{};
    gettimeofday(&now, nullptr);
    return qint64(now.tv_sec) * 1000000 + now.tv_usec;
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
            // Room for a burst of junk while a peer is checked: a full
            // buffer would drop the genuine hello with the junk.
            const int fd = int(socket->socketDescriptor());
            int size = 8 * 1024 * 1024;
#ifdef SO_RCVBUFFORCE
            if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
#endif
                setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
            const int on = 1;
            setsockopt(fd, SOL_SOCKET, SO_TIMESTAMP, &on, sizeof on);
            sSocket = socket;
            break;
        }
        delete socket;
    }
    qDebug("hpServerInit end(%s)\n", sSocket ? "true" : "false");
    return sSocket != nullptr;
}

namespace {

// The text a hello refused only for its user's sake gets in answer.
const char kNotAdmin[] = "Kestrelswp-Magic!admin";

// One datagram of the wait for a hello; true when it was the genuine
// application's and has been answered. Cheapest tests first: a flood costs
// a look at a table per datagram, and its senders' processes are examined
// at most once a second per port.
bool takeHello(int fd, const char *buf, int n, const sockaddr_in &addr, qint64 readUs, qint64 *pid, quint64 *started)
{
    const quint16 fromPort = ntohs(addr.sin_port);
    QString why;
    HpPeerVerdict verdict = HpPeerVerdict::Refused;
    *pid = 0;
    *started = 0;
    if (!hpIsHello(buf, n)) {
        why = QStringLiteral("not a hello");
    } else if (addr.sin_family != AF_INET || ntohl(addr.sin_addr.s_addr) != INADDR_LOOPBACK) {
        why = QStringLiteral("sender is not 127.0.0.1");
    } else if (readUs < sRefusedUntil[fromPort]) {
        return false; // refused a moment ago: not even logged
    } else {
        *pid = hpHelloPid(buf, n);
        verdict = hpPeerGate(fromPort, *pid, readUs, &why);
        if (verdict == HpPeerVerdict::Unsure)
            return false;
        if (verdict == HpPeerVerdict::Genuine)
            verdict = hpCheckPeer(fromPort, *pid, sTrusted, started, &why);
        if (verdict != HpPeerVerdict::Genuine)
            sRefusedUntil[fromPort] = hpPeerClockUs() + kRefusedForUs;
    }
    const QHostAddress from(ntohl(addr.sin_addr.s_addr));
    if (verdict != HpPeerVerdict::Genuine) {
        if (hpRefusalLogAllowed())
            qDebug("recv %s from:%s:%d\nhello refused: %s\n", hpLogSafe(buf, n).constData(), hpAddrText(from).constData(),
                   fromPort, hpLogSafe(why.toUtf8(), -1).constData());
        // Told at most once a second per port, in fewer bytes than any
        // hello it answers, so that it cannot be turned into a flood.
        if (verdict == HpPeerVerdict::NotAdmin && readUs - sAdminToldAt[fromPort] >= kRefusedForUs) {
            sAdminToldAt[fromPort] = readUs;
            sendto(fd, kNotAdmin, sizeof kNotAdmin - 1, MSG_DONTWAIT, reinterpret_cast<const sockaddr *>(&addr), sizeof addr);
        }
        return false;
    }
    const QByteArray shown = hpLogSafe(buf, n);
    qDebug("recv %s from:%s:%d\n", shown.constData(), hpAddrText(from).constData(), fromPort);
    qDebug("recv %s from:%s:%d; ...%s\n", shown.constData(), hpAddrText(from).constData(), fromPort,
           hpLogSafe(buf + hpMagicLen + 1, n - hpMagicLen - 1).constData());
    // From now on only the peer's datagrams are queued; what strangers
    // queued before goes now, or a full queue would drop the command.
    hpOnlyFromPort(fd, fromPort);
    char junk[64];
    for (int i = 0; i < 1000000 && recv(fd, junk, sizeof junk, MSG_DONTWAIT) >= 0; ++i) {
    }
    const QByteArray reply = hpHelloText(QCoreApplication::applicationPid());
    // Before the answer goes: whatever the peer sends once it has it
    // arrives later than this.
    const qint64 answeredAt = wallClockUs();
    const qint64 sent = sendto(fd, reply.constData(), size_t(reply.size()), 0, reinterpret_cast<const sockaddr *>(&addr), sizeof addr);
    qDebug("send %s --> %s:%d  (%d bytes sent)\n", reply.constData(), hpAddrText(from).constData(), fromPort, int(sent));
    if (sent != reply.size()) {
        hpFromAnyPort(fd);
        return false;
    }
    sPeerAddr = from;
    sPeerPort = fromPort;
    sAnsweredPort = fromPort;
    sAnsweredAt = answeredAt;
    return true;
}

} // namespace

void hpServerWait()
{
    qDebug("hpServerWait begin\n");
    char buf[4096];
    qint64 pid = 0;
    quint64 started = 0;
    for (bool found = false; !found;) {
        // Waiting on the socket, not sleeping: junk is drained as fast as it
        // comes and cannot push the genuine hello back. Read past Qt, one
        // system call a datagram.
        const int fd = int(sSocket->socketDescriptor());
        pollfd p{fd, POLLIN, 0};
        const int ready = fd < 0 ? -1 : poll(&p, 1, 1000);
        if (ready < 0 && errno == EINTR)
            continue;
        // A socket that failed would answer every wait at once: bind a new
        // one rather than spin.
        if (ready < 0 || (p.revents & POLLNVAL) || sSocket->state() != QAbstractSocket::BoundState) {
            qDebug("hpServerWait: socket lost (%s), binding again\n", sSocket->errorString().toLocal8Bit().constData());
            while (!hpServerInit())
                QThread::msleep(500);
            continue;
        }
        for (int i = 0; i < 4096 && !found; ++i) {
            sockaddr_in addr{};
            iovec iov{buf, sizeof buf - 1};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timeval))];
            msghdr msg{};
            msg.msg_name = &addr;
            msg.msg_namelen = sizeof addr;
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = recvmsg(fd, &msg, MSG_DONTWAIT);
            if (n < 0)
                break;
            if (n == 0 || msg.msg_namelen != sizeof addr)
                continue;
            buf[n] = 0;
            // A hello the last peer sent before it was answered.
            qint64 arrived = 0;
            for (cmsghdr *c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
                if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMP) {
                    timeval tv{};
                    memcpy(&tv, CMSG_DATA(c), sizeof tv);
                    arrived = qint64(tv.tv_sec) * 1000000 + tv.tv_usec;
                }
            }
            if (ntohs(addr.sin_port) == sAnsweredPort && arrived != 0 && arrived <= sAnsweredAt)
                continue;
            found = takeHello(fd, buf, int(n), addr, hpPeerClockUs(), &pid, &started);
        }
    }
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
    const int fd = sSocket ? int(sSocket->socketDescriptor()) : -1;
    QElapsedTimer clock;
    clock.start();
    int result = -1;
    if (fd >= 0)
        hpOnlyFromPort(fd, sPeerPort);
    const auto done = [fd](int n) {
        if (fd >= 0)
            hpFromAnyPort(fd);
        qDebug("hpServerRecv end(%d)\n", n);
        return n;
    };
    while (fd >= 0) {
        // Read past Qt, one system call a datagram, so that a flood from
        // strangers drains faster than it comes and the command finds room.
        for (int i = 0; i < 4096; ++i) {
            sockaddr_in addr{};
            iovec iov{buf, size_t(len)};
            msghdr msg{};
            msg.msg_name = &addr;
            msg.msg_namelen = sizeof addr;
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            const ssize_t n = recvmsg(fd, &msg, MSG_DONTWAIT | kRealSize);
            if (n < 0)
                break;
            const int got = int(qMin<ssize_t>(n, len));
            result = qMax(result, 0);
            const quint16 fromPort = ntohs(addr.sin_port);
            if (got < 1 || fromPort != sPeerPort || ntohl(addr.sin_addr.s_addr) != INADDR_LOOPBACK) {
                if (hpRefusalLogAllowed())
                    qDebug("dropped %lld bytes from %s:%d, not the peer\n", qint64(n),
                           hpAddrText(QHostAddress(ntohl(addr.sin_addr.s_addr))).constData(), fromPort);
                continue;
            }
            // The peer's hellos sent again before it heard the answer are no
            // command (the magic's "-" is no Base64): passed over.
            if (hpIsHello(buf, got))
                continue;
            // After the handshake only the peer may give the command, and it
            // is proven again for every datagram: what held at the hello may
            // not hold now.
            QString why;
            if (hpCheckPeer(fromPort, sPeerPid, sTrusted, &sPeerStart, &why) != HpPeerVerdict::Genuine) {
                if (hpRefusalLogAllowed())
                    qDebug("command refused: %s\n", hpLogSafe(why.toUtf8(), -1).constData());
                continue;
            }
            sLastRecvSize = (msg.msg_flags & MSG_TRUNC) ? qMax<qint64>(n, qint64(len) + 1) : qint64(n);
            return done(got);
        }
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, int(left)) < 0 && errno != EINTR)
            break;
    }
    return done(result);
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
