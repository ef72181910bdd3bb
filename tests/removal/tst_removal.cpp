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
        QStringList paths, root, user;
        bool removeButton = false;
        QString error, finished, err;
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
            } else if (tag == QLatin1String("root")) {
                p.root << value;
            } else if (tag == QLatin1String("user")) {
                p.user << value;
            } else if (tag == QLatin1String("remove-button")) {
                p.removeButton = value == QLatin1String("1");
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
                                "Application Support/com.example.Foo/data", "LaunchAgents/com.example.Foo.agent.plist"})
            put(home + QLatin1String(rel), 2);
        for (const char *rel : {"Library/Foo/Resources/a.dat", "Library/Foo Pro/b.dat", "Library/Foobar.log",
                                "Library/Audio/Units.dat", "Library/Audio Tools/c.dat",
                                "Library/LaunchDaemons/com.example.Foo.helper.plist",
                                "private/var/db/receipts/com.example.Foo.pkg.bom"})
            put(QLatin1String(rel), 3);
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
            << QStringList() << fooArgs << fooRows << fooRoot << fooUser << true;

        QStringList untickedPrefs = fooRows;
        untickedPrefs.replace(2, "!Preferences");
        untickedPrefs.replace(3, "-COM.EXAMPLE.FOO.other.plist");
        QTest::newRow("unticked category keeps a ticked entry out")
            << QStringList() << fooArgs + QStringList{"--toggle", "Preferences [", "--toggle", "com.example.Foo.plist"} << untickedPrefs
            << fooRoot << fooUserTail << true;

        QStringList libraryAll = fooRows;
        libraryAll.replace(libraryAll.indexOf("-Foo Pro"), "+Foo Pro");
        libraryAll.replace(libraryAll.indexOf("-Foobar.log"), "+Foobar.log");
        QStringList libraryRoot = fooRoot;
        libraryRoot.insert(2, "/Library/Foo Pro");
        libraryRoot.insert(3, "/Library/Foobar.log");
        QTest::newRow("a category ticked again ticks every entry")
            << QStringList() << fooArgs + QStringList{"--toggle", "Library [", "--toggle", "Library ["} << libraryAll << libraryRoot
            << fooUser << true;

        // No identifier: only the base name searches; /Library/Audio is a
        // standard folder and never offered, whatever the name.
        const QStringList audioArgs{"list", "/Applications/Audio.app"};
        QTest::newRow("no identifier, protected folder never listed")
            << QStringList() << audioArgs
            << QStringList{"Binaries", "+Audio.app", "Crashes", "+Audio_1.plist", "Library", "+Audio Tools"}
            << QStringList{"/Applications/Audio.app", "/Library/Audio Tools"}
            << QStringList{lib + "Application Support/CrashReporter/Audio_1.plist"} << true;
        QTest::newRow("every category unticked hides Remove")
            << QStringList() << audioArgs + QStringList{"--toggle", "Binaries", "--toggle", "Crashes", "--toggle", "Library ["}
            << QStringList{"!Binaries", "-Audio.app", "!Crashes", "-Audio_1.plist", "!Library", "-Audio Tools"}
            << QStringList() << QStringList() << false;
        // The system's files in the run folder are never offered, whatever
        // an application is called.
        for (const char *id : {"resolv", "utmpx"}) {
            const QString app = QStringLiteral("/Users/tester/Applications/%1.app").arg(QLatin1String(id));
            QTest::newRow(qPrintable(QStringLiteral("bundle identifier \"%1\"").arg(QLatin1String(id))))
                << QStringList() << QStringList{"list", app} << QStringList{"Binaries", QStringLiteral("+%1.app").arg(QLatin1String(id))}
                << QStringList() << QStringList{app} << true;
        }
        // This user's crash folder is a link to /Library: /Library/Audio is
        // just as protected when reached through it.
        const QString linked = QStringLiteral("/Users/linked/Library/");
        QTest::newRow("protected folder reached through a linked folder")
            << QStringList{"--user", "linked"} << audioArgs
            << QStringList{"Binaries", "+Audio.app", "Crashes", "+Audio Tools", "Library", "+Audio Tools"}
            << QStringList{"/Applications/Audio.app", "/Library/Audio Tools"}
            << QStringList{linked + "Logs/DiagnosticReports/Audio Tools"} << true;
    }

    void offered()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, args);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, root);
        QFETCH(QStringList, user);
        QFETCH(bool, removeButton);

        const Probe p = probe(mRoot, options, args);
        QVERIFY2(p.status == 0, qPrintable(p.err));
        QCOMPARE(p.rows, rows);
        QCOMPARE(p.root, root);
        QCOMPARE(p.user, user);
        QCOMPARE(p.removeButton, removeButton);

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
    }

    void removesExactlyTheTicked()
    {
        QFETCH(QString, item);
        QFETCH(QStringList, kept);
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        if (mWorld.isEmpty()) {
            mWorld = mTmp.path() + QStringLiteral("/sample");
            QProcess make;
            make.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/make-sample-root"),
                       {mWorld, QStringLiteral("--home-owner"), QStringLiteral("501:20")});
            QVERIFY(make.waitForFinished(120000) && make.exitCode() == 0);
        }
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

        const QMap<QString, QString> after = treeListing(mWorld);
        const QStringList ticked = p.root + p.user;
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
        for (const QString &path : kept)
            QVERIFY2(after.contains(path.mid(1)), qPrintable(path));
    }

    // A path the request format cannot carry stays, and the page says so in
    // its error box and stays open; what could go is gone.
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
        QCOMPARE(p.error, QStringLiteral("Some files could not be removed:\\n/Applications/Semi;Colon.app"));
        QCOMPARE(p.finished, QString());
        QVERIFY(QFileInfo::exists(mRoot + QStringLiteral("/Applications/Semi;Colon.app/Contents/MacOS/x")));
        QVERIFY(!QFileInfo::exists(mRoot + QStringLiteral("/Users/tester/Library/Application Support/Semi;Colon")));
    }

private:
    QString mWorld;
};

QTEST_GUILESS_MAIN(TestRemoval)
#include "tst_removal.moc"
