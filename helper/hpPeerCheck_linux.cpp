#include "hpPeerCheck.h"

#include "hpUdpTable.h"

#include <QFile>
#include <QSet>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/kcmp.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// What /proc says a process runs: the link's text and the file it leads to.
struct Exe
{
    QByteArray path;
    dev_t dev = 0;
    ino_t ino = 0;
    bool ok = false;

    bool operator==(const Exe &o) const { return ok && o.ok && path == o.path && dev == o.dev && ino == o.ino; }
};

QByteArray procPath(qint64 pid, const char *what)
{
    return "/proc/" + QByteArray::number(pid) + '/' + what;
}

QByteArray readProcFile(const QByteArray &path, bool *ok)
{
    QFile f(QFile::decodeName(path));
    *ok = f.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    return *ok ? f.readAll() : QByteArray();
}

Exe readExe(qint64 pid)
{
    Exe e;
    const QByteArray link = procPath(pid, "exe");
    char target[PATH_MAX];
    const ssize_t n = readlink(link.constData(), target, sizeof target - 1);
    struct stat st;
    if (n <= 0 || stat(link.constData(), &st) != 0)
        return e;
    e.path = QByteArray(target, int(n));
    e.dev = st.st_dev;
    e.ino = st.st_ino;
    e.ok = true;
    return e;
}

// Field 22 of /proc/PID/stat, in clock ticks since boot; 0 when unreadable.
quint64 startTimeOf(qint64 pid)
{
    bool ok = false;
    const QByteArray stat = readProcFile(procPath(pid, "stat"), &ok);
    const int close = stat.lastIndexOf(')'); // the name may hold blanks and parentheses
    if (!ok || close < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields.at(19).toULongLong() : 0;
}

QByteArray namespaceOf(const char *who)
{
    char target[128];
    const ssize_t n = readlink((QByteArray("/proc/") + who + "/ns/mnt").constData(), target, sizeof target);
    return n > 0 ? QByteArray(target, int(n)) : QByteArray();
}

qint64 tracerOf(qint64 pid)
{
    bool ok = false;
    const QByteArray status = readProcFile(procPath(pid, "status"), &ok);
    if (!ok)
        return -1;
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith("TracerPid:"))
            return line.mid(10).trimmed().toLongLong();
    return -1;
}

// The first variable that makes the dynamic loader or Qt load code from
// elsewhere than the executable's own files; empty when there is none.
QByteArray injectingVariable(qint64 pid, bool *readable)
{
    static const char *const names[] = {"LD_PRELOAD=", "LD_LIBRARY_PATH=", "LD_AUDIT=", "QT_PLUGIN_PATH=",
                                        "QT_QPA_PLATFORM_PLUGIN_PATH="};
    const QByteArray env = readProcFile(procPath(pid, "environ"), readable);
    for (const QByteArray &entry : env.split('\0'))
        for (const char *name : names)
            if (entry.startsWith(name))
                return entry.left(int(strlen(name)) - 1);
    return QByteArray();
}

// Inodes of the UDP sockets that could have sent a datagram from
// 127.0.0.1:port, from the kernel's tables of the service's network.
QSet<quint64> socketsOnPort(quint16 port)
{
    QSet<quint64> v4;
    QSet<quint64> v6;
    for (const HpUdpSocket &s : hpUdpSocketsOnPort(port))
        (s.v6 ? v6 : v4).insert(s.inode);
    // The genuine application binds 127.0.0.1 without sharing the port, so
    // while such an IPv4 socket holds it no dual-stack socket can share it:
    // an IPv6 socket beside it is IPv6-only and cannot have sent as 127.0.0.1.
    return v4.isEmpty() ? v6 : v4;
}

// Calls found(inode) for every socket in one descriptor table; false when
// the table exists but cannot be read.
template <typename F>
bool forEachSocket(const QByteArray &fdDir, F found)
{
    DIR *dir = opendir(fdDir.constData());
    if (!dir)
        return errno == ENOENT || errno == ESRCH; // gone meanwhile
    while (const dirent *ent = readdir(dir)) {
        if (ent->d_name[0] == '.')
            continue;
        char target[64];
        const ssize_t n = readlinkat(dirfd(dir), ent->d_name, target, sizeof target - 1);
        if (n <= 9 || memcmp(target, "socket:[", 8) != 0)
            continue;
        target[n] = 0;
        found(strtoull(target + 8, nullptr, 10));
    }
    closedir(dir);
    return true;
}

bool isNumber(const char *s)
{
    if (!*s)
        return false;
    for (; *s; ++s)
        if (*s < '0' || *s > '9')
            return false;
    return true;
}

bool sameFileTable(long a, long b)
{
    return syscall(SYS_kcmp, a, b, KCMP_FILES, 0, 0) == 0;
}

// Whether any process but pid holds one of the sockets. Every process is
// looked at, with every thread that keeps a descriptor table of its own; a
// table that cannot be read counts as holding them.
bool heldByOthers(const QSet<quint64> &sockets, quint16 port, qint64 pid, QString *why)
{
    DIR *proc = opendir("/proc");
    if (!proc) {
        *why = QStringLiteral("cannot list the processes");
        return true;
    }
    bool held = false;
    while (!held) {
        const dirent *ent = readdir(proc);
        if (!ent)
            break;
        if (!isNumber(ent->d_name) || strtoll(ent->d_name, nullptr, 10) == pid)
            continue;
        const long other = strtol(ent->d_name, nullptr, 10);
        const QByteArray base = QByteArray("/proc/") + ent->d_name;
        auto check = [&](const QByteArray &fdDir) {
            const bool readable = forEachSocket(fdDir, [&](quint64 inode) {
                if (!held && sockets.contains(inode)) {
                    held = true;
                    *why = QStringLiteral("socket %1 on port %2 is also held by process %3").arg(inode).arg(port).arg(other);
                }
            });
            if (!readable && !held) {
                held = true;
                *why = QStringLiteral("cannot read the descriptors of process %1").arg(other);
            }
        };
        check(base + "/fd");
        if (DIR *tasks = held ? nullptr : opendir((base + "/task").constData())) {
            while (const dirent *t = held ? nullptr : readdir(tasks)) {
                const long tid = isNumber(t->d_name) ? strtol(t->d_name, nullptr, 10) : other;
                if (tid != other && !sameFileTable(other, tid))
                    check(base + "/task/" + t->d_name + "/fd");
            }
            closedir(tasks);
        }
    }
    closedir(proc);
    return held;
}

bool refuse(QString *why, const QString &text)
{
    *why = text;
    return false;
}

} // namespace

bool hpPeerIsGenuine(quint16 port, qint64 pid, const QStringList &trusted, quint64 *startTime, QString *why)
{
    if (pid <= 0)
        return refuse(why, QStringLiteral("no process id"));
    const quint64 started = startTimeOf(pid);
    if (started == 0)
        return refuse(why, QStringLiteral("process %1 does not exist").arg(pid));
    if (*startTime != 0 && started != *startTime)
        return refuse(why, QStringLiteral("process %1 is not the one that said hello").arg(pid));

    // Another mount namespace can put any file at the trusted path, or under
    // the libraries the trusted executable loads.
    const QByteArray ours = namespaceOf("self");
    if (ours.isEmpty() || namespaceOf(QByteArray::number(pid).constData()) != ours)
        return refuse(why, QStringLiteral("process %1 is in another mount namespace").arg(pid));

    const Exe before = readExe(pid);
    if (!before.ok)
        return refuse(why, QStringLiteral("process %1 has no executable").arg(pid));
    const QString exePath = QFile::decodeName(before.path);
    if (!trusted.contains(exePath))
        return refuse(why, QStringLiteral("process %1 runs %2").arg(pid).arg(exePath));
    struct stat st;
    if (stat(before.path.constData(), &st) != 0 || st.st_dev != before.dev || st.st_ino != before.ino)
        return refuse(why, QStringLiteral("process %1 does not run the file at %2").arg(pid).arg(exePath));
    if (!S_ISREG(st.st_mode) || st.st_uid != 0 || (st.st_mode & (S_IWGRP | S_IWOTH)))
        return refuse(why, QStringLiteral("%1 is not owned by root or may be written by others").arg(exePath));

    const qint64 tracer = tracerOf(pid);
    if (tracer != 0)
        return refuse(why, QStringLiteral("process %1 is traced by %2").arg(pid).arg(tracer));
    bool envReadable = false;
    const QByteArray injecting = injectingVariable(pid, &envReadable);
    if (!envReadable)
        return refuse(why, QStringLiteral("cannot read the environment of process %1").arg(pid));
    if (!injecting.isEmpty())
        return refuse(why, QStringLiteral("process %1 carries %2").arg(pid).arg(QString::fromLatin1(injecting)));

    const QSet<quint64> senders = socketsOnPort(port);
    if (senders.isEmpty())
        return refuse(why, QStringLiteral("no socket on port %1").arg(port));
    // The named process's own table first: a stranger who names it is
    // refused here, without the walk over every process.
    QSet<quint64> own;
    forEachSocket(procPath(pid, "fd"), [&](quint64 inode) { own.insert(inode); });
    for (quint64 inode : senders)
        if (!own.contains(inode))
            return refuse(why, QStringLiteral("socket %1 on port %2 is not process %3's").arg(inode).arg(port).arg(pid));
    if (heldByOthers(senders, port, pid, why))
        return false;

    // An exec or a new process under the same pid during the walk.
    if (!(readExe(pid) == before) || startTimeOf(pid) != started)
        return refuse(why, QStringLiteral("process %1 changed while it was checked").arg(pid));
    *startTime = started;
    return true;
}
