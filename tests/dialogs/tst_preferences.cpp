#include "AppEnv.h"
#include "Preferences.h"
#include "PreferencesDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

// The settings file is read back and written by an independent property-list
// implementation, so the test does not trust the format it is checking.
class TestPreferences : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;
    QString mFile;

    static QJsonObject readPlist(const QString &path)
    {
        QProcess py;
        py.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import plistlib,json,sys\n"
                                 "print(json.dumps(plistlib.load(open(sys.argv[1],'rb'))))"),
                  path});
        if (!py.waitForFinished(30000) || py.exitCode() != 0)
            return {};
        return QJsonDocument::fromJson(py.readAllStandardOutput()).object();
    }

    static bool writeBinaryPlist(const QString &path, const QString &pythonDict)
    {
        QProcess py;
        py.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import plistlib,sys\n"
                                 "plistlib.dump(%1, open(sys.argv[1],'wb'), fmt=plistlib.FMT_BINARY)")
                      .arg(pythonDict),
                  path});
        return py.waitForFinished(30000) && py.exitCode() == 0;
    }

    template <typename T>
    static T *child(QWidget *w, const char *name)
    {
        T *c = w->findChild<T *>(QLatin1String(name));
        if (!c)
            qFatal("no widget %s", name);
        return c;
    }

    // A fresh start: no settings file, statics back at their defaults.
    void reset()
    {
        QFile::remove(mFile);
        Preferences::loadSettings();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        mFile = mTmp.filePath(QStringLiteral("prefs/com.vextora.Kestrelsweep.plist"));
        QVERIFY(AppEnv::setEnv(envPreferencesFile, mFile));
    }

    void init() { reset(); }

    void firstStart()
    {
        QCOMPARE(Preferences::hideAppleApps(), false);
        QCOMPARE(Preferences::playSound(), true);
        QCOMPARE(Preferences::autoCheckUpdate(), true);

        PreferencesDlg dlg(nullptr);
        QCOMPARE(dlg.size(), QSize(397, 197));
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxKeepSafe")->checkState(), Qt::Unchecked);
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxSoundEffect")->checkState(), Qt::Checked);
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxAutomatic")->checkState(), Qt::Checked);
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxAutomaticBeta")->checkState(), Qt::Unchecked);
        QVERIFY(child<QLabel>(&dlg, "labelUpdate")->isHidden());
        QCOMPARE(child<QLabel>(&dlg, "labelUpdateTime")->text(), QString());
        QVERIFY2(!QFile::exists(mFile), "opening with the defaults writes nothing");
    }

    void oneClickSavesAll_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("value");
        QTest::addColumn<QString>("log");
        QTest::newRow("keep safe on") << "checkBoxKeepSafe" << "general.keepSafe" << true << "keepSafeChanged:2\n";
        QTest::newRow("sound off") << "checkBoxSoundEffect" << "general.soundEffect" << false << "soundEffectChanged:0\n";
        QTest::newRow("automatic off") << "checkBoxAutomatic" << "update.automatic" << false << "automaticChanged:0\n";
        QTest::newRow("beta on") << "checkBoxAutomaticBeta" << "update.automaticBeta" << true << "automaticBetaChanged:2\n";
    }

    void oneClickSavesAll()
    {
        QFETCH(QString, box);
        QFETCH(QString, key);
        QFETCH(bool, value);
        QFETCH(QString, log);

        PreferencesDlg dlg(nullptr);
        QTest::ignoreMessage(QtDebugMsg, qPrintable(log));
        dlg.findChild<QCheckBox *>(box)->click();

        QJsonObject expected{{QStringLiteral("general.keepSafe"), false},
                             {QStringLiteral("general.soundEffect"), true},
                             {QStringLiteral("update.automatic"), true},
                             {QStringLiteral("update.automaticBeta"), false},
                             {QStringLiteral("update.LastUpdateTime"), QString()}};
        expected[key] = value;
        QCOMPARE(readPlist(mFile), expected);
        QCOMPARE(Preferences::hideAppleApps(), expected[QStringLiteral("general.keepSafe")].toBool());
        QCOMPARE(Preferences::playSound(), expected[QStringLiteral("general.soundEffect")].toBool());
        QCOMPARE(Preferences::autoCheckUpdate(), expected[QStringLiteral("update.automatic")].toBool());
    }

    void keepSafeSignal()
    {
        PreferencesDlg dlg(nullptr);
        QSignalSpy keepSafe(&dlg, &PreferencesDlg::prefKeepSafeChanged);
        QSignalSpy checkNow(&dlg, &PreferencesDlg::prefCheckNowClicked);

        child<QCheckBox>(&dlg, "checkBoxKeepSafe")->click();
        QCOMPARE(keepSafe.count(), 1);
        QCOMPARE(keepSafe.takeFirst().at(0).toBool(), true);
        child<QCheckBox>(&dlg, "checkBoxSoundEffect")->click();
        QCOMPARE(keepSafe.count(), 0);
        child<QCheckBox>(&dlg, "checkBoxKeepSafe")->click();
        QCOMPARE(keepSafe.count(), 1);
        QCOMPARE(keepSafe.takeFirst().at(0).toBool(), false);

        child<QPushButton>(&dlg, "pushButtonCheckNow")->click();
        QCOMPARE(checkNow.count(), 1);
        QCOMPARE(keepSafe.count(), 0);
    }

    void storedValuesAtOpening()
    {
        // Written by another implementation, and in the binary form.
        QVERIFY(QDir().mkpath(QFileInfo(mFile).path()));
        QVERIFY(writeBinaryPlist(mFile, QStringLiteral("{'general.keepSafe': True, 'general.soundEffect': False,"
                                                       "'update.automatic': False, 'update.automaticBeta': True,"
                                                       "'update.LastUpdateTime': 'Tue Dec 8 09:30:00 2026'}")));
        Preferences::loadSettings();
        QCOMPARE(Preferences::hideAppleApps(), true);
        QCOMPARE(Preferences::playSound(), false);
        QCOMPARE(Preferences::autoCheckUpdate(), false);

        QTest::ignoreMessage(QtDebugMsg, "keepSafeChanged:2\n");
        QTest::ignoreMessage(QtDebugMsg, "soundEffectChanged:0\n");
        QTest::ignoreMessage(QtDebugMsg, "automaticChanged:0\n");
        QTest::ignoreMessage(QtDebugMsg, "automaticBetaChanged:2\n");
        PreferencesDlg dlg(nullptr);
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxKeepSafe")->checkState(), Qt::Checked);
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxSoundEffect")->checkState(), Qt::Unchecked);
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxAutomatic")->checkState(), Qt::Unchecked);
        QCOMPARE(child<QCheckBox>(&dlg, "checkBoxAutomaticBeta")->checkState(), Qt::Checked);
        QVERIFY(!child<QLabel>(&dlg, "labelUpdate")->isHidden());
        QCOMPARE(child<QLabel>(&dlg, "labelUpdateTime")->text(), QStringLiteral("Tue Dec 8 09:30:00 2026"));

        // Saved again, unchanged, now as XML.
        const QJsonObject saved = readPlist(mFile);
        QCOMPARE(saved.value(QStringLiteral("general.keepSafe")).toBool(), true);
        QCOMPARE(saved.value(QStringLiteral("update.automaticBeta")).toBool(), true);
        QCOMPARE(saved.value(QStringLiteral("update.LastUpdateTime")).toString(), QStringLiteral("Tue Dec 8 09:30:00 2026"));
    }

    void setUpdateTime()
    {
        Preferences::setUpdateTime(QStringLiteral("Wed Dec 9 10:00:00 2026"));
        QCOMPARE(readPlist(mFile).value(QStringLiteral("update.LastUpdateTime")).toString(),
                 QStringLiteral("Wed Dec 9 10:00:00 2026"));
        PreferencesDlg dlg(nullptr);
        QVERIFY(!child<QLabel>(&dlg, "labelUpdate")->isHidden());
        QCOMPARE(child<QLabel>(&dlg, "labelUpdateTime")->text(), QStringLiteral("Wed Dec 9 10:00:00 2026"));
    }

    // Every text is seen whole, inside its page, in every language.
    void fitsInEveryLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        for (const char *lang : {"cn", "es", "de", "jp", "fr", "it", "pt", "en"})
            QTest::newRow(lang) << lang;
    }

    void fitsInEveryLanguage()
    {
        QFETCH(QString, lang);
        QTranslator translator;
        QVERIFY(translator.load(lang + QStringLiteral(".qm"), qEnvironmentVariable("KS_BINARY_DIR")
                                                                 + QStringLiteral("/Kestrelsweep.app/Contents/Resources")));
        QCoreApplication::installTranslator(&translator);
        Preferences::setUpdateTime(QStringLiteral("Tue Dec 8 15:04:12 2026"));
        PreferencesDlg dlg(nullptr);
        dlg.show();
        auto *tabs = child<QTabWidget>(&dlg, "tabWidget");
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            const QWidget *page = tabs->currentWidget();
            for (const QWidget *w : page->findChildren<QWidget *>()) {
                const QString what = lang + QLatin1Char(' ') + w->objectName();
                QVERIFY2(page->rect().contains(w->geometry()), qPrintable(what + " leaves its page"));
                // Widths of boxes and buttons depend on the platform's fonts; the captions here do not wrap.
                const auto *label = qobject_cast<const QLabel *>(w);
                if (label && !label->wordWrap())
                    QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(what + " cut at the side"));
                if (w->sizePolicy().hasHeightForWidth())
                    QVERIFY2(w->heightForWidth(w->width()) <= w->height(), qPrintable(what + " cut at the bottom"));
            }
        }
        QCoreApplication::removeTranslator(&translator);
    }

    void unreadableFileGivesDefaults()
    {
        QVERIFY(QDir().mkpath(QFileInfo(mFile).path()));
        QFile f(mFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a property list");
        f.close();
        Preferences::loadSettings();
        QCOMPARE(Preferences::hideAppleApps(), false);
        QCOMPARE(Preferences::playSound(), true);
        QCOMPARE(Preferences::autoCheckUpdate(), true);
    }

    // Last: the start-up also sends every later message to its log file.
    void startUpLoadsTheFile()
    {
        // The start-up path fills envPreferencesFile itself, from the user's configuration
        // folder; this test's own, and its own data folder for the log.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mTmp.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(mTmp.filePath(QStringLiteral("share"))));
        const QString config = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
        QVERIFY(config.startsWith(mTmp.path()));
        QVERIFY(QDir().mkpath(config));
        QVERIFY(writeBinaryPlist(config + QStringLiteral("/com.vextora.Kestrelsweep.plist"),
                                 QStringLiteral("{'general.keepSafe': True, 'general.soundEffect': False}")));
        QVERIFY(AppEnv::initPaths());
        QCOMPARE(Preferences::hideAppleApps(), true);
        QCOMPARE(Preferences::playSound(), false);
        QCOMPARE(Preferences::autoCheckUpdate(), true);
        QVERIFY(AppEnv::setEnv(envPreferencesFile, mFile));
    }
};

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
