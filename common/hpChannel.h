#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <cstring>
#include <functional>

class QHostAddress;
class QUdpSocket;

// Wire constants of the helper channel, shared by the application's client
// and the helper service.

// Both ends walk these in this order: the service binds the first it can,
// the client probes them one after another.
constexpr quint16 peerPortArray[10] = {7755, 8855, 9955, 10055, 11055,
                                       12055, 13055, 14055, 15055, 16055};
constexpr int hpPeerPortCount = 10;

constexpr char hpMagic[] = "Kestrelswp-Magic";
constexpr int hpMagicLen = 16;

// The service reads a command into 1024 bytes and a client reads a result
// into 1024 bytes; one byte of each is kept for the terminator.
constexpr int hpMaxCommand = 1023;
constexpr int hpMaxResult = 1023;

// A hello or hello reply: at least one byte after the 16 bytes of magic.
inline bool hpIsHello(const char *data, int len)
{
    return len >= hpMagicLen + 1 && memcmp(data, hpMagic, hpMagicLen) == 0;
}

// The process id that starts at offset 17 (the separator at 16 is not
// checked); text that is not a number gives 0.
inline qint64 hpHelloPid(const char *data, int len)
{
    if (len <= hpMagicLen + 1)
        return 0;
    qint64 pid = 0;
    for (int i = hpMagicLen + 1; i < len && data[i] >= '0' && data[i] <= '9'; ++i) {
        if (pid > (Q_INT64_C(1) << 40))
            return 0;
        pid = pid * 10 + (data[i] - '0');
    }
    return pid;
}

inline QByteArray hpHelloText(qint64 pid)
{
    return QByteArray(hpMagic, hpMagicLen) + '#' + QByteArray::number(pid);
}

QByteArray hpAddrText(const QHostAddress &address);

// Datagram bytes as they may go into a log: control characters, backslashes
// and non-ASCII bytes escaped as \xHH, so a datagram can neither forge log
// lines nor garble the file; cut after max bytes of input (max < 0: whole).
QByteArray hpLogSafe(const char *data, int len, int max = 120);
inline QByteArray hpLogSafe(const QByteArray &data, int max = 120)
{
    return hpLogSafe(data.constData(), data.size(), max);
}

// Whether one more record about a refused datagram may go into the log: at
// most 20 a second, so a flood cannot fill the disk or slow the loop. The
// first record after a quiet spell says how many were left out.
bool hpRefusalLogAllowed();

// Waits on the socket (neither end has an event loop, and sleeping would let
// a flood of junk delay the peer) up to timeoutMs for a datagram that isPeer
// accepts; every other datagram is drained, logged and dropped, so strangers
// can neither speak for the peer nor delay it. Returns the bytes read, 0 if
// only strangers spoke, -1 if nothing came; *trueSize, when given, gets the
// datagram's real size, which may exceed len.
int hpRecvFromPeer(QUdpSocket *socket, char *buf, int len, int timeoutMs,
                   const std::function<bool(const QHostAddress &, quint16)> &isPeer, qint64 *trueSize);
