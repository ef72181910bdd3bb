#include "RemoveHelper.h"

#include "hpChannel.h"
#include "hpLaunchJob.h"
#include "hpParam.h"
#include "hpProtected.h"
#include "hpRequest.h"
#include "hpServer.h"
#include "hpSpawn.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const QString &path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

// Opens a resolved folder one name at a time without following links, so the
// folder that was checked is the folder that rm works in, even if someone
// swaps a link into its path meanwhile (the open then fails).
int openFolder(const QByteArray &resolved)
{
    int fd = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray &name : resolved.split('/')) {
        if (fd < 0 || name.isEmpty())
            continue;
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    return fd;
}

// launchctl waits for the job to end; one that ignores its signal must not
// hold the removal.
const int kUnloadTimeoutMs = 15000;

} // namespace

RemoveHelper::RemoveHelper(HpParam *param)
    : m_paramArray(param)
    , m_databuf(param ? param->databuf : nullptr)
{
}

RemoveHelper::~RemoveHelper()
{
    qDebug("RemoveHelper::~RemoveHelper start\n");
    release();
    qDebug("RemoveHelper::~RemoveHelper end\n");
}

void RemoveHelper::release()
{
    if (m_databuf) {
        qDebug("free(m_databuf);\n");
        free(m_databuf);
        m_databuf = nullptr;
    }
    if (m_paramArray) {
        qDebug("free(m_paramArray);\n");
        free(m_paramArray);
        m_paramArray = nullptr;
    }
}

void RemoveHelper::working(bool now)
{
    if (!now && m_lastWorking.isValid() && m_lastWorking.elapsed() < 1000)
        return;
    m_lastWorking.start();
    const QByteArray note = "[working]" + QByteArray::number(m_done);
    hpServerSend(note.constData(), note.size());
}

void RemoveHelper::run()
{
    const HpRequest req = hpParseRemove(QByteArray(m_databuf, m_paramArray->size));
    QByteArray result;
    if (req.kind != HpRequest::Remove) {
        // Part of a request may name a shorter path than was meant: nothing is deleted.
        qDebug("request refused, nothing deleted: %s\n", hpLogSafe(req.reason.toUtf8(), -1).constData());
        result = "[result]0;";
    } else {
        QString text = QStringLiteral("[result]%1;").arg(req.paths.size());
        qDebug("execute remove start !\n");
        working(true);
        for (int i = 0; i < req.paths.size(); ++i) {
            m_done = i;
            const QString &path = req.paths.at(i);
            qDebug("item:%s\n", hpLogSafe(QByteArray::number(i) + ':' + path.toUtf8(), -1).constData());
            text += doRemove(path) == 0 ? QLatin1String("SUCCESS:") : QLatin1String("FAILURE:");
            text += path;
            if (i + 1 < req.paths.size())
                text += QLatin1Char(';');
        }
        result = text.toLatin1();
    }
    const int sent = hpServerSend(result.constData(), result.size());
    qDebug("execute remove end, send result %d bytes\n", sent);
    release();
    qDebug("deleteLater end\n");
}

void RemoveHelper::unloadDaemon(int dirFd, const QString &name)
{
    // Read from the folder rm works in, so the Label is that of the file that goes.
    const QString label = hpLaunchLabel(name, dirFd);
    const QByteArray shown = hpLogSafe(name.toUtf8(), -1);
    if (label.isEmpty()) {
        qDebug("%s  no usable launch job label, nothing unloaded\n", shown.constData());
        return;
    }
    QStringList argv;
    if (geteuid() != 0)
        argv << QStringLiteral("sudo") << QStringLiteral("-n");
    argv << QStringLiteral("/bin/launchctl") << QStringLiteral("bootout") << QStringLiteral("system/") + label;
    // A job that is not loaded makes bootout fail; the file goes all the same.
    const int rc = hpSpawn(argv, kUnloadTimeoutMs, -1, [this] { working(); });
    qDebug("launchctl bootout system/%s, resp:%d\n", label.toLatin1().constData(), rc);
}

int RemoveHelper::doRemove(const QString &path)
{
    qDebug("doRemove start!\n");
    const QByteArray shown = hpLogSafe(path.toUtf8(), -1);
    const QByteArray logged = "sudo rm -rvf \"" + path.toUtf8() + '"';
    const QString home = QDir::homePath();
    QString why = hpPathRefusal(path, home);
    if (!why.isEmpty()) {
        qDebug("%s  refused: %s\n", shown.constData(), hpLogSafe(why.toUtf8(), -1).constData());
        return -1;
    }

    // Act on the resolved parent plus the last name, so that a symbolic link
    // among the parents cannot carry the deletion somewhere else.
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString parent = slash == 0 ? QStringLiteral("/") : path.left(slash);
    const QString name = path.mid(slash + 1);
    char real[PATH_MAX];
    if (!realpath(QFile::encodeName(parent).constData(), real)) {
        if ((errno == ENOENT || errno == ENOTDIR) && !exists(path)) {
            qDebug("%s  deleted!\n", shown.constData());
            return 0;
        }
        qDebug("%s  parent cannot be resolved, -1\n", shown.constData());
        return -1;
    }
    const QString realParent = QFile::decodeName(real);
    if (realParent != parent && hpIsProtectedPath(realParent, home)) {
        qDebug("%s  refused: parent resolves into %s\n", shown.constData(), hpLogSafe(QByteArray(real), -1).constData());
        return -1;
    }
    QString target = realParent;
    target += (target.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
    if (target != path) {
        qDebug("%s  resolves to %s\n", shown.constData(), hpLogSafe(target.toUtf8(), -1).constData());
        why = hpPathRefusal(target, home);
        if (!why.isEmpty()) {
            qDebug("%s  refused: %s\n", hpLogSafe(target.toUtf8(), -1).constData(), hpLogSafe(why.toUtf8(), -1).constData());
            return -1;
        }
    }

    const int dirFd = openFolder(QByteArray(real));
    if (dirFd < 0) {
        qDebug("%s  parent changed while checking, -1\n", shown.constData());
        return -1;
    }
    if (realParent.compare(QLatin1String("/Library/LaunchDaemons"), Qt::CaseInsensitive) == 0)
        unloadDaemon(dirFd, name);
    QStringList argv;
    if (geteuid() != 0)
        argv << QStringLiteral("sudo") << QStringLiteral("-n");
    argv << QStringLiteral("/bin/rm") << QStringLiteral("-rvf") << QStringLiteral("./") + name;
    const int rc = hpSpawn(argv, -1, dirFd, [this] { working(); });
    qDebug("%s\n", hpLogSafe(logged, -1).constData());
    struct stat st;
    const bool left = fstatat(dirFd, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
    ::close(dirFd);
    if (rc == -2) {
        qDebug("%s  the process cannot be started, -2\n", shown.constData());
        return -2;
    }
    if (rc == -1) {
        qDebug("%s  the process crashes, -1\n", shown.constData());
        return -1;
    }
    if (left) {
        qDebug("%s  still exists (rm %d), -1\n", shown.constData(), rc);
        return -1;
    }
    qDebug("%s  deleted!\n", shown.constData());
    return 0;
}
