// Related-file discovery on a crowded Library: initAppInfo of the removal page
// against one `du -sk` over the paths it should find, both inside the sandbox
// that shows the world at its real absolute paths, in the same run. Figures are
// medians of five runs after one warm-up, the two interleaved.
//   build/bench/bench_related [entries] [matches]   (default 20000 and 300; needs bubblewrap)
// It writes the world in a throwaway folder, then runs itself in tools/sandbox.
#include "AppCenter.h"
#include "AppInfo.h"
#include "RemoveWidget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QString kUser = QStringLiteral("tester");
const QString kBase = QStringLiteral("Quillmark");
const QString kBundleId = QStringLiteral("net.larkfield.quillmark");
const QString kAppPath = QStringLiteral("/Applications/Quillmark.app");
const int kRuns = 5;

// The folders the search looks in, as seen inside the sandbox, with the key it
// uses there and a weight for how crowded each is on a long-used Mac.
struct Folder {
    QString path;
    bool byBase;
    bool byId;
    int weight;
};

std::vector<Folder> searchedFolders()
{
    const QString lib = QStringLiteral("/Users/") + kUser + QStringLiteral("/Library/");
    return {
        {lib + QStringLiteral("Preferences"), false, true, 3},
        {lib + QStringLiteral("Saved Application State"), false, true, 2},
        {lib + QStringLiteral("Containers"), false, true, 2},
        {lib + QStringLiteral("Caches"), false, true, 3},
        {lib + QStringLiteral("Internet Plug-Ins"), false, true, 1},
        {lib + QStringLiteral("Application Support/CrashReporter"), true, false, 1},
        {lib + QStringLiteral("Logs/DiagnosticReports"), true, false, 2},
        {QStringLiteral("/Library"), true, false, 1},
        {lib + QStringLiteral("Application Support"), true, true, 3},
        {QStringLiteral("/Library/LaunchDaemons"), false, true, 1},
        {QStringLiteral("/Library/LaunchAgents"), false, true, 1},
        {lib + QStringLiteral("LaunchAgents"), false, true, 1},
        {QStringLiteral("/Library/PrivilegedHelperTools"), false, true, 1},
        {QStringLiteral("/private/var/db/receipts"), false, true, 2},
        {QStringLiteral("/private/var/run"), false, true, 1},
    };
}

struct Entry {
    QString path; // as seen inside the sandbox
    bool folder;
    bool matches;
};

// A name the key begins with: whole names, boundary matches and mere prefixes,
// in the case the search must ignore.
QString matchName(const QString &key, int i)
{
    switch (i % 5) {
    case 0:
        return i == 0 ? key : key + QStringLiteral(".%1").arg(i);
    case 1:
        return key + QStringLiteral(".helper%1.plist").arg(i);
    case 2:
        return key.toUpper() + QStringLiteral("_2024-05-%1.crash").arg(i);
    case 3:
        return key + QStringLiteral(" Helper %1").arg(i);
    default:
        return key + QStringLiteral("pro.%1.log").arg(i);
    }
}

// Some names share a long head with the keys and then part from them.
QString otherName(int j)
{
    switch (j % 4) {
    case 0:
        return QStringLiteral("net.larkfield.inkwell%1.plist").arg(j);
    case 1:
        return QStringLiteral("org.sample%1.tool%2.plist").arg(j % 97).arg(j);
    case 2:
        return QStringLiteral("Quill Tools %1").arg(j);
    default:
        return QStringLiteral("Sample Product %1.log").arg(j);
    }
}

std::vector<Entry> plan(int entries, int matches)
{
    const std::vector<Folder> folders = searchedFolders();
    int weights = 0;
    int keyed = 0;
    for (const Folder &f : folders) {
        weights += f.weight;
        keyed += int(f.byBase) + int(f.byId);
    }
    std::vector<Entry> out;
    const int others = entries - matches;
    int othersLeft = others;
    int matchesLeft = matches;
    int keysLeft = keyed;
    int j = 0;
    for (std::size_t n = 0; n < folders.size(); ++n) {
        const Folder &f = folders[n];
        QStringList keys;
        if (f.byBase)
            keys << kBase;
        if (f.byId)
            keys << kBundleId;
        for (const QString &key : qAsConst(keys)) {
            const int count = matchesLeft / keysLeft--;
            matchesLeft -= count;
            for (int i = 0; i < count; ++i)
                out.push_back({f.path + QLatin1Char('/') + matchName(key, i), i % 5 == 0 || i % 5 == 3, true});
        }
        const int count = n + 1 == folders.size() ? othersLeft : others * f.weight / weights;
        othersLeft -= count;
        for (int i = 0; i < count; ++i, ++j)
            out.push_back({f.path + QLatin1Char('/') + otherName(j), j % 10 == 0, false});
    }
    return out;
}

bool writeFile(const QString &path, int bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(QByteArray(bytes, 'x')) == bytes;
}

// Matched folders hold a few files of a few KiB, so that sizing them walks.
bool makeWorld(const QString &root, int entries, int matches)
{
    QDir top(root);
    const QString contents = root + kAppPath + QStringLiteral("/Contents");
    if (!top.mkpath(root + QStringLiteral("/Users/") + kUser) || !top.mkpath(contents + QStringLiteral("/MacOS")))
        return false;
    QFile plist(contents + QStringLiteral("/Info.plist"));
    if (!plist.open(QIODevice::WriteOnly))
        return false;
    plist.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                               "<plist version=\"1.0\"><dict>\n"
                               "<key>CFBundleIdentifier</key><string>%1</string>\n"
                               "<key>CFBundleExecutable</key><string>%2</string>\n"
                               "</dict></plist>\n")
                    .arg(kBundleId, kBase)
                    .toUtf8());
    plist.close();
    for (const Folder &f : searchedFolders()) {
        if (!top.mkpath(root + f.path))
            return false;
    }
    for (const Entry &e : plan(entries, matches)) {
        const QString path = root + e.path;
        if (!e.folder) {
            if (!writeFile(path, e.matches ? 3000 : 200))
                return false;
            continue;
        }
        if (!top.mkpath(path))
            return false;
        const int files = e.matches ? 3 : 1;
        for (int k = 0; k < files; ++k) {
            if (!writeFile(path + QStringLiteral("/part%1.dat").arg(k), 1024 << (2 * k)))
                return false;
        }
    }
    return true;
}

int runInSandbox(int entries, int matches)
{
    QTemporaryDir tmp;
    const QString root = tmp.path() + QStringLiteral("/root");
    if (!tmp.isValid() || !makeWorld(root, entries, matches)) {
        std::fprintf(stderr, "could not write the world under %s\n", qPrintable(tmp.path()));
        return 1;
    }
    // The platform plug-in must be chosen before the page's application starts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QProcess inside;
    inside.setProcessChannelMode(QProcess::ForwardedChannels);
    inside.start(QStringLiteral(KS_SOURCE_DIR "/tools/sandbox"),
                 {root, QStringLiteral("--user"), kUser, QStringLiteral("--bind-ro"),
                  QCoreApplication::applicationDirPath(), QStringLiteral("--"),
                  QCoreApplication::applicationFilePath(), QString::number(entries), QString::number(matches),
                  QStringLiteral("--inside")});
    if (!inside.waitForFinished(-1) || inside.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "the sandbox did not run: %s\n", qPrintable(inside.errorString()));
        return 1;
    }
    return inside.exitCode();
}

// Other installed items, one of which claims some of our prefix matches, so
// the page weighs its ticks as it does on a real machine.
void fillCatalogue()
{
    QList<AppInfo *> items;
    auto add = [&items](const QString &path, const QString &id) {
        auto *info = new AppInfo;
        info->path = path;
        info->name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        info->bundleId = id;
        items << info;
    };
    add(kAppPath, kBundleId);
    add(QStringLiteral("/Applications/Quillmark Pro.app"), kBundleId + QStringLiteral("pro"));
    for (int i = 0; i < 200; ++i)
        add(QStringLiteral("/Applications/Sample Product %1.app").arg(i), QStringLiteral("org.sample%1.product").arg(i));
    AppCenter::Inst()->append(items);
}

struct Run {
    qint64 ns;
    int listed;
};

Run relatedFiles()
{
    RemoveWidget page;
    QElapsedTimer t;
    t.start();
    page.initAppInfo(kAppPath, QStringLiteral("Quillmark.app"), QStringLiteral("12.40M"), QString());
    const qint64 ns = t.nsecsElapsed();
    const auto *tree = page.findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    int listed = 0;
    for (int i = 1; tree && i < tree->topLevelItemCount(); ++i)
        listed += tree->topLevelItem(i)->childCount();
    return {ns, listed};
}

qint64 du(const QStringList &paths)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral("du"), QStringList{QStringLiteral("-sk")} + paths);
    p.waitForFinished(-1);
    return t.nsecsElapsed();
}

qint64 median(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2];
}

double ms(qint64 ns) { return ns / 1e6; }

int runInside(int argc, char *argv[], int entries, int matches)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Each size is logged as the command it stands for; the log is not the figure.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    fillCatalogue();

    QStringList matched;
    for (const Entry &e : plan(entries, matches)) {
        if (e.matches)
            matched << e.path;
    }

    std::vector<qint64> pageNs;
    std::vector<qint64> duNs;
    int listed = -1;
    for (int i = 0; i <= kRuns; ++i) {
        const Run run = relatedFiles();
        const qint64 d = du(matched);
        if (i == 0)
            continue; // warm-up: first icons, first plug-ins, cold directory caches
        pageNs.push_back(run.ns);
        duNs.push_back(d);
        listed = run.listed;
    }
    const qint64 page = median(pageNs);
    const qint64 sizes = median(duNs);

    std::printf("entries: %d in %d folders, %d matching\n", entries, int(searchedFolders().size()), matches);
    std::printf("entries listed by the page:   %9d\n", listed);
    std::printf("du -sk over the matches:      %9.2f ms\n", ms(sizes));
    std::printf("initAppInfo:                  %9.2f ms  = %7.2f x du     (target <= 2)\n", ms(page),
                double(page) / sizes);
    if (listed != matches) {
        std::fprintf(stderr, "the page listed %d entries, not the %d that match\n", listed, matches);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const int entries = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int matches = argc > 2 ? std::atoi(argv[2]) : 300;
    if (matches < 0 || entries < matches) {
        std::fprintf(stderr, "usage: bench_related [entries] [matches]\n");
        return 2;
    }
    if (argc > 3 && qstrcmp(argv[3], "--inside") == 0)
        return runInside(argc, argv, entries, matches);
    QCoreApplication app(argc, argv);
    return runInSandbox(entries, matches);
}
