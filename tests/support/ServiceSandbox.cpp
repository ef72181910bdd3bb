#include "ServiceSandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
const char kInside[] = "KS_SERVICE_SANDBOX";

// Name and id (the first and third fields) of a line of /etc/passwd or /etc/group.
std::pair<std::string, std::string> nameAndId(const std::string &line)
{
    std::vector<std::string> f;
    std::stringstream in(line);
    for (std::string part; f.size() < 3 && std::getline(in, part, ':');)
        f.push_back(part);
    return f.size() == 3 ? std::make_pair(f[0], f[2]) : std::make_pair(line, std::string());
}

// The host's account file without the lines whose name or id is one of
// ours, then ours; in a descriptor bwrap copies from (--ro-bind-data).
int accountFile(const char *path, const std::vector<std::string> &ours)
{
    std::ifstream in(path);
    std::string text, line;
    while (std::getline(in, line)) {
        const auto theirs = nameAndId(line);
        bool clash = false;
        for (const std::string &o : ours)
            clash = clash || nameAndId(o).first == theirs.first || nameAndId(o).second == theirs.second;
        if (!clash)
            text += line + '\n';
    }
    for (const std::string &o : ours)
        text += o + '\n';
    const int fd = memfd_create("accounts", 0);
    if (fd < 0 || write(fd, text.data(), text.size()) != ssize_t(text.size()) || lseek(fd, 0, SEEK_SET) != 0)
        return -1;
    return fd;
}
const char kHostRoot[] = "KS_SANDBOX_HOST_ROOT";
const char kStderr[] = "/tmp/kestrel-helper.stderr";
} // namespace

void ServiceSandbox::enter(int, char **argv)
{
    const char *src = getenv("KS_SOURCE_DIR");
    const char *bin = getenv("KS_BINARY_DIR");
    if (getenv(kInside) || !src || !bin)
        return;
    // Some machines forbid the namespaces bwrap needs; the tests then skip.
    if (system("bwrap --unshare-user --unshare-net --ro-bind / / true >/dev/null 2>&1") != 0
        && system("bwrap --unshare-net --ro-bind / / true >/dev/null 2>&1") != 0)
        return;
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    char cwd[PATH_MAX];
    if (n <= 0 || !getcwd(cwd, sizeof cwd))
        return;
    self[n] = 0;

    std::vector<std::string> a{"bwrap", "--die-with-parent", "--unshare-net", "--unshare-pid", "--unshare-ipc",
                               "--unshare-uts", "--hostname", "kestrel-test", "--tmpfs", "/",
                               "--ro-bind", "/usr", "/usr", "--ro-bind", "/etc", "/etc"};
    for (const char *l : {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"}) {
        struct stat st;
        char target[PATH_MAX];
        const ssize_t t = readlink(l, target, sizeof target - 1);
        if (t > 0) {
            target[t] = 0;
            a.insert(a.end(), {"--symlink", target, l});
        } else if (stat(l, &st) == 0 && S_ISDIR(st.st_mode)) {
            a.insert(a.end(), {"--ro-bind", l, l});
        }
    }
    // /tmp before the project: the build folder may lie below /tmp.
    a.insert(a.end(), {"--proc", "/proc", "--dev", "/dev", "--tmpfs", "/tmp", "--tmpfs", "/usr/local",
                       "--dir", "/usr/local/Kestrelsweep"});
    // The folders above the project open to all, as on the host (bwrap makes
    // them root's alone): a client may run under another user.
    for (const std::string &path : {std::string(src), std::string(bin)})
        for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
            a.insert(a.end(), {"--perms", "0755", "--dir", path.substr(0, slash)});
    a.insert(a.end(), {"--ro-bind", src, src, "--ro-bind", bin, bin});
    for (const char *d : {"/Applications/Utilities", "/Library/LaunchDaemons", "/Library/Fonts",
                          "/Library/Application Support/Vendor", "/System/Library/Fonts",
                          "/private/var/db/receipts", "/Users/bob/Library/Preferences", "/var/root"})
        a.insert(a.end(), {"--dir", d});
    // A Mac's first user (uid 501, an administrator: group 80) and a
    // standard one (502), for tests that run a client under those ids.
    const int passwd = accountFile("/etc/passwd", {"tester:x:501:20:tester:/Users/tester:/bin/sh",
                                                   "standard:x:502:20:standard:/Users/standard:/bin/sh"});
    const int group = accountFile("/etc/group", {"staff:x:20:", "admin:x:80:tester"});
    if (passwd >= 0 && group >= 0)
        a.insert(a.end(), {"--perms", "0644", "--ro-bind-data", std::to_string(passwd), "/etc/passwd", "--perms", "0644", "--ro-bind-data", std::to_string(group),
                           "/etc/group"});
    a.insert(a.end(), {"--setenv", kInside, "1", "--setenv", "HOME", "/var/root", "--setenv", "TMPDIR", "/tmp"});
    // The service refuses a client that carries these.
    for (const char *v : {"LD_PRELOAD", "LD_LIBRARY_PATH", "LD_AUDIT", "QT_PLUGIN_PATH", "QT_QPA_PLATFORM_PLUGIN_PATH"})
        a.insert(a.end(), {"--unsetenv", v});
    // Root, as the service runs; namespace root where the host is not.
    a.insert(a.end(), {"--cap-add", "ALL"});
    if (getuid() != 0)
        a.insert(a.end(), {"--unshare-user", "--uid", "0", "--gid", "0"});
    else
        a.insert(a.end(), {"--setenv", kHostRoot, "1"});
    a.insert(a.end(), {"--chdir", cwd, "--", self});
    for (int i = 1; argv[i]; ++i)
        a.push_back(argv[i]);

    std::vector<char *> args;
    for (std::string &s : a)
        args.push_back(&s[0]);
    args.push_back(nullptr);
    fflush(nullptr);
    // A child rather than exec: this process's exit then still removes what
    // it made before main (its temporary home).
    const pid_t child = fork();
    if (child == 0) {
        execvp("bwrap", args.data());
        perror("bwrap");
        _exit(127);
    }
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    exit(child > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : 1);
}

bool ServiceSandbox::inside()
{
    return qEnvironmentVariableIsSet(kInside) && QFile::exists(serviceExe());
}

bool ServiceSandbox::hasSecondUid()
{
    return inside() && qEnvironmentVariableIsSet(kHostRoot);
}

ServiceSandbox::ServiceSandbox() = default;

ServiceSandbox::~ServiceSandbox()
{
    if (mProc.state() != QProcess::NotRunning) {
        kill9();
        mProc.waitForFinished(10000);
    }
    // Whatever the service or a sanitizer said outside its log.
    QFile err(QString::fromLatin1(kStderr));
    if (err.open(QIODevice::ReadOnly)) {
        const QByteArray text = err.readAll();
        if (!text.isEmpty())
            fprintf(stderr, "kestrel-helper stderr:\n%s\n", text.constData());
        err.remove();
    }
}

void ServiceSandbox::reset()
{
    for (const QString &d : {logDir(), mountDir()}) {
        QDir(d).removeRecursively();
        QDir().mkpath(d);
        // The service, as root, logs only into a folder no one else may write,
        // whatever the umask of whoever runs the test.
        QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                     | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                     | QFileDevice::ReadOther | QFileDevice::ExeOther);
    }
}

QString ServiceSandbox::serviceExe()
{
    return qEnvironmentVariable("KS_BINARY_DIR") + QStringLiteral("/kestrel-helper/kestrel-helper");
}

bool ServiceSandbox::start(const QStringList &args, const QString &extraPath)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString path = QStringLiteral("/usr/sbin:/usr/bin:/sbin:/bin");
    if (!extraPath.isEmpty())
        path = extraPath + QLatin1Char(':') + path;
    env.insert(QStringLiteral("PATH"), path);
    env.insert(QStringLiteral("HOME"), QStringLiteral("/var/root"));
    mProc.setProcessEnvironment(env);
    mProc.setProgram(serviceExe());
    mProc.setArguments(args);
    mProc.setStandardOutputFile(QProcess::nullDevice());
    mProc.setStandardErrorFile(QString::fromLatin1(kStderr), QIODevice::Append);
    const int from = log().size();
    mProc.start();
    if (!mProc.waitForStarted(10000))
        return false;
    return waitForLog(QStringLiteral("hpServerInit end(true)"), 20000, from)
        || waitForLog(QStringLiteral("app.alreadyExists()"), 1, from);
}

qint64 ServiceSandbox::servicePid() const
{
    return mProc.state() == QProcess::NotRunning ? 0 : mProc.processId();
}

quint16 ServiceSandbox::port() const
{
    const QString text = log();
    const QString key = QStringLiteral("bound 127.0.0.1:");
    const int at = text.lastIndexOf(key);
    if (at < 0)
        return 0;
    return quint16(text.mid(at + key.size(), 5).section(QLatin1Char('\n'), 0, 0).toUInt());
}

void ServiceSandbox::kill9()
{
    if (const qint64 pid = servicePid())
        ::kill(pid_t(pid), SIGKILL);
}

int ServiceSandbox::waitForExit(int ms)
{
    if (mProc.state() != QProcess::NotRunning && !mProc.waitForFinished(ms))
        return -1;
    return mProc.exitStatus() == QProcess::NormalExit ? mProc.exitCode() : -1;
}

bool ServiceSandbox::running() const
{
    return mProc.state() != QProcess::NotRunning;
}

QString ServiceSandbox::log()
{
    QFile f(logDir() + QStringLiteral("/main.log"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(f.readAll());
}

bool ServiceSandbox::waitForLog(const QString &needle, int ms, int from)
{
    QElapsedTimer t;
    t.start();
    do {
        if (log().indexOf(needle, from) >= 0)
            return true;
        QThread::msleep(20);
    } while (t.elapsed() < ms);
    return false;
}
