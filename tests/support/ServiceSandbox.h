#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs the real kestrel-helper as root inside a throwaway bubblewrap root: a
// tmpfs "/" with the host's /usr and /etc read-only, macOS-shaped folders
// (/Applications, /Library/..., /System, /Users) that exist only in the
// sandbox, and the service's folder /usr/local/Kestrelsweep and the update
// mount folder /tmp/Kestrelsweep bound to folders of the test. The network is
// the host's, so the test talks to it over the real loopback. Whatever the
// service deletes by mistake, the host is out of its reach; only `work` is
// shared writable.
class ServiceSandbox
{
public:
    // work: a folder of the test, visible at the same path in the sandbox;
    // logDir and mountDir are made inside it.
    explicit ServiceSandbox(const QString &work);
    ~ServiceSandbox();

    static bool available();

    // Starts the service with these arguments; true once it has bound a port
    // (its log says so).
    bool start(const QStringList &args, const QString &extraPath = QString());
    // The service process (the sandbox's child), 0 when not found.
    qint64 servicePid() const;
    void kill9();
    // The port the service bound last, from its log; 0 when none.
    quint16 port() const;
    // Waits for the sandbox to end; its exit status, or -1.
    int waitForExit(int ms);
    bool running() const;

    QString log() const;
    // Waits until the log holds needle after offset `from`.
    bool waitForLog(const QString &needle, int ms, int from = 0) const;

    QString logDir() const { return mWork + QStringLiteral("/log"); }
    QString mountDir() const { return mWork + QStringLiteral("/mnt"); }
    static QString serviceExe();

private:
    QString mWork;
    QProcess mProc;
};
