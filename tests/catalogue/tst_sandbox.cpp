#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// tools/sandbox: the macOS-shaped root it promises, and nothing written outside it.
class TestSandbox : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;
    QString mRoot;

    QString runIn(const QStringList &options, const QString &script, int *exitCode = nullptr)
    {
        QProcess p;
        p.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/sandbox"),
                QStringList{mRoot} + options
                    + QStringList{QStringLiteral("--"), QStringLiteral("/bin/sh"), QStringLiteral("-c"), script});
        p.waitForFinished(120000);
        if (exitCode)
            *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        mRoot = mTmp.filePath(QStringLiteral("root"));
        QVERIFY(QDir().mkpath(mRoot));
        int rc = -1;
        runIn({}, QStringLiteral("true"), &rc);
        if (rc != 0)
            QSKIP("bubblewrap cannot make a sandbox here");
    }

    void shapedLikeAMac_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("home") << QStringList{"--user", "ada"} << "echo $HOME; pwd" << "/Users/ada\n/Users/ada";
        QTest::newRow("stand-ins first on PATH")
            << QStringList{"--standins", "/opt/none"} << "echo ${PATH%%:*}" << "/opt/none";
        QTest::newRow("root folders") << QStringList() << "ls -d /Applications /Library /System /private /Users"
                                      << "/Applications\n/Library\n/System\n/Users\n/private";
        QTest::newRow("loopback only")
            << QStringList() << "tail -n +3 /proc/net/dev | cut -d: -f1 | tr -d ' '" << "lo";
        QTest::newRow("service runs as root") << QStringList{"--as-root"} << "id -u" << "0";
    }

    void shapedLikeAMac()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(runIn(options, script), expected);
    }

    void writesLandInsideRoot()
    {
        int rc = -1;
        const QString out = runIn({}, QStringLiteral(
            "echo a > /usr/local/Kestrelsweep/log && echo b > /Applications/x && echo c > /tmp/t && "
            "echo d > /var/run/s && echo e > $HOME/h && echo ok"), &rc);
        QCOMPARE(out, QStringLiteral("ok"));
        QVERIFY(QFile::exists(mRoot + QStringLiteral("/usr-local-Kestrelsweep/log")));
        QVERIFY(QFile::exists(mRoot + QStringLiteral("/Applications/x")));
        QVERIFY(QFile::exists(mRoot + QStringLiteral("/private/tmp/t")));
        QVERIFY(QFile::exists(mRoot + QStringLiteral("/private/var/run/s")));
        QVERIFY(QFile::exists(mRoot + QStringLiteral("/Users/tester/h")));
    }

    void hostStaysReadOnly_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("project folder") << qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/sandbox-probe");
        QTest::newRow("host /etc") << QStringLiteral("/etc/sandbox-probe");
        QTest::newRow("host /usr/bin") << QStringLiteral("/usr/bin/sandbox-probe");
    }

    void hostStaysReadOnly()
    {
        QFETCH(QString, target);
        int rc = -1;
        runIn({}, QStringLiteral("echo x > '%1'").arg(target), &rc);
        QVERIFY(rc != 0);
        QVERIFY(!QFile::exists(target));
    }
};

QTEST_GUILESS_MAIN(TestSandbox)
#include "tst_sandbox.moc"
