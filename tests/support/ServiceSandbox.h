#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the real kestrel-helper as root beside the test, both inside one
// throwaway bubblewrap root: a tmpfs "/" with the host's /usr and /etc
// read-only, macOS-shaped folders (/Applications/..., /Library/...,
// /System/..., /Users/...) that exist only there, a private loopback network,
// and the test as root. The service proves its peer from what the kernel says
// (same mount namespace, sockets, executable), so the test, as its client,
// must live where the service lives; whatever the service deletes by mistake,
// the host is out of its reach.
class ServiceSandbox
{
public:
    // Called first in main: re-runs this program inside the sandbox and
    // returns only there, or when bwrap cannot make one (then inside() is
    // false and the tests skip).
    static void enter(int argc, char **argv);
    static bool inside();
    // Whether the sandbox can run a process under a second, ordinary uid
    // (only when the host started it as real root).
    static bool hasSecondUid();

    ServiceSandbox();
    ~ServiceSandbox();

    // Empties the service's folder and the update mount folder.
    static void reset();

    // Starts the service with these arguments; true once it has bound a port
    // (its log says so).
    bool start(const QStringList &args, const QString &extraPath = QString());
    qint64 servicePid() const;
    void kill9();
    // The port the service bound last, from its log; 0 when none.
    quint16 port() const;
    // Waits for the service to end; its exit status, or -1.
    int waitForExit(int ms);
    bool running() const;

    static QString log();
    // Waits until the log holds needle after offset `from`.
    static bool waitForLog(const QString &needle, int ms, int from = 0);

    static QString logDir() { return QStringLiteral("/usr/local/Kestrelsweep"); }
    static QString mountDir() { return QStringLiteral("/tmp/Kestrelsweep"); }
    static QString serviceExe();

private:
    QProcess mProc;
};
