#include "InstallThread.h"

#include "AppEnv.h"
#include "hpClient.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// How long the service may take to install, and how often the wait looks.
const qint64 kInstallLimitMs = 630000;
const int kStepMs = 200;
const char kRefusal[] = "[result]0;";

// The tools are started without a shell, so no path is ever parsed as words.
int runTool(const QString &program, const QStringList &args)
{
    qDebug("%s %s\n", qPrintable(program), qPrintable(args.join(QLatin1Char(' '))));
    QProcess proc;
    proc.setProcessChannelMode(QProcess::ForwardedChannels);
    proc.start(program, args);
    if (!proc.waitForStarted(-1) || !proc.waitForFinished(-1) || proc.exitStatus() != QProcess::NormalExit) {
        qDebug("%s failed: %s\n", qPrintable(program), qPrintable(proc.errorString()));
        return -1;
    }
    qDebug("%s exit status %d\n", qPrintable(program), proc.exitCode());
    return proc.exitCode();
}

// /tmp is everyone's: a mount folder that someone else made, or a link,
// would put the image's files where that someone chooses.
bool mountFolderIsOurs(const QString &dir)
{
    struct stat st;
    return lstat(QFile::encodeName(dir).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
}
} // namespace

InstallThread::InstallThread(QObject *parent)
    : QThread(parent)
{
}

void InstallThread::setFilePath(const QString &path)
{
    mFilePath = path;
}

QString InstallThread::mountFolder()
{
    return QStringLiteral("/tmp/") + QString::fromUtf8(envAppName);
}

QByteArray InstallThread::installRequest(const QString &package)
{
    return "[reinstall]sudo installer -verboseR -pkg " + package.toLatin1() + " -target /";
}

InstallThread::Wait InstallThread::sendAndWait(const QString &package)
{
    if (!hpClientInit())
        return Wait::NoService;
    const QByteArray request = installRequest(package).toBase64();
    Wait outcome = Wait::NoService;
    if (hpClientSend(request.constData(), request.size()) == request.size()) {
        // A receive in every step, so a refusal is read the moment it comes
        // and junk on the socket cannot stretch a step. Only a service that
        // said "quit" before it ended has installed: one that died on the way
        // has not.
        outcome = Wait::Failed;
        bool quit = false;
        QElapsedTimer clock;
        clock.start();
        char buf[64];
        while (clock.elapsed() < kInstallLimitMs) {
            const int n = hpClientRecv(buf, sizeof buf - 1, int(qMin<qint64>(kStepMs, kInstallLimitMs - clock.elapsed())));
            if (n > 0 && QByteArray(buf, n) == kRefusal) {
                qDebug("install refused\n");
                outcome = Wait::Refused;
                break;
            }
            if (n > 0 && QByteArray(buf, n) == "quit")
                quit = true;
            if (!hpClientPeerAlive()) {
                qDebug(quit ? "instFinished OK\n" : "the service ended without installing\n");
                outcome = quit ? Wait::Installed : Wait::Failed;
                break;
            }
            qDebug("installing ...\n");
        }
        if (outcome == Wait::Failed && clock.elapsed() >= kInstallLimitMs)
            qDebug("the service did not end in time\n");
    }
    hpClientUninit();
    return outcome;
}

void InstallThread::run()
{
    const QString mount = mountFolder();
    runTool(QStringLiteral("hdiutil"), {QStringLiteral("detach"), mount});
    QDir().rmdir(mount);
    QDir().mkdir(mount);

    int status = -1;
    if (mountFolderIsOurs(mount))
        status = runTool(QStringLiteral("hdiutil"), {QStringLiteral("attach"), QStringLiteral("-mountpoint"), mount, mFilePath});
    else
        qDebug("%s is not a folder of ours; not mounted\n", qPrintable(mount));

    // Nothing mounted, nothing installed: never a relaunch as if it were.
    if (status != 0) {
        qDebug("the update image was not mounted\n");
        emit installFinished(kNotMounted);
        return;
    }
    const QStringList files = QDir(mount).entryList(QDir::Files, QDir::Name);
    const QString package = files.isEmpty() ? QString() : mount + QLatin1Char('/') + files.first();
    const Wait outcome = sendAndWait(package);
    runTool(QStringLiteral("hdiutil"), {QStringLiteral("detach"), mount});
    switch (outcome) {
    case Wait::Installed:
        emit installFinished(kInstalled);
        return;
    case Wait::Refused:
        emit installFinished(kRefused);
        return;
    case Wait::Failed:
        emit installFinished(kFailed);
        return;
    case Wait::NoService:
        break;
    }
    // Without the service the image is handed to the system, which opens
    // its installer for the user; the image is still there, unlike the
    // package of the unmounted folder.
    emit installFinished(runTool(QStringLiteral("open"), {mFilePath}) == 0 ? kOpened : kFailed);
}
