#include "hpProtected.h"

#include <QSet>
#include <QStringList>
#include <QVector>

#include <algorithm>

namespace {

// Folders a stock install has directly in /Library or ~/Library.
const char *const sLibraryFolders[] = {
    "Accounts", "Apple", "Application Scripts", "Application Support", "Assistants",
    "Audio", "Autosave Information", "Biome", "Bundles", "Caches", "Calendars",
    "CallServices", "CloudStorage", "ColorPickers", "ColorSync", "Colors",
    "Components", "Compositions", "Containers", "Contextual Menu Items", "Cookies",
    "CoreAnalytics", "CoreMediaIO", "Daemon Containers", "DES", "Desktop Pictures",
    "Developer", "Dictionaries", "DirectoryServices", "Documentation",
    "DoNotDisturb", "DriverExtensions", "Extensions", "Favorites", "FileProvider",
    "Filesystems", "Fonts", "Frameworks", "FrontBoard", "GameKit", "Graphics",
    "Group Containers", "HomeKit", "HTTPStorages", "IdentityServices",
    "Image Capture", "Input Methods", "Internet Plug-Ins", "Java", "Keyboard",
    "Keyboard Layouts", "KeyboardServices", "Keychains", "LanguageModeling",
    "LaunchAgents", "LaunchDaemons", "Logs", "Mail", "Managed Preferences",
    "Messages", "Metadata", "Mobile Documents", "Modem Scripts", "OpenDirectory",
    "Passes", "Perl", "PersonalizationPortrait", "Photos", "PreferencePanes",
    "Preferences", "Printers", "PrivilegedHelperTools", "Python", "QuickLook",
    "QuickTime", "Receipts", "Reminders", "Ruby", "Safari", "Sandbox",
    "Saved Application State", "Screen Savers", "ScriptingAdditions", "Scripts",
    "Security", "Services", "Sharing", "Shortcuts", "Sounds", "Speech",
    "Spelling", "Spotlight", "Staging", "StartupItems", "Suggestions",
    "SyncedPreferences", "SystemExtensions", "SystemMigration", "SystemProfiler",
    "Trial", "Updates", "User Pictures", "Video", "Voices", "WebKit", "WebServer",
    "Widgets",
};

// Folders the system keeps inside the Library folders; relative to "/" or to
// the home folder ("~").
const char *const sSystemKept[] = {
    "/Library/Application Support/Apple",
    "/Library/Application Support/CrashReporter",
    "/Library/Logs/DiagnosticReports",
    "/Library/Caches/com.apple.iconservices.store",
    "/private/tmp",
    "/Applications/Utilities",
    "~/Library/Application Support/CrashReporter",
    "~/Library/Application Support/AddressBook",
    "~/Library/Application Support/Apple",
    "~/Library/Logs/DiagnosticReports",
    "~/Library/Logs/CrashReporter",
    "~/Library/Caches/com.apple.helpd",
};

// Everything below these is the system's own.
const char *const sSystemTrees[] = {
    "/System", "/usr", "/bin", "/sbin", "/etc", "/var", "/dev", "/private/etc", "/private/var", "/cores",
    "/opt/homebrew",
};

// The helper service's own folder and launch definition, and what lies below:
// removing them through the service would leave a root job pointing at
// whatever a user puts in their place.
const char *const sServiceOwn[] = {
    "/usr/local/Kestrelsweep",
    "/Library/LaunchDaemons/com.vextora.Kestrelsweep.helper.plist",
};

// Below /private/var only the entries of these two may go: installer receipts
// and sockets, which the related-file search offers.
const char *const sPrivateVarOpen[] = {
    "/private/var/db/receipts", "/private/var/run",
};

// Standard folders of /usr/local; anything else there is a vendor's folder.
const char *const sUsrLocalStandard[] = {
    "bin", "etc", "include", "lib", "libexec", "sbin", "share", "man", "opt", "var",
    "src", "Cellar", "Caskroom", "Homebrew", "Frameworks",
};

// Folders where the system keeps entries named com.apple.*; in the run folder
// also everything that is not named after an application.
const char *const sSystemNamed[] = {
    "/Library/LaunchDaemons", "/Library/LaunchAgents", "/private/var/db/receipts", "/private/var/run",
};
const char sRunFolder[] = "/private/var/run";

QString fold(const QString &s)
{
    return s.toCaseFolded();
}

struct Tables
{
    QSet<QString> libraryFolders;
    QSet<QString> usrLocalStandard;
    QVector<QString> rootKept;
    QVector<QString> homeKept; // without the leading "~"
    QVector<QString> trees;
    QVector<QString> serviceOwn;
    QVector<QString> privateVarOpen;
    QVector<QString> systemNamed;

    Tables()
    {
        for (const char *n : sLibraryFolders)
            libraryFolders.insert(fold(QString::fromLatin1(n)));
        for (const char *n : sUsrLocalStandard)
            usrLocalStandard.insert(fold(QString::fromLatin1(n)));
        for (const char *n : sSystemKept) {
            const QString s = fold(QString::fromLatin1(n));
            if (s.startsWith(QLatin1Char('~')))
                homeKept.append(s.mid(1));
            else
                rootKept.append(s);
        }
        for (const char *n : sSystemTrees)
            trees.append(fold(QString::fromLatin1(n)));
        for (const char *n : sServiceOwn)
            serviceOwn.append(fold(QString::fromLatin1(n)));
        for (const char *n : sPrivateVarOpen)
            privateVarOpen.append(fold(QString::fromLatin1(n)));
        for (const char *n : sSystemNamed)
            systemNamed.append(fold(QString::fromLatin1(n)));
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

QString stripTrailing(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

bool isUnder(const QString &path, const QString &root)
{
    return path == root || (path.startsWith(root) && path.at(root.size()) == QLatin1Char('/'));
}

// Whether a (folded) name begins with a reverse-DNS identifier of at least
// three parts ("com.maker.product..."), as an application names its sockets
// and folders; "resolv.conf", "utmpx" and "com.x" do not.
bool reverseDnsName(const QString &name)
{
    const QStringList labels = name.split(QLatin1Char('.'));
    if (labels.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        const QString &l = labels.at(i);
        if (l.isEmpty())
            return false;
        for (const QChar c : l)
            if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) || c.unicode() > 0x7f)
                return false;
    }
    return true;
}

// The system's own entries in folders the search may otherwise offer from.
bool systemEntry(const QString &p, const Tables &t)
{
    for (const QString &folder : t.systemNamed) {
        if (p.size() <= folder.size() || !isUnder(p, folder))
            continue;
        const QString name = p.mid(folder.size() + 1).section(QLatin1Char('/'), 0, 0);
        if (name.startsWith(QLatin1String("com.apple.")))
            return true;
        if (folder == QLatin1String(sRunFolder) && !reverseDnsName(name))
            return true;
    }
    return false;
}

// A home's own protected places: itself, its top-level folders, the standard
// folders of its Library and what the system keeps inside those.
bool protectedInHome(const QString &p, const QString &home, const Tables &t)
{
    if (home.isEmpty() || !isUnder(p, home))
        return false;
    const QString rest = p.mid(home.size()); // "" or "/a/b..."
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() <= 1)
        return true;
    if (parts.size() == 2 && parts.at(0) == QLatin1String("library") && t.libraryFolders.contains(parts.at(1)))
        return true;
    for (const QString &kept : t.homeKept)
        if (rest == kept)
            return true;
    return false;
}

} // namespace

bool hpIsProtectedPath(const QString &path, const QString &home)
{
    const Tables &t = tables();
    const QString p = fold(stripTrailing(path));
    if (!p.startsWith(QLatin1Char('/')))
        return true; // not a place we can reason about
    const QStringList parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() <= 1)
        return true;

    const auto under = [&p](const QString &root) { return isUnder(p, root); };
    if (std::any_of(t.serviceOwn.begin(), t.serviceOwn.end(), under))
        return true;
    if (systemEntry(p, t))
        return true;
    if (std::any_of(t.trees.begin(), t.trees.end(), under)) {
        const auto inside = [&p](const QString &open) { return p != open && isUnder(p, open); };
        if (std::any_of(t.privateVarOpen.begin(), t.privateVarOpen.end(), inside))
            return false;
        // /usr/local/<vendor>
        return !(parts.size() >= 3 && parts.at(0) == QLatin1String("usr") && parts.at(1) == QLatin1String("local")
                 && !t.usrLocalStandard.contains(parts.at(2)));
    }
    for (const QString &kept : t.rootKept)
        if (p == kept)
            return true;
    if (parts.size() == 2 && parts.at(0) == QLatin1String("library") && t.libraryFolders.contains(parts.at(1)))
        return true;
    // A mounted volume's root.
    if (parts.size() == 2 && parts.at(0) == QLatin1String("volumes"))
        return true;

    if (protectedInHome(p, fold(stripTrailing(home)), t))
        return true;
    // Every user's home, whichever system keeps them where.
    for (const char *homes : {"users", "home"})
        if (parts.size() >= 2 && parts.at(0) == QLatin1String(homes))
            return protectedInHome(p, QLatin1Char('/') + parts.at(0) + QLatin1Char('/') + parts.at(1), t);
    return false;
}
