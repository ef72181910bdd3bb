#include "LeftoverFinder.h"

#include "TickRule.h"
#include "hpProtected.h"
#include "hpSettings.h"
#include "hpUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Nested bundles deeper than this are not looked for: real helpers sit one
// or two levels down (Contents/Library/LoginItems/X.app).
const int kMaxBundleDepth = 4;
// Folders without an extension passed on the way to a nested bundle.
const int kMaxPlainDepth = 3;

bool isIdPart(const QStringRef &part)
{
    if (part.isEmpty())
        return false;
    for (const QChar c : part) {
        if (!(c.isDigit() || (c.unicode() < 128 && c.isLetter()) || c == QLatin1Char('-') || c == QLatin1Char('_')))
            return false;
    }
    return true;
}

// The first part of a reverse-DNS name is a top-level domain: a few lowercase
// letters. "Tide.Pro.Data" is a folder name, not a namespace.
bool isTopLevel(const QStringRef &part)
{
    if (part.size() < 2 || part.size() > 8)
        return false;
    return std::all_of(part.begin(), part.end(), [](QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); });
}

// File name extensions the searched folders' entries carry after the identifier.
bool isExtension(const QStringRef &part)
{
    static const QSet<QString> known{
        QStringLiteral("plist"), QStringLiteral("savedstate"), QStringLiteral("bom"),  QStringLiteral("sock"),
        QStringLiteral("socket"), QStringLiteral("pid"),       QStringLiteral("binarycookies"),
        QStringLiteral("log"),   QStringLiteral("db"),         QStringLiteral("lock"), QStringLiteral("crash"),
        QStringLiteral("ips"),   QStringLiteral("diag"),       QStringLiteral("json"), QStringLiteral("sqlite"),
    };
    return known.contains(part.toString().toLower());
}

QString makerOf(const QString &folded)
{
    const int first = folded.indexOf(QLatin1Char('.'));
    if (first < 0)
        return QString();
    const int second = folded.indexOf(QLatin1Char('.'), first + 1);
    return second < 0 ? folded : folded.left(second);
}

QString groupKeyOf(const QString &folded)
{
    const int parts = 3;
    int at = -1;
    for (int i = 0; i < parts; ++i) {
        at = folded.indexOf(QLatin1Char('.'), at + 1);
        if (at < 0)
            return folded;
    }
    return folded.left(at);
}

// The longest run of leading parts two identifiers share.
QString commonStem(const QString &a, const QString &b)
{
    const QVector<QStringRef> x = a.splitRef(QLatin1Char('.'));
    const QVector<QStringRef> y = b.splitRef(QLatin1Char('.'));
    int n = 0;
    while (n < x.size() && n < y.size() && TickRule::folded(x.at(n).toString()) == TickRule::folded(y.at(n).toString()))
        ++n;
    QStringList parts;
    for (int i = 0; i < n; ++i)
        parts << x.at(i).toString();
    return parts.join(QLatin1Char('.'));
}

QString identifierIn(const QString &plist)
{
    // A FIFO in place of the property list would block the read for good.
    if (!hpIsRegularFile(plist))
        return QString();
    const QSettings settings(plist, hpSettingsFormat());
    return settings.value(QStringLiteral("CFBundleIdentifier")).toString();
}

// Directories right below folder, links left alone: a link inside a bundle
// may point anywhere on the disk.
QStringList subfolders(const QString &folder)
{
    QStringList names;
    const QByteArray native = QFile::encodeName(folder);
    DIR *dir = native.isEmpty() ? nullptr : opendir(native.constData());
    if (!dir)
        return names;
    while (const struct dirent *d = readdir(dir)) {
        if (d->d_name[0] == '.')
            continue;
        if (d->d_type == DT_UNKNOWN) {
            struct stat st;
            if (fstatat(dirfd(dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode))
                continue;
        } else if (d->d_type != DT_DIR) {
            continue;
        }
        names << QFile::decodeName(d->d_name);
    }
    closedir(dir);
    return names;
}

void collectClaims(const QString &bundle, int depth, QStringList &claims);

void collectBelow(const QString &folder, int bundleDepth, int plainDepth, QStringList &claims)
{
    for (const QString &name : subfolders(folder)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (name.endsWith(QLatin1String(".lproj")) || name.endsWith(QLatin1String(".nib")))
            continue;
        if (name.contains(QLatin1Char('.')))
            collectClaims(path, bundleDepth + 1, claims);
        else if (plainDepth < kMaxPlainDepth)
            collectBelow(path, bundleDepth, plainDepth + 1, claims);
    }
}

void collectClaims(const QString &bundle, int depth, QStringList &claims)
{
    if (depth > kMaxBundleDepth)
        return;
    // Applications keep it in Contents, frameworks in Resources.
    for (const char *place : {"/Contents/Info.plist", "/Resources/Info.plist", "/Info.plist"}) {
        const QString id = identifierIn(bundle + QLatin1String(place));
        if (!id.isEmpty())
            claims << id;
    }
    const QString contents = bundle + QStringLiteral("/Contents");
    collectBelow(QFileInfo(contents).isDir() ? contents : bundle, depth, 0, claims);
}

} // namespace

qint64 LeftoverFinder::Group::kib() const
{
    qint64 total = 0;
    for (const Entry &entry : entries)
        total += entry.kib;
    return total;
}

LeftoverFinder::LeftoverFinder(const QStringList &claims, const QString &home)
    : mHome(home)
{
    // Apple's files are never anyone's leftovers.
    mMakers.insert(QStringLiteral("com.apple"));
    for (const QString &claim : claims) {
        // A one-part identifier ("com") names no maker, as it claims nothing
        // in the searches either.
        const QString maker = makerOf(TickRule::folded(claim));
        if (maker.contains(QLatin1Char('.')))
            mMakers.insert(maker);
    }
}

QVector<LeftoverFinder::Folder> LeftoverFinder::folders(const QString &home)
{
    QVector<Folder> folders;
    for (const RelatedFiles::Search &search : RelatedFiles::searches(home)) {
        const QString label = QString::fromLatin1(search.label);
        if (std::none_of(folders.begin(), folders.end(), [&](const Folder &f) { return f.path == search.folder; }))
            folders.append({label, search.folder});
    }
    return folders;
}

QVector<RelatedFiles::Category> LeftoverFinder::categories(const Group &group)
{
    QVector<RelatedFiles::Category> categories;
    for (const Entry &entry : group.entries) {
        auto category = std::find_if(categories.begin(), categories.end(),
                                     [&](const RelatedFiles::Category &c) { return c.label == entry.label; });
        if (category == categories.end()) {
            categories.append({entry.label, {}});
            category = categories.end() - 1;
        }
        // Nothing found this way is anyone's for certain: the user ticks.
        category->entries.append({entry.name, entry.path, entry.kib, false});
    }
    return categories;
}

QString LeftoverFinder::identifierOf(const QString &name)
{
    // An application group's files carry the group's identifier after
    // "group.": its owner is whoever owns that identifier.
    if (name.startsWith(QLatin1String("group."), Qt::CaseInsensitive))
        return identifierOf(name.mid(6));
    const QVector<QStringRef> parts = name.splitRef(QLatin1Char('.'));
    if (parts.isEmpty() || !isTopLevel(parts.first()))
        return QString();
    int n = 0;
    while (n < parts.size() && isIdPart(parts.at(n)))
        ++n;
    // An extension only counts at the very end of the name.
    if (n == parts.size() && n > 0 && isExtension(parts.at(n - 1)))
        --n;
    if (n < 3)
        return QString();
    QStringList kept;
    for (int i = 0; i < n; ++i)
        kept << parts.at(i).toString();
    return kept.join(QLatin1Char('.'));
}

QStringList LeftoverFinder::bundleClaims(const QString &bundlePath)
{
    QStringList claims;
    collectClaims(bundlePath, 0, claims);
    claims.removeDuplicates();
    return claims;
}

bool LeftoverFinder::claimed(const QString &identifier) const
{
    return mMakers.contains(makerOf(TickRule::folded(identifier)));
}

bool LeftoverFinder::scan(const Folder &folder)
{
    const QByteArray native = QFile::encodeName(folder.path);
    DIR *dir = native.isEmpty() ? nullptr : opendir(native.constData());
    if (!dir)
        return false;
    struct Found {
        QString key; // how a case-blind listing sorts it
        QString name;
        QString id;
    };
    std::vector<Found> found;
    while (const struct dirent *d = readdir(dir)) {
        if (d->d_name[0] == '.')
            continue;
        const QString name = QFile::decodeName(d->d_name);
        // A name that does not survive decoding names no file we could reach again.
        if (QFile::encodeName(name) != QByteArray(d->d_name))
            continue;
        const QString id = identifierOf(name);
        if (!id.isEmpty() && !claimed(id))
            found.push_back({name.toLower(), name, id});
    }
    closedir(dir);
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.key < b.key; });

    // A searched folder may be a link: what its entries really are decides.
    const QString real = QFileInfo(folder.path).canonicalFilePath();
    bool changed = false;
    for (const auto &item : found) {
        const QString &name = item.name;
        const QString path = QDir::cleanPath(folder.path + QLatin1Char('/') + name);
        if (hpIsProtectedPath(path, mHome) || hpIsProtectedPath(real + QLatin1Char('/') + name, mHome))
            continue;
        const QString &id = item.id;
        const QString key = groupKeyOf(TickRule::folded(id));
        const auto known = mGroupIndex.constFind(key);
        if (known == mGroupIndex.constEnd()) {
            mGroupIndex.insert(key, mGroups.size());
            mGroups.append(Group{id, {}});
        }
        Group &group = mGroups[mGroupIndex.value(key)];
        if (known != mGroupIndex.constEnd())
            group.identifier = commonStem(group.identifier, id);
        group.entries.append(Entry{folder.label, name, path, hpGetSize(path)});
        changed = true;
    }
    return changed;
}

QVector<LeftoverFinder::Group> LeftoverFinder::groups() const
{
    QVector<Group> sorted = mGroups;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Group &a, const Group &b) {
        return TickRule::folded(a.identifier) < TickRule::folded(b.identifier);
    });
    return sorted;
}
