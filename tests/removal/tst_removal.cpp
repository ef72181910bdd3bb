#include "SandboxRun.h"
#include "TreeListing.h"
#include "hpUtils.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// The removal page on real folders inside tools/sandbox: what it offers and
// ticks, and, with the real helper service as root beside it, what a removal
// with its default ticks takes from the disk.
class TestRemoval : public QObject
{
    Q_OBJECT

    struct Probe {
        int status = -1;
        QStringList rows;  // "Label" / "!Label" for categories, "+name" / "-name" for entries
        QStringList sizes; // category size texts, in row order
        QStringList paths, tips, root, user;
        bool removeButton = false;
        bool waited = false;
        QStringList cancel; // "1" for each progress dialog that offered Cancel, "0" otherwise
        QStringList asked;  // every question the page put
        QString alive;      // whether the program the probe started still ran at its end
        QStringList groups; // "identifier<TAB>entries" of every leftover group found
        QString summary, revealed, error, details, finished, err;
    };

    QTemporaryDir mTmp;
    QString mRoot;

    static QString probeExe() { return qEnvironmentVariable("KS_REMOVAL_PROBE"); }

    Probe probe(const QString &root, const QStringList &options, const QStringList &args)
    {
        const SandboxRun run = runInSandbox(root, options, QStringList{probeExe()} + args);
        Probe p;
        p.status = run.status;
        p.err = run.err;
        for (const QString &line : run.out.split(QLatin1Char('\n'))) {
            const QString tag = line.section(QLatin1Char('\t'), 0, 0);
            const QString value = line.section(QLatin1Char('\t'), 1);
            if (tag == QLatin1String("row")) {
                const QStringList f = value.split(QLatin1Char('\t'));
                const bool checked = f.value(1) == QLatin1String("1");
                if (f.value(0) == QLatin1String("0")) {
                    p.rows << (checked ? QString() : QStringLiteral("!")) + f.value(2).section(QStringLiteral(" ["), 0, 0);
                    p.sizes << f.value(2).section(QStringLiteral(" ["), 1).chopped(1);
                } else {
                    p.rows << (checked ? QStringLiteral("+") : QStringLiteral("-")) + f.value(2);
                }
            } else if (tag == QLatin1String("path")) {
                p.paths << value;
            } else if (tag == QLatin1String("tip")) {
                p.tips << value;
            } else if (tag == QLatin1String("summary")) {
                p.summary = value;
            } else if (tag == QLatin1String("revealed")) {
                p.revealed = value;
            } else if (tag == QLatin1String("error-details")) {
                p.details = value;
            } else if (tag == QLatin1String("root")) {
                p.root << value;
            } else if (tag == QLatin1String("user")) {
                p.user << value;
            } else if (tag == QLatin1String("remove-button")) {
                p.removeButton = value == QLatin1String("1");
            } else if (tag == QLatin1String("asked")) {
                p.asked << value;
            } else if (tag == QLatin1String("group")) {
                p.groups << value;
            } else if (tag == QLatin1String("alive")) {
                p.alive = value;
            } else if (tag == QLatin1String("cancel")) {
                p.cancel << value;
            } else if (tag == QLatin1String("waiting")) {
                p.waited = value == QLatin1String("1");
            } else if (tag == QLatin1String("error")) {
                p.error = value;
            } else if (tag == QLatin1String("finished")) {
                p.finished = value;
            }
        }
        return p;
    }

    void put(const QString &rel, int kib = 1)
    {
        const QString path = mRoot + QLatin1Char('/') + rel;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(kib * 1024, 'k'));
    }

private slots:
    void initTestCase()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        QVERIFY(mTmp.isValid());
        mRoot = mTmp.path() + QStringLiteral("/world");
        const QString home = QStringLiteral("Users/tester/Library/");
        QDir().mkpath(mRoot + QStringLiteral("/Applications/Foo.app/Contents"));
        QVERIFY(QFile::copy(QFINDTESTDATA("Foo-Info.plist"), mRoot + QStringLiteral("/Applications/Foo.app/Contents/Info.plist")));
        put(QStringLiteral("Applications/Audio.app/Contents/MacOS/Audio"));
        for (const char *rel : {"Preferences/com.example.Foo.plist", "Preferences/COM.EXAMPLE.FOO.other.plist",
                                "Preferences/com.example.Foobar.plist", "Preferences/com.example.Foo.pro.plist",
                                "Preferences/group.com.example.Foo.plist", "Preferences/.com.example.Foo.hidden",
                                "Caches/com.example.Foo/Cache.db", "Application Support/CrashReporter/Foo_1.plist",
                                "Application Support/CrashReporter/Audio_1.plist",
                                "Logs/DiagnosticReports/Foo_2024-01-01.crash", "Application Support/Foo/data",
                                "Application Support/com.example.Foo/data", "LaunchAgents/com.example.Foo.agent.plist",
                                "Preferences/com.hearth.audio.plist"})
            put(home + QLatin1String(rel), 2);
        for (const char *rel : {"Library/Foo/Resources/a.dat", "Library/Foo Pro/b.dat", "Library/Foobar.log",
                                "Library/Audio/Units.dat", "Library/Audio Tools/c.dat",
                                "Library/LaunchDaemons/com.example.Foo.helper.plist",
                                "private/var/db/receipts/com.example.Foo.pkg.bom"})
            put(QLatin1String(rel), 3);
        // The Mac keeps some names composed, some decomposed: one name either way.
        put(QStringLiteral("Applications/Caf\u00e9.app/Contents/MacOS/x"));
        put(QStringLiteral("Library/Cafe\u0301 Tools/x"));
        put(home + QStringLiteral("Application Support/Caf\u00e9/data"));
        put(home + QStringLiteral("Logs/DiagnosticReports/Cafe\u0301_1.crash"));
        // Markup and shell syntax in a name are only characters.
        put(QStringLiteral("Users/marked/Library/Application Support/CrashReporter/Audio <b>x &lt;y $(id).plist"));
        // A user's own bundles named after the system's files in the run folder.
        for (const char *id : {"resolv", "utmpx"}) {
            const QString plist = mRoot + QStringLiteral("/Users/tester/Applications/%1.app/Contents/Info.plist").arg(QLatin1String(id));
            QDir().mkpath(QFileInfo(plist).path());
            QFile f(plist);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                               "<key>CFBundleIdentifier</key>\n<string>") + id + "</string>\n</dict>\n</plist>\n");
        }
        put(QStringLiteral("private/var/run/resolv.conf"));
        put(QStringLiteral("private/var/run/utmpx"));
        QDir().mkpath(mRoot + QStringLiteral("/Users/linked/Library/Logs"));
        QVERIFY(QFile::link(QStringLiteral("../../../../Library"), mRoot + QStringLiteral("/Users/linked/Library/Logs/DiagnosticReports")));
    }

    void offered_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("root");
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<bool>("removeButton");
        // %1 stands for the size of what is ticked, as measured here
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("revealed");

        const QString prefs = QStringLiteral("/Users/tester/Library/Preferences/");
        const QString lib = QStringLiteral("/Users/tester/Library/");
        const QStringList fooArgs{QStringLiteral("list"), QStringLiteral("/Applications/Foo.app"), QStringLiteral("--other"),
                                  QStringLiteral("/Applications/Foo Pro.app=com.example.Foo.pro")};
        const QStringList fooRows{
            "Binaries", "+Foo.app",
            "Preferences", "+COM.EXAMPLE.FOO.other.plist", "+com.example.Foo.plist", "-com.example.Foo.pro.plist",
            "-com.example.Foobar.plist",
            "Caches", "+com.example.Foo",
            "Crashes", "+Foo_1.plist",
            "Crashes", "+Foo_2024-01-01.crash",
            "Library", "+Foo", "-Foo Pro", "-Foobar.log",
            "Application Support", "+Foo",
            "Application Support", "+com.example.Foo",
            "Login Items", "+com.example.Foo.helper.plist",
            "Login Items", "+com.example.Foo.agent.plist",
            "Receipts", "+com.example.Foo.pkg.bom"};
        const QStringList fooRoot{"/Applications/Foo.app", "/Library/Foo", "/Library/LaunchDaemons/com.example.Foo.helper.plist",
                                  "/private/var/db/receipts/com.example.Foo.pkg.bom"};
        const QStringList fooUserTail{lib + "Caches/com.example.Foo", lib + "Application Support/CrashReporter/Foo_1.plist",
                                      lib + "Logs/DiagnosticReports/Foo_2024-01-01.crash", lib + "Application Support/Foo",
                                      lib + "Application Support/com.example.Foo", lib + "LaunchAgents/com.example.Foo.agent.plist"};
        const QStringList fooUser = QStringList{prefs + "COM.EXAMPLE.FOO.other.plist", prefs + "com.example.Foo.plist"}
                                    + fooUserTail;

        QTest::newRow("prefix and case listed, boundary matches no other item claims ticked")
            << QStringList() << fooArgs + QStringList{"--reveal", "com.example.Foo.plist"} << fooRows << fooRoot << fooUser
            << true << "Foo: 12 items, %1 will be removed" << "-R " + prefs + "com.example.Foo.plist";

        QStringList untickedPrefs = fooRows;
        untickedPrefs.replace(2, "!Preferences");
        untickedPrefs.replace(3, "-COM.EXAMPLE.FOO.other.plist");
        QTest::newRow("unticked category keeps a ticked entry out")
            << QStringList() << fooArgs + QStringList{"--toggle", "Preferences [", "--toggle", "com.example.Foo.plist"} << untickedPrefs
            << fooRoot << fooUserTail << true << "Foo: 10 items, %1 will be removed" << QString();

        QStringList libraryAll = fooRows;
        libraryAll.replace(libraryAll.indexOf("-Foo Pro"), "+Foo Pro");
        libraryAll.replace(libraryAll.indexOf("-Foobar.log"), "+Foobar.log");
        QStringList libraryRoot = fooRoot;
        libraryRoot.insert(2, "/Library/Foo Pro");
        libraryRoot.insert(3, "/Library/Foobar.log");
        QTest::newRow("a category ticked again ticks every entry")
            << QStringList() << fooArgs + QStringList{"--toggle", "Library [", "--toggle", "Library ["} << libraryAll << libraryRoot
            << fooUser << true << "Foo: 14 items, %1 will be removed" << QString();

        // No identifier: only the base name searches; /Library/Audio is a
        // standard folder and never offered, whatever the name.
        const QStringList audioArgs{"list", "/Applications/Audio.app"};
        const QStringList audioRows{"Binaries", "+Audio.app", "Crashes", "+Audio_1.plist", "Library", "+Audio Tools"};
        const QStringList audioRoot{"/Applications/Audio.app", "/Library/Audio Tools"};
        const QStringList audioUser{lib + "Application Support/CrashReporter/Audio_1.plist"};
        QTest::newRow("no identifier, protected folder never listed, a category has no menu")
            << QStringList() << audioArgs + QStringList{"--reveal", "Crashes ["} << audioRows << audioRoot << audioUser << true
            << "Audio: 3 items, %1 will be removed" << QString();
        QTest::newRow("one item, the bundle counts with the catalogue's size")
            << QStringList() << audioArgs + QStringList{"--size", "5000", "--toggle", "Crashes", "--toggle", "Library ["}
            << QStringList{"Binaries", "+Audio.app", "!Crashes", "-Audio_1.plist", "!Library", "-Audio Tools"}
            << QStringList{"/Applications/Audio.app"} << QStringList() << true << "Audio: 1 item, 4.88M will be removed"
            << QString();
        const QString nfd = QStringLiteral("Cafe\u0301");
        QTest::newRow("composed and decomposed names listed alike")
            << QStringList() << QStringList{"list", QStringLiteral("/Applications/Caf\u00e9.app")}
            << QStringList{"Binaries", QStringLiteral("+Caf\u00e9.app"), "Crashes", "+" + nfd + "_1.crash", "Library",
                           "+" + nfd + " Tools", "Application Support", QStringLiteral("+Caf\u00e9")}
            << QStringList{QStringLiteral("/Applications/Caf\u00e9.app"), "/Library/" + nfd + " Tools"}
            << QStringList{lib + "Logs/DiagnosticReports/" + nfd + "_1.crash", lib + QStringLiteral("Application Support/Caf\u00e9")}
            << true << QStringLiteral("Caf\u00e9: 4 items, %1 will be removed") << QString();
        // A bundle that lost its Info.plist in a removal that failed half way
        // keeps the identifier its catalogue record has.
        QTest::newRow("identifier from the catalogue record")
            << QStringList() << QStringList{"list", "/Applications/Audio.app", "--other", "/Applications/Audio.app=com.hearth.audio"}
            << QStringList{"Binaries", "+Audio.app", "Preferences", "+com.hearth.audio.plist", "Crashes", "+Audio_1.plist",
                           "Library", "+Audio Tools"}
            << QStringList{"/Applications/Audio.app", "/Library/Audio Tools"}
            << QStringList{prefs + "com.hearth.audio.plist", lib + "Application Support/CrashReporter/Audio_1.plist"} << true
            << "Audio: 4 items, %1 will be removed" << QString();
        QTest::newRow("every category unticked hides Remove")
            << QStringList() << audioArgs + QStringList{"--toggle", "Binaries", "--toggle", "Crashes", "--toggle", "Library ["}
            << QStringList{"!Binaries", "-Audio.app", "!Crashes", "-Audio_1.plist", "!Library", "-Audio Tools"}
            << QStringList() << QStringList() << false << "Nothing will be removed" << QString();
        const QString marked = QStringLiteral("/Users/marked/Library/Application Support/CrashReporter/Audio <b>x &lt;y $(id).plist");
        QTest::newRow("markup in a name is shown and revealed as it is")
            << QStringList{"--user", "marked"} << audioArgs + QStringList{"--reveal", "Audio <b>"}
            << QStringList{"Binaries", "+Audio.app", "Crashes", "+Audio <b>x &lt;y $(id).plist", "Library", "+Audio Tools"}
            << audioRoot << QStringList{marked} << true << "Audio: 3 items, %1 will be removed" << "-R " + marked;
        // The system's files in the run folder are never offered, whatever
        // an application is called.
        for (const char *id : {"resolv", "utmpx"}) {
            const QString app = QStringLiteral("/Users/tester/Applications/%1.app").arg(QLatin1String(id));
            QTest::newRow(qPrintable(QStringLiteral("bundle identifier \"%1\"").arg(QLatin1String(id))))
                << QStringList() << QStringList{"list", app} << QStringList{"Binaries", QStringLiteral("+%1.app").arg(QLatin1String(id))}
                << QStringList() << QStringList{app} << true << QStringLiteral("%1: 1 item, %2 will be removed").arg(QLatin1String(id), "%1")
                << QString();
        }
        // This user's crash folder is a link to /Library: /Library/Audio is
        // just as protected when reached through it.
        const QString linked = QStringLiteral("/Users/linked/Library/");
        QTest::newRow("protected folder reached through a linked folder")
            << QStringList{"--user", "linked"} << audioArgs
            << QStringList{"Binaries", "+Audio.app", "Crashes", "+Audio Tools", "Library", "+Audio Tools"}
            << QStringList{"/Applications/Audio.app", "/Library/Audio Tools"}
            << QStringList{linked + "Logs/DiagnosticReports/Audio Tools"} << true << "Audio: 3 items, %1 will be removed"
            << QString();
    }

    void offered()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, args);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, root);
        QFETCH(QStringList, user);
        QFETCH(bool, removeButton);
        QFETCH(QString, summary);
        QFETCH(QString, revealed);

        QFile::remove(mRoot + QStringLiteral("/private/tmp/open.log"));
        const Probe p = probe(mRoot, options, args);
        QVERIFY2(p.status == 0, qPrintable(p.err));
        QCOMPARE(p.rows, rows);
        QCOMPARE(p.root, root);
        QCOMPARE(p.user, user);
        QCOMPARE(p.removeButton, removeButton);
        QCOMPARE(p.revealed, revealed);
        // Every entry names its path in full, however it is spelt.
        QCOMPARE(p.tips, p.paths);
        qint64 ticked = 0;
        for (const QString &path : root + user)
            ticked += hpGetSize(mRoot + path);
        QCOMPARE(p.summary, summary.contains(QLatin1String("%1")) ? summary.arg(hpSizeToString(ticked)) : summary);

        // Row k of the entries is path k, and a category shows the sum of its
        // entries' sizes.
        int entry = 0;
        int category = -1;
        qint64 sum = 0;
        auto checkSum = [&] {
            if (category > 0)
                QCOMPARE(p.sizes.at(category), hpSizeToString(sum));
        };
        for (const QString &row : rows) {
            if (row.startsWith(QLatin1Char('+')) || row.startsWith(QLatin1Char('-'))) {
                QCOMPARE(QFileInfo(p.paths.value(entry)).fileName(), row.mid(1));
                sum += hpGetSize(mRoot + p.paths.value(entry++));
                continue;
            }
            checkSum();
            ++category;
            sum = 0;
        }
        checkSum();
        QCOMPARE(p.sizes.value(0), QStringLiteral("1.00M"));
        QCOMPARE(entry, p.paths.size());
    }

    // Opened while the catalogue is still being filled: the page waits, and
    // Foo Pro's claims, which come later, still keep its files unticked.
    void waitsForTheCatalogue()
    {
        const Probe p = probe(mRoot, {}, {"list", "/Applications/Foo.app", "--late-other",
                                          "/Applications/Foo Pro.app=com.example.Foo.pro"});
        QVERIFY2(p.status == 0, qPrintable(p.err));
        QVERIFY(p.waited);
        QVERIFY2(p.rows.contains(QStringLiteral("-com.example.Foo.pro.plist")), qPrintable(p.rows.join(QLatin1Char('|'))));
        QVERIFY(p.rows.contains(QStringLiteral("-Foo Pro")));
        QVERIFY(p.rows.contains(QStringLiteral("+Foo")));
    }

    // Without the helper service nothing at all leaves the disk, the user's
    // own files neither, and the page says why.
    void nothingGoesWithoutTheService()
    {
        const QString world = sampleWorld();
        QVERIFY(!world.isEmpty());
        const QMap<QString, QString> before = treeListing(world);
        const Probe p = probe(world, {}, {QStringLiteral("remove"), QStringLiteral("/Applications/Tide.app"),
                                          QStringLiteral("--catalogue")});
        QVERIFY(!p.user.isEmpty() && !p.root.isEmpty());
        QCOMPARE(p.error, QStringLiteral("The Kestrelsweep helper is not running. Files outside your home folder can "
                                         "only be removed with its help, so nothing was removed."));
        QCOMPARE(p.finished, QString());
        QCOMPARE(treeListing(world), before);

        // Called off while the service is looked for: no message, nothing gone.
        const Probe called = probe(world, {}, {QStringLiteral("remove"), QStringLiteral("/Applications/Tide.app"),
                                               QStringLiteral("--catalogue"), QStringLiteral("--cancel-progress")});
        QCOMPARE(called.cancel, QStringList{QStringLiteral("1")});
        QCOMPARE(called.error, QString());
        QCOMPARE(called.finished, QString());
        QCOMPARE(treeListing(world), before);
    }

    // Three kinds of item removed one after another from the sample world,
    // each with the ticks the page starts with, by the page as the user runs
    // it and by the real service as root: exactly the ticked paths (with what
    // they hold) leave the disk, and nothing else changes.
    void removesExactlyTheTicked_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("kept"); // near misses that must stay
        // Tide's names start Tide Pro's and the vendor's: theirs must stay.
        const QString lib = QStringLiteral("/Users/tester/Library/");
        QTest::newRow("application with receipts and launch daemons")
            << "/Applications/Tide.app"
            << QStringList{"/Applications/Tide Pro.app", "/Library/Tide Pro", "/Library/Tideware",
                           lib + "Application Support/Tideware", lib + "Application Support/Tide Pro",
                           lib + "Preferences/com.tideware.tide.pro.plist",
                           "/Library/LaunchDaemons/com.tideware.tide.pro.helper.plist"};
        QTest::newRow("widget") << "/Library/Widgets/Day Leaf.wdgt" << QStringList{};
        QTest::newRow("preference pane") << "/Library/PreferencePanes/Mouse Tuner.prefPane" << QStringList{};
        // A name equal to a standard folder's: /Library/Audio keeps all it holds.
        QTest::newRow("application named like a standard folder") << "/Applications/Audio.app"
                                                                    << QStringList{"/Library/Audio"};
        // Its identifier "com" begins every maker's files: none of them goes.
        QTest::newRow("generic identifier takes nothing of Apple's or other makers'")
            << "/Applications/Generic Tool.app"
            << QStringList{lib + "Preferences/com.apple.dock.plist", lib + "Application Support/com.apple.sharedfilelist",
                           lib + "Preferences/com.tideware.tide.pro.plist", "/Library/LaunchDaemons/com.apple.samplesyncd.plist",
                           "/Library/LaunchDaemons/com.tideware.tide.pro.helper.plist",
                           "/Library/PrivilegedHelperTools/com.otherworks.installhelper",
                           "/private/var/db/receipts/com.apple.pkg.SampleTools.bom"};
    }

    void removesExactlyTheTicked()
    {
        QFETCH(QString, item);
        QFETCH(QStringList, kept);
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        const QString world = sampleWorld();
        QVERIFY(!world.isEmpty());
        const QMap<QString, QString> before = treeListing(mWorld);
        QVERIFY(before.contains(item.mid(1)));
        const Probe p = probe(mWorld,
                              {QStringLiteral("--helper"), qEnvironmentVariable("KS_HELPER"), QStringLiteral("--trust"),
                               probeExe()},
                              {QStringLiteral("remove"), item, QStringLiteral("--catalogue")});
        QVERIFY2(p.status == 0 && p.error.isEmpty(), qPrintable(p.error + QLatin1Char('\n') + p.err));
        QCOMPARE(p.finished, QStringLiteral("1"));
        // Both halves had work: the user's own files, and root's through the service.
        QVERIFY(!p.user.isEmpty());
        QVERIFY(p.root.size() > 1);
        // The service found beforehand takes the request at once: no pass is
        // lost waiting on it.
        const QString log = logOf(mWorld);
        QVERIFY2(log.contains(QLatin1String("rmRootFiles recv an answer")), qPrintable(log.right(3000)));
        QVERIFY2(!log.contains(QLatin1String("rmRootFiles recv no answer")), qPrintable(log.right(3000)));

        const QMap<QString, QString> after = treeListing(mWorld);
        compareRemoved(before, after, p.root + p.user);
        if (QTest::currentTestFailed())
            return;
        for (const QString &path : kept)
            QVERIFY2(after.contains(path.mid(1)), qPrintable(path));
    }

    // What two applications deleted long ago left, beside an installed
    // maker's stale file, Apple's, a helper only a bundle inside an installed
    // one names, and the helper service's own launch definition, which nothing
    // here claims but which is never anyone's to remove: only the
    // two deleted ones' groups are found, each with exactly its files, and
    // removing one through the page and the service takes exactly its files.
    void findsAndRemovesLeftovers()
    {
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        const QString world = mTmp.path() + QStringLiteral("/leftovers");
        QProcess make;
        make.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/make-sample-root"),
                   {world, QStringLiteral("--bare")});
        QVERIFY(make.waitForFinished(120000) && make.exitCode() == 0);
        const QString home = QStringLiteral("/Users/tester");
        const auto put = [&world](const QString &path, const QByteArray &data = QByteArray("x")) {
            QDir().mkpath(QFileInfo(world + path).path());
            QFile file(world + path);
            return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
        };
        const auto info = [](const char *id) {
            return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                              "<key>CFBundleIdentifier</key><string>") + id + "</string></dict></plist>\n";
        };
        const QStringList ink{home + "/Library/Preferences/org.quillworks.Ink.plist",
                              home + "/Library/Caches/org.quillworks.Ink", "/Library/LaunchAgents/org.quillworks.Ink.agent.plist"};
        const QStringList sail{home + "/Library/Saved Application State/net.paperboat.Sail.savedState",
                               home + "/Library/Application Support/net.paperboat.Sail",
                               "/private/var/db/receipts/net.paperboat.Sail.bom"};
        QVERIFY(put("/Applications/Lumen.app/Contents/Info.plist", info("net.lumen.Lumen")));
        QVERIFY(put("/Applications/Lumen.app/Contents/Library/LoginItems/Sync.app/Contents/Info.plist", info("io.agentco.sync")));
        QVERIFY(put("/Applications/Tide.app/Contents/Info.plist", info("com.tideware.Tide")));
        for (const QString &path : {ink.at(0), ink.at(1) + "/Cache.db", ink.at(2), sail.at(0) + "/windows.plist",
                                    sail.at(1) + "/state", sail.at(2), home + "/Library/Preferences/net.lumen.OldTool.plist",
                                    home + "/Library/Preferences/com.tideware.Tide.plist",
                                    home + "/Library/Preferences/com.apple.dock.plist",
                                    QStringLiteral("/Library/LaunchDaemons/com.apple.timed.plist"),
                                    home + "/Library/Application Support/io.agentco.sync/db",
                                    QStringLiteral("/Library/LaunchDaemons/com.vextora.Kestrelsweep.helper.plist")})
            QVERIFY2(put(path), qPrintable(path));
        QProcess chown;
        chown.start(QStringLiteral("chown"), {QStringLiteral("-R"), QStringLiteral("501:20"), world + home});
        QVERIFY(chown.waitForFinished() && chown.exitCode() == 0);

        const QMap<QString, QString> before = treeListing(world);
        const Probe p = probe(world,
                              {QStringLiteral("--helper"), qEnvironmentVariable("KS_HELPER"), QStringLiteral("--trust"),
                               probeExe()},
                              {QStringLiteral("remove"), QStringLiteral("net.paperboat.Sail"), QStringLiteral("--catalogue"),
                               QStringLiteral("--leftovers")});
        QVERIFY2(p.status == 0 && p.error.isEmpty(), qPrintable(p.error + QLatin1Char('\n') + p.err));
        QVERIFY2(p.groups == (QStringList{"net.paperboat.Sail\t3", "org.quillworks.Ink\t3"}),
                 qPrintable(p.groups.join(QLatin1Char('|'))));
        QStringList listed = p.paths;
        listed.sort();
        QStringList expected = sail;
        expected.sort();
        QCOMPARE(listed, expected);
        QCOMPARE(p.finished, QStringLiteral("1"));
        compareRemoved(before, treeListing(world), sail);
    }

    // A launch job whose property list goes is unloaded while the file is
    // still there: daemons by the service in the system domain, agents (the
    // user's own and those in /Library) by the application in the user's
    // session. A label that is the system's or not a plain reverse-DNS name
    // reaches no launchctl; a job that is not loaded keeps no file.
    void unloadsLaunchJobsFirst_data()
    {
        QTest::addColumn<QStringList>("labels"); // the daemon's, /Library agent's and user agent's; "" a corrupt file
        QTest::addColumn<bool>("load");
        QTest::addColumn<QStringList>("bootouts"); // system's then the user's session's
        QTest::addColumn<QStringList>("loadedAfter");

        const QStringList lamp{"com.example.Lamp.helper", "com.example.Lamp.agent", "com.example.Lamp.updater"};
        QTest::newRow("loaded jobs unloaded while their plists are there")
            << lamp << true
            << QStringList{"bootout system/com.example.Lamp.helper plist present",
                           "bootout gui/501/com.example.Lamp.agent plist present",
                           "bootout gui/501/com.example.Lamp.updater plist present"}
            << QStringList{"system org.example.other.helper"};
        QTest::newRow("jobs not loaded: bootout fails, the files go all the same")
            << lamp << false
            << QStringList{"bootout system/com.example.Lamp.helper not loaded",
                           "bootout gui/501/com.example.Lamp.agent not loaded",
                           "bootout gui/501/com.example.Lamp.updater not loaded"}
            << QStringList{"system org.example.other.helper"};
        QTest::newRow("system's, shell syntax and corrupt: no bootout")
            << QStringList{"COM.APPLE.lampd", "..;rm", ""} << true << QStringList()
            << QStringList{"system COM.APPLE.lampd", "system org.example.other.helper", "gui/501 ..;rm"};
    }

    void unloadsLaunchJobsFirst()
    {
        QFETCH(QStringList, labels);
        QFETCH(bool, load);
        QFETCH(QStringList, bootouts);
        QFETCH(QStringList, loadedAfter);
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        const QString world = mTmp.path() + QStringLiteral("/launch-") + QString::fromLatin1(QTest::currentDataTag()).left(6);
        const auto write = [&](const QString &rel, const QByteArray &data) {
            QDir().mkpath(QFileInfo(world + rel).path());
            QFile f(world + rel);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(data);
        };
        const auto plist = [](const QString &label) {
            if (label.isEmpty())
                return QByteArray("<plist><dict><key>Label</key><string>com.example.Lamp.");
            return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n<key>Label</key><string>"
                   + label.toUtf8() + "</string>\n<key>CFBundleIdentifier</key><string>com.example.Lamp</string>\n</dict>\n</plist>\n";
        };
        write(QStringLiteral("/Applications/Lamp.app/Contents/Info.plist"), plist(QStringLiteral("com.example.Lamp")));
        const QStringList files{"/Library/LaunchDaemons/com.example.Lamp.helper.plist",
                                "/Library/LaunchAgents/com.example.Lamp.agent.plist",
                                "/Users/tester/Library/LaunchAgents/com.example.Lamp.updater.plist"};
        for (int i = 0; i < files.size(); ++i)
            write(files.at(i), plist(labels.at(i)));
        // Another maker's daemon, loaded and kept.
        write(QStringLiteral("/Library/LaunchDaemons/org.example.other.plist"), plist(QStringLiteral("org.example.other.helper")));
        const auto launchctl = [&](const QStringList &options, const QString &domain, const QString &file) {
            return runInSandbox(world, options, {QStringLiteral("/bin/launchctl"), QStringLiteral("bootstrap"), domain, file});
        };
        const QStringList asRoot{QStringLiteral("--as-root")};
        QCOMPARE(launchctl(asRoot, QStringLiteral("system"), QStringLiteral("/Library/LaunchDaemons/org.example.other.plist")).status, 0);
        if (load) {
            launchctl(asRoot, QStringLiteral("system"), files.at(0));
            launchctl({}, QStringLiteral("gui/501"), files.at(1));
            launchctl({}, QStringLiteral("gui/501"), files.at(2));
        }

        const QMap<QString, QString> before = treeListing(world);
        const Probe p = probe(world,
                              {QStringLiteral("--helper"), qEnvironmentVariable("KS_HELPER"), QStringLiteral("--trust"),
                               probeExe()},
                              {QStringLiteral("remove"), QStringLiteral("/Applications/Lamp.app")});
        QVERIFY2(p.status == 0 && p.error.isEmpty(), qPrintable(p.error + QLatin1Char('\n') + p.err));
        QCOMPARE(p.finished, QStringLiteral("1"));
        QCOMPARE(p.root, (QStringList{"/Applications/Lamp.app", files.at(0), files.at(1)}));
        QCOMPARE(p.user, QStringList{files.at(2)});
        compareRemoved(before, treeListing(world), p.root + p.user);

        QStringList logged, loaded;
        for (const QString &domain : {QStringLiteral("system"), QStringLiteral("gui/501")}) {
            const QString folder = world + QStringLiteral("/private/tmp/launchctl-") + QString(domain).replace(QLatin1Char('/'), QLatin1Char('-'));
            QFile log(folder + QStringLiteral("/log"));
            QVERIFY(log.open(QIODevice::ReadOnly) || domain != QLatin1String("system"));
            for (const QString &line : QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                if (line.startsWith(QLatin1String("bootout ")))
                    logged << line;
            }
            QFile jobs(folder + QStringLiteral("/jobs"));
            if (jobs.open(QIODevice::ReadOnly)) {
                for (const QString &line : QString::fromUtf8(jobs.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                    loaded << domain + QLatin1Char(' ') + line.section(QLatin1Char('\t'), 0, 0);
            }
        }
        QVERIFY2(logged == bootouts, qPrintable(logged.join(QLatin1Char('\n'))));
        QCOMPARE(loaded, loadedAfter);
    }

    // A path the request format cannot carry: nothing goes, not even the
    // user's own files, and the page says so in its error box and stays open.
    void failureListsWhatIsLeft()
    {
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        put(QStringLiteral("Applications/Semi;Colon.app/Contents/MacOS/x"));
        put(QStringLiteral("Users/tester/Library/Application Support/Semi;Colon/data"));
        const Probe p = probe(mRoot,
                              {QStringLiteral("--helper"), qEnvironmentVariable("KS_HELPER"), QStringLiteral("--trust"),
                               probeExe()},
                              {QStringLiteral("remove"), QStringLiteral("/Applications/Semi;Colon.app")});
        QCOMPARE(p.error, QStringLiteral("These files cannot be handed to the Kestrelsweep helper, so nothing was removed.\\n"
                                         "Some files could not be removed:"));
        QCOMPARE(p.details, QStringLiteral("/Applications/Semi;Colon.app"));
        QCOMPARE(p.finished, QString());
        QVERIFY(QFileInfo::exists(mRoot + QStringLiteral("/Applications/Semi;Colon.app/Contents/MacOS/x")));
        QVERIFY(QFileInfo::exists(mRoot + QStringLiteral("/Users/tester/Library/Application Support/Semi;Colon")));
    }

    // A program runs from inside the bundle when the removal is confirmed.
    // The page asks to quit it first; a program that ignores the request is
    // forced to with the user's consent. Refused, nothing is deleted and it
    // runs on; quit, exactly the ticked files go.
    void quitsWhatRunsFirst_data()
    {
        QTest::addColumn<QString>("program"); // copied into the bundle as its executable
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QStringList>("asked"); // after the confirmation
        QTest::addColumn<bool>("removed");
        const QString quit = QStringLiteral("Runner is running. Quit it before removing it?");
        QTest::newRow("quit refused: it runs on, nothing deleted")
            << "/usr/bin/tail" << QStringList{"-f", "/dev/null"} << true << QStringList{quit} << false;
        QTest::newRow("quit, then exactly the ticked files go")
            << "/usr/bin/tail" << QStringList{"-f", "/dev/null"} << false << QStringList{quit} << true;
        QTest::newRow("termination ignored: forced after the wait")
            << "/bin/bash" << QStringList{"-c", "trap '' TERM; while :; do sleep 1; done"} << false
            << QStringList{quit, "Runner is still running. Force it to quit? Its unsaved changes will be lost."} << true;
    }

    void quitsWhatRunsFirst()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(bool, refuse);
        QFETCH(QStringList, asked);
        QFETCH(bool, removed);
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        const QString world = mTmp.path() + QStringLiteral("/running-") + QString::number(mRunningWorlds++);
        const QString exe = QStringLiteral("/Applications/Runner.app/Contents/MacOS/Runner");
        QDir().mkpath(world + QStringLiteral("/Applications/Runner.app/Contents/MacOS"));
        QVERIFY(QFile::copy(program, world + exe));
        QFile plist(world + QStringLiteral("/Applications/Runner.app/Contents/Info.plist"));
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                    "<key>CFBundleIdentifier</key>\n<string>com.example.runner</string>\n</dict>\n</plist>\n");
        plist.close();
        for (const char *rel : {"Users/tester/Library/Preferences/com.example.runner.plist",
                                "Users/tester/Library/Application Support/Runner/data", "Library/Runner/data",
                                "Library/LaunchDaemons/com.example.runner.helper.plist", "Library/Runnerless/data"}) {
            QDir().mkpath(QFileInfo(world + QLatin1Char('/') + QLatin1String(rel)).path());
            QFile f(world + QLatin1Char('/') + QLatin1String(rel));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("r") == 1);
        }
        // What the sandbox makes on its first run is not the removal's doing.
        for (const char *rel : {"System", "private/tmp", "private/var/run", "private/etc", "usr-local-Kestrelsweep"})
            QDir().mkpath(world + QLatin1Char('/') + QLatin1String(rel));
        const QMap<QString, QString> before = treeListing(world);
        QStringList options{QStringLiteral("remove"), QStringLiteral("/Applications/Runner.app"), QStringLiteral("--start"), exe};
        for (const QString &arg : args)
            options << QStringLiteral("--start-arg") << arg;
        if (refuse)
            options << QStringLiteral("--refuse-quit");
        const Probe p = probe(world,
                              {QStringLiteral("--helper"), qEnvironmentVariable("KS_HELPER"), QStringLiteral("--trust"),
                               probeExe()},
                              options);
        QVERIFY2(p.status == (removed ? 0 : 1) && p.error.isEmpty(), qPrintable(p.error + QLatin1Char('\n') + p.err));
        QCOMPARE(p.asked.mid(1), asked);
        QCOMPARE(p.alive, QString::number(!removed));
        QCOMPARE(p.finished, removed ? QStringLiteral("1") : QString());
        const QMap<QString, QString> after = treeListing(world);
        if (!removed) {
            QCOMPARE(after, before);
            return;
        }
        const QStringList ticked = p.root + p.user;
        QCOMPARE(ticked.size(), 5);
        QMap<QString, QString> expected = before;
        for (auto it = before.begin(); it != before.end(); ++it) {
            for (const QString &t : ticked) {
                if (QLatin1Char('/') + it.key() == t || (QLatin1Char('/') + it.key()).startsWith(t + QLatin1Char('/')))
                    expected.remove(it.key());
            }
        }
        QCOMPARE(after, expected);
        QVERIFY(after.contains(QStringLiteral("Library/Runnerless/data")));
    }

private:
    // What the application logged in the world's homes.
    static QString logOf(const QString &world)
    {
        QString text;
        QDirIterator it(world + QStringLiteral("/Users"), {QStringLiteral("main.log")}, QDir::Files | QDir::Hidden | QDir::AllDirs,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile log(it.next());
            if (log.open(QIODevice::ReadOnly))
                text += QString::fromUtf8(log.readAll());
        }
        return text;
    }

    // Exactly the ticked paths (with what they hold) left the disk between
    // the two listings, and nothing else changed.
    static void compareRemoved(const QMap<QString, QString> &before, const QMap<QString, QString> &after,
                               const QStringList &ticked)
    {
        auto isTicked = [&](const QString &rel) {
            return std::any_of(ticked.begin(), ticked.end(), [&](const QString &t) {
                return QLatin1Char('/') + rel == t || (QLatin1Char('/') + rel).startsWith(t + QLatin1Char('/'));
            });
        };
        for (const QString &t : ticked)
            QVERIFY2(before.contains(t.mid(1)), qPrintable(t));
        QStringList wronglyGone, wronglyKept, changed;
        for (auto it = before.begin(); it != before.end(); ++it) {
            const bool gone = !after.contains(it.key());
            if (isTicked(it.key()) != gone)
                (gone ? wronglyGone : wronglyKept) << it.key();
            else if (!gone && after.value(it.key()) != it.value())
                changed << it.key();
        }
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!before.contains(it.key()))
                changed << it.key();
        }
        QCOMPARE(wronglyGone, QStringList());
        QCOMPARE(wronglyKept, QStringList());
        QCOMPARE(changed, QStringList());
    }

    int mRunningWorlds = 0;

    // The sample world, made once for the tests that remove from it.
    QString sampleWorld()
    {
        if (mWorld.isEmpty()) {
            const QString world = mTmp.path() + QStringLiteral("/sample");
            QProcess make;
            QStringList args{world};
            if (geteuid() == 0)
                args << QStringLiteral("--home-owner") << QStringLiteral("501:20");
            make.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/make-sample-root"), args);
            if (make.waitForFinished(120000) && make.exitCode() == 0)
                mWorld = world;
        }
        return mWorld;
    }

    QString mWorld;
};

QTEST_GUILESS_MAIN(TestRemoval)
#include "tst_removal.moc"
