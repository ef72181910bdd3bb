#pragma once

#include <QString>
#include <cstddef>

// Process-wide environment, filled once by AppEnv::init() on the GUI thread
// and read-only afterwards (worker threads read it without locks).
// Values are stored as UTF-8 so that QString(buffer) reads them back whole;
// a value that does not fit is refused and leaves its buffer empty.
constexpr std::size_t kEnvSize = 512;

extern char envAppName[kEnvSize];
extern char envCompanyName[kEnvSize];
extern char envAppPath[kEnvSize];
extern char envDataPath[kEnvSize];
extern char envInfoPlist[kEnvSize];
extern char envIconPath[kEnvSize];
extern char envSizeList[kEnvSize];
extern char envTimeList[kEnvSize];
extern char envSoundFile[kEnvSize];
extern char envLocalVersion[kEnvSize];
extern char envLogPath[kEnvSize];
extern char envPreferencesFile[kEnvSize];
extern char envLanguge[3];
extern char envHomeUrl[kEnvSize];
extern char envProductUrl[kEnvSize];
extern char envHelpUrl[kEnvSize];
extern char envRemoteVerUrl[kEnvSize];
extern char envBugPostUrl[kEnvSize];

extern const char bgStyle[];
extern const char bgcolorStyle[];
extern const char toolButtonNormalStyle[];
extern const char toolButtonPressedStyle[];

struct AppLanguage {
    QString qmFile;   // e.g. "jp.qm"
    QString siteCode; // e.g. "jp"
    QString homeUrl;  // the language's web site root, no trailing slash
};

class AppEnv
{
public:
    AppEnv() = default;
    ~AppEnv() = default;

    // False when a path was refused: the buffers derived from it stay empty,
    // and the program must not go on.
    static bool init();
    static bool initPaths();
    static void initLanguages();
    static void initUrls();
    // Installs the crash trap; the last step of init().
    static void initExeception();

    // The language chosen for a BCP 47 locale name.
    static AppLanguage languageFor(const QString &bcp47Name);
    static QString mainSiteUrl();

    // Copies value into a buffer of the given size; false (buffer emptied) if it does not fit.
    static bool setEnv(char *buffer, std::size_t size, const QString &value);
    template <std::size_t N>
    static bool setEnv(char (&buffer)[N], const QString &value) { return setEnv(buffer, N, value); }
};
