#include "hpPeerCheck.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <climits>
#include <cstdio>
#include <unistd.h>

namespace {

// Local addresses from which a datagram can leave as 127.0.0.1, as the
// kernel prints them in /proc/net/udp{,6}.
bool sendsFromLoopback(const QByteArray &addr)
{
    return addr == "0100007F" || addr == "00000000" || addr == "00000000000000000000000000000000"
        || addr == "0000000000000000FFFF00000100007F";
}

// Inodes of the sockets that could have been the hello's sender.
QSet<quint64> socketsOnPort(quint16 port)
{
    QSet<quint64> inodes;
    for (const char *table : {"/proc/net/udp", "/proc/net/udp6"}) {
        QFile f(QString::fromLatin1(table));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        f.readLine(); // header
        while (!f.atEnd()) {
            const QList<QByteArray> cols = f.readLine().simplified().split(' ');
            if (cols.size() < 10)
                continue;
            const QList<QByteArray> local = cols.at(1).split(':');
            bool ok = false;
            if (local.size() != 2 || local.at(1).toUInt(&ok, 16) != port || !ok)
                continue;
            if (!sendsFromLoopback(local.at(0)))
                continue;
            inodes.insert(cols.at(9).toULongLong());
        }
    }
    return inodes;
}

QSet<quint64> socketsOfProcess(qint64 pid)
{
    QSet<quint64> inodes;
    const QString dir = QStringLiteral("/proc/%1/fd").arg(pid);
    const QStringList fds = QDir(dir).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : fds) {
        char target[128];
        const ssize_t n = readlink(QFile::encodeName(dir + QLatin1Char('/') + fd).constData(), target, sizeof target - 1);
        if (n <= 0)
            continue;
        target[n] = 0;
        unsigned long long inode = 0;
        if (sscanf(target, "socket:[%llu]", &inode) == 1)
            inodes.insert(inode);
    }
    return inodes;
}

} // namespace

bool hpPeerIsGenuine(quint16 port, qint64 pid, const QStringList &trusted, QString *why)
{
    if (pid <= 0) {
        *why = QStringLiteral("no process id");
        return false;
    }
    const QSet<quint64> senders = socketsOnPort(port);
    if (senders.isEmpty()) {
        *why = QStringLiteral("no socket on port %1").arg(port);
        return false;
    }
    const QSet<quint64> own = socketsOfProcess(pid);
    for (quint64 inode : senders) {
        if (!own.contains(inode)) {
            *why = QStringLiteral("socket %1 on port %2 is not process %3's").arg(inode).arg(port).arg(pid);
            return false;
        }
    }
    char exe[PATH_MAX];
    const ssize_t n = readlink(QFile::encodeName(QStringLiteral("/proc/%1/exe").arg(pid)).constData(), exe, sizeof exe - 1);
    if (n <= 0) {
        *why = QStringLiteral("process %1 has no executable").arg(pid);
        return false;
    }
    exe[n] = 0;
    const QString path = QFile::decodeName(exe);
    if (!trusted.contains(path)) {
        *why = QStringLiteral("process %1 runs %2").arg(pid).arg(path);
        return false;
    }
    return true;
}
