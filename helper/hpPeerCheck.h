#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the service concludes about the sender of a datagram.
enum class HpPeerVerdict {
    Genuine,  // the genuine application of an administrator (or root)
    Refused,  // anything else; the sender gets no answer
    NotAdmin, // refused because the sender's user is not an administrator
    Unsure,   // the cheap gate's cached view is too old to refuse on; drop
              // this datagram without remembering the sender
};

// The group whose members may ask (gid 80, "admin", unless the launch
// definition names another). Set before the first check.
void hpPeerSetAdminGroup(uint gid);
uint hpPeerAdminGroup();

// The cheap test every hello passes before hpCheckPeer walks anything: the
// sockets on the port belong to an administrator (or root), and the named
// process could hold them. Judged from views of the kernel's tables that are
// cached for a few tens of milliseconds; receivedUs (steady clock,
// microseconds) is a moment after the datagram arrived, so a view taken later
// is known to include its socket. Genuine here means only "worth checking".
HpPeerVerdict hpPeerGate(quint16 port, qint64 pid, qint64 receivedUs, QString *why);

// Whether a datagram that came from 127.0.0.1:port on behalf of process pid
// comes from the genuine application, judged from what the kernel says at
// this moment, never from the datagram: the process's user is an
// administrator (or root); every socket that could have sent from that
// address and port belongs to pid and to no other process; pid runs one of
// the trusted executables (owned by root, writable by nobody else), in the
// service's own mount namespace, untraced and out of reach of its user
// (Linux: not dumpable), with no code mapped that root does not own
// (macOS: signed by the maker, checked strictly).
//
// Asked for the hello and again for every later datagram. *startTime is 0 for
// the hello and receives the process's start time; afterwards it carries that
// value, so a process that took over a reused pid is refused. Unless Genuine,
// why says what failed.
HpPeerVerdict hpCheckPeer(quint16 port, qint64 pid, const QStringList &trusted, quint64 *startTime, QString *why);

// Microseconds of the steady clock, the time base of hpPeerGate.
qint64 hpPeerClockUs();

// Whether the user is root or an administrator, as lookUp (the system's
// account database) says; each answer is kept ten seconds, so a flood costs
// no look-ups.
bool hpPeerUserIsAdmin(uint uid, bool (*lookUp)(uint uid));
