#include "CrashTrap.h"
#include "SandboxRun.h"
#include "hpSettings.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Blanks, quotes and every character the shell reads inside double quotes.
const char kBundle[] = "/Users/tester/My Apps/K'e \"s\" $(touch /tmp/pwned) `id` \\ & ;x.app";

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCrashTrap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A sanitizer build keeps segmentation faults for its own report;
        // the probes must meet the fault with the trap, as a release does.
        const QByteArray asan = qgetenv("ASAN_OPTIONS");
        if (!asan.isEmpty())
            qputenv("ASAN_OPTIONS", asan + ":handle_segv=0:allow_user_segv_handler=1");
    }

    // The trap and the reporter both reopen the bundle this finds.
    void bundlePath_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("bundle");
        QTest::newRow("bundle") << "/Applications/Kestrelsweep.app/Contents/MacOS/Kestrelsweep"
                                << "/Applications/Kestrelsweep.app";
        QTest::newRow("inside a folder named Contents")
            << "/tmp/x/Contents/Apps/Kestrelsweep.app/Contents/MacOS/Kestrelsweep"
            << "/tmp/x/Contents/Apps/Kestrelsweep.app";
        QTest::newRow("bundle named Contents") << "/Users/tester/Contents.app/Contents/MacOS/Kestrelsweep"
                                               << "/Users/tester/Contents.app";
        QTest::newRow("not in a bundle") << "/usr/local/bin/Kestrelsweep" << "";
        QTest::newRow("below MacOS") << "/Applications/K.app/Contents/MacOS/sub/Kestrelsweep" << "";
        QTest::newRow("no executable name") << "/Applications/K.app/Contents/MacOS/" << "";
    }

    void bundlePath()
    {
        QFETCH(QString, program);
        QFETCH(QString, bundle);
        QCOMPARE(CrashTrap::bundlePath(program), bundle);
    }

    void trap_data()
    {
        QTest::addColumn<QString>("bundle"); // "": the probe runs outside any bundle
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("signal");    // the probe ends by it; 0: it exits normally
        QTest::addColumn<bool>("reporter"); // exactly one reporter started
        QTest::addColumn<QString>("dialog"); // the system's crash dialog left so; "": untouched
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QString>("said");
        const QString bundle = QString::fromUtf8(kBundle);
        QTest::newRow("null write") << bundle << QStringList{"segv"} << 11 << true << "none"
                                    << "execeptionHandler:11 begin" << "";
        QTest::newRow("abort") << bundle << QStringList{"abort"} << 6 << true << "none" << "execeptionHandler:6 begin"
                               << "";
        QTest::newRow("SIGTERM once survives, twice ends") << bundle << QStringList{"term"} << 15 << true << "none"
                                                           << "execeptionHandler:15 begin" << "alive after 1\n";
        QTest::newRow("SIGPIPE ignored") << bundle << QStringList{"pipe"} << 0 << false << "" << ""
                                         << "alive after 1\nalive after 2\n";
        QTest::newRow("-crasher second ignored") << bundle << QStringList{"segv", "-crasher"} << 11 << true << "none"
                                                 << "execeptionHandler:11 begin" << "";
        QTest::newRow("bundle inside a folder named Contents")
            << "/tmp/x/Contents/Apps/Kestrelsweep.app" << QStringList{"segv"} << 11 << true << "none"
            << "execeptionHandler:11 begin" << "";
        QTest::newRow("reporter faults: no chain, dialog back") << bundle << QStringList{"-crasher", "segv"} << 11
                                                                << false << "crashreport" << "the crash reporter ends" << "";
        QTest::newRow("reporter aborts: dialog back") << bundle << QStringList{"-crasher", "abort"} << 6 << false
                                                      << "crashreport" << "the crash reporter ends" << "";
        QTest::newRow("reporter sent SIGTERM ends, dialog back") << bundle << QStringList{"-crasher", "term"} << 15
                                                                 << false << "crashreport" << "the crash reporter ends" << "";
        QTest::newRow("reporter sent SIGINT ends, dialog back") << bundle << QStringList{"-crasher", "int"} << 2
                                                                << false << "crashreport" << "the crash reporter ends" << "";
        QTest::newRow("no bundle") << QString() << QStringList{"segv"} << 11 << false << ""
                                   << "the program is not in a bundle" << "";
    }

    void trap()
    {
        QFETCH(QString, bundle);
        QFETCH(QStringList, args);
        QFETCH(int, signal);
        QFETCH(bool, reporter);
        QFETCH(QString, dialog);
        QFETCH(QString, logged);
        QFETCH(QString, said);
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString tmp = root.filePath(QStringLiteral("private/tmp"));
        QVERIFY(QDir().mkpath(tmp + QStringLiteral("/wrap")));
        QFile::setPermissions(tmp, QFileDevice::Permissions(0x7777));
        // Records every call of open, each argument bracketed, then opens for real.
        QFile wrap(tmp + QStringLiteral("/wrap/open"));
        QVERIFY(wrap.open(QIODevice::WriteOnly));
        wrap.write("#!/bin/sh\n{ printf open; for a in \"$@\"; do printf ' [%s]' \"$a\"; done; echo; } >>/tmp/opens\n"
                   "exec " + qgetenv("KS_STANDIN_DIR") + "/open \"$@\"\n");
        wrap.close();
        QVERIFY(wrap.setPermissions(QFileDevice::Permissions(0x7555)));

        const QString script = QStringLiteral(
            "probe=$1 bundle=$2 wait=$3; shift 3\n"
            "mkdir -p /tmp/log || exit 90\n"
            "if [ -n \"$bundle\" ]; then\n"
            "  mkdir -p \"$bundle/Contents/MacOS\" && cp \"$probe\" \"$bundle/Contents/MacOS/probe\" || exit 91\n"
            "  probe=$bundle/Contents/MacOS/probe\n"
            "fi\n"
            "PATH=/tmp/wrap:$PATH \"$probe\" \"$@\"; echo \"rc=$?\"\n"
            // The reporter is started detached; its start record is what ends the
            // wait, which a handler that never ran does not begin.
            "[ \"$wait\" = 1 ] && grep -q -- '- open -F -n ' /tmp/log/main.log &&\n"
            "  until grep -q '^start -crasher' /tmp/starts; do sleep 0.1; done\n"
            "exit 0\n");
        const SandboxRun run = runInSandbox(
            root.path(), {},
            QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"), script, QStringLiteral("sh"),
                        qEnvironmentVariable("KS_CRASH_PROBE"), bundle,
                        reporter ? QStringLiteral("1") : QStringLiteral("0")}
                + args);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, said + QStringLiteral("rc=%1\n").arg(signal ? 128 + signal : 0));

        const QByteArray opens = readFile(tmp + QStringLiteral("/opens"));
        const QByteArray starts = readFile(tmp + QStringLiteral("/starts"));
        const QByteArray log = readFile(tmp + QStringLiteral("/log/main.log"));
        QSettings crashPrefs(root.filePath(QStringLiteral("Users/tester/Library/Preferences/com.apple.CrashReporter.plist")),
                             hpSettingsFormat());
        if (reporter) {
            // One argument for the whole bundle path, however the shell reads it.
            const QByteArray call = "open [-F] [-n] [" + bundle.toUtf8() + "] [--args] [-crasher]\n";
            QCOMPARE(opens, call);
            // The reporter starts with no trapped signal blocked, or it could not be ended.
            QCOMPARE(starts, "start " + args.join(QLatin1Char(' ')).toUtf8() + "\nstart -crasher\n");
            QVERIFY2(log.contains("- open -F -n \""), log.constData());
        } else {
            QCOMPARE(opens, QByteArray());
            QCOMPARE(starts, "start " + args.join(QLatin1Char(' ')).toUtf8() + '\n');
        }
        QCOMPARE(crashPrefs.value(QStringLiteral("DialogType")).toString(), dialog);
        QVERIFY(!QFile::exists(tmp + QStringLiteral("/pwned")));
        if (!logged.isEmpty()) {
            // The handler writes the record itself, time stamp and all.
            const QRegularExpression record(QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- .*")
                                            + QRegularExpression::escape(logged) + QStringLiteral("\\n"),
                                            QRegularExpression::MultilineOption);
            QVERIFY2(record.match(QString::fromUtf8(log)).hasMatch(), log.constData());
        }
    }

    // The application itself: "-crasher" after another argument builds the main
    // window; SIGTERM once starts a reporter that builds none and leaves the
    // application running, twice ends it.
    void application()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString script = QStringLiteral(
            "mkdir -p ~/.local/share ~/.config; log=~/.local/share/Kestrelsweep/main.log\n"
            "seen() { [ \"$(grep -c \"$1\" \"$log\" 2>/dev/null)\" = \"$2\" ]; }\n"
            "\"$1\" x -crasher & pid=$!\n"
            "until seen 'new MainWidget(); end' 1; do sleep 0.1; done\n"
            "kill -TERM $pid\n"
            "until seen 'initExeception(); end' 2; do sleep 0.1; done\n"
            "kill -0 $pid && echo running\n"
            "kill -TERM $pid; wait $pid; echo \"rc=$?\"\n"
            "grep -c ' MainWindow mainWnd' \"$log\"\n");
        const SandboxRun run = runInSandbox(
            root.path(), {},
            {QStringLiteral("/bin/sh"), QStringLiteral("-c"), script, QStringLiteral("sh"),
             qEnvironmentVariable("KS_BINARY_DIR") + QStringLiteral("/Kestrelsweep.app/Contents/MacOS/Kestrelsweep")});
        QCOMPARE(run.out, QStringLiteral("running\nrc=143\n1\n"));
    }
};

QTEST_GUILESS_MAIN(TestCrashTrap)
#include "tst_crashtrap.moc"
