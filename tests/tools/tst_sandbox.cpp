#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

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
        QTest::newRow("root cannot remount the host's folders") << QStringList{"--as-root"}
            << "mount -o remount,bind,rw /etc 2>/dev/null && echo remounted || echo refused" << "refused";
        // From a root host the user is a real second id, as the first account of a Mac.
        const QString uid = getuid() == 0 ? QStringLiteral("501 20") : QStringLiteral("%1 %2").arg(getuid()).arg(getgid());
        QTest::newRow("user is an ordinary id") << QStringList() << "echo $(id -u) $(id -g)" << uid;
        QTest::newRow("user owns the home") << QStringList() << "stat -c '%u %g' $HOME" << uid;
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
        QCOMPARE(runIn({}, QStringLiteral("echo c > /tmp/t && echo e > $HOME/h && echo ok"), &rc), QStringLiteral("ok"));
        QCOMPARE(runIn({QStringLiteral("--as-root")}, QStringLiteral(
            "echo a > /usr/local/Kestrelsweep/log && echo b > /Applications/x && echo d > /var/run/s && echo ok"), &rc),
                 QStringLiteral("ok"));
        for (const char *f : {"/usr-local-Kestrelsweep/log", "/Applications/x", "/private/tmp/t", "/private/var/run/s",
                              "/Users/tester/h"})
            QVERIFY2(QFile::exists(mRoot + QLatin1String(f)), f);
    }

    // What root owns on a Mac the user may read but not change.
    void userCannotWriteRootsFolders()
    {
        QFile held(mRoot + QStringLiteral("/Applications/held"));
        QVERIFY(held.open(QIODevice::WriteOnly));
        held.close();
        const QString script = QStringLiteral(
            "for f in /Library/u /Applications/u /System/u /var/run/u /usr/local/Kestrelsweep/u; do"
            "  (echo u > $f) 2>/dev/null && echo wrote $f; done; rm -f /Applications/held 2>/dev/null && echo removed; echo done");
        QCOMPARE(runIn({}, script), QStringLiteral("done"));
        QVERIFY(held.exists());
    }

    // The helper service as root and the application's client as the user, in
    // one sandbox: the user cannot delete a file of root's, the service does it
    // for the genuine client.
    void helperServesTheUser()
    {
        if (getuid() != 0)
            QSKIP("only a root host gives the user and the helper service two ids");
        const QString bin = qEnvironmentVariable("KS_BINARY_DIR");
        const QString probe = bin + QStringLiteral("/tests/helper/channel_probe");
        const QString file = QStringLiteral("/Library/LaunchDaemons/com.example.held.plist");
        QVERIFY(QDir().mkpath(mRoot + QStringLiteral("/Library/LaunchDaemons")));
        QFile f(mRoot + file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        int rc = -1;
        const QString out = runIn({QStringLiteral("--helper"), bin + QStringLiteral("/kestrel-helper/kestrel-helper"),
                                   QStringLiteral("--trust"), probe},
                                  QStringLiteral("rm -f %1 2>/dev/null || echo denied; %2 remove %1").arg(file, probe), &rc);
        QCOMPARE(out, QStringLiteral("denied\n[result]1;SUCCESS:") + file);
        QVERIFY(!QFile::exists(mRoot + file));
    }

    // With --keep-alive a service that ended (as it does after installing an
    // update) is back a moment later, and serves the next removal.
    void helperComesBack()
    {
        if (getuid() != 0)
            QSKIP("only a root host gives the user and the helper service two ids");
        const QString bin = qEnvironmentVariable("KS_BINARY_DIR");
        const QString probe = bin + QStringLiteral("/tests/helper/channel_probe");
        const QString file = QStringLiteral("/Library/LaunchDaemons/com.example.back.plist");
        const QString saved = mRoot;
        mRoot = mTmp.filePath(QStringLiteral("keepalive"));
        QVERIFY(QDir().mkpath(mRoot + QStringLiteral("/Library/LaunchDaemons")));
        QFile f(mRoot + file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString out = runIn({QStringLiteral("--helper"), bin + QStringLiteral("/kestrel-helper/kestrel-helper"),
                                   QStringLiteral("--trust"), probe, QStringLiteral("--keep-alive"), QStringLiteral("--as-root")},
                                  QStringLiteral("log=/usr/local/Kestrelsweep/main.log; pkill -x kestrel-helper; "
                                                 "for i in $(seq 200); do [ $(grep -c 'hpServerInit end(true)' $log) -ge 2 ] && break; "
                                                 "sleep 0.1; done; %1 remove %2").arg(probe, file));
        mRoot = saved;
        QCOMPARE(out, QStringLiteral("[result]1;SUCCESS:") + file);
    }

    // What the script itself does to ROOT, as root perhaps, stays inside it.
    void linkInRootRefused()
    {
        QTemporaryDir outside;
        QVERIFY(QFile::setPermissions(outside.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QString root = mTmp.filePath(QStringLiteral("linked"));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/private")));
        QVERIFY(QFile::link(outside.path(), root + QStringLiteral("/private/tmp")));
        QProcess p;
        p.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/sandbox"),
                {root, QStringLiteral("--"), QStringLiteral("/bin/true")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QCOMPARE(QFileInfo(outside.path()).permissions() & (QFileDevice::WriteOther | QFileDevice::ExeOther),
                 QFileDevice::Permissions());
    }

    // A helper service that never binds: the command does not run, whatever
    // an earlier run left in the service's log.
    void helperThatNeverBinds()
    {
        if (getuid() != 0)
            QSKIP("only a root host gives the user and the helper service two ids");
        QFile log(mRoot + QStringLiteral("/usr-local-Kestrelsweep/main.log"));
        QVERIFY(log.open(QIODevice::Append));
        log.write("2026.01.01-00:00:00.000- hpServerInit end(true)\n");
        log.close();
        int rc = -1;
        const QString out = runIn({QStringLiteral("--helper"), QStringLiteral("/bin/true")}, QStringLiteral("echo ran"), &rc);
        QCOMPARE(rc, 70);
        QCOMPARE(out, QString());
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
