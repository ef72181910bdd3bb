// A second process on the helper channel, for what the test process cannot
// be itself: a client that is traced, carries loader variables or foreign
// code, shares its socket with a child, runs in another mount namespace or
// under another user; an IPv6 squatter; a stand-in service run by an
// ordinary user; an attacker of the same user.
//
//   channel_probe hello PORT [--trace] [--thrice]
//                                              raw hello (three at once);
//                                              prints answered|silent|
//                                              not-admin N (N such answers)
//   channel_probe raw-remove PORT PATH         raw hello, then the command
//                                              whatever the answer; prints both
//   channel_probe idle                         prints "ready", waits
//   channel_probe inherit PORT                 starts "idle" holding a socket
//                                              whose other copy waits in a
//                                              descriptor message, says hello
//                                              from it for the child; prints
//                                              answered|silent
//   channel_probe reach PID                    attaches to PID and opens its
//                                              memory; prints the outcomes
//   channel_probe remove PATH [--trace|--fork] full client; prints the answer
//                                              or "no answer"; the option acts
//                                              between handshake and command
//   channel_probe squat6 PORT                  binds [::]:PORT IPv6-only
//   channel_probe fake-service PORT UID        answers hellos on 127.0.0.1:PORT
//                                              as UID
// squat6, fake-service and idle print "ready" and run until stdin closes.
// Options first in any mode: --as UID:GID[:GROUP...] runs under those ids;
// --dumpable leaves the process dumpable (as the hardening is not);
// --dlopen LIB loads LIB before anything is sent; --patch rewrites a page of
// its own code in place (as a breakpoint does); --jit maps anonymous
// executable memory.
#include "hpChannel.h"
#include "hpClient.h"
#include "hpHarden.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QThread>
#include <QVector>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/select.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void say(const QByteArray &text)
{
    printf("%s\n", text.constData());
    fflush(stdout);
}

// Forks a child that traces this process (PTRACE_SEIZE: no stop) and passes
// every signal on; returns once the trace is in place. The child keeps none
// of our descriptors, so it holds no socket of ours.
pid_t becomeTraced()
{
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY);
    const pid_t me = getpid();
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t tracer = fork();
    if (tracer == 0) {
        for (int fd = 0; fd < 1024; ++fd)
            if (fd != ready[1])
                close(fd);
        if (ptrace(PTRACE_SEIZE, me, nullptr, nullptr) != 0)
            _exit(1);
        if (write(ready[1], "t", 1) != 1)
            _exit(1);
        for (;;) {
            int status = 0;
            if (waitpid(me, &status, __WALL) < 0 || WIFEXITED(status) || WIFSIGNALED(status))
                _exit(0);
            if (WIFSTOPPED(status))
                ptrace(PTRACE_CONT, me, nullptr, reinterpret_cast<void *>(long(WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status))));
        }
    }
    char c = 0;
    close(ready[1]);
    const bool ok = read(ready[0], &c, 1) == 1;
    close(ready[0]);
    return ok ? tracer : -1;
}

void waitForStdinToClose()
{
    char buf[64];
    while (read(0, buf, sizeof buf) > 0) {
    }
}

const QByteArray kNotAdmin = "Kestrelswp-Magic!admin";

// What came back for a hello within 3 s: answered, silent, or "not-admin N"
// with the number of such answers within half a second of the first.
QByteArray helloAnswer(QUdpSocket &socket)
{
    if (!socket.waitForReadyRead(3000))
        return "silent";
    if (socket.receiveDatagram().data() != kNotAdmin)
        return "answered";
    int n = 1;
    while (socket.waitForReadyRead(500))
        n += socket.receiveDatagram().data() == kNotAdmin;
    return "not-admin " + QByteArray::number(n);
}

int hello(quint16 port, bool thrice)
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(QHostAddress::LocalHost), 0, QAbstractSocket::DontShareAddress))
        return 2;
    for (int i = 0; i < (thrice ? 3 : 1); ++i)
        socket.writeDatagram(hpHelloText(QCoreApplication::applicationPid()), QHostAddress(QHostAddress::LocalHost), port);
    say(helloAnswer(socket));
    return 0;
}

int rawRemove(quint16 port, const QString &path)
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(QHostAddress::LocalHost), 0, QAbstractSocket::DontShareAddress))
        return 2;
    const QHostAddress service(QHostAddress::LocalHost);
    socket.writeDatagram(hpHelloText(QCoreApplication::applicationPid()), service, port);
    const QByteArray answer = helloAnswer(socket);
    socket.writeDatagram(("[remove]1;0:" + path.toUtf8()).toBase64(), service, port);
    say(answer + ' ' + (socket.waitForReadyRead(2000) ? socket.receiveDatagram().data() : QByteArray("no-result")));
    return 0;
}

// Passes fd through the socket pair and closes it: the copy in the message
// is in no process's descriptor table until it is taken out again.
void park(int pair, int fd)
{
    char byte = 0;
    iovec iov{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr *c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(sizeof(int));
    memcpy(CMSG_DATA(c), &fd, sizeof fd);
    sendmsg(pair, &msg, 0);
    close(fd);
}

int unpark(int pair)
{
    char byte = 0;
    iovec iov{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    if (recvmsg(pair, &msg, 0) != 1 || !CMSG_FIRSTHDR(&msg))
        return -1;
    int fd = -1;
    memcpy(&fd, CMSG_DATA(CMSG_FIRSTHDR(&msg)), sizeof fd);
    return fd;
}

// The application started holding the attacker's socket, the attacker's
// own copy parked in a message whenever the service may look.
int inherit(quint16 port, const char *self)
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int pair[2];
    int ready[2];
    if (s < 0 || bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || socketpair(AF_UNIX, SOCK_DGRAM, 0, pair) != 0 || pipe(ready) != 0)
        return 2;
    const pid_t child = fork();
    if (child == 0) {
        dup2(ready[1], 1);
        close(pair[0]);
        close(pair[1]);
        execl("/proc/self/exe", self, "idle", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    park(pair[0], s);
    char line[16] = {};
    if (read(ready[0], line, sizeof line - 1) <= 0)
        return 2;
    addr.sin_port = htons(port);
    const QByteArray hello = hpHelloText(child);
    int fd = unpark(pair[1]);
    sendto(fd, hello.constData(), size_t(hello.size()), 0, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    park(pair[0], fd);
    QThread::msleep(3000);
    fd = unpark(pair[1]);
    char buf[64];
    say(recv(fd, buf, sizeof buf, MSG_DONTWAIT) > 0 ? "answered" : "silent");
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return 0;
}

int reach(pid_t pid)
{
    const bool attached = ptrace(PTRACE_ATTACH, pid, nullptr, nullptr) == 0;
    const QByteArray attach = attached ? "ok" : strerrorname_np(errno);
    if (attached) {
        waitpid(pid, nullptr, __WALL);
        ptrace(PTRACE_DETACH, pid, nullptr, nullptr);
    }
    const int mem = open(QByteArray("/proc/" + QByteArray::number(pid) + "/mem").constData(), O_RDWR);
    say("attach " + attach + " mem " + (mem >= 0 ? QByteArray("ok") : QByteArray(strerrorname_np(errno))));
    if (mem >= 0)
        close(mem);
    return 0;
}

int remove(const QString &path, const QString &option)
{
    if (!hpClientInit()) {
        say("no service");
        return 0;
    }
    pid_t other = 0;
    if (option == QLatin1String("--trace")) {
        other = becomeTraced();
    } else if (option == QLatin1String("--fork")) {
        other = fork(); // the child shares our socket until it is killed
        if (other == 0) {
            pause();
            _exit(0);
        }
    }
    const QByteArray request = ("[remove]1;0:" + path.toUtf8()).toBase64();
    char buf[1024];
    int n = -1;
    if (hpClientSend(request.constData(), request.size()) == request.size())
        n = hpClientRecvAnswer(buf, 1023, 10000, 60000);
    hpClientUninit();
    if (other > 0) {
        kill(other, SIGKILL);
        waitpid(other, nullptr, 0);
    }
    say(n > 0 ? QByteArray(buf, n) : QByteArray("no answer"));
    return 0;
}

int squat6(quint16 port)
{
    const int fd = socket(AF_INET6, SOCK_DGRAM, 0);
    const int one = 1;
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_port = htons(port);
    addr.sin6_addr = in6addr_any;
    if (fd < 0 || setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one) != 0
        || bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        say("cannot bind");
        return 2;
    }
    say("ready");
    waitForStdinToClose();
    return 0;
}

int fakeService(quint16 port, uid_t uid)
{
    // The user first: a socket belongs to whoever made it.
    if (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0) {
        say("cannot change user");
        return 2;
    }
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(QHostAddress::LocalHost), port, QAbstractSocket::DontShareAddress)) {
        say("cannot bind");
        return 2;
    }
    say("ready");
    const QByteArray reply = hpHelloText(QCoreApplication::applicationPid());
    for (;;) {
        if (socket.waitForReadyRead(100)) {
            while (socket.hasPendingDatagrams()) {
                char buf[1024];
                QHostAddress from;
                quint16 fromPort = 0;
                const qint64 n = socket.readDatagram(buf, sizeof buf, &from, &fromPort);
                if (n > 0 && hpIsHello(buf, int(n)))
                    socket.writeDatagram(reply, from, fromPort);
            }
        }
        // Ends with the test: stdin is a pipe that closes when the test does.
        fd_set in;
        FD_ZERO(&in);
        FD_SET(0, &in);
        timeval none{0, 0};
        char c;
        if (select(1, &in, nullptr, nullptr, &none) > 0 && read(0, &c, 1) <= 0)
            return 0;
    }
}

// The options that act before anything else: ids, dumpability, a library.
bool takeOptions(int *argc, char **argv)
{
    int out = 1;
    for (int i = 1; i < *argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--as" && i + 1 < *argc) {
            const QList<QByteArray> ids = QByteArray(argv[++i]).split(':');
            QVector<gid_t> groups;
            for (int g = 2; g < ids.size(); ++g)
                groups.append(gid_t(ids.at(g).toUInt()));
            if (ids.size() < 2 || setgroups(size_t(groups.size()), groups.data()) != 0
                || setgid(gid_t(ids.at(1).toUInt())) != 0 || setuid(uid_t(ids.at(0).toUInt())) != 0)
                return false;
        } else if (a == "--dumpable") {
            prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
            prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY);
        } else if (a == "--dlopen" && i + 1 < *argc) {
            if (!dlopen(argv[++i], RTLD_NOW))
                return false;
        } else if (a == "--patch") {
            // The same byte written back: the page is the process's own copy now.
            const long pageSize = sysconf(_SC_PAGESIZE);
            auto *code = reinterpret_cast<volatile unsigned char *>(reinterpret_cast<quintptr>(&say));
            void *page = reinterpret_cast<void *>(reinterpret_cast<quintptr>(&say) & ~quintptr(pageSize - 1));
            if (mprotect(page, size_t(pageSize), PROT_READ | PROT_WRITE | PROT_EXEC) != 0)
                return false;
            *code = *code;
            mprotect(page, size_t(pageSize), PROT_READ | PROT_EXEC);
        } else if (a == "--jit") {
            if (mmap(nullptr, 4096, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) == MAP_FAILED)
                return false;
        } else {
            argv[out++] = argv[i];
        }
    }
    *argc = out;
    argv[out] = nullptr;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // The genuine application's first act; the options may undo it.
    hpHardenProcess();
    if (!takeOptions(&argc, argv)) {
        say("bad option");
        return 2;
    }
    // The tracer is forked before Qt starts any thread.
    const bool traceFirst = argc > 3 && QByteArray(argv[1]) == "hello" && QByteArray(argv[3]) == "--trace";
    if (traceFirst && becomeTraced() < 0)
        return 2;
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("hello"))
        return hello(quint16(args.at(2).toUInt()), args.contains(QLatin1String("--thrice")));
    if (args.size() >= 4 && args.at(1) == QLatin1String("raw-remove"))
        return rawRemove(quint16(args.at(2).toUInt()), args.at(3));
    if (args.size() >= 2 && args.at(1) == QLatin1String("idle")) {
        say("ready");
        waitForStdinToClose();
        return 0;
    }
    if (args.size() >= 3 && args.at(1) == QLatin1String("inherit"))
        return inherit(quint16(args.at(2).toUInt()), argv[0]);
    if (args.size() >= 3 && args.at(1) == QLatin1String("reach"))
        return reach(pid_t(args.at(2).toInt()));
    if (args.size() >= 3 && args.at(1) == QLatin1String("remove"))
        return remove(args.at(2), args.value(3));
    if (args.size() >= 3 && args.at(1) == QLatin1String("squat6"))
        return squat6(quint16(args.at(2).toUInt()));
    if (args.size() >= 4 && args.at(1) == QLatin1String("fake-service"))
        return fakeService(quint16(args.at(2).toUInt()), uid_t(args.at(3).toUInt()));
    fprintf(stderr, "usage: see the head of channel_probe.cpp\n");
    return 2;
}
