#include "AppEnv.h"
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

    void pathsAndDataFolder()
    {
        QTemporaryDir tmp;
        const ScopedEnv dataHome("XDG_DATA_HOME", tmp.filePath(QStringLiteral("share")));
        const ScopedEnv configHome("XDG_CONFIG_HOME", tmp.filePath(QStringLiteral("config")));
        const QString data = QStandardPaths::writableLocation(QStandardPaths::DataLocation);
        QCOMPARE(QFileInfo(data).path(), tmp.filePath(QStringLiteral("share")));

        // A missing parent: only one level is ever created, so nothing appears.
        AppEnv::initPaths();
        QVERIFY(!QFileInfo::exists(data));

        QVERIFY(QDir().mkpath(QFileInfo(data).path()));
        AppEnv::initPaths();
        QVERIFY(QFileInfo(data).isDir());

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
