#include "hpChannel.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>

#include <mutex>

QByteArray hpAddrText(const QHostAddress &address)
{
    return address.toString().toLatin1();
}

QByteArray hpLogSafe(const char *data, int len, int max)
{
    static const char hex[] = "0123456789abcdef";
    const int shown = max < 0 ? len : qMin(len, max);
    QByteArray out;
    out.reserve(shown + 16);
    for (int i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c < 0x20 || c >= 0x7f || c == '\\') {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    if (shown < len)
        out += "...(" + QByteArray::number(len) + " bytes)";
    return out;
}

bool hpRefusalLogAllowed()
{
    static std::mutex lock;
    static QElapsedTimer window;
    static int logged = 0;
    static int skipped = 0;
    std::lock_guard<std::mutex> guard(lock);
    if (!window.isValid() || window.elapsed() >= 1000) {
        window.start();
        logged = 0;
    }
    if (logged >= 20) {
        ++skipped;
        return false;
    }
    ++logged;
    if (skipped) {
        qDebug("(%d more refused datagrams not logged)\n", skipped);
        skipped = 0;
    }
    return true;
}

int hpRecvFromPeer(QUdpSocket *socket, char *buf, int len, int timeoutMs,
                   const std::function<bool(const QHostAddress &, quint16)> &isPeer, qint64 *trueSize)
{
    int result = -1;
    if (!socket)
        return result;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        while (socket->hasPendingDatagrams()) {
            const qint64 size = socket->pendingDatagramSize();
            QHostAddress from;
            quint16 fromPort = 0;
            const qint64 n = socket->readDatagram(buf, len, &from, &fromPort);
            result = int(n);
            if (n < 1)
                continue;
            if (!isPeer(from, fromPort)) {
                if (hpRefusalLogAllowed())
                    qDebug("dropped %lld bytes from %s:%d, not the peer\n", size, hpAddrText(from).constData(), fromPort);
                result = 0;
                continue;
            }
            if (trueSize)
                *trueSize = size;
            return result;
        }
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return result;
        // A socket Qt closed after an error answers every wait at once.
        if (!socket->waitForReadyRead(int(left)) && socket->state() != QAbstractSocket::BoundState)
            return result;
    }
}
