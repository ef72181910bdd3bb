#include "hpPeerCheck.h"

#include <QFile>
#include <QVector>

#include <arpa/inet.h>
#include <libproc.h>
#include <netinet/in.h>
#include <sys/proc_info.h>

namespace {

// Whether a socket bound to this local address can send as 127.0.0.1.
bool sendsFromLoopback(const in_sockinfo &in)
{
    if (in.insi_vflag & INI_IPV4) {
        const in_addr_t a = ntohl(in.insi_laddr.ina_46.i46a_addr4.s_addr);
        return a == INADDR_ANY || a == INADDR_LOOPBACK;
    }
    if (in.insi_vflag & INI_IPV6) {
        const in6_addr &a = in.insi_laddr.ina_6;
        if (IN6_IS_ADDR_UNSPECIFIED(&a))
            return true;
        return IN6_IS_ADDR_V4MAPPED(&a) && ntohl(*reinterpret_cast<const uint32_t *>(&a.s6_addr[12])) == INADDR_LOOPBACK;
    }
    return false;
}

// Whether process pid holds a UDP socket bound to the port that can send as
// 127.0.0.1.
bool ownsUdpPort(pid_t pid, quint16 port, int *count)
{
    const int bytes = proc_pidinfo(pid, PROC_PIDLISTFDS, 0, nullptr, 0);
    if (bytes <= 0)
        return false;
    QVector<proc_fdinfo> fds(bytes / int(sizeof(proc_fdinfo)) + 16);
    const int got = proc_pidinfo(pid, PROC_PIDLISTFDS, 0, fds.data(), fds.size() * int(sizeof(proc_fdinfo)));
    if (got <= 0)
        return false;
    *count = 0;
    for (int i = 0; i < got / int(sizeof(proc_fdinfo)); ++i) {
        if (fds[i].proc_fdtype != PROX_FDTYPE_SOCKET)
            continue;
        socket_fdinfo si;
        if (proc_pidfdinfo(pid, fds[i].proc_fd, PROC_PIDFDSOCKETINFO, &si, sizeof si) != int(sizeof si))
            continue;
        if (si.psi.soi_kind != SOCKINFO_IN || si.psi.soi_protocol != IPPROTO_UDP)
            continue;
        const in_sockinfo &in = si.psi.soi_proto.pri_in;
        if (ntohs(quint16(in.insi_lport)) == port && sendsFromLoopback(in))
            ++*count;
    }
    return *count > 0;
}

} // namespace

// libproc cannot list every process's sockets by port cheaply, so instead of
// the whole-system check of the Linux twin this one asks: does pid own a
// socket on the port, and does no other process (walked with proc_listallpids)
// own one too.
bool hpPeerIsGenuine(quint16 port, qint64 pid, const QStringList &trusted, QString *why)
{
    if (pid <= 0) {
        *why = QStringLiteral("no process id");
        return false;
    }
    int mine = 0;
    if (!ownsUdpPort(pid_t(pid), port, &mine)) {
        *why = QStringLiteral("process %1 has no socket on port %2").arg(pid).arg(port);
        return false;
    }
    const int n = proc_listallpids(nullptr, 0);
    QVector<pid_t> pids(n > 0 ? n + 64 : 0);
    const int listed = n > 0 ? proc_listallpids(pids.data(), pids.size() * int(sizeof(pid_t))) : 0;
    for (int i = 0; i < listed; ++i) {
        int theirs = 0;
        if (pids[i] != pid_t(pid) && pids[i] > 0 && ownsUdpPort(pids[i], port, &theirs)) {
            *why = QStringLiteral("process %1 also has a socket on port %2").arg(pids[i]).arg(port);
            return false;
        }
    }
    char exe[PROC_PIDPATHINFO_MAXSIZE];
    if (proc_pidpath(pid_t(pid), exe, sizeof exe) <= 0) {
        *why = QStringLiteral("process %1 has no executable").arg(pid);
        return false;
    }
    const QString path = QFile::decodeName(exe);
    if (!trusted.contains(path)) {
        *why = QStringLiteral("process %1 runs %2").arg(pid).arg(path);
        return false;
    }
    return true;
}
