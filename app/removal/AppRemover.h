#pragma once

#include <QElapsedTimer>
#include <QSet>
#include <QStringList>
#include <QThread>
#include <QVector>

#include <atomic>

// Deletes one removal's paths in the background: those under "/Users"
// itself, the others through the root helper service. Reports once through
// done(): "success", or what went wrong and which paths are left.
class AppRemover : public QThread
{
    Q_OBJECT

public:
    // A removal ends after maxPasses passes or once maxMs have gone by,
    // whichever comes first, with pauseMs between passes: a path that cannot
    // go must not keep the worker (and the locked dialog) busy for hours.
    AppRemover(QStringList rootFiles, QStringList userFiles, QObject *parent = nullptr, int maxPasses = 3,
               int maxMs = 120000, int pauseMs = 1000);

    // Asked from another thread: true when the removal will delete nothing,
    // false when it has already begun (it then runs to its end).
    bool cancel();

    // 0 when every root path still to go was confirmed gone, -1 otherwise.
    int rmRootFiles();
    // 0 when every user path still to go was deleted, -1 otherwise.
    int rmUserFiles();

signals:
    void done(QString);
    // The service was found (or was not needed) and deleting begins: from
    // here on the removal can no longer be called off.
    void deleting();

protected:
    void run() override;

private:
    // Why nothing may be deleted at all, or empty when the removal may begin:
    // the user's half goes only when root's half can go as well.
    QString preflight();
    // Unloads the agent whose property list path is about to be deleted,
    // the first time it is asked.
    void unloadOnce(const QString &path);
    // "success", or the text that tells the user what went wrong and what is left.
    QString report() const;

    QStringList mRootFiles;
    QStringList mUserFiles;
    int mMaxPasses;
    int mMaxMs;
    int mPauseMs;
    QVector<bool> mRootGone;
    QVector<bool> mUserGone;
    QSet<QString> mUnloaded;
    // Whether the last root pass found the service and heard its answer.
    bool mServiceAnswered = false;
    // Since the start of the run: bounds the passes and a root exchange's wait.
    QElapsedTimer mClock;
    enum State { Checking, Deleting, Cancelled };
    std::atomic<int> mState{Checking};
};
