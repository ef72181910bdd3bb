#include "ServiceSandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unistd.h>

ServiceSandbox::ServiceSandbox(const QString &work)
    : mWork(work)
{
    QDir().mkpath(logDir());
    QDir().mkpath(mountDir());
    // The service, as root, logs only into a folder that no one else may write,
    // whatever the umask of whoever runs the test.
    QFile::setPermissions(logDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                        | QFileDevice::ReadGroup | QFileDevice::ExeGroup
                                        | QFileDevice::ReadOther | QFileDevice::ExeOther);
}

ServiceSandbox::~ServiceSandbox()
{
    if (mProc.state() != QProcess::NotRunning) {
        // bwrap ends once it has reaped the service, and only then is the
        // service's port certainly free for the next test.
        kill9();
        if (!mProc.waitForFinished(10000)) {
            mProc.kill();
            mProc.waitForFinished(10000);
        }
    }
    // Whatever the service or a sanitizer said outside its log.
    QFile err(mWork + QStringLiteral("/stderr.txt"));
    if (err.open(QIODevice::ReadOnly)) {
        const QByteArray text = err.readAll();
        if (!text.isEmpty())
            fprintf(stderr, "kestrel-helper stderr:\n%s\n", text.constData());
    }
}

bool ServiceSandbox::available()
{
    if (QStandardPaths::findExecutable(QStringLiteral("bwrap")).isEmpty() || !QFile::exists(serviceExe()))
        return false;
    // Some machines forbid the namespaces bwrap needs.
    QProcess probe;
    probe.start(QStringLiteral("bwrap"), {QStringLiteral("--ro-bind"), QStringLiteral("/"), QStringLiteral("/"),
                                          QStringLiteral("--tmpfs"), QStringLiteral("/tmp"), QStringLiteral("true")});
    return probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

QString ServiceSandbox::serviceExe()
{
    return qEnvironmentVariable("KS_BINARY_DIR") + QStringLiteral("/kestrel-helper/kestrel-helper");
}

bool ServiceSandbox::start(const QStringList &args, const QString &extraPath)
{
    const QString bin = qEnvironmentVariable("KS_BINARY_DIR");
    QStringList a{
        QStringLiteral("--die-with-parent"),
        QStringLiteral("--tmpfs"), QStringLiteral("/"),
        QStringLiteral("--ro-bind"), QStringLiteral("/usr"), QStringLiteral("/usr"),
        QStringLiteral("--ro-bind"), QStringLiteral("/etc"), QStringLiteral("/etc"),
        QStringLiteral("--symlink"), QStringLiteral("usr/bin"), QStringLiteral("/bin"),
        QStringLiteral("--symlink"), QStringLiteral("usr/sbin"), QStringLiteral("/sbin"),
        QStringLiteral("--symlink"), QStringLiteral("usr/lib"), QStringLiteral("/lib"),
        QStringLiteral("--symlink"), QStringLiteral("usr/lib64"), QStringLiteral("/lib64"),
        QStringLiteral("--proc"), QStringLiteral("/proc"),
        QStringLiteral("--dev"), QStringLiteral("/dev"),
        // /tmp first: the build folder may itself lie below /tmp.
        QStringLiteral("--tmpfs"), QStringLiteral("/tmp"),
        QStringLiteral("--ro-bind"), bin, bin,
        // Sanitizer builds read their suppressions from here.
        QStringLiteral("--ro-bind"), qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tests"),
        qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tests"),
        QStringLiteral("--bind"), mWork, mWork,
        QStringLiteral("--bind"), mountDir(), QStringLiteral("/tmp/Kestrelsweep"),
        QStringLiteral("--tmpfs"), QStringLiteral("/usr/local"),
        QStringLiteral("--bind"), logDir(), QStringLiteral("/usr/local/Kestrelsweep"),
    };
    // The service runs as root; namespace root is enough where the test is not.
    if (getuid() != 0)
        a << QStringLiteral("--unshare-user") << QStringLiteral("--uid") << QStringLiteral("0")
          << QStringLiteral("--gid") << QStringLiteral("0");
    for (const char *d : {"/Applications/Utilities", "/Library/LaunchDaemons", "/Library/Fonts",
                          "/Library/Application Support/Vendor", "/System/Library/Fonts",
                          "/private/var/db/receipts", "/Users/bob/Library/Preferences", "/var/root"})
        a << QStringLiteral("--dir") << QString::fromLatin1(d);
    a << QStringLiteral("--setenv") << QStringLiteral("HOME") << QStringLiteral("/var/root");
    QString path = QStringLiteral("/usr/sbin:/usr/bin:/sbin:/bin");
    if (!extraPath.isEmpty())
        path = extraPath + QLatin1Char(':') + path;
    a << QStringLiteral("--setenv") << QStringLiteral("PATH") << path;
    a << QStringLiteral("--") << serviceExe() << args;

    mProc.setProgram(QStringLiteral("bwrap"));
    mProc.setArguments(a);
    mProc.setStandardOutputFile(QProcess::nullDevice());
    mProc.setStandardErrorFile(mWork + QStringLiteral("/stderr.txt"));
    const int from = log().size();
    mProc.start();
    if (!mProc.waitForStarted(10000))
        return false;
    return waitForLog(QStringLiteral("hpServerInit end(true)"), 20000, from)
        || waitForLog(QStringLiteral("app.alreadyExists()"), 1, from);
}

qint64 ServiceSandbox::servicePid() const
{
    const qint64 parent = mProc.processId();
    if (parent <= 0)
        return 0;
    const QStringList procs = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &p : procs) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(p));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        // "pid (comm) state ppid ..."; comm may hold blanks, so count from ')'.
        const QList<QByteArray> f = s.mid(s.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 1 && f.at(1).toLongLong() == parent)
            return p.toLongLong();
    }
    return 0;
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

QString ServiceSandbox::log() const
{
    QFile f(logDir() + QStringLiteral("/main.log"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(f.readAll());
}

bool ServiceSandbox::waitForLog(const QString &needle, int ms, int from) const
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
