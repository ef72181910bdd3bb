#include "AppRemover.h"

#include "hpChannel.h"
#include "hpClient.h"
#include "hpLaunchJob.h"
#include "hpProtected.h"
#include "hpUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QDebug>
#include <QProcess>

#include <unistd.h>

namespace {
const char kCorrupted[] = "Kestrelsweep component is corrupted. please repair it\n";
// How long the service may stay silent once it has the request. It tells
// that it is at work every second, so a slow deletion of a large bundle is
// waited for; the run's own bound only shortens the wait for a silent one.
const qint64 kMaxSilenceMs = 10000;
const qint64 kMinSilenceMs = 2500;
// launchctl waits for the job to end; one that ignores its signal must not
// hold the removal.
const int kUnloadTimeoutMs = 15000;

// rm is never asked about these. A relative path would be taken from the
// worker's current folder, and "." or ".." can make a path name something the
// protected-location check, which compares text, does not see.
bool userPathRefused(const QString &path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return true;
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.contains(QStringLiteral(".")) || parts.contains(QStringLiteral("..")))
        return true;
    const QString home = hpHomePath();
    if (hpIsProtectedPath(path, home))
        return true;
    // Through a linked folder a harmless-looking path can name a standard
    // one; rm removes what the path resolves to, so that is what is judged.
    const QFileInfo info(path);
    const QString parent = QFileInfo(info.path()).canonicalFilePath();
    return !parent.isEmpty() && hpIsProtectedPath(parent + QLatin1Char('/') + info.fileName(), home);
}

QByteArray logText(const QString &text)
{
    return hpLogSafe(text.toUtf8(), -1);
}

// An agent keeps running in the user's session after its property list is
// gone, so it is unloaded first. Agents of /Library/LaunchAgents run in every
// logged-in user's session; this user's is the one the application may end.
void unloadAgent(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.path()).canonicalFilePath();
    const QString own = QDir(hpHomePath() + QStringLiteral("/Library/LaunchAgents")).canonicalPath();
    if (folder.isEmpty()
        || (folder.compare(own, Qt::CaseInsensitive) != 0
            && folder.compare(QLatin1String("/Library/LaunchAgents"), Qt::CaseInsensitive) != 0))
        return;
    const QString label = hpLaunchLabel(path);
    if (label.isEmpty()) {
        qDebug("no usable launch job label, nothing unloaded: %s\n", logText(path).constData());
        return;
    }
    const QString target = QStringLiteral("gui/%1/%2").arg(::getuid()).arg(label);
    QProcess launchctl;
    launchctl.setProcessChannelMode(QProcess::ForwardedChannels);
    launchctl.start(QStringLiteral("launchctl"), {QStringLiteral("bootout"), target});
    // A job that is not loaded makes bootout fail; the file goes all the same.
    int status = -1;
    if (launchctl.waitForStarted(-1) && launchctl.waitForFinished(kUnloadTimeoutMs)
        && launchctl.exitStatus() == QProcess::NormalExit)
        status = launchctl.exitCode();
    if (launchctl.state() != QProcess::NotRunning) {
        launchctl.kill();
        launchctl.waitForFinished(-1);
    }
    qDebug("launchctl bootout %s, resp:%d\n", logText(target).constData(), status);
}

int elapsedSeconds(const QElapsedTimer &clock)
{
    return int(clock.elapsed() / 1000);
}
} // namespace

AppRemover::AppRemover(QStringList rootFiles, QStringList userFiles, QObject *parent, int maxPasses, int maxMs,
                       int pauseMs)
    : QThread(parent)
    , mRootFiles(std::move(rootFiles))
    , mUserFiles(std::move(userFiles))
    , mMaxPasses(qMax(1, maxPasses))
    , mMaxMs(qMax(0, maxMs))
    , mPauseMs(qMax(0, pauseMs))
    , mRootGone(mRootFiles.size(), false)
    , mUserGone(mUserFiles.size(), false)
{
    mClock.start();
}

bool AppRemover::cancel()
{
    int expected = Checking;
    return mState.compare_exchange_strong(expected, Cancelled) || expected == Cancelled;
}

QString AppRemover::preflight()
{
    const auto text = [](const char *source) { return QCoreApplication::translate("RemoveWidget", source); };
    if (mRootFiles.isEmpty())
        return QString();
    QStringList unsendable;
    if (!hpClientCanSend(mRootFiles, &unsendable)) {
        for (const QString &path : qAsConst(unsendable))
            qDebug("not sent, the request format cannot carry it: %s\n", logText(path).constData());
        return text("These files cannot be handed to the Kestrelsweep helper, so nothing was removed.") + QLatin1Char('\n')
               + text("Some files could not be removed:") + QLatin1Char('\n') + unsendable.join(QLatin1Char('\n'));
    }
    // Left open when found: the service now waits for this client's command.
    const bool found = hpClientInit();
    const HpServiceVerdict verdict = hpClientVerdict();
    if (verdict == HpServiceVerdict::NotAdministrator)
        return text("Removing files outside your home folder needs an administrator account.") + QLatin1Char('\n')
               + text("Nothing was removed.");
    if (!found)
        return text("The Kestrelsweep helper is not running. Files outside your home folder can only be removed "
                    "with its help, so nothing was removed.");
    return QString();
}

void AppRemover::run()
{
    mClock.start();
    const QString refusal = preflight();
    int expected = Checking;
    if (!refusal.isEmpty() || !mState.compare_exchange_strong(expected, Deleting)) {
        hpClientUninit();
        qDebug("nothing removed: %s\n", refusal.isEmpty() ? "cancelled" : logText(refusal).constData());
        emit done(refusal.isEmpty() ? QCoreApplication::translate("RemoveWidget", "Nothing was removed.") : refusal);
        return;
    }
    emit deleting();
    int rootResult = -1;
    int userResult = -1;
    for (int pass = 1;; ++pass) {
        qDebug("try rmRootFiles seconds:%d \n", elapsedSeconds(mClock));
        rootResult = rootResult != 0 && !mRootFiles.isEmpty() ? rmRootFiles() : 0;
        qDebug("try mUserFiles seconds:%d \n", elapsedSeconds(mClock));
        // Without an answer nobody knows what root's half did: the user's
        // half waits, rather than leave an item half removed for good.
        if (rootResult == 0 || mServiceAnswered)
            userResult = userResult != 0 && !mUserFiles.isEmpty() ? rmUserFiles() : 0;
        qDebug("try mUserFiles seconds:%d \n", elapsedSeconds(mClock));
        if (rootResult == 0 && userResult == 0) {
            emit done(QStringLiteral("success"));
            return;
        }
        // No pass starts once the time is up, and none is followed by a pause
        // that only delays the report.
        if (pass >= mMaxPasses || mClock.elapsed() + mPauseMs >= mMaxMs)
            break;
        msleep(ulong(mPauseMs));
    }
    emit done(report());
}

void AppRemover::unloadOnce(const QString &path)
{
    // A later pass would find the job gone and only log a failure.
    if (mUnloaded.contains(path))
        return;
    mUnloaded.insert(path);
    unloadAgent(path);
}

int AppRemover::rmRootFiles()
{
    QStringList paths;
    QVector<int> at;
    for (int i = 0; i < mRootFiles.size(); ++i) {
        if (!mRootGone.at(i)) {
            paths << mRootFiles.at(i);
            at << i;
        }
    }
    if (paths.isEmpty())
        return 0;
    for (const QString &path : qAsConst(paths))
        unloadOnce(path);
    const int timeoutMs = int(qBound(kMinSilenceMs, mMaxMs - mClock.elapsed(), kMaxSilenceMs));
    bool answered = false;
    const QVector<bool> gone = hpClientRemove(paths, timeoutMs, &answered);
    mServiceAnswered = answered;
    qDebug("rmRootFiles recv %s, %d of %d gone\n", answered ? "an answer" : "no answer",
           int(gone.count(true)), int(paths.size()));
    qDebug("check files begin\n");
    int result = 0;
    for (int k = 0; k < paths.size(); ++k) {
        if (gone.at(k)) {
            mRootGone[at.at(k)] = true;
        } else {
            qDebug("not removed: %s\n", logText(paths.at(k)).constData());
            result = -1;
        }
    }
    qDebug("check files end\n");
    return result;
}

int AppRemover::rmUserFiles()
{
    int result = 0;
    for (int i = 0; i < mUserFiles.size(); ++i) {
        if (mUserGone.at(i))
            continue;
        // "link/" would make rm empty the folder a symbolic link points to,
        // and still succeed, leaving the link.
        QString path = mUserFiles.at(i);
        while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
            path.chop(1);
        if (userPathRefused(path)) {
            qDebug("refused, not removed: %s\n", logText(path).constData());
            result = -1;
            continue;
        }
        unloadOnce(path);
        QString quoted = path;
        const QString command = QStringLiteral("rm -rfv ") + hpConvPath(quoted);
        // An argument vector, not a shell: the path reaches rm as one literal
        // word whatever characters it holds.
        QProcess rm;
        rm.setProcessChannelMode(QProcess::ForwardedChannels);
        rm.start(QStringLiteral("rm"), {QStringLiteral("-rfv"), path});
        int status = -1;
        if (rm.waitForStarted(-1) && rm.waitForFinished(-1) && rm.exitStatus() == QProcess::NormalExit)
            status = rm.exitCode();
        qDebug("%s, resp:%d\n", logText(command).constData(), status);
        if (status == 0)
            mUserGone[i] = true;
        else
            result = -1;
    }
    return result;
}

QString AppRemover::report() const
{
    QStringList left;
    for (int i = 0; i < mRootFiles.size(); ++i) {
        if (!mRootGone.at(i))
            left << mRootFiles.at(i);
    }
    const bool rootLeft = !left.isEmpty();
    for (int i = 0; i < mUserFiles.size(); ++i) {
        if (!mUserGone.at(i))
            left << mUserFiles.at(i);
    }
    QString text;
    if (rootLeft && !mServiceAnswered)
        text += QLatin1String(kCorrupted);
    if (!left.isEmpty())
        text += QCoreApplication::translate("RemoveWidget", "Some files could not be removed:") + QLatin1Char('\n')
                + left.join(QLatin1Char('\n'));
    return text;
}
