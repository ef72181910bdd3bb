#include "hpPeerCheck.h"

#include "hpUdpTable.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QVector>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/kcmp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
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

// The ids and the tracer of a process, as /proc/PID/status gives them.
struct Status
{
    bool ok = false;
    uint uid[4] = {};  // real, effective, saved, file system
    uint gid[4] = {};
    QVector<uint> groups;
    qint64 tracer = -1;
};

QVector<uint> numbers(const QByteArray &text)
{
    QVector<uint> out;
    for (const QByteArray &w : text.simplified().split(' '))
        if (!w.isEmpty())
            out.append(w.toUInt());
    return out;
}

Status statusOf(qint64 pid)
{
    Status st;
    bool ok = false;
    const QByteArray text = readProcFile(procPath(pid, "status"), &ok);
    if (!ok)
        return st;
    int seen = 0;
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith("TracerPid:")) {
            st.tracer = line.mid(10).trimmed().toLongLong();
            seen |= 1;
        } else if (line.startsWith("Uid:") || line.startsWith("Gid:")) {
            const QVector<uint> ids = numbers(line.mid(4));
            if (ids.size() != 4)
                return st;
            std::copy(ids.begin(), ids.end(), line.startsWith("Uid:") ? st.uid : st.gid);
            seen |= line.startsWith("Uid:") ? 2 : 4;
        } else if (line.startsWith("Groups:")) {
            st.groups = numbers(line.mid(7));
            seen |= 8;
        }
    }
    st.ok = seen == 15;
    return st;
}

// Root, or a member of the administrators' group as the kernel keeps the
// process's groups (not as the account database says: a process may have
// dropped the group).
bool processIsAdmin(const Status &st)
{
    if (st.uid[0] == 0 && st.uid[1] == 0)
        return true;
    return st.gid[1] == hpPeerAdminGroup() || st.groups.contains(hpPeerAdminGroup());
}

// The account database's answer for a user: its primary group or its
// supplementary groups hold the administrators' group.
bool lookUpAdmin(uint uid)
{
    passwd pw;
    passwd *found = nullptr;
    char buf[4096];
    if (getpwuid_r(uid_t(uid), &pw, buf, sizeof buf, &found) != 0 || !found)
        return false;
    if (pw.pw_gid == hpPeerAdminGroup())
        return true;
    int n = 64;
    QVector<gid_t> groups(n);
    if (getgrouplist(pw.pw_name, pw.pw_gid, groups.data(), &n) < 0 && n > groups.size()) {
        groups.resize(n);
        getgrouplist(pw.pw_name, pw.pw_gid, groups.data(), &n);
    }
    groups.resize(qMin(n, groups.size()));
    return groups.contains(gid_t(hpPeerAdminGroup()));
}

bool userIsAdmin(uint uid)
{
    return hpPeerUserIsAdmin(uid, lookUpAdmin);
}

// A non-dumpable process's files in /proc/PID belong to root (the folder
// itself always shows the process's user): no process of its user may trace
// it or read or write its memory.
bool dumpable(qint64 pid, const Status &st)
{
    struct stat sb;
    return stat(procPath(pid, "mem").constData(), &sb) != 0 || (sb.st_uid != 0 && st.uid[1] != 0);
}

// A file root owns and only root may write, in folders likewise all the way
// up; a sticky folder others may write counts, since its entry is checked to
// be root's too. Verdicts are kept for one look at a process.
bool rootsOnly(const QByteArray &path, QHash<QByteArray, bool> *seen)
{
    const auto it = seen->constFind(path);
    if (it != seen->constEnd())
        return *it;
    struct stat st;
    bool ok = lstat(path.constData(), &st) == 0 && st.st_uid == 0
        && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
        && (!(st.st_mode & (S_IWGRP | S_IWOTH)) || (S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)));
    if (ok && path != "/") {
        const int slash = path.lastIndexOf('/');
        ok = slash >= 0 && rootsOnly(slash == 0 ? QByteArray("/") : path.left(slash), seen);
    }
    seen->insert(path, ok);
    return ok;
}

// Every executable mapping of the process is a file root owns (see
// rootsOnly) whose pages are all still the file's, or the kernel's [vdso] or
// [vsyscall]: no preloaded or plugged-in library of the user's, no anonymous
// code, no patched code page.
bool codeIsRoots(qint64 pid, QString *why)
{
    bool ok = false;
    const QByteArray smaps = readProcFile(procPath(pid, "smaps"), &ok);
    if (!ok || smaps.isEmpty()) {
        *why = QStringLiteral("cannot read the memory map of process %1").arg(pid);
        return false;
    }
    QHash<QByteArray, bool> seen;
    QByteArray current; // the executable mapping whose fields follow, or empty
    for (const QByteArray &line : smaps.split('\n')) {
        if (line.isEmpty())
            continue;
        const char c = line.at(0);
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')) {
            // "start-end perms offset major:minor inode   path"
            QList<QByteArray> f;
            int at = 0;
            while (f.size() < 5 && at < line.size()) {
                while (at < line.size() && line.at(at) == ' ')
                    ++at;
                const int end = line.indexOf(' ', at);
                f.append(line.mid(at, end < 0 ? -1 : end - at));
                at = end < 0 ? line.size() : end;
            }
            while (at < line.size() && line.at(at) == ' ')
                ++at;
            const QByteArray path = line.mid(at); // may hold blanks
            current.clear();
            if (f.size() < 5 || f.at(1).size() < 3 || f.at(1).at(2) != 'x')
                continue;
            current = path.isEmpty() ? f.at(0) : path;
            if (path == "[vdso]" || path == "[vsyscall]")
                continue;
            if (path.isEmpty() || path.startsWith('[')) {
                *why = QStringLiteral("process %1 runs code from memory that is no file (%2)").arg(pid).arg(QString::fromLatin1(current));
                return false;
            }
            const QList<QByteArray> dev = f.at(3).split(':');
            struct stat st;
            const bool same = dev.size() == 2 && stat(path.constData(), &st) == 0
                && major(st.st_dev) == dev.at(0).toUInt(nullptr, 16) && minor(st.st_dev) == dev.at(1).toUInt(nullptr, 16)
                && st.st_ino == f.at(4).toULongLong();
            if (!same || !rootsOnly(path, &seen)) {
                *why = QStringLiteral("process %1 runs code from %2, which is not root's alone")
                           .arg(pid).arg(QFile::decodeName(path));
                return false;
            }
        } else if (!current.isEmpty() && line.startsWith("Anonymous:")
                   && line.mid(10).trimmed().split(' ').first().toLongLong() != 0) {
            *why = QStringLiteral("process %1 has changed the code of %2").arg(pid).arg(QFile::decodeName(current));
            return false;
        }
    }
    return true;
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

HpPeerVerdict refuse(QString *why, const QString &text)
{
    *why = text;
    return HpPeerVerdict::Refused;
}

} // namespace

namespace {

// The gate's views of the kernel, each with the moment it was taken.
struct Fds
{
    QSet<quint64> sockets;
    qint64 at = 0;
    qint64 cost = 0; // how long taking it took
};
QHash<quint16, QVector<HpUdpSocket>> sTable;
qint64 sTableAt = -1;
qint64 sTableCost = 0;
QHash<qint64, Fds> sFds;

// A view is taken again for a datagram it does not explain only when the
// last one is ten times older than it took to take: a quiet system answers
// at once, and under a flood (large tables) the gate spends at most a tenth
// of its time reading them.
constexpr qint64 kSpendOneIn = 10;

// A few views a second may be taken whenever needed: a quiet system never
// makes a hello wait for one.
bool freeRefresh()
{
    static qint64 windowAt = 0;
    static int taken = 0;
    const qint64 now = hpPeerClockUs();
    if (now - windowAt >= 1000 * 1000) {
        windowAt = now;
        taken = 0;
    }
    return taken < 20 && ++taken;
}

} // namespace

// Runs for every hello of a flood: no allocation and no text until the
// verdict stands.
HpPeerVerdict hpPeerGate(quint16 port, qint64 pid, qint64 receivedUs, QString *why)
{
    if (pid <= 0) {
        *why = QStringLiteral("no process id");
        return HpPeerVerdict::Refused;
    }
    if (sFds.size() > 256)
        sFds.clear();
    static const QVector<HpUdpSocket> none;
    static const Fds noFds;
    enum { Pass, NoSocket, Stranger, NotTheProcess } reason = Pass;
    uint strangerUid = 0;
    quint64 foreignInode = 0;
    for (int pass = 0;; ++pass) {
        const qint64 now = hpPeerClockUs();
        const auto t = sTable.constFind(port);
        const QVector<HpUdpSocket> &all = t == sTable.constEnd() ? none : *t;
        const auto f = sFds.constFind(pid);
        const Fds &fds = f == sFds.constEnd() ? noFds : *f;
        reason = all.isEmpty() ? NoSocket : Pass;
        bool anyV4 = false;
        for (const HpUdpSocket &s : all) {
            anyV4 = anyV4 || !s.v6;
            if (reason == Pass && !userIsAdmin(s.uid)) {
                reason = Stranger;
                strangerUid = s.uid;
            }
        }
        // As in the full check: beside an IPv4 socket only IPv4 ones could have sent.
        for (const HpUdpSocket &s : all) {
            if (reason == Pass && s.v6 != anyV4 && !fds.sockets.contains(s.inode)) {
                reason = NotTheProcess;
                foreignInode = s.inode;
            }
        }
        if (reason == Pass)
            return HpPeerVerdict::Genuine;
        // A refusal stands only on views taken after the datagram came; but
        // that a known port's socket is not the named process's may stand on
        // an older table (a port given to another socket since then is
        // refused for a second at most), so that a flood from many sockets
        // is soon refused by port and the table read for new ones.
        const bool staleTable = reason != NotTheProcess && sTableAt < receivedUs;
        const bool staleFds = reason == NotTheProcess && fds.at < receivedUs;
        if (!staleTable && !staleFds)
            break;
        if (pass > 1)
            return HpPeerVerdict::Unsure;
        if (((staleTable && now - sTableAt < kSpendOneIn * sTableCost) || (staleFds && now - fds.at < kSpendOneIn * fds.cost))
            && !freeRefresh())
            return HpPeerVerdict::Unsure;
        if (staleTable) {
            sTableAt = now;
            sTable = hpUdpSocketsByPort();
            sTableCost = hpPeerClockUs() - now;
        }
        if (staleFds) {
            Fds again;
            again.at = hpPeerClockUs();
            forEachSocket(procPath(pid, "fd"), [&](quint64 inode) { again.sockets.insert(inode); });
            again.cost = hpPeerClockUs() - again.at;
            sFds.insert(pid, again);
        }
    }
    if (reason == Stranger) {
        *why = QStringLiteral("port %1 belongs to uid %2, who is not an administrator").arg(port).arg(strangerUid);
        return HpPeerVerdict::NotAdmin;
    }
    *why = reason == NoSocket ? QStringLiteral("no socket on port %1").arg(port)
                              : QStringLiteral("socket %1 on port %2 is not process %3's").arg(foreignInode).arg(port).arg(pid);
    return HpPeerVerdict::Refused;
}

HpPeerVerdict hpCheckPeer(quint16 port, qint64 pid, const QStringList &trusted, quint64 *startTime, QString *why)
{
    const HpPeerVerdict refused = HpPeerVerdict::Refused;
    if (pid <= 0)
        return refuse(why, QStringLiteral("no process id"));
    const quint64 started = startTimeOf(pid);
    if (started == 0)
        return refuse(why, QStringLiteral("process %1 does not exist").arg(pid));
    if (*startTime != 0 && started != *startTime)
        return refuse(why, QStringLiteral("process %1 is not the one that said hello").arg(pid));

    const Status status = statusOf(pid);
    if (!status.ok)
        return refuse(why, QStringLiteral("cannot read the status of process %1").arg(pid));
    if (!processIsAdmin(status)) {
        refuse(why, QStringLiteral("process %1 runs as uid %2 without the administrators' group %3")
                        .arg(pid).arg(status.uid[1]).arg(hpPeerAdminGroup()));
        return HpPeerVerdict::NotAdmin;
    }
    if (status.tracer != 0)
        return refuse(why, QStringLiteral("process %1 is traced by %2").arg(pid).arg(status.tracer));
    if (dumpable(pid, status))
        return refuse(why, QStringLiteral("process %1 is dumpable: its user can reach into it").arg(pid));

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

    // A cheap first test; the memory map below is the proof.
    bool envReadable = false;
    const QByteArray injecting = injectingVariable(pid, &envReadable);
    if (!envReadable)
        return refuse(why, QStringLiteral("cannot read the environment of process %1").arg(pid));
    if (!injecting.isEmpty())
        return refuse(why, QStringLiteral("process %1 carries %2").arg(pid).arg(QString::fromLatin1(injecting)));
    if (!codeIsRoots(pid, why))
        return refused;

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
        return refused;

    // Code loaded, a tracer attached or an exec or a new process under the
    // same pid during the walk.
    if (!codeIsRoots(pid, why))
        return refused;
    const Status after = statusOf(pid);
    if (!after.ok || after.tracer != 0 || dumpable(pid, after) || !processIsAdmin(after))
        return refuse(why, QStringLiteral("process %1 changed while it was checked").arg(pid));
    if (!(readExe(pid) == before) || startTimeOf(pid) != started)
        return refuse(why, QStringLiteral("process %1 changed while it was checked").arg(pid));
    *startTime = started;
    return HpPeerVerdict::Genuine;
}
