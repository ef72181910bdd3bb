#include "hpPeerCheck.h"

#include <QByteArray>
#include <QFile>
#include <QVector>

#include <Security/Security.h>
#include <arpa/inet.h>
#include <climits>
#include <cstring>
#include <libproc.h>
#include <membership.h>
#include <netinet/in.h>
#include <sys/proc.h>
#include <sys/proc_info.h>
#include <sys/sysctl.h>

// The maker's signing team, a build setting (KS_TEAM_ID); the bundle
// identifier is the application's own.
#ifndef KS_TEAM_ID
#error "KS_TEAM_ID must name the team that signs the application"
#endif

namespace {

const char kBundleId[] = "com.vextora.Kestrelsweep";

struct ProcInfo
{
    bool ok = false;
    quint64 started = 0; // microseconds since the epoch
    bool traced = false;
    bool zombie = false; // gone but not yet reaped: holds no descriptors
};

// A member of the administrators' group as the system's membership call says
// (it knows nested and directory groups).
bool lookUpAdmin(uint uid)
{
    uuid_t user;
    uuid_t group;
    int member = 0;
    return mbr_uid_to_uuid(uid_t(uid), user) == 0 && mbr_gid_to_uuid(gid_t(hpPeerAdminGroup()), group) == 0
        && mbr_check_membership(user, group, &member) == 0 && member == 1;
}

bool userIsAdmin(uid_t uid)
{
    return hpPeerUserIsAdmin(uint(uid), lookUpAdmin);
}

// The process's effective user; false when it cannot be read.
bool userOf(pid_t pid, uid_t *uid)
{
    proc_bsdinfo info;
    if (proc_pidinfo(pid, PROC_PIDTBSDINFO, 0, &info, int(sizeof info)) != int(sizeof info))
        return false;
    *uid = info.pbi_uid;
    return true;
}

ProcInfo procInfo(pid_t pid)
{
    ProcInfo info;
    kinfo_proc kp;
    size_t len = sizeof kp;
    int mib[4] = {CTL_KERN, KERN_PROC, KERN_PROC_PID, pid};
    if (sysctl(mib, 4, &kp, &len, nullptr, 0) != 0 || len != sizeof kp)
        return info;
    info.ok = true;
    info.started = quint64(kp.kp_proc.p_starttime.tv_sec) * 1000000u + quint64(kp.kp_proc.p_starttime.tv_usec);
    info.traced = (kp.kp_proc.p_flag & P_TRACED) != 0;
    info.zombie = kp.kp_proc.p_stat == SZOMB;
    return info;
}

// The first DYLD_ variable of the process's environment (or arguments);
// empty when there is none. *readable is false when the arguments area cannot be read.
QByteArray dyldVariable(pid_t pid, bool *readable)
{
    *readable = false;
    int argmax = 0;
    size_t size = sizeof argmax;
    int mibMax[2] = {CTL_KERN, KERN_ARGMAX};
    if (sysctl(mibMax, 2, &argmax, &size, nullptr, 0) != 0 || argmax <= 0)
        return QByteArray();
    QByteArray area(argmax, 0);
    size = size_t(argmax);
    int mib[3] = {CTL_KERN, KERN_PROCARGS2, pid};
    if (sysctl(mib, 3, area.data(), &size, nullptr, 0) != 0 || size < sizeof(int))
        return QByteArray();
    *readable = true;
    // argc, the executable's path, NUL padding, the arguments, then the
    // environment. An empty argument cannot be told from the padding, so
    // every string is looked at: an argument that looks like a DYLD_
    // assignment is refused as well.
    const QList<QByteArray> strings = area.left(int(size)).mid(int(sizeof(int))).split('\0');
    for (const QByteArray &s : strings)
        if (s.startsWith("DYLD_") && s.contains('='))
            return s.left(s.indexOf('='));
    return QByteArray();
}

bool signedByMaker(pid_t pid, QString *why)
{
    const QString requirementText =
        QStringLiteral("identifier \"%1\" and anchor apple generic and certificate leaf[subject.OU] = \"%2\"")
            .arg(QLatin1String(kBundleId), QLatin1String(KS_TEAM_ID));
    CFStringRef requirementString = requirementText.toCFString();
    SecRequirementRef requirement = nullptr;
    OSStatus status = SecRequirementCreateWithString(requirementString, kSecCSDefaultFlags, &requirement);
    CFRelease(requirementString);
    if (status != errSecSuccess) {
        *why = QStringLiteral("bad signing requirement (%1)").arg(status);
        return false;
    }
    int pidValue = pid;
    CFNumberRef pidNumber = CFNumberCreate(nullptr, kCFNumberIntType, &pidValue);
    const void *keys[] = {kSecGuestAttributePid};
    const void *values[] = {pidNumber};
    CFDictionaryRef attributes = CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                                                    &kCFTypeDictionaryValueCallBacks);
    SecCodeRef code = nullptr;
    status = SecCodeCopyGuestWithAttributes(nullptr, attributes, kSecCSDefaultFlags, &code);
    CFRelease(attributes);
    CFRelease(pidNumber);
    if (status == errSecSuccess)
        status = SecCodeCheckValidity(code, kSecCSStrictValidate, requirement);
    // The hardened runtime with library validation keeps debuggers and
    // foreign libraries out; an entitlement that lifts either lets them in.
    bool hardened = false;
    CFDictionaryRef info = nullptr;
    if (status == errSecSuccess
        && SecCodeCopySigningInformation(code, SecCSFlags(kSecCSDynamicInformation | kSecCSSigningInformation | kSecCSRequirementInformation), &info) == errSecSuccess
        && info) {
        quint32 flags = 0;
        quint32 dynamic = 0;
        const auto flagsNumber = static_cast<CFNumberRef>(CFDictionaryGetValue(info, kSecCodeInfoFlags));
        const auto statusNumber = static_cast<CFNumberRef>(CFDictionaryGetValue(info, kSecCodeInfoStatus));
        const auto entitlements = static_cast<CFDictionaryRef>(CFDictionaryGetValue(info, kSecCodeInfoEntitlementsDict));
        hardened = flagsNumber && CFNumberGetValue(flagsNumber, kCFNumberSInt32Type, &flags)
            && statusNumber && CFNumberGetValue(statusNumber, kCFNumberSInt32Type, &dynamic)
            && (flags & kSecCodeSignatureRuntime) && (dynamic & kSecCodeStatusValid) && !(dynamic & kSecCodeStatusDebugged);
        for (const char *lifting : {"com.apple.security.cs.disable-library-validation",
                                    "com.apple.security.cs.allow-dyld-environment-variables",
                                    "com.apple.security.get-task-allow",
                                    "com.apple.security.cs.allow-unsigned-executable-memory",
                                    "com.apple.security.cs.disable-executable-page-protection"}) {
            CFStringRef key = CFStringCreateWithCString(nullptr, lifting, kCFStringEncodingUTF8);
            if (entitlements && CFGetTypeID(entitlements) == CFDictionaryGetTypeID() && CFDictionaryContainsKey(entitlements, key))
                hardened = false;
            CFRelease(key);
        }
        CFRelease(info);
    }
    if (code)
        CFRelease(code);
    CFRelease(requirement);
    if (status != errSecSuccess) {
        *why = QStringLiteral("process %1 is not signed by the maker (%2)").arg(pid).arg(status);
        return false;
    }
    if (!hardened) {
        *why = QStringLiteral("process %1 does not run with the hardened runtime and library validation").arg(pid);
        return false;
    }
    return true;
}

// UDP sockets of pid bound to the port that can send as 127.0.0.1, counted
// per family; false when the process's descriptors cannot be read.
bool udpSocketsOnPort(pid_t pid, quint16 port, int *v4, int *v6)
{
    *v4 = *v6 = 0;
    const int bytes = proc_pidinfo(pid, PROC_PIDLISTFDS, 0, nullptr, 0);
    if (bytes <= 0)
        return false;
    QVector<proc_fdinfo> fds(bytes / int(sizeof(proc_fdinfo)) + 16);
    const int got = proc_pidinfo(pid, PROC_PIDLISTFDS, 0, fds.data(), fds.size() * int(sizeof(proc_fdinfo)));
    if (got <= 0)
        return false;
    for (int i = 0; i < got / int(sizeof(proc_fdinfo)); ++i) {
        if (fds[i].proc_fdtype != PROX_FDTYPE_SOCKET)
            continue;
        socket_fdinfo si;
        if (proc_pidfdinfo(pid, fds[i].proc_fd, PROC_PIDFDSOCKETINFO, &si, sizeof si) != int(sizeof si))
            continue;
        if (si.psi.soi_kind != SOCKINFO_IN || si.psi.soi_protocol != IPPROTO_UDP)
            continue;
        const in_sockinfo &in = si.psi.soi_proto.pri_in;
        if (ntohs(quint16(in.insi_lport)) != port)
            continue;
        if (in.insi_vflag & INI_IPV4) {
            const in_addr_t a = ntohl(in.insi_laddr.ina_46.i46a_addr4.s_addr);
            if (a == INADDR_ANY || a == INADDR_LOOPBACK)
                ++*v4;
        } else if (in.insi_vflag & INI_IPV6) {
            const in6_addr &a = in.insi_laddr.ina_6;
            if (IN6_IS_ADDR_UNSPECIFIED(&a)
                || (IN6_IS_ADDR_V4MAPPED(&a) && ntohl(*reinterpret_cast<const uint32_t *>(&a.s6_addr[12])) == INADDR_LOOPBACK))
                ++*v6;
        }
    }
    return true;
}

HpPeerVerdict refuse(QString *why, const QString &text)
{
    *why = text;
    return HpPeerVerdict::Refused;
}

} // namespace

// The named process's user and its sockets: one process's tables, no walk.
// (There is no table of every socket's owner to read here.)
HpPeerVerdict hpPeerGate(quint16 port, qint64 pid, qint64, QString *why)
{
    if (pid <= 0 || pid > INT_MAX)
        return refuse(why, QStringLiteral("no process id"));
    int mine4 = 0, mine6 = 0;
    if (!udpSocketsOnPort(pid_t(pid), port, &mine4, &mine6) || mine4 + mine6 == 0)
        return refuse(why, QStringLiteral("process %1 has no socket on port %2").arg(pid).arg(port));
    uid_t uid = 0;
    if (!userOf(pid_t(pid), &uid))
        return refuse(why, QStringLiteral("process %1 does not exist").arg(pid));
    if (!userIsAdmin(uid)) {
        *why = QStringLiteral("process %1 runs as uid %2, who is not an administrator").arg(pid).arg(uid);
        return HpPeerVerdict::NotAdmin;
    }
    return HpPeerVerdict::Genuine;
}

// The Linux twin's rule with the means macOS has: the code signature,
// validated strictly, stands for the trusted executable and for the code
// inside it (an application may live anywhere, and the hardened runtime with
// library validation keeps debuggers and injected libraries out of a signed
// process), and there are no mount namespaces. The trusted list is not
// consulted.
HpPeerVerdict hpCheckPeer(quint16 port, qint64 pid, const QStringList &, quint64 *startTime, QString *why)
{
    if (pid <= 0 || pid > INT_MAX)
        return refuse(why, QStringLiteral("no process id"));
    const pid_t p = pid_t(pid);
    const ProcInfo before = procInfo(p);
    if (!before.ok)
        return refuse(why, QStringLiteral("process %1 does not exist").arg(pid));
    if (*startTime != 0 && before.started != *startTime)
        return refuse(why, QStringLiteral("process %1 is not the one that said hello").arg(pid));
    uid_t uid = 0;
    if (!userOf(p, &uid))
        return refuse(why, QStringLiteral("process %1 does not exist").arg(pid));
    if (!userIsAdmin(uid)) {
        *why = QStringLiteral("process %1 runs as uid %2, who is not an administrator").arg(pid).arg(uid);
        return HpPeerVerdict::NotAdmin;
    }
    if (before.traced)
        return refuse(why, QStringLiteral("process %1 is traced").arg(pid));
    bool readable = false;
    const QByteArray dyld = dyldVariable(p, &readable);
    if (!readable)
        return refuse(why, QStringLiteral("cannot read the environment of process %1").arg(pid));
    if (!dyld.isEmpty())
        return refuse(why, QStringLiteral("process %1 carries %2").arg(pid).arg(QString::fromLatin1(dyld)));
    if (!signedByMaker(p, why))
        return HpPeerVerdict::Refused;

    int mine4 = 0, mine6 = 0;
    if (!udpSocketsOnPort(p, port, &mine4, &mine6) || mine4 + mine6 == 0)
        return refuse(why, QStringLiteral("process %1 has no socket on port %2").arg(pid).arg(port));
    // The application binds 127.0.0.1 without sharing the port: beside its
    // IPv4 socket an IPv6 one can only be IPv6-only, and cannot have sent.
    const bool countV6 = mine4 == 0;
    const int n = proc_listallpids(nullptr, 0);
    QVector<pid_t> pids(n > 0 ? n + 64 : 0);
    const int listed = n > 0 ? proc_listallpids(pids.data(), pids.size() * int(sizeof(pid_t))) : 0;
    if (listed <= 0)
        return refuse(why, QStringLiteral("cannot list the processes"));
    for (int i = 0; i < listed; ++i) {
        if (pids[i] == p || pids[i] <= 0)
            continue;
        int theirs4 = 0, theirs6 = 0;
        // A table that cannot be read could hold the socket; the service runs
        // as root, so this only happens for processes that are gone.
        if (!udpSocketsOnPort(pids[i], port, &theirs4, &theirs6)) {
            const ProcInfo other = procInfo(pids[i]);
            if (other.ok && !other.zombie)
                return refuse(why, QStringLiteral("cannot read the descriptors of process %1").arg(pids[i]));
            continue;
        }
        if (theirs4 > 0 || (countV6 && theirs6 > 0))
            return refuse(why, QStringLiteral("a socket on port %1 is also held by process %2").arg(port).arg(pids[i]));
    }

    // An exec or a new process under the same pid meanwhile.
    const ProcInfo after = procInfo(p);
    uid_t uidAfter = 0;
    if (!after.ok || after.started != before.started || after.traced || !userOf(p, &uidAfter) || uidAfter != uid
        || !signedByMaker(p, why))
        return refuse(why, QStringLiteral("process %1 changed while it was checked").arg(pid));
    *startTime = before.started;
    return HpPeerVerdict::Genuine;
}
