#include "CrashTrap.h"

#include "hpSignalSpawn.h"
#include "hpUtils.h"

#include <QDateTime>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kSize = CrashTrap::kBufferSize;
const int kTrapped[] = {SIGABRT, SIGTERM, SIGINT, SIGSEGV};

// Filled by arm() before the handler is installed; the handler only reads them.
char sLogFile[kSize];
char sBundle[kSize];
char sOpenCommand[kSize];
const char sDialogOffCommand[] = "defaults write com.apple.CrashReporter DialogType none";
const char sDialogOnCommand[] = "defaults write com.apple.CrashReporter DialogType crashreport";
const char *sNoReporter = nullptr; // why no reporter can be started, as a log line
bool sCrasher = false;
long sUtcOffset = 0; // local time at arming; a zone change after it is not followed
std::atomic_flag sFired = ATOMIC_FLAG_INIT;

struct Line {
    char text[kSize + 128];
    std::size_t size = 0;

    void add(const char *s)
    {
        while (*s && size < sizeof text)
            text[size++] = *s++;
    }
    void addNumber(long value, int width)
    {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        unsigned long v = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        do {
            digits[n++] = char('0' + v % 10);
            v /= 10;
        } while (v && n < 20);
        while (n < width)
            digits[n++] = '0';
        if (negative)
            digits[n++] = '-';
        while (n && size < sizeof text)
            text[size++] = digits[--n];
    }
};

// The record's time stamp as the log writes it, "yyyy.MM.dd-HH:mm:ss.zzz- ",
// without the C library's time functions, which may take locks.
void addStamp(Line &line)
{
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long local = now.tv_sec + sUtcOffset;
    long long days = local / 86400;
    long long secs = local % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    // Days since 1970-01-01 to a civil date.
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2);
    line.addNumber(long(year), 4);
    line.add(".");
    line.addNumber(long(month), 2);
    line.add(".");
    line.addNumber(long(day), 2);
    line.add("-");
    line.addNumber(long(secs / 3600), 2);
    line.add(":");
    line.addNumber(long(secs / 60 % 60), 2);
    line.add(":");
    line.addNumber(long(secs % 60), 2);
    line.add(".");
    line.addNumber(now.tv_nsec / 1000000, 3);
    line.add("- ");
}

void logLine(const char *a, const char *b = "", const char *c = "")
{
    if (!sLogFile[0])
        return;
    Line line;
    addStamp(line);
    line.add(a);
    line.add(b);
    line.add(c);
    const int fd = ::open(sLogFile, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    std::size_t done = 0;
    while (done < line.size) {
        const ssize_t n = ::write(fd, line.text + done, line.size - done);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    ::close(fd);
}

// Runs command through the shell and waits for it, as system() does.
void runShell(const char *command)
{
    const pid_t pid = hpSignalSpawnShell(command);
    if (pid < 0)
        return;
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

QString &armedPath()
{
    static QString path;
    return path;
}

bool copyTo(char *buffer, const QByteArray &value)
{
    if (value.size() >= kSize) {
        buffer[0] = 0;
        return false;
    }
    std::memcpy(buffer, value.constData(), std::size_t(value.size()) + 1);
    return true;
}

} // namespace

void execeptionHandler(int sig)
{
    const int savedErrno = errno;
    Line number;
    number.addNumber(sig, 1);
    number.text[number.size] = 0;
    logLine("execeptionHandler:", number.text, " begin\n");

    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (const int s : kTrapped)
        sigaction(s, &dfl, nullptr);

    if (sCrasher) {
        // A crashing reporter starts no other one, but the system's dialog,
        // which the trap of the crashed instance switched off, comes back.
        // It ends by its signal, which is blocked until the handler returns.
        if (!sFired.test_and_set())
            runShell(sDialogOnCommand);
        logLine("execeptionHandler: the crash reporter ends\n");
        raise(sig);
    } else if (sFired.test_and_set()) {
        // Another thread's signal came in before the defaults were back.
    } else if (sNoReporter) {
        logLine(sNoReporter);
    } else {
        runShell(sDialogOffCommand);
        logLine(sOpenCommand, "\n");
        runShell(sOpenCommand);
    }
    errno = savedErrno;
}

QString CrashTrap::armedProgram()
{
    return armedPath();
}

QString CrashTrap::bundlePath(const QString &programPath)
{
    // The executable of a bundle is <bundle>/Contents/MacOS/<name>; the last
    // such folder counts, so a "Contents" higher up cannot cut the path short.
    const QLatin1String inner("/Contents/MacOS/");
    const int at = programPath.lastIndexOf(inner);
    if (at <= 0 || programPath.indexOf(QLatin1Char('/'), at + inner.size()) >= 0
        || programPath.size() == at + inner.size())
        return QString();
    return programPath.left(at);
}

QByteArray CrashTrap::reopenCommand(const QString &bundle)
{
    QString quoted = bundle;
    hpConvPath(quoted);
    return QByteArrayLiteral("open -F -n ") + QFile::encodeName(quoted) + QByteArrayLiteral(" --args -crasher");
}

bool CrashTrap::arm(const QString &programPath, bool crasher, const QString &logFile)
{
    armedPath() = programPath;
    copyTo(sLogFile, QFile::encodeName(logFile));
    sCrasher = crasher;
    sUtcOffset = QDateTime::currentDateTime().offsetFromUtc();
    sNoReporter = nullptr;
    sOpenCommand[0] = 0;

    const QString bundle = bundlePath(programPath);
    if (!hpSignalSpawnPrepare())
        sNoReporter = "execeptionHandler: no crash reporter, programs cannot be started\n";
    else if (bundle.isEmpty())
        sNoReporter = "execeptionHandler: no crash reporter, the program is not in a bundle\n";
    else if (!copyTo(sBundle, QFile::encodeName(bundle)) || !copyTo(sOpenCommand, reopenCommand(bundle)))
        sNoReporter = "execeptionHandler: no crash reporter, the bundle path is too long\n";
    if (sNoReporter)
        qDebug("%s", sNoReporter);

    for (const int s : kTrapped)
        signal(s, execeptionHandler);
    signal(SIGPIPE, SIG_IGN);
    return !sNoReporter;
}
