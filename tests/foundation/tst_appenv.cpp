#include "AppEnv.h"
#include "SandboxRun.h"
#include "hpUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Sets an environment variable for one scope.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QString &value)
        : mName(name)
        , mOld(qgetenv(name))
        , mWasSet(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedEnv()
    {
        if (mWasSet)
            qputenv(mName, mOld);
        else
            qunsetenv(mName);
    }

private:
    const char *mName;
    QByteArray mOld;
    bool mWasSet;
};

// A folder path of the given length below the sandbox's home folder.
QString deepUnderHome(int length)
{
    QString path = QStringLiteral("/Users/tester");
    while (path.size() < length)
        path += QLatin1Char('/') + QString(qMin(40, length - path.size() - 1), QLatin1Char('x'));
    return path;
}

struct RootWatch {
    int status = -1;
    QString out;
    QStringList newAtRoot; // entries that appeared at "/" during the run
};

// Runs command with env as root of tools/sandbox, whose "/" is a throwaway
// tmpfs that root may write: a file a fault puts at "/" shows, and only there.
RootWatch inSandbox(const QStringList &env, const QStringList &command)
{
    RootWatch watch;
    QTemporaryDir root;
    const SandboxRun run = runInSandbox(
        root.path(), {QStringLiteral("--as-root")},
        QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                    QStringLiteral("umask 022; ls -A / >/tmp/before; env \"$@\"; rc=$?; ls -A / >/tmp/after; exit $rc"),
                    QStringLiteral("sh")}
            + env + command);
    if (run.status < 0)
        return watch;
    watch.status = run.status;
    watch.out = run.out;
    const auto listing = [&root](const char *name) {
        QFile f(root.filePath(QStringLiteral("private/tmp/")) + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')) : QStringList();
    };
    const QStringList before = listing("before");
    for (const QString &entry : listing("after"))
        if (!before.contains(entry))
            watch.newAtRoot << entry;
    return watch;
}

} // namespace

class TestAppEnv : public QObject
{
    Q_OBJECT

private:
    static bool writeInfo(const QString &path, const QString &version)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                "\t<key>CFBundleShortVersionString</key>\n\t<string>");
        f.write(version.toUtf8());
        f.write("</string>\n</dict>\n</plist>\n");
        return true;
    }

private slots:
    void languageTable_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("qm");
        QTest::newRow("ja") << "ja" << "jp" << "jp.qm";
        QTest::newRow("ja-JP") << "ja-JP" << "jp" << "jp.qm";
        QTest::newRow("pt-BR") << "pt-BR" << "pt" << "pt.qm";
        QTest::newRow("de-CH") << "de-CH" << "de" << "de.qm";
        QTest::newRow("es") << "es" << "es" << "es.qm";
        QTest::newRow("fr-CA") << "fr-CA" << "fr" << "fr.qm";
        QTest::newRow("it") << "it" << "it" << "it.qm";
        QTest::newRow("CN only in capitals") << "zh-Hans-CN" << "en" << "en.qm";
        QTest::newRow("lower-case cn") << "zh-cn" << "cn" << "cn.qm";
        QTest::newRow("zh") << "zh" << "en" << "en.qm";
        QTest::newRow("ko") << "ko" << "en" << "en.qm";
        QTest::newRow("en-GB") << "en-GB" << "en" << "en.qm";
        QTest::newRow("first in table wins") << "es-cn" << "cn" << "cn.qm";
    }

    void languageTable()
    {
        QFETCH(QString, locale);
        QFETCH(QString, code);
        QFETCH(QString, qm);
        const AppLanguage lang = AppEnv::languageFor(locale);
        QCOMPARE(lang.siteCode, code);
        QCOMPARE(lang.qmFile, qm);
        if (code == QLatin1String("en"))
            QCOMPARE(lang.homeUrl, AppEnv::mainSiteUrl());
        else
            QCOMPARE(lang.homeUrl, QStringLiteral("http://%1.vextora.com").arg(code));
        QVERIFY(!lang.homeUrl.endsWith(QLatin1Char('/')));
    }

    void overlongValueIsRefused()
    {
        char buffer[kEnvSize];
        QVERIFY(AppEnv::setEnv(buffer, QString(511, QLatin1Char('a'))));
        QCOMPARE(qstrlen(buffer), 511u);
        QVERIFY(!AppEnv::setEnv(buffer, QString(512, QLatin1Char('a'))));
        QCOMPARE(buffer[0], '\0');
        // Counted in encoded bytes: 256 two-byte letters do not fit.
        QVERIFY(!AppEnv::setEnv(buffer, QString(256, QChar(0x00e9))));
        QVERIFY(AppEnv::setEnv(buffer, QStringLiteral("/Users/J\u00f6rg")));
        QCOMPARE(QString(buffer), QStringLiteral("/Users/J\u00f6rg"));
    }

    void urls_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("English") << "en";
        QTest::newRow("Japanese") << "jp";
    }

    void urls()
    {
        QFETCH(QString, code);
        const AppLanguage lang = AppEnv::languageFor(code == QLatin1String("jp") ? QStringLiteral("ja-JP") : code);
        AppEnv::setEnv(envLanguge, lang.siteCode);
        AppEnv::setEnv(envHomeUrl, lang.homeUrl);
        AppEnv::initUrls();
        const QString main = AppEnv::mainSiteUrl();
        QCOMPARE(QString(envRemoteVerUrl), main + QStringLiteral("/dl/Kestrelsweep/OSX/version-%1.html").arg(code));
        QCOMPARE(QString(envBugPostUrl), main + QStringLiteral("/bugs/Kestrelsweep/OSX/report.php"));
        QCOMPARE(QString(envProductUrl), lang.homeUrl + QStringLiteral("/kestrelsweep.html"));
        QCOMPARE(QString(envHelpUrl), lang.homeUrl + QStringLiteral("/kestrelsweep/guide.html"));
    }

    // The first start makes the data folder with its parents, so its log
    // holds the start from the first line on.
    void pathsAndDataFolder_data()
    {
        QTest::addColumn<QString>("dataHome"); // XDG_DATA_HOME in the home; empty: not set
        QTest::addColumn<QString>("shareFolder");
        QTest::addColumn<bool>("shareExists");
        QTest::newRow("share folder exists") << "share" << "share" << true;
        QTest::newRow("share folder missing") << "share" << "share" << false;
        QTest::newRow("bare home, no XDG setting") << "" << ".local/share" << false;
        QTest::newRow("home without Library") << "Library/Application Support" << "Library/Application Support" << false;
    }

    void pathsAndDataFolder()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, shareFolder);
        QFETCH(bool, shareExists);
        QTemporaryDir tmp;
        const ScopedEnv home("HOME", tmp.path());
        ScopedEnv dataEnv("XDG_DATA_HOME", tmp.filePath(dataHome));
        if (dataHome.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        const ScopedEnv configHome("XDG_CONFIG_HOME", tmp.filePath(QStringLiteral("config")));
        const QString data = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
        QCOMPARE(QFileInfo(data).path(), tmp.filePath(shareFolder));
        if (shareExists)
            QVERIFY(QDir().mkpath(tmp.filePath(shareFolder)));

        QVERIFY(AppEnv::initPaths());
        QVERIFY(QFileInfo(data).isDir());
        QCOMPARE(hpLogFileName(), data + QStringLiteral("/main.log"));

        const QString app = QCoreApplication::applicationDirPath();
        QCOMPARE(QString(envAppPath), app);
        QCOMPARE(QString(envDataPath), data);
        QCOMPARE(QString(envInfoPlist), app + QStringLiteral("/../Info.plist"));
        QCOMPARE(QString(envIconPath), data + QStringLiteral("/icon/"));
        QCOMPARE(QString(envSizeList), data + QStringLiteral("/icon//sizeList.plist"));
        QCOMPARE(QString(envTimeList), data + QStringLiteral("/icon//timeList.plist"));
        QCOMPARE(QString(envSoundFile), app + QStringLiteral("/../Resources/empty_trash.wav"));
        QCOMPARE(QString(envLocalVersion), data + QStringLiteral("/version.html"));
        QCOMPARE(QString(envLogPath), data);
        QCOMPARE(QString(envPreferencesFile),
                 QStandardPaths::writableLocation(QStandardPaths::ConfigLocation)
                     + QStringLiteral("/com.vextora.Kestrelsweep.plist"));
        QVERIFY(!QFileInfo::exists(QString(envIconPath)));

        QFile log(hpLogFileName());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        QVERIFY(text.contains("- PreferencesDlg::loadSettings();\n"));
        QVERIFY(text.contains("- PreferencesDlg::loadSettings(); end\n"));
    }

    // Run in the sandbox: were a refused path to leave "/" as the data folder,
    // the log and caches would go there.
    void refusedPath_data()
    {
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("configHome");
        QTest::addColumn<QStringList>("empty"); // buffers that must stay empty
        QTest::addColumn<bool>("logged");       // the refusal is in the data folder's log
        const QString home = QStringLiteral("/Users/tester");
        QTest::newRow("data folder too long")
            << deepUnderHome(600) << home + QStringLiteral("/config")
            << QStringList{"envDataPath", "envIconPath", "envSizeList", "envTimeList", "envLocalVersion", "envLogPath"}
            << false;
        // The data folder (this home + "/tst_appenv") and its icon folder fit, the lists in it do not.
        QTest::newRow("cache lists too long")
            << deepUnderHome(487) << home + QStringLiteral("/config") << QStringList{"envSizeList", "envTimeList"} << true;
        QTest::newRow("configuration folder too long")
            << home + QStringLiteral("/share") << deepUnderHome(600) << QStringList{"envPreferencesFile"} << true;
    }

    void refusedPath()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, configHome);
        QFETCH(QStringList, empty);
        QFETCH(bool, logged);
        if (!qEnvironmentVariableIsSet("KS_APPENV_INSIDE")) {
            if (!sandboxUsable())
                QSKIP("tools/sandbox cannot run here");
            const RootWatch run = inSandbox(
                {QStringLiteral("KS_APPENV_INSIDE=1")},
                {QCoreApplication::applicationFilePath(), QStringLiteral("refusedPath:") + QTest::currentDataTag()});
            QVERIFY2(run.status == 0, qPrintable(run.out));
            QCOMPARE(run.newAtRoot, QStringList());
            return;
        }

        const ScopedEnv dataEnv("XDG_DATA_HOME", dataHome);
        const ScopedEnv configEnv("XDG_CONFIG_HOME", configHome);
        if (logged)
            QVERIFY(QDir().mkpath(dataHome));
        QVERIFY(!AppEnv::init());
        const QMap<QString, const char *> buffers{
            {"envDataPath", envDataPath}, {"envIconPath", envIconPath}, {"envSizeList", envSizeList},
            {"envTimeList", envTimeList}, {"envLocalVersion", envLocalVersion}, {"envLogPath", envLogPath},
            {"envPreferencesFile", envPreferencesFile}};
        for (const QString &name : empty)
            QVERIFY2(!*buffers.value(name), qPrintable(name));
        if (logged) {
            const QString log = dataHome + QStringLiteral("/tst_appenv/main.log");
            QCOMPARE(hpLogFileName(), log);
            QFile f(log);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll().count("refused"), 1);
        } else {
            QCOMPARE(hpLogFileName(), QString());
            QVERIFY(!QFileInfo::exists(dataHome.section(QLatin1Char('/'), 0, 3)));
        }
    }

    // The real application, its one dialog answered by the test plug-in.
    void applicationStopsOnRefusedPath()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        const QString bin = qEnvironmentVariable("KS_BINARY_DIR");
        const RootWatch run = inSandbox(
            {QStringLiteral("XDG_DATA_HOME=") + deepUnderHome(600), QStringLiteral("QT_QPA_PLATFORM=offscreen"),
             QStringLiteral("QT_PLUGIN_PATH=") + bin + QStringLiteral("/testplugins"),
             QStringLiteral("QT_QPA_GENERIC_PLUGINS=ksautoanswer")},
            {bin + QStringLiteral("/Kestrelsweep.app/Contents/MacOS/Kestrelsweep")});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QStringLiteral("dialog MsgDlg: Kestrelsweep | Kestrelsweep cannot start: "
                                         "the path of one of its folders is missing or too long.\n"));
        QCOMPARE(run.newAtRoot, QStringList());
    }

    void versionIsCachedOnceRead()
    {
        QTemporaryDir tmp;
        const QString info = tmp.filePath(QStringLiteral("Info.plist"));
        AppEnv::setEnv(envInfoPlist, info);

        // Nothing to read yet: empty, and the next call tries again.
        QCOMPARE(hpVersion(), QString());
        QVERIFY(writeInfo(info, QStringLiteral("1.2.3")));
        QCOMPARE(hpVersion(), QStringLiteral("1.2.3"));
        QVERIFY(writeInfo(info, QStringLiteral("9.9.9")));
        QCOMPARE(hpVersion(), QStringLiteral("1.2.3"));
    }
};

QTEST_GUILESS_MAIN(TestAppEnv)
#include "tst_appenv.moc"
