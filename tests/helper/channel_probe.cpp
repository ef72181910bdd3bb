// A second process on the helper channel, for what the test process cannot
// be itself: a client that is traced, carries loader variables, shares its
// socket with a child or runs in another mount namespace; an IPv6 squatter;
// a stand-in service run by an ordinary user.
//
//   channel_probe hello PORT [--trace]        raw hello; prints answered|silent
//   channel_probe remove PATH [--trace|--fork] full client; prints the answer
//                                              or "no answer"; the option acts
//                                              between handshake and command
//   channel_probe squat6 PORT                  binds [::]:PORT IPv6-only
//   channel_probe fake-service PORT UID        answers hellos on 127.0.0.1:PORT
//                                              as UID
// The last two print "ready" and run until stdin closes.
#include "hpChannel.h"
#include "hpClient.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <grp.h>
#include <netinet/in.h>
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

int hello(quint16 port)
{
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(QHostAddress::LocalHost), 0, QAbstractSocket::DontShareAddress))
        return 2;
    socket.writeDatagram(hpHelloText(QCoreApplication::applicationPid()), QHostAddress(QHostAddress::LocalHost), port);
    say(socket.waitForReadyRead(3000) ? "answered" : "silent");
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

} // namespace

int main(int argc, char **argv)
{
    // The tracer is forked before Qt starts any thread.
    const bool traceFirst = argc > 3 && QByteArray(argv[1]) == "hello" && QByteArray(argv[3]) == "--trace";
    if (traceFirst && becomeTraced() < 0)
        return 2;
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("hello"))
        return hello(quint16(args.at(2).toUInt()));
    if (args.size() >= 3 && args.at(1) == QLatin1String("remove"))
        return remove(args.at(2), args.value(3));
    if (args.size() >= 3 && args.at(1) == QLatin1String("squat6"))
        return squat6(quint16(args.at(2).toUInt()));
    if (args.size() >= 4 && args.at(1) == QLatin1String("fake-service"))
        return fakeService(quint16(args.at(2).toUInt()), uid_t(args.at(3).toUInt()));
    fprintf(stderr, "usage: see the head of channel_probe.cpp\n");
    return 2;
}
