// Installs the crash trap as the application does and then meets the signal
// named by its argument: crash_probe [-crasher] segv|abort|term|int|pipe.
// Started without an action (as the crash reporter) it only records its start.
// Every start is recorded in $TMPDIR/starts; the log goes to $TMPDIR/log.
#include "AppEnv.h"
#include "hpUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {
// A real fault, met by the trap as in a release: the undefined-behaviour
// sanitizer would otherwise stop the program at the store itself (and does
// when the function is inlined into an instrumented caller). The pointer is
// read at run time, so the optimizer cannot drop the store as undefined.
__attribute__((noinline, no_sanitize("undefined"))) void writeToNull()
{
    volatile int *volatile nowhere = nullptr;
    *nowhere = 1;
}

void say(const char *text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString tmp = QDir::tempPath();
    hpLogInit(tmp + QStringLiteral("/log"));
    AppEnv::initExeception();

    const QStringList args = app.arguments();
    const QByteArray record = "start " + args.mid(1).join(QLatin1Char(' ')).toUtf8();
    QFile starts(tmp + QStringLiteral("/starts"));
    if (!starts.open(QIODevice::Append) || starts.write(record + '\n') < 0)
        return 3;
    starts.close();

    const QString action = args.value(args.value(1) == QLatin1String("-crasher") ? 2 : 1);
    if (action == QLatin1String("segv")) {
        writeToNull();
    } else if (action == QLatin1String("abort")) {
        std::abort();
    } else if (action == QLatin1String("term") || action == QLatin1String("int") || action == QLatin1String("pipe")) {
        const int sig = action == QLatin1String("term") ? SIGTERM : action == QLatin1String("int") ? SIGINT : SIGPIPE;
        raise(sig);
        say("alive after 1");
        raise(sig);
        say("alive after 2");
    }
    return 0;
}
