#include "hpServiceOwner.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <cstring>
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
    const char table[] = "net.inet.udp.pcblist64";
    size_t len = 0;
    if (sysctlbyname(table, nullptr, &len, nullptr, 0) != 0 || len == 0) {
        *why = QStringLiteral("cannot read the socket table");
        return false;
    }
    // Room for sockets opened between the two calls.
    QByteArray buf(int(len + len / 4 + 4096), 0);
    len = size_t(buf.size());
    if (sysctlbyname(table, buf.data(), &len, nullptr, 0) != 0 || len < sizeof(xinpgen)) {
        *why = QStringLiteral("cannot read the socket table");
        return false;
    }
    const char *at = buf.constData();
    const char *const end = at + len;
    at += reinterpret_cast<const xinpgen *>(at)->xig_len;

    int found = 0;
    // Entries follow the header up to a closing xinpgen; each begins with its
    // 64-bit length.
    while (at + sizeof(xinpcb64) <= end) {
        xinpcb64 entry;
        memcpy(&entry, at, sizeof entry); // the table gives no alignment promise
        if (entry.xi_len < sizeof(xinpcb64) || entry.xi_len > quint64(end - at))
            break;
        at += entry.xi_len;
        if (ntohs(entry.inp_lport) != port)
            continue;
        bool canAnswer = false;
        if (entry.inp_vflag & INP_IPV4) {
            const in_addr_t a = ntohl(entry.inp_dependladdr.inp46_local.ia46_addr4.s_addr);
            canAnswer = a == INADDR_ANY || a == INADDR_LOOPBACK;
        } else if (entry.inp_vflag & INP_IPV6) {
            canAnswer = true; // a dual-stack socket may answer as 127.0.0.1
        }
        if (!canAnswer)
            continue;
        ++found;
        if (entry.xi_socket.so_uid != 0) {
            *why = QStringLiteral("port %1 is held by uid %2").arg(port).arg(entry.xi_socket.so_uid);
            return false;
        }
    }
    if (!found)
        *why = QStringLiteral("no socket on port %1").arg(port);
    return found > 0;
}
