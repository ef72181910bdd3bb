#include "hpLaunchJob.h"
#include "hpProtected.h"

#include <QtTest>

#include <sys/stat.h>

class TestProtected : public QObject
{
    Q_OBJECT

private slots:
    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("isProtected");
        const auto row = [](const char *name, const char *path, bool prot) {
            QTest::newRow(name) << QString::fromUtf8(path) << prot;
        };
        row("root", "/", true);
        row("top-level folder", "/Applications", true);
        row("top-level with trailing slash", "/Library/", true);
        row("top-level other case", "/aPPlications", true);
        row("stock Library folder", "/Library/LaunchDaemons", true);
        row("stock Library folder, other case", "/library/application support", true);
        row("vendor file in Library folder", "/Library/LaunchDaemons/com.example.foo.plist", false);
        row("vendor folder in Application Support", "/Library/Application Support/Foo", false);
        row("system kept inside Library", "/Library/Application Support/Apple", true);
        row("bundle", "/Applications/Foo.app", false);
        row("Utilities", "/Applications/Utilities", true);
        row("app in Utilities", "/Applications/Utilities/Foo.app", false);
        row("under System", "/System/Library/Extensions/Foo.kext", true);
        row("under usr", "/usr/lib/libfoo.dylib", true);
        row("usr local", "/usr/local", true);
        row("usr local bin", "/usr/local/bin/foo", true);
        row("usr local vendor", "/usr/local/Foo", false);
        row("usr local vendor file", "/usr/local/Foo/foo.conf", false);
        row("under bin", "/bin/ls", true);
        row("under sbin", "/sbin/mount", true);
        row("under etc", "/etc/hosts", true);
        row("under var", "/var/log/system.log", true);
        row("private etc", "/private/etc/sudoers", true);
        row("private var itself", "/private/var", true);
        row("receipts folder", "/private/var/db/receipts", true);
        row("receipt file", "/private/var/db/receipts/com.example.foo.bom", false);
        row("socket", "/private/var/run/com.example.foo.sock", false);
        row("run folder itself", "/private/var/run", true);
        row("run: system file", "/private/var/run/resolv.conf", true);
        row("run: system file without a dot", "/private/var/run/utmpx", true);
        row("run: system file, other case", "/private/var/run/UTMPX", true);
        row("run: two-part name", "/private/var/run/com.x", true);
        row("run: empty part", "/private/var/run/com..foo.sock", true);
        row("run: inside a system folder", "/private/var/run/mDNSResponder/x.y.z", true);
        row("run: application folder's content", "/private/var/run/com.example.foo/pid", false);
        row("run: Apple's socket", "/private/var/run/com.apple.foo.sock", true);
        row("run: Apple's, other case", "/private/var/run/COM.Apple.foo", true);
        row("Apple's launch daemon", "/Library/LaunchDaemons/com.apple.foo.plist", true);
        row("Apple's launch agent", "/Library/LaunchAgents/com.apple.foo.plist", true);
        row("Apple's receipt", "/private/var/db/receipts/com.apple.pkg.Foo.bom", true);
        row("name that only begins like Apple's", "/Library/LaunchDaemons/com.applesauce.foo.plist", false);
        row("Apple's name elsewhere", "/Library/Application Support/com.apple.foo", false);
        row("run folder, other case", "/Private/Var/Run/", true);
        row("directory services database", "/private/var/db/dslocal", true);
        row("inside the directory services database", "/private/var/db/dslocal/nodes/Default/users/root.plist", true);
        row("root's ssh keys", "/private/var/root/.ssh", true);
        row("swap", "/private/var/vm", true);
        row("receipts beside the receipts folder", "/private/var/db/receiptsX/a", true);
        row("homebrew", "/opt/homebrew", true);
        row("homebrew binary", "/opt/homebrew/bin/foo", true);
        row("opt vendor", "/opt/Foo", false);
        row("service folder", "/usr/local/Kestrelsweep", true);
        row("service binary", "/usr/local/kestrelsweep/kestrel-helper", true);
        row("service launch definition", "/Library/LaunchDaemons/com.vextora.Kestrelsweep.helper.plist", true);
        row("another launch definition of ours", "/Library/LaunchDaemons/com.vextora.Kestrelsweep.plist", false);
        row("home", "/Users/alice", true);
        row("home top-level folder", "/Users/alice/Documents", true);
        row("home top-level other case", "/users/ALICE/library", true);
        row("home Library folder", "/Users/alice/Library/Preferences", true);
        row("home preference file", "/Users/alice/Library/Preferences/com.example.foo.plist", false);
        row("home kept folder", "/Users/alice/Library/Logs/DiagnosticReports", true);
        row("crash report", "/Users/alice/Library/Logs/DiagnosticReports/Foo.crash", false);
        row("another user's home", "/Users/bob", true);
        row("another user's Library folder", "/Users/bob/Library/Caches", true);
        row("another user's cache", "/Users/bob/Library/Caches/com.example.foo", false);
        row("volume root", "/Volumes/Backup", true);
        row("non-absolute", "Applications/Foo.app", true);
        row("home outside Users", "/home/alice", true);
        row("home outside Users top folder", "/home/alice/Downloads", true);
        row("home outside Users Library", "/home/alice/Library/Caches", true);
        row("home outside Users cache", "/home/alice/Library/Caches/com.example.foo", false);
        row("another home outside Users", "/home/bob", true);
        row("another home outside Users top folder", "/home/bob/.ssh", true);
        row("another home outside Users cache", "/home/bob/Library/Caches/com.example.foo", false);
    }

    void paths()
    {
        QFETCH(QString, path);
        QFETCH(bool, isProtected);
        QCOMPARE(hpIsProtectedPath(path, QStringLiteral("/home/alice")), isProtected);
    }

    // What may reach launchctl as a Label, read from a real file of each kind.
    void launchLabels_data()
    {
        QTest::addColumn<QByteArray>("file"); // "fifo", "link" (to a good plist) or the file's bytes
        QTest::addColumn<QString>("label");
        const auto xml = [](const QByteArray &dict) {
            return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>" + dict + "</dict>\n</plist>\n";
        };
        const auto label = [&](const char *text) { return xml(QByteArray("<key>Label</key><string>") + text + "</string>"); };
        QTest::newRow("XML, three parts") << label("com.example.Foo") << "com.example.Foo";
        QTest::newRow("dashes and underscores") << label("org.my-co.tool_2.helper") << "org.my-co.tool_2.helper";
        QTest::newRow("binary") << QByteArray::fromBase64("YnBsaXN0MDDRAQJVTGFiZWxfEA9jb20uZXhhbXBsZS5iaW4ICxEAAAAAAAABAQAAAAAAAAADAAAAAAAAAAAAAAAAAAAAIw==")
                                << "com.example.bin";
        QTest::newRow("two parts") << label("example.Foo") << QString();
        QTest::newRow("system's own, other case") << label("COM.Apple.syncd") << QString();
        QTest::newRow("shell syntax") << label("..;rm") << QString();
        QTest::newRow("empty part") << label("com..example.Foo") << QString();
        QTest::newRow("option-like part") << label("com.example.-Foo") << QString();
        QTest::newRow("slash") << label("com.example.Foo/../x") << QString();
        QTest::newRow("space") << label("com.example.Foo bar") << QString();
        QTest::newRow("non-ASCII letter") << label("com.example.Caf\xc3\xa9") << QString();
        QTest::newRow("Label not a string") << xml("<key>Label</key><integer>123</integer>") << QString();
        QTest::newRow("no Label") << xml("<key>Program</key><string>/bin/sh</string>") << QString();
        QTest::newRow("corrupt") << QByteArray("<plist><dict><key>Label</key><string>com.example.Foo") << QString();
        QTest::newRow("link to a good plist") << QByteArray("link") << QString();
        QTest::newRow("FIFO") << QByteArray("fifo") << QString();
    }

    void launchLabels()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, label);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("job.plist"));
        if (file == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else if (file == "link") {
            QFile good(dir.filePath(QStringLiteral("good.plist")));
            QVERIFY(good.open(QIODevice::WriteOnly));
            good.write("<plist><dict><key>Label</key><string>com.example.Foo</string></dict></plist>");
            good.close();
            QVERIFY(QFile::link(good.fileName(), path));
            QCOMPARE(hpLaunchLabel(good.fileName()), QStringLiteral("com.example.Foo"));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        QCOMPARE(hpLaunchLabel(path), label);
    }
};

QTEST_GUILESS_MAIN(TestProtected)
#include "tst_protected.moc"
