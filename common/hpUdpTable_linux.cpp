#include "hpUdpTable.h"

#include <QFile>

namespace {

// One line's "local_address" column ("0100007F:1E4B"), uid and inode, read
// without splitting the line into pieces: the tables may hold tens of
// thousands of lines.
struct Row
{
    const char *addr = nullptr;
    int addrLen = 0;
    uint port = 0;
    uint uid = 0;
    quint64 inode = 0;
};

const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && *p == ' ')
        ++p;
    return p;
}

const char *skipWord(const char *p, const char *end)
{
    while (p < end && *p != ' ')
        ++p;
    return p;
}

bool parseRow(const char *p, const char *end, Row *row)
{
    // "sl local rem st tx:rx tr:when retrnsmt uid timeout inode ..."
    const char *col[10];
    for (int i = 0; i < 10; ++i) {
        p = skipBlanks(p, end);
        if (p == end)
            return false;
        col[i] = p;
        p = skipWord(p, end);
    }
    const char *local = col[1];
    const char *localEnd = skipWord(local, end);
    const char *colon = local;
    while (colon < localEnd && *colon != ':')
        ++colon;
    if (colon == localEnd || localEnd - colon < 2)
        return false;
    uint port = 0;
    for (const char *h = colon + 1; h < localEnd; ++h) {
        const char c = *h;
        const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (v < 0 || port > 0xffff)
            return false;
        port = port * 16 + uint(v);
    }
    row->addr = local;
    row->addrLen = int(colon - local);
    row->port = port;
    row->uid = 0;
    for (const char *d = col[7]; d < end && *d >= '0' && *d <= '9'; ++d)
        row->uid = row->uid * 10 + uint(*d - '0');
    row->inode = 0;
    for (const char *d = col[9]; d < end && *d >= '0' && *d <= '9'; ++d)
        row->inode = row->inode * 10 + quint64(*d - '0');
    return port <= 0xffff;
}

bool loopbackCapable(bool v6, const char *a, int len)
{
    const QByteArray addr = QByteArray::fromRawData(a, len);
    return v6 ? addr == "00000000000000000000000000000000" || addr == "0000000000000000FFFF00000100007F"
              : addr == "0100007F" || addr == "00000000";
}

// Calls found(port, socket) for every socket of both tables that can send or
// answer as 127.0.0.1.
template <typename F>
void readTables(F found)
{
    for (const bool v6 : {false, true}) {
        QFile f(QString::fromLatin1(v6 ? "/proc/net/udp6" : "/proc/net/udp"));
        if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            continue;
        const QByteArray text = f.readAll();
        const char *p = text.constData();
        const char *end = p + text.size();
        bool header = true;
        while (p < end) {
            const char *eol = p;
            while (eol < end && *eol != '\n')
                ++eol;
            Row row;
            if (!header && parseRow(p, eol, &row) && loopbackCapable(v6, row.addr, row.addrLen))
                found(quint16(row.port), HpUdpSocket{v6, row.uid, row.inode});
            header = false;
            p = eol + 1;
        }
    }
}

} // namespace

QVector<HpUdpSocket> hpUdpSocketsOnPort(quint16 port)
{
    QVector<HpUdpSocket> sockets;
    readTables([&](quint16 p, const HpUdpSocket &s) {
        if (p == port)
            sockets.append(s);
    });
    return sockets;
}

QHash<quint16, QVector<HpUdpSocket>> hpUdpSocketsByPort()
{
    QHash<quint16, QVector<HpUdpSocket>> byPort;
    readTables([&](quint16 p, const HpUdpSocket &s) { byPort[p].append(s); });
    return byPort;
}
