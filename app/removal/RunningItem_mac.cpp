#include "RunningItem.h"

#include "hpSettings.h"
#include "hpUtils.h"

#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSettings>

#include <csignal>
#include <libproc.h>
#include <sys/proc_info.h>
#include <unistd.h>
#include <vector>

namespace {

QString executableOf(pid_t pid)
{
    char buf[PROC_PIDPATHINFO_MAXSIZE];
    const int n = proc_pidpath(pid, buf, sizeof buf);
    return n > 0 ? QString::fromUtf8(buf, n) : QString();
}

// False when the process has gone meanwhile.
bool idsOf(pid_t pid, bool *own)
{
    struct proc_bsdshortinfo info;
    if (proc_pidinfo(pid, PROC_PIDT_SHORTBSDINFO, 0, &info, PROC_PIDT_SHORTBSDINFO_SIZE) != PROC_PIDT_SHORTBSDINFO_SIZE)
        return false;
    const uid_t me = getuid();
    *own = info.pbsi_ruid == me && info.pbsi_uid == me && info.pbsi_svuid == me;
    return true;
}

std::vector<pid_t> allPids()
{
    // Room for processes started between the two calls.
    const int estimate = proc_listallpids(nullptr, 0);
    if (estimate <= 0)
        return {};
    std::vector<pid_t> pids(size_t(estimate) + 64);
    const int count = proc_listallpids(pids.data(), int(pids.size() * sizeof(pid_t)));
    pids.resize(count > 0 ? size_t(count) : 0);
    return pids;
}

// The application bundle whose main executable this is:
// "/x/Foo.app/Contents/MacOS/Foo" -> "/x/Foo.app", else empty.
QString appOfMainExecutable(const QString &exe)
{
    const QString folder = QFileInfo(exe).path();
    const QString tail = QStringLiteral(".app/Contents/MacOS");
    if (!folder.endsWith(tail, Qt::CaseInsensitive))
        return QString();
    return folder.left(folder.size() - tail.size() + 4);
}

QString bundleIdOfApp(const QString &app)
{
    const QString plist = app + QStringLiteral("/Contents/Info.plist");
    // A FIFO in place of the property list would block the read for good.
    if (!hpIsRegularFile(plist))
        return QString();
    const QSettings settings(plist, hpSettingsFormat());
    return settings.value(QStringLiteral("CFBundleIdentifier")).toString();
}

} // namespace

QVector<RunningItem::Process> RunningItem::processes() const
{
    QVector<Process> found;
    if (mBundle.isEmpty())
        return found;
    const pid_t self = getpid();
    // Several processes of one application share its property list.
    QHash<QString, QString> ids;
    for (const pid_t pid : allPids()) {
        if (pid <= 0 || pid == self)
            continue;
        const QString exe = executableOf(pid);
        if (exe.isEmpty())
            continue;
        // The Mac's file names compare without regard to case.
        bool runs = contains(exe, Qt::CaseInsensitive);
        if (!runs && !mBundleId.isEmpty()) {
            const QString app = appOfMainExecutable(exe);
            if (!app.isEmpty()) {
                if (!ids.contains(app))
                    ids.insert(app, bundleIdOfApp(app));
                runs = ids.value(app).compare(mBundleId, Qt::CaseInsensitive) == 0;
            }
        }
        bool own = false;
        if (runs && idsOf(pid, &own))
            found << Process{pid, own, exe};
    }
    return found;
}

int RunningItem::askToQuit() const
{
    const QVector<Process> own = ownProcesses();
    if (own.isEmpty())
        return 0;
    // An application is asked the way the Dock asks, so it can save its
    // documents; the identifier travels as a script argument, never as text
    // of the script.
    const bool appleEvent = isSafeBundleId(mBundleId);
    if (appleEvent) {
        QProcess::startDetached(QStringLiteral("/usr/bin/osascript"),
                                {QStringLiteral("-e"), QStringLiteral("on run argv"), QStringLiteral("-e"),
                                 QStringLiteral("tell application id (item 1 of argv) to quit"), QStringLiteral("-e"),
                                 QStringLiteral("end run"), mBundleId});
    }
    // Helpers and tools inside the bundle get a termination signal.
    int asked = appleEvent ? 1 : 0;
    for (const Process &p : own) {
        if (appleEvent && !appOfMainExecutable(p.executable).isEmpty())
            continue;
        if (kill(pid_t(p.pid), SIGTERM) == 0)
            ++asked;
    }
    return asked;
}

int RunningItem::signalOwn(int signal) const
{
    // Listed afresh just before: a number reused since an earlier look is
    // not taken for the item's.
    int sent = 0;
    for (const Process &p : ownProcesses()) {
        if (kill(pid_t(p.pid), signal) == 0)
            ++sent;
    }
    return sent;
}
