#include "RunningItem.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The executable's path as the kernel resolved it, empty when the process
// has gone, has no executable (a kernel thread) or is not ours to look at.
QString executableOf(qint64 pid)
{
    char buf[4096];
    const QByteArray link = "/proc/" + QByteArray::number(pid) + "/exe";
    const ssize_t n = readlink(link.constData(), buf, sizeof buf);
    if (n <= 0 || size_t(n) >= sizeof buf)
        return QString();
    QString path = QFile::decodeName(QByteArray(buf, int(n)));
    // A binary replaced while it runs (an update) still runs from the bundle.
    if (path.endsWith(QLatin1String(" (deleted)")))
        path.chop(10);
    return path;
}

// Real, effective and saved user id all ours: a set-user-id program started
// by the user runs with another's rights and is not the user's to end.
bool runsAsUser(qint64 pid, bool *known)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    *known = false;
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray uidTag("Uid:");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (!line.startsWith(uidTag))
            continue;
        const QList<QByteArray> ids = line.mid(uidTag.size()).simplified().split(' ');
        if (ids.size() < 3)
            return false;
        *known = true;
        const QByteArray me = QByteArray::number(uint(getuid()));
        return ids.at(0) == me && ids.at(1) == me && ids.at(2) == me;
    }
    return false;
}

QVector<qint64> allPids()
{
    QVector<qint64> pids;
    DIR *proc = opendir("/proc");
    if (!proc)
        return pids;
    while (const struct dirent *d = readdir(proc)) {
        char *end = nullptr;
        const long long pid = std::strtoll(d->d_name, &end, 10);
        if (pid > 0 && end && *end == '\0')
            pids << qint64(pid);
    }
    closedir(proc);
    return pids;
}

} // namespace

QVector<RunningItem::Process> RunningItem::processes() const
{
    QVector<Process> found;
    if (mBundle.isEmpty())
        return found;
    const qint64 self = getpid();
    for (const qint64 pid : allPids()) {
        if (pid == self)
            continue;
        const QString exe = executableOf(pid);
        if (!contains(exe, Qt::CaseSensitive))
            continue;
        bool known = false;
        const bool own = runsAsUser(pid, &known);
        if (!known)
            continue; // gone while it was read
        found << Process{pid, own, exe};
    }
    return found;
}

int RunningItem::askToQuit() const
{
    return signalOwn(SIGTERM);
}

int RunningItem::signalOwn(int signal) const
{
    int sent = 0;
    for (const Process &p : ownProcesses()) {
        // A descriptor holds this very process: checked again through it, a
        // number reused since the listing is never signalled.
        const int fd = int(syscall(SYS_pidfd_open, pid_t(p.pid), 0));
        if (fd < 0 && errno != ENOSYS)
            continue; // it has ended
        bool known = false;
        if (contains(executableOf(p.pid), Qt::CaseSensitive) && runsAsUser(p.pid, &known) && known) {
            const long rc = fd >= 0 ? syscall(SYS_pidfd_send_signal, fd, signal, nullptr, 0)
                                    : long(kill(pid_t(p.pid), signal));
            if (rc == 0)
                ++sent;
        }
        if (fd >= 0)
            close(fd);
    }
    return sent;
}
