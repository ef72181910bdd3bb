// How much a flood of hellos delays a genuine removal: the real service in
// the test sandbox, one exchange after another, quiet and then while two
// processes send hellos as fast as they can (one naming this process from
// thousands of sockets, one naming itself from one). Prints the flood's rate
// and the delay against the quiet exchange of the same run.
//
//   bench_flood [SECONDS]       (root, or a user bwrap may make a sandbox for)
#include "ServiceSandbox.h"
#include "hpChannel.h"
#include "hpHarden.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

sockaddr_in loopback(quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// Sends hellos naming pid (0: its own) round the sockets for seconds; prints
// how many it sent.
int flood(quint16 port, int sockets, qint64 pid, int seconds)
{
    rlimit rl{4096, 4096};
    setrlimit(RLIMIT_NOFILE, &rl);
    std::vector<int> fds;
    const sockaddr_in any = loopback(0);
    for (int i = 0; i < sockets; ++i) {
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr *>(&any), sizeof any) != 0)
            break;
        fds.push_back(fd);
    }
    const QByteArray hello = hpHelloText(pid ? pid : getpid());
    const sockaddr_in to = loopback(port);
    QElapsedTimer t;
    t.start();
    qint64 sent = 0;
    char junk[64];
    while (t.elapsed() < seconds * 1000) {
        for (int k = 0; k < 256; ++k) {
            const int fd = fds[size_t(sent % qint64(fds.size()))];
            sent += sendto(fd, hello.constData(), size_t(hello.size()), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) > 0;
            recv(fd, junk, sizeof junk, MSG_DONTWAIT);
        }
    }
    printf("%lld %d\n", sent, int(fds.size()));
    return 0;
}

// One removal as the application's client will make it: the hello again
// every 300 ms until the service answers, then the command. Milliseconds it
// took, -1 when no result came within 20 s; *hellos gets how many were sent.
double exchange(quint16 port, const QByteArray &command, int *hellos)
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in any = loopback(0);
    const sockaddr_in to = loopback(port);
    bind(fd, reinterpret_cast<const sockaddr *>(&any), sizeof any);
    const QByteArray hello = hpHelloText(QCoreApplication::applicationPid());
    QElapsedTimer t;
    t.start();
    *hellos = 0;
    bool answered = false;
    char buf[1024];
    while (t.elapsed() < 20000) {
        if (!answered) {
            sendto(fd, hello.constData(), size_t(hello.size()), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
            ++*hellos;
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 300) <= 0)
            continue;
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (!answered && n > 0 && hpIsHello(buf, int(n))) {
            answered = true;
            sendto(fd, command.constData(), size_t(command.size()), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
        } else if (answered && n > 0 && QByteArray(buf, int(n)).startsWith("[result]")) {
            close(fd);
            return t.nsecsElapsed() / 1e6;
        }
    }
    close(fd);
    return -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    hpHardenProcess();
    if (argc == 6 && QByteArray(argv[1]) == "flood")
        return flood(quint16(atoi(argv[2])), atoi(argv[3]), atoll(argv[4]), atoi(argv[5]));
    qputenv("KS_SOURCE_DIR", qgetenv("KS_SOURCE_DIR").isEmpty() ? QByteArray(KS_SOURCE_DIR) : qgetenv("KS_SOURCE_DIR"));
    qputenv("KS_BINARY_DIR", qgetenv("KS_BINARY_DIR").isEmpty() ? QByteArray(KS_BINARY_DIR) : qgetenv("KS_BINARY_DIR"));
    ServiceSandbox::enter(argc, argv);
    QCoreApplication app(argc, argv);
    if (!ServiceSandbox::inside()) {
        fprintf(stderr, "bench_flood: bwrap cannot make the sandbox here, or the service is not built\n");
        return 77;
    }
    const int seconds = argc > 1 ? qMax(3, atoi(argv[1])) : 8;
    ServiceSandbox::reset();
    ServiceSandbox box;
    if (!box.start({QStringLiteral("--trust"), QCoreApplication::applicationFilePath()})) {
        fprintf(stderr, "bench_flood: the service did not start\n");
        return 1;
    }
    const quint16 port = box.port();
    QDir().mkpath(QStringLiteral("/tmp/bench-flood"));
    int n = 0;
    auto removal = [&](int *hellos) {
        const QString victim = QStringLiteral("/tmp/bench-flood/victim-%1").arg(n++);
        QFile f(victim);
        f.open(QIODevice::WriteOnly);
        f.close();
        const double ms = exchange(port, ("[remove]1;0:" + victim.toUtf8()).toBase64(), hellos);
        return QFile::exists(victim) ? -1 : ms;
    };
    int hellos = 0;
    std::vector<double> quiet;
    for (int i = 0; i < 7; ++i)
        quiet.push_back(removal(&hellos));

    // The flooders run a copy of this program the service does not trust.
    QFile::remove(QStringLiteral("/tmp/bench-flood/flooder"));
    QFile::copy(QCoreApplication::applicationFilePath(), QStringLiteral("/tmp/bench-flood/flooder"));
    QProcess many, own;
    for (QProcess *p : {&many, &own})
        p->setProcessChannelMode(QProcess::SeparateChannels);
    many.start(QStringLiteral("/tmp/bench-flood/flooder"),
               {QStringLiteral("flood"), QString::number(port), QStringLiteral("3000"),
                QString::number(QCoreApplication::applicationPid()), QString::number(seconds)});
    own.start(QStringLiteral("/tmp/bench-flood/flooder"),
              {QStringLiteral("flood"), QString::number(port), QStringLiteral("1"), QStringLiteral("0"), QString::number(seconds)});
    usleep(1000 * 1000);
    std::vector<double> flooded;
    int resent = 0, failed = 0;
    QElapsedTimer during;
    during.start();
    while (during.elapsed() < (seconds - 2) * 1000) {
        const double ms = removal(&hellos);
        if (ms < 0)
            ++failed;
        else
            flooded.push_back(ms);
        resent += hellos - 1;
    }
    many.waitForFinished(seconds * 1000 + 10000);
    own.waitForFinished(seconds * 1000 + 10000);
    const QList<QByteArray> a = many.readAllStandardOutput().simplified().split(' ');
    const QList<QByteArray> b = own.readAllStandardOutput().simplified().split(' ');
    const double rate = (a.value(0).toDouble() + b.value(0).toDouble()) / seconds;
    const double q = median(quiet);
    const double f = median(flooded);
    const double worst = flooded.empty() ? -1 : *std::max_element(flooded.begin(), flooded.end());
    printf("flood: %.0f hellos/s from %d + %d sockets\n", rate, a.value(1).toInt(), b.value(1).toInt());
    printf("quiet exchange (median of %zu): %.2f ms\n", quiet.size(), q);
    printf("flooded exchanges: %zu completed, %d failed, %d hellos sent again\n", flooded.size(), failed, resent);
    printf("flooded exchange median %.2f ms (%.1fx quiet, delay %.2f ms), worst %.2f ms (%.1fx, delay %.2f ms)\n", f,
           f / q, f - q, worst, worst / q, worst - q);
    if (failed && qEnvironmentVariableIsSet("KS_DEBUG_LOGS"))
        fprintf(stderr, "SERVICE LOG:\n%s\n", qPrintable(ServiceSandbox::log().right(6000)));
    return 0;
}
