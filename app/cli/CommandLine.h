#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The program's second face, for a terminal or a script: lists the catalogue
// and an item's related files, and removes an item with the ticks the removal
// page starts with. It never opens a window, so it runs without a display.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    enum Status { Done = 0, Left = 1, BadUsage = 2 };

    // Whether the arguments ask for the command line rather than the window:
    // the first one is a long option. Decided before any application object
    // exists, since the window's would need a display.
    static bool wanted(int argc, char **argv);

    // Runs what args (program name first) ask for; the exit status.
    static int run(const QStringList &args);

private:
    enum class Command { None, Help, List, Files, Remove, Leftovers };
    struct Options {
        Command command = Command::None;
        QString path;
        bool json = false;
        bool dryRun = false;
        bool yes = false;
    };

    // Empty when args are usable, else what is wrong with them.
    static QString parse(const QStringList &args, Options &options);
    static QString usage(const QString &program);

    static int list(bool json);
    static int files(const QString &appPath, bool json);
    static int remove(const QString &appPath, bool dryRun, bool yes);
    static int leftovers(bool json);
    // Asks on the terminal; only a yes is a yes.
    static bool confirmed();
};
