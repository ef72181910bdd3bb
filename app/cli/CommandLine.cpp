#include "CommandLine.h"

#include "AppCenter.h"
#include "AppFinder.h"
#include "AppInfo.h"
#include "AppRemover.h"
#include "LeftoverFinder.h"
#include "LeftoverScan.h"
#include "RelatedFiles.h"
#include "RunningItem.h"
#include "hpUtils.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iterator>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the commands print. The tools the catalogue and the removal start
// write to standard output as well (sips names the files it converts, rm -v
// every path), which would mix with a listing a script reads: they get
// /dev/null, and the results a copy of the original.
FILE *sOut = stdout;

void keepStdoutForResults()
{
    const int copy = dup(STDOUT_FILENO);
    FILE *results = copy < 0 ? nullptr : fdopen(copy, "w");
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (!results || null < 0 || dup2(null, STDOUT_FILENO) < 0) {
        if (results)
            std::fclose(results);
        if (null >= 0)
            close(null);
        return;
    }
    close(null);
    sOut = results;
}

void write(FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

void writeLine(FILE *stream, const QString &text)
{
    write(stream, text + QLatin1Char('\n'));
}

void writeJson(const QJsonObject &object)
{
    write(sOut, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}

// The item's path with its folder as the file system resolves it, or empty
// when arg names no item bundle. The folder is resolved rather than the text
// cleaned: "link/../Foo.app" is next to the link's target, not the link.
QString bundlePath(const QString &arg)
{
    QString given = arg;
    while (given.size() > 1 && given.endsWith(QLatin1Char('/')))
        given.chop(1);
    const QString absolute = QDir::current().absoluteFilePath(given);
    const QString name = absolute.mid(absolute.lastIndexOf(QLatin1Char('/')) + 1);
    static const char *const kinds[] = {".app", ".wdgt", ".plugin", ".webplugin", ".prefPane"};
    bool bundleName = false;
    for (const char *kind : kinds) {
        const QLatin1String suffix(kind);
        bundleName = bundleName || (name.size() > suffix.size() && name.endsWith(suffix, Qt::CaseInsensitive));
    }
    if (arg.isEmpty() || !bundleName)
        return QString();
    const QString folder = QFileInfo(absolute.left(absolute.size() - name.size())).canonicalFilePath();
    if (folder.isEmpty())
        return QString();
    const QString path = (folder == QLatin1String("/") ? folder : folder + QLatin1Char('/')) + name;
    // A link to a bundle is no bundle: removing it would remove the link.
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return QString();
    return path;
}

// Other items' claims decide the ticks: the discovery runs to its end, sizes
// included, before anything is listed.
void fillCatalogue()
{
    // Made here, on this thread, so that the worker's signals are queued to it.
    AppCenter::Inst();
    AppFinder finder;
    QEventLoop loop;
    QObject::connect(&finder, &AppFinder::done, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    finder.start();
    loop.exec();
    finder.wait();
}

// Kind names for JSON, which a script compares and nobody translates.
QString kindKey(const AppInfo &info)
{
    switch (info.kind) {
    case 0:
        return QStringLiteral("application");
    case 1:
        return QStringLiteral("widget");
    default:
        return info.path.endsWith(QLatin1String(".prefPane"), Qt::CaseInsensitive) ? QStringLiteral("preferencePane")
                                                                                   : QStringLiteral("plugin");
    }
}

// The same kinds for people, in their language.
QString kindText(const QString &key)
{
    if (key == QLatin1String("application"))
        return CommandLine::tr("Application");
    if (key == QLatin1String("widget"))
        return CommandLine::tr("Widget");
    if (key == QLatin1String("plugin"))
        return CommandLine::tr("Plug-in");
    return CommandLine::tr("Preference pane");
}

} // namespace

bool CommandLine::wanted(int argc, char **argv)
{
    return argc >= 2 && qstrncmp(argv[1], "--", 2) == 0;
}

int CommandLine::run(const QStringList &args)
{
    // At a terminal Ctrl-C is how a user stops a command, not a crash: the
    // crash trap would start the reporter's window for it.
    std::signal(SIGINT, SIG_DFL);
    keepStdoutForResults();

    const QString program = QFileInfo(args.value(0)).fileName();
    Options options;
    const QString problem = parse(args, options);
    if (!problem.isEmpty()) {
        writeLine(stderr, program + QStringLiteral(": ") + problem);
        writeLine(stderr, tr("Run \"%1 --help\" for the usage.").arg(program));
        return BadUsage;
    }
    switch (options.command) {
    case Command::Help:
        write(sOut, usage(program));
        return Done;
    case Command::List:
        fillCatalogue();
        return list(options.json);
    case Command::Files:
        fillCatalogue();
        return files(options.path, options.json);
    case Command::Remove:
        fillCatalogue();
        return remove(options.path, options.dryRun, options.yes);
    case Command::Leftovers:
        fillCatalogue();
        return leftovers(options.json);
    case Command::None:
        break;
    }
    return BadUsage;
}

QString CommandLine::parse(const QStringList &args, Options &options)
{
    const QString json = QStringLiteral("--json");
    const QString dryRun = QStringLiteral("--dry-run");
    const QString yes = QStringLiteral("--yes");
    const struct {
        const char *name;
        Command command;
        QStringList options;
        bool needsPath;
    } commands[] = {
        {"--help", Command::Help, {}, false},
        {"--list", Command::List, {json}, false},
        {"--files", Command::Files, {json}, true},
        {"--remove", Command::Remove, {dryRun, yes}, true},
        {"--leftovers", Command::Leftovers, {json}, false},
    };
    const auto *chosen = std::end(commands);
    QStringList given;
    QStringList paths;
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const auto command = std::find_if(std::begin(commands), std::end(commands),
                                          [&arg](const auto &c) { return arg == QLatin1String(c.name); });
        if (command != std::end(commands)) {
            // Asking for help anywhere gets it, whatever else is there.
            if (command->command == Command::Help) {
                options.command = Command::Help;
                return QString();
            }
            if (chosen != std::end(commands) && chosen != command)
                return tr("%1 cannot be combined with %2").arg(arg, QLatin1String(chosen->name));
            chosen = command;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            if (arg != json && arg != dryRun && arg != yes)
                return tr("unknown option: %1").arg(arg);
            given << arg;
        } else {
            paths << arg;
        }
    }
    if (chosen == std::end(commands))
        return tr("no command given: --list, --files, --remove, --leftovers or --help");
    for (const QString &option : qAsConst(given)) {
        if (!chosen->options.contains(option))
            return tr("%1 is not an option of %2").arg(option, QLatin1String(chosen->name));
    }
    if (!chosen->needsPath && !paths.isEmpty())
        return tr("unexpected argument: %1").arg(paths.first());
    if (chosen->needsPath && paths.isEmpty())
        return tr("%1 needs the path of an item").arg(QLatin1String(chosen->name));
    if (paths.size() > 1)
        return tr("unexpected argument: %1").arg(paths.at(1));
    options.command = chosen->command;
    options.json = given.contains(json);
    options.dryRun = given.contains(dryRun);
    options.yes = given.contains(yes);
    if (chosen->needsPath) {
        options.path = bundlePath(paths.first());
        if (options.path.isEmpty())
            return tr("not an item bundle (a .app, .wdgt, .plugin, .webplugin or .prefPane folder): %1")
                .arg(paths.first());
    }
    return QString();
}

QString CommandLine::usage(const QString &program)
{
    return tr("Usage:\n"
              "  %1 --list [--json]\n"
              "  %1 --files PATH [--json]\n"
              "  %1 --remove PATH [--dry-run] [--yes]\n"
              "  %1 --leftovers [--json]\n"
              "  %1 --help\n"
              "\n"
              "  --list      lists the installed applications, widgets, plug-ins and preference panes\n"
              "  --files     lists the files that belong to the item at PATH; [x] marks those\n"
              "              removed by default\n"
              "  --remove    removes the item at PATH and its files marked [x]; asks first\n"
              "  --leftovers lists what applications deleted long ago left behind\n"
              "  --dry-run   removes nothing, only prints what --remove would remove\n"
              "  --yes       removes without asking\n"
              "  --json      prints JSON (sizes in KiB)\n"
              "\n"
              "PATH is an item bundle: a .app, .wdgt, .plugin, .webplugin or .prefPane folder.\n"
              "Exit status: 0 when everything went, 1 when something is left or was not removed,\n"
              "2 for a wrong command line.\n")
        .arg(program);
}

int CommandLine::list(bool json)
{
    QList<AppInfo *> apps;
    AppCenter::Inst()->getAppList(apps);
    QJsonArray items;
    QStringList lines{QStringList{tr("Kind"), tr("Name"), tr("Version"), tr("Size"), tr("Identifier"), tr("Path")}.join(
        QLatin1Char('\t'))};
    for (const AppInfo *info : qAsConst(apps)) {
        const bool measured = info->sizeState == 2;
        items.append(QJsonObject{{QStringLiteral("kind"), kindKey(*info)},
                                 {QStringLiteral("name"), info->name},
                                 {QStringLiteral("path"), info->path},
                                 {QStringLiteral("version"), info->version},
                                 {QStringLiteral("identifier"), info->bundleId},
                                 {QStringLiteral("size"), measured ? QJsonValue(double(info->size)) : QJsonValue()}});
        lines << QStringList{kindText(kindKey(*info)), info->name, info->version, measured ? hpSizeToString(info->size) : QString(),
                             info->bundleId, info->path}
                     .join(QLatin1Char('\t'));
    }
    AppCenter::Inst()->releaseAppList(apps);
    if (json)
        writeJson(QJsonObject{{QStringLiteral("items"), items}});
    else
        writeLine(sOut, lines.join(QLatin1Char('\n')));
    return Done;
}

int CommandLine::files(const QString &appPath, bool json)
{
    const QVector<RelatedFiles::Category> categories = RelatedFiles::search(appPath);
    if (json) {
        QJsonArray files;
        for (const RelatedFiles::Category &category : categories) {
            for (const RelatedFiles::Entry &entry : category.entries)
                files.append(QJsonObject{{QStringLiteral("category"), category.label},
                                         {QStringLiteral("path"), entry.path},
                                         {QStringLiteral("size"), double(entry.kib)},
                                         {QStringLiteral("ticked"), entry.ticked}});
        }
        writeJson(QJsonObject{{QStringLiteral("item"), appPath}, {QStringLiteral("files"), files}});
        return Done;
    }
    writeLine(sOut, tr("Related files of %1 ([x]: removed by default):").arg(appPath));
    for (const RelatedFiles::Category &category : categories) {
        writeLine(sOut, category.label + QStringLiteral(" [") + hpSizeToString(category.kib()) + QLatin1Char(']'));
        for (const RelatedFiles::Entry &entry : category.entries)
            writeLine(sOut, QStringLiteral("  %1 %2\t%3")
                                  .arg(entry.ticked ? QStringLiteral("[x]") : QStringLiteral("[ ]"),
                                       hpSizeToString(entry.kib), entry.path));
    }
    return Done;
}

int CommandLine::remove(const QString &appPath, bool dryRun, bool yes)
{
    QString bundleId;
    const QVector<RelatedFiles::Category> categories = RelatedFiles::search(appPath, &bundleId);
    const QStringList ticked = RelatedFiles::tickedPaths(categories);
    qint64 kib = 0;
    for (const RelatedFiles::Category &category : categories) {
        for (const RelatedFiles::Entry &entry : category.entries)
            kib += entry.ticked ? entry.kib : 0;
    }
    const QString count = QString::number(ticked.size());
    writeLine(sOut, (dryRun ? tr("Files that would be removed: %1 (%2)") : tr("Files to remove: %1 (%2)"))
                          .arg(count, hpSizeToString(kib)));
    writeLine(sOut, ticked.join(QLatin1Char('\n')));
    if (dryRun)
        return Done;
    // Nobody is there to ask whether to quit it, and its files must not go
    // from under it: the user quits it and asks again.
    if (!RunningItem(appPath, bundleId).ownProcesses().isEmpty()) {
        const QString name = QFileInfo(appPath).completeBaseName();
        writeLine(stderr, QCoreApplication::translate("RemoveWidget", "%1 is still running, so nothing was removed.").arg(name));
        return Left;
    }
    if (!yes && !confirmed()) {
        writeLine(stderr, QCoreApplication::translate("RemoveWidget", "Nothing was removed."));
        return Left;
    }

    QStringList rootFiles;
    QStringList userFiles;
    RelatedFiles::splitByOwner(ticked, rootFiles, userFiles);
    AppRemover remover(rootFiles, userFiles);
    QString outcome;
    QEventLoop loop;
    QObject::connect(&remover, &AppRemover::done, &loop, [&](const QString &text) {
        outcome = text;
        loop.quit();
    });
    remover.start();
    loop.exec();
    remover.wait();
    if (outcome != QLatin1String("success")) {
        // The worker's own words: why nothing went, or which paths are left.
        writeLine(stderr, outcome.trimmed());
        return Left;
    }
    writeLine(sOut, tr("Files removed: %1 (%2)").arg(count, hpSizeToString(kib)));
    return Done;
}

int CommandLine::leftovers(bool json)
{
    const QString home = hpHomePath();
    LeftoverFinder finder(LeftoverScan::installedClaims(), home);
    for (const LeftoverFinder::Folder &folder : LeftoverFinder::folders(home))
        finder.scan(folder);
    const QVector<LeftoverFinder::Group> groups = finder.groups();
    if (json) {
        QJsonArray list;
        for (const LeftoverFinder::Group &group : groups) {
            QJsonArray files;
            for (const LeftoverFinder::Entry &entry : group.entries)
                files.append(QJsonObject{{QStringLiteral("category"), entry.label},
                                         {QStringLiteral("path"), entry.path},
                                         {QStringLiteral("size"), double(entry.kib)}});
            list.append(QJsonObject{{QStringLiteral("identifier"), group.identifier},
                                    {QStringLiteral("size"), double(group.kib())},
                                    {QStringLiteral("files"), files}});
        }
        writeJson(QJsonObject{{QStringLiteral("leftovers"), list}});
        return Done;
    }
    if (groups.isEmpty())
        writeLine(sOut, tr("No leftovers found."));
    for (const LeftoverFinder::Group &group : groups) {
        writeLine(sOut, group.identifier + QLatin1Char('\t') + hpSizeToString(group.kib()));
        for (const LeftoverFinder::Entry &entry : group.entries)
            writeLine(sOut, QStringLiteral("  %1\t%2\t%3").arg(entry.label, hpSizeToString(entry.kib), entry.path));
    }
    return Done;
}

bool CommandLine::confirmed()
{
    // On stderr, as rm -i asks: stdout may go to a file, the question must not.
    write(stderr, tr("Remove them? [y/N] "));
    char answer[256] = {};
    const bool read = std::fgets(answer, sizeof answer, stdin) != nullptr;
    // An answer from a pipe was not echoed: the next line starts on its own.
    if (!isatty(STDIN_FILENO))
        write(stderr, QStringLiteral("\n"));
    if (!read)
        return false;
    const QString given = QString::fromLocal8Bit(answer).trimmed();
    // The English answers work in every language, as the option names do.
    const QStringList yeses{QStringLiteral("y"), QStringLiteral("yes"),
                            tr("y", "the short answer that confirms the removal"),
                            tr("yes", "the answer that confirms the removal")};
    return !given.isEmpty() && yeses.contains(given, Qt::CaseInsensitive);
}
