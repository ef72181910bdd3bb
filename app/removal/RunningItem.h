#pragma once

#include <QString>
#include <QVector>

// The processes that run an item, and asking them to end. A process runs the
// item when its executable lies inside the bundle (on macOS also when it is
// an application with the item's bundle identifier, wherever that copy lies).
// Only the user's own processes are ever signalled: root's and other users'
// are listed, so the caller can say it leaves them be.
class RunningItem
{
public:
    struct Process {
        qint64 pid = 0;
        // Runs as this user alone (real, effective and saved id): the only
        // kind this class ever signals.
        bool own = false;
        QString executable;
    };

    RunningItem(const QString &bundlePath, const QString &bundleId);

    // A fresh look at the process table each time; a process that ends while
    // it is read is not listed.
    QVector<Process> processes() const;
    QVector<Process> ownProcesses() const;
    // Asks the user's own processes to quit, in the system's polite way;
    // returns how many were asked.
    int askToQuit() const;
    // Ends the user's own processes at once; returns how many were signalled.
    int forceQuit() const;

    // A bundle identifier made only of the characters reverse-DNS names use,
    // so it can be handed to a script as a name and nothing else.
    static bool isSafeBundleId(const QString &id);

private:
    // Whether an executable's resolved path lies inside the bundle, compared
    // the way the system's file names compare.
    bool contains(const QString &executable, Qt::CaseSensitivity cs) const;
    // Sends signal to each own process that still runs the item at the
    // moment it is sent; returns how many got it.
    int signalOwn(int signal) const;

    QString mBundle; // resolved, without a trailing slash; empty when missing
    QString mBundleId;
};
