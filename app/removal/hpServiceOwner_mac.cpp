#include "hpServiceOwner.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/in_pcb.h>
#include <sys/socket.h>
#include <sys/socketvar.h>
#include <sys/sysctl.h>
#include <sys/types.h>

// The system's table of UDP sockets, which netstat reads too: any user may
// read it, and each entry carries the uid of the socket's owner, where asking
// libproc about a root process's descriptors is refused to an ordinary user.
bool hpServiceRunsAsRoot(quint16 port, QString *why)
{
    size_t len = 0;
    if (sysctlbyname("net.inet.udp.pcblist", nullptr, &len, nullptr, 0) != 0 || len == 0) {
        *why = QStringLiteral("cannot read the socket table");
        return false;
    }
    // Room for sockets opened between the two calls.
    QByteArray table(int(len + len / 4 + 4096), 0);
    len = size_t(table.size());
    if (sysctlbyname("net.inet.udp.pcblist", table.data(), &len, nullptr, 0) != 0) {
        *why = QStringLiteral("cannot read the socket table");
        return false;
    }
    const char *at = table.constData();
    const char *const end = at + len;
    if (len < sizeof(xinpgen))
        return false;
    at += reinterpret_cast<const xinpgen *>(at)->xig_len;

    int found = 0;
    // Entries follow the header until a closing xinpgen, shorter than an entry.
    while (at + sizeof(xinpcb) <= end) {
        const xinpcb *entry = reinterpret_cast<const xinpcb *>(at);
        if (entry->xi_len < sizeof(xinpcb))
            break;
        at += entry->xi_len;
        const auto &inp = entry->xi_inp;
        if (ntohs(inp.inp_lport) != port)
            continue;
        bool canAnswer = false;
        if (inp.inp_vflag & INP_IPV4) {
            const in_addr_t a = ntohl(inp.inp_laddr.s_addr);
            canAnswer = a == INADDR_ANY || a == INADDR_LOOPBACK;
        } else if (inp.inp_vflag & INP_IPV6) {
            canAnswer = true; // a dual-stack socket may answer as 127.0.0.1
        }
        if (!canAnswer)
            continue;
        ++found;
        if (entry->xi_socket.so_uid != 0) {
            *why = QStringLiteral("port %1 is held by uid %2").arg(port).arg(entry->xi_socket.so_uid);
            return false;
        }
    }
    if (!found)
        *why = QStringLiteral("no socket on port %1").arg(port);
    return found > 0;
}
