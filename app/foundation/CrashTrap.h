#pragma once

#include <QByteArray>
#include <QString>

// The process-wide trap for fatal signals: it switches the system's crash
// dialog off and starts the bundle again as its own crash reporter.
// Everything the handler needs is prepared by arm(); the handler itself only
// formats digits, writes with open/write/close and starts programs through
// hpSignalSpawn, so it is safe whatever the crash interrupted.
class CrashTrap
{
public:
    // Size of the program path and of each command, terminator included.
    static constexpr int kBufferSize = 1024;

    // Prepares the commands for the program at programPath and installs the
    // handler. In the crash reporter itself (crasher) the handler switches
    // the system's crash dialog back on, logs and lets the process end, so a
    // crashing reporter starts no other one.
    // logFile may be empty (nothing is logged). False when no reporter can be
    // started (the trap is installed all the same).
    static bool arm(const QString &programPath, bool crasher, const QString &logFile);

    // The program path arm() was given last; empty before.
    static QString armedProgram();

    // The bundle that holds programPath, <bundle>/Contents/MacOS/<name>;
    // empty when there is none. The trap and the reporter both find the
    // bundle to reopen with it.
    static QString bundlePath(const QString &programPath);
    // The shell command that starts bundle as crash reporter.
    static QByteArray reopenCommand(const QString &bundle);
};

// The handler itself, installed for SIGABRT, SIGTERM, SIGINT and SIGSEGV.
void execeptionHandler(int sig);
