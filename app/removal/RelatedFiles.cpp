#include "RelatedFiles.h"

#include "AppCenter.h"
#include "AppInfo.h"
#include "TickRule.h"
#include "hpProtected.h"
#include "hpSettings.h"
#include "hpUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTextCodec>

#include <algorithm>
#include <dirent.h>
#include <utility>
#include <vector>

namespace {

// "Foo Bar.app" -> "Foo Bar", "Foo.beta.app" -> "Foo.beta", "Foo" -> "Foo".
QString baseNameOf(const QString &appPath)
{
    const QString last = appPath.mid(appPath.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = last.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? last : last.left(dot);
}

QString bundleIdOf(const QString &appPath)
{
    // A FIFO in place of the property list would block the read for good.
    const QString plist = appPath + QStringLiteral("/Contents/Info.plist");
    if (!hpIsRegularFile(plist))
        return QString();
    const QSettings settings(plist, hpSettingsFormat());
    return settings.value(QStringLiteral("CFBundleIdentifier")).toString();
}

// Whether a stored file name can begin with key, compared without regard to
// case. Only the ASCII head of both is judged, where a byte is a character in
// any encoding and folding is plain: the first other byte leaves the answer to
// the exact test, as decoding and composed forms are Qt's business.
bool mayStartWith(const char *name, const QString &key)
{
    const auto asciiLower = [](ushort c) { return c >= 'A' && c <= 'Z' ? ushort(c + ('a' - 'A')) : c; };
    for (int i = 0; i < key.size(); ++i) {
        const ushort k = key.at(i).unicode();
        const auto c = static_cast<unsigned char>(name[i]);
        if (k >= 0x80 || c >= 0x80)
            return true;
        if (c == 0 || asciiLower(c) != asciiLower(k))
            return false;
    }
    return true;
}

bool sameName(const QString &name, const char *stored)
{
    const QByteArray encoded = QFile::encodeName(name);
    if (encoded == stored)
        return true;
    QTextCodec::ConverterState state;
    const QString decoded = QTextCodec::codecForName("UTF-8")->toUnicode(stored, int(qstrlen(stored)), &state);
    return state.invalidChars == 0
           && QString::fromUtf8(encoded).normalized(QString::NormalizationForm_C)
                  == decoded.normalized(QString::NormalizationForm_C);
}

// The folder's entries whose names begin with key, in the order of a listing
// sorted by name without regard to case, hidden ones left out. "." and ".."
// would name the folder and its parent, and System keeps sockets, pipes and
// dangling links, which are leftovers like any file.
// A Library folder holds thousands of entries and a handful are ours: a
// QFileInfo for each, and a sort of them all, took most of the search's time.
QFileInfoList entriesStartingWith(const QString &folder, const QString &key)
{
    const QString foldedKey = TickRule::folded(key);
    std::vector<std::pair<QString, QFileInfo>> found;
    const QByteArray native = QFile::encodeName(folder);
    DIR *dir = native.isEmpty() ? nullptr : opendir(native.constData());
    if (!dir)
        return {};
    const QDir parent(folder);
    while (const struct dirent *d = readdir(dir)) {
        if (!mayStartWith(d->d_name, key) || qstrcmp(d->d_name, ".") == 0 || qstrcmp(d->d_name, "..") == 0)
            continue;
        // A name that does not survive decoding names no file we could reach
        // again; Qt's own listing leaves such names out as well. The Mac
        // stores some names composed and Qt encodes them decomposed: the same
        // name, which the file system finds either way.
        const QString name = QFile::decodeName(d->d_name);
        if (!TickRule::folded(name).startsWith(foldedKey) || !sameName(name, d->d_name))
            continue;
        const QFileInfo info(parent, name);
        if (!info.isHidden())
            found.emplace_back(name.toLower(), info);
    }
    closedir(dir);
    // The comparison a case-blind name sort of a directory listing makes.
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    QFileInfoList entries;
    entries.reserve(int(found.size()));
    for (const auto &entry : found)
        entries << entry.second;
    return entries;
}

// The entries of folder that begin with key and may be offered at all.
RelatedFiles::Category searchFolder(const char *label, const QString &folder, const QString &key, bool keyIsBundleId,
                                    const TickRule &ticks)
{
    RelatedFiles::Category category;
    category.label = QString::fromLatin1(label);
    if (key.isEmpty())
        return category;
    const QString home = hpHomePath();
    // A searched folder may be a link (to another disk, or to a standard
    // folder): what its entries really are decides whether they may go.
    const QString real = QFileInfo(folder).canonicalFilePath();
    for (const QFileInfo &info : entriesStartingWith(folder, key)) {
        const QString name = info.fileName();
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + name);
        if (hpIsProtectedPath(path, home) || hpIsProtectedPath(real + QLatin1Char('/') + name, home))
            continue;
        category.entries.append({name, path, hpGetSize(path), ticks.ticked(name, key, keyIsBundleId)});
    }
    return category;
}

} // namespace

qint64 RelatedFiles::Category::kib() const
{
    qint64 total = 0;
    for (const Entry &entry : entries)
        total += entry.kib;
    return total;
}

QVector<RelatedFiles::Category> RelatedFiles::search(const QString &appPath, QString *usedBundleId)
{
    const QString base = baseNameOf(appPath);
    QString bundleId = bundleIdOf(appPath);

    // What the other catalogued items are called decides which of our
    // matches start ticked; the longest keys are the most precise claims.
    // The item's own record keeps its identifier when the bundle lost its
    // Info.plist in an earlier, partly failed removal, and usually its size.
    QStringList otherKeys;
    qint64 bundleKib = -1;
    QList<AppInfo *> apps;
    AppCenter::Inst()->getAppList(apps);
    for (const AppInfo *info : qAsConst(apps)) {
        if (info->path == appPath) {
            if (bundleId.isEmpty())
                bundleId = info->bundleId;
            if (bundleKib < 0 && info->sizeState == 2)
                bundleKib = info->size;
            continue;
        }
        otherKeys << baseNameOf(info->path);
        if (!info->bundleId.isEmpty())
            otherKeys << info->bundleId;
    }
    AppCenter::Inst()->releaseAppList(apps);
    const TickRule ticks(otherKeys);
    if (usedBundleId)
        *usedBundleId = bundleId;

    QVector<Category> categories;
    const QString bundleName = appPath.mid(appPath.lastIndexOf(QLatin1Char('/')) + 1);
    categories.append({QStringLiteral("Binaries"),
                       {{bundleName, appPath, bundleKib < 0 ? hpGetSize(appPath) : bundleKib, true}}});

    for (const Search &search : searches(hpHomePath())) {
        const QString &key = search.byBundleId ? bundleId : base;
        Category category = searchFolder(search.label, search.folder, key, search.byBundleId, ticks);
        if (!category.entries.isEmpty())
            categories.append(category);
    }
    return categories;
}

QVector<RelatedFiles::Search> RelatedFiles::searches(const QString &home)
{
    const QString lib = home + QStringLiteral("/Library/");
    return {
        {"Preferences", lib + QStringLiteral("Preferences/"), true},
        {"Saved Application State", lib + QStringLiteral("Saved Application State/"), true},
        {"Containers", lib + QStringLiteral("Containers/"), true},
        {"Caches", lib + QStringLiteral("Caches/"), true},
        {"Plugins", lib + QStringLiteral("Internet Plug-Ins/"), true},
        {"Crashes", lib + QStringLiteral("Application Support/CrashReporter/"), false},
        {"Crashes", lib + QStringLiteral("Logs/DiagnosticReports/"), false},
        {"Library", QStringLiteral("/Library/"), false},
        {"Application Support", lib + QStringLiteral("Application Support/"), false},
        {"Application Support", lib + QStringLiteral("Application Support/"), true},
        {"Login Items", QStringLiteral("/Library/LaunchDaemons/"), true},
        {"Login Items", QStringLiteral("/Library/LaunchAgents/"), true},
        {"Login Items", lib + QStringLiteral("LaunchAgents/"), true},
        {"Privileged Helper Tools", QStringLiteral("/Library/PrivilegedHelperTools/"), true},
        {"Receipts", QStringLiteral("/private/var/db/receipts/"), true},
        {"Socket", QStringLiteral("/private/var/run/"), true},
    };
}

QStringList RelatedFiles::tickedPaths(const QVector<Category> &categories)
{
    QStringList paths;
    for (const Category &category : categories) {
        for (const Entry &entry : category.entries) {
            if (entry.ticked)
                paths << entry.path;
        }
    }
    return paths;
}

void RelatedFiles::splitByOwner(const QStringList &paths, QStringList &rootFiles, QStringList &userFiles)
{
    for (const QString &path : paths)
        (path.startsWith(QLatin1String("/Users")) ? userFiles : rootFiles) << path;
}
