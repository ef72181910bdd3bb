#include "AppEnv.h"

#include "CrashTrap.h"
#include "Preferences.h"
#include "hpUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTranslator>

#include <cstring>

char envAppName[kEnvSize] = "Kestrelsweep";
char envCompanyName[kEnvSize] = "vextora";
char envAppPath[kEnvSize];
char envDataPath[kEnvSize];
char envInfoPlist[kEnvSize];
char envIconPath[kEnvSize];
char envSizeList[kEnvSize];
char envTimeList[kEnvSize];
char envSoundFile[kEnvSize];
char envLocalVersion[kEnvSize];
char envLogPath[kEnvSize];
char envPreferencesFile[kEnvSize];
char envLanguge[3] = "en";
char envHomeUrl[kEnvSize];
char envProductUrl[kEnvSize];
char envHelpUrl[kEnvSize];
char envRemoteVerUrl[kEnvSize];
char envBugPostUrl[kEnvSize];

const char bgStyle[] = "background-color: white;";
const char bgcolorStyle[] = "background-color: white";
const char toolButtonNormalStyle[] =
    "QToolButton:pressed {background-color: #EFEFEF; border: none; color: blue } "
    "QToolButton {background-color: #FFFFFF;border: none; color: black}";
const char toolButtonPressedStyle[] =
    "QToolButton:pressed {background-color: #EFEFEF; border: none; color: blue } "
    "QToolButton {background-color: #FFFFFF;border: none; color: blue}";

namespace {

QString siteUrl(const QString &subdomain)
{
    return QStringLiteral("http://%1.%2.com").arg(subdomain, QString(envCompanyName));
}

} // namespace

bool AppEnv::setEnv(char *buffer, std::size_t size, const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    if (std::size_t(bytes.size()) >= size) {
        // A cut path would silently name another file; an empty one fails visibly.
        buffer[0] = 0;
        qDebug("AppEnv: value too long, refused: %s\n", bytes.left(64).constData());
        return false;
    }
    std::memcpy(buffer, bytes.constData(), std::size_t(bytes.size()) + 1);
    return true;
}

bool AppEnv::init()
{
    const bool paths = initPaths();
    // Still run on failure: the message that says so is shown in the user's language.
    initLanguages();
    initUrls();
    initExeception();
    return paths;
}

bool AppEnv::initPaths()
{
    // A path that does not fit is refused, and nothing after it is filled: a
    // value derived from an empty or cut path would put the data, the caches
    // and the log at "/" or name another file.
    for (char *buffer : {envAppPath, envDataPath, envInfoPlist, envIconPath, envSizeList, envTimeList, envSoundFile,
                         envLocalVersion, envLogPath, envPreferencesFile})
        buffer[0] = 0;
    const auto fill = [](char(&buffer)[kEnvSize], const QString &value) {
        if (value.isEmpty()) {
            qDebug("AppEnv: empty path refused\n");
            return false;
        }
        return setEnv(buffer, value);
    };

    // The log first, so that a later refusal is in it; it is never at "/".
    // On a first start the data folder's parents may be missing too (a bare
    // home has no ~/.local/share or ~/Library/Application Support yet), and
    // hpLogInit makes one level only.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
    const bool dataOk = fill(envDataPath, data);
    if (dataOk) {
        fill(envLogPath, data);
        QDir().mkpath(data);
        hpLogInit(data);
    }
    // Tried even without a data folder: the translation lives in the bundle.
    const QString app = QCoreApplication::applicationDirPath();
    if (!fill(envAppPath, app) || !dataOk)
        return false;

    const QString icon = data + QStringLiteral("/icon/");
    if (!fill(envInfoPlist, app + QStringLiteral("/../Info.plist")) || !fill(envIconPath, icon)
        || !fill(envSizeList, icon + QStringLiteral("/sizeList.plist"))
        || !fill(envTimeList, icon + QStringLiteral("/timeList.plist"))
        || !fill(envSoundFile, app + QStringLiteral("/../Resources/empty_trash.wav"))
        || !fill(envLocalVersion, data + QStringLiteral("/version.html")))
        return false;

    qDebug("PreferencesDlg::loadSettings();\n");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    // Without a folder the file name alone would put the preferences at "/".
    if (config.isEmpty()) {
        qDebug("AppEnv: empty path refused\n");
        return false;
    }
    if (!fill(envPreferencesFile,
              QStringLiteral("%1/com.%2.%3.plist").arg(config, QString(envCompanyName), QString(envAppName))))
        return false;
    Preferences::loadSettings();
    qDebug("PreferencesDlg::loadSettings(); end\n");
    return true;
}

QString AppEnv::mainSiteUrl()
{
    return siteUrl(QStringLiteral("www"));
}

AppLanguage AppEnv::languageFor(const QString &bcp47Name)
{
    // Searched in this order, case-sensitively, as substrings of the locale name.
    static const struct {
        const char *searched;
        const char *code;
    } table[] = {
        {"cn", "cn"}, {"es", "es"}, {"de", "de"}, {"ja", "jp"}, {"fr", "fr"}, {"it", "it"}, {"pt", "pt"},
    };
    for (const auto &row : table) {
        if (bcp47Name.contains(QLatin1String(row.searched))) {
            const QString code = QLatin1String(row.code);
            return {code + QStringLiteral(".qm"), code, siteUrl(code)};
        }
    }
    return {QStringLiteral("en.qm"), QStringLiteral("en"), mainSiteUrl()};
}

void AppEnv::initLanguages()
{
    const AppLanguage lang = languageFor(QLocale::system().bcp47Name());
    setEnv(envLanguge, lang.siteCode);
    setEnv(envHomeUrl, lang.homeUrl);

    // Lives for the rest of the process; installed even when nothing loaded.
    auto *translator = new QTranslator;
    const bool loaded = translator->load(lang.qmFile, QString(envAppPath) + QStringLiteral("/../Resources"));
    QCoreApplication::installTranslator(translator);
    qDebug("load translater: %s\n", loaded ? "true" : "false");
}

void AppEnv::initUrls()
{
    const QString appName = QString(envAppName);
    const QString main = mainSiteUrl();
    setEnv(envBugPostUrl, main + QStringLiteral("/bugs/%1/%2/report.php").arg(appName, QStringLiteral("OSX")));
    setEnv(envRemoteVerUrl, main + QStringLiteral("/dl/%1/OSX/version-%2.html").arg(appName, QString(envLanguge)));
    const QString page = appName.toLower();
    setEnv(envProductUrl, QStringLiteral("%1/%2.html").arg(QString(envHomeUrl), page));
    setEnv(envHelpUrl, QStringLiteral("%1/%2/guide.html").arg(QString(envHomeUrl), page));
}

void AppEnv::initExeception()
{
    qDebug("PreferencesDlg::initExeception(); begin\n");
    const QStringList args = QCoreApplication::arguments();
    // A program found through PATH has no folder in its first argument.
    const QString first = args.value(0);
    const QString program = first.contains(QLatin1Char('/')) ? QFileInfo(first).absoluteFilePath()
                                                              : QCoreApplication::applicationFilePath();
    const bool crasher = args.size() >= 2 && args.at(1) == QLatin1String("-crasher");
    CrashTrap::arm(program, crasher, hpLogFileName());
    qDebug("PreferencesDlg::initExeception(); end\n");
}
