#include "SandboxRun.h"
#include "TreeListing.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <unistd.h>

// The command line as a script runs it: inside tools/sandbox on the sample
// world, with neither a display nor a platform plug-in named, and for
// removals with the real helper service as root beside it.
class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir mTmp;
    QString mWorld;

    static QString exe() { return qEnvironmentVariable("KS_KESTRELSWEEP"); }

    static QStringList helperOptions()
    {
        return {QStringLiteral("--helper"), qEnvironmentVariable("KS_HELPER"), QStringLiteral("--trust"), exe()};
    }

    SandboxRun cli(const QStringList &args, bool helper = false, const QByteArray &input = QByteArray())
    {
        return runInSandbox(mWorld, helper ? helperOptions() : QStringList(), QStringList{exe()} + args, input);
    }

private slots:
    void initTestCase()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        // The sandbox passes these on when they are set; a window would need them.
        qunsetenv("DISPLAY");
        qunsetenv("QT_QPA_PLATFORM");
        qunsetenv("LC_ALL");
        QVERIFY(mTmp.isValid());
        mWorld = mTmp.path() + QStringLiteral("/sample");
        QStringList args{mWorld};
        if (geteuid() == 0)
            args << QStringLiteral("--home-owner") << QStringLiteral("501:20");
        QProcess make;
        make.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/make-sample-root"), args);
        QVERIFY(make.waitForFinished(120000) && make.exitCode() == 0);
        QFile fake(mWorld + QStringLiteral("/Users/tester/Fake.app"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(QStringLiteral("/Applications/Tide.app"), mWorld + QStringLiteral("/Users/tester/Link.app")));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("firstLine"); // of stderr, or of stdout when the status is 0

        const QString tide = QStringLiteral("/Applications/Tide.app");
        const QString notBundle = QStringLiteral("Kestrelsweep: not an item bundle (a .app, .wdgt, .plugin, .webplugin "
                                                 "or .prefPane folder): ");
        QTest::newRow("help") << QStringList{"--help"} << QByteArray() << 0 << "Usage:";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << QByteArray() << 2
                                        << "Kestrelsweep: unknown option: --frobnicate";
        QTest::newRow("unknown option, in German") << QStringList{"--frobnicate"} << QByteArray("de_DE.UTF-8") << 2
                                                   << "Kestrelsweep: unbekannte Option: --frobnicate";
        QTest::newRow("no command") << QStringList{"--json"} << QByteArray() << 2
                                    << "Kestrelsweep: no command given: --list, --files, --remove, --leftovers or --help";
        QTest::newRow("missing path") << QStringList{"--remove", "--yes"} << QByteArray() << 2
                                      << "Kestrelsweep: --remove needs the path of an item";
        QTest::newRow("two commands") << QStringList{"--list", "--remove", tide, "--yes"} << QByteArray() << 2
                                      << "Kestrelsweep: --remove cannot be combined with --list";
        QTest::newRow("another command's option") << QStringList{"--remove", tide, "--json", "--yes"} << QByteArray() << 2
                                                  << "Kestrelsweep: --json is not an option of --remove";
        QTest::newRow("two paths") << QStringList{"--remove", tide, "/Applications/Audio.app", "--yes"} << QByteArray()
                                   << 2 << "Kestrelsweep: unexpected argument: /Applications/Audio.app";
        QTest::newRow("folder without a bundle's name") << QStringList{"--remove", "/Library/Tide", "--yes"}
                                                        << QByteArray() << 2 << notBundle + "/Library/Tide";
        QTest::newRow("the bundle's parent through ..") << QStringList{"--remove", tide + "/..", "--yes"} << QByteArray()
                                                        << 2 << notBundle + tide + "/..";
        QTest::newRow("file named like a bundle") << QStringList{"--remove", "Fake.app", "--yes"} << QByteArray() << 2
                                                  << notBundle + "Fake.app";
        QTest::newRow("link to a bundle") << QStringList{"--remove", "/Users/tester/Link.app", "--yes"} << QByteArray()
                                          << 2 << notBundle + "/Users/tester/Link.app";
        QTest::newRow("missing bundle") << QStringList{"--files", "/Applications/Nowhere.app"} << QByteArray() << 2
                                        << notBundle + "/Applications/Nowhere.app";
    }

    // A wrong command line is told on stderr, prints no results and deletes nothing.
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, locale);
        QFETCH(int, status);
        QFETCH(QString, firstLine);
        const QMap<QString, QString> before = treeListing(mWorld);
        const QByteArray lang = qgetenv("LANG");
        qputenv("LANG", locale.isEmpty() ? QByteArray("C.UTF-8") : locale);
        const SandboxRun run = cli(args, geteuid() == 0);
        qputenv("LANG", lang);
        QCOMPARE(run.status, status);
        QCOMPARE((status == 0 ? run.out : run.err).section(QLatin1Char('\n'), 0, 0), firstLine);
        if (status != 0)
            QCOMPARE(run.out, QString());
        QCOMPARE(treeListing(mWorld), before);
    }

    // One item from listing to removal: --remove takes exactly what --files
    // ticks, a dry run and a "no" take nothing, and without the service
    // nothing goes at all.
    // The sample world's leftovers: the downloaded application's files (no
    // scan finds it) and another maker's helper; nothing of Apple's, nothing
    // of a maker with an installed item, application groups included.
    void listsLeftovers()
    {
        const SandboxRun run = cli({QStringLiteral("--leftovers"), QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        QStringList found;
        for (const QJsonValue &group : QJsonDocument::fromJson(run.out.toUtf8()).object().value(QStringLiteral("leftovers")).toArray()) {
            const QJsonArray files = group.toObject().value(QStringLiteral("files")).toArray();
            found << group.toObject().value(QStringLiteral("identifier")).toString() + QLatin1Char(' ')
                         + QString::number(files.size());
            for (const QJsonValue &file : files)
                QVERIFY(QFileInfo::exists(mWorld + file.toObject().value(QStringLiteral("path")).toString()));
        }
        QCOMPARE(found, (QStringList{"com.ferrylog.mac 14", "com.ferrylog.other 1", "com.otherworks.installhelper 1"}));
    }

    // A running item is not removed from under its processes: nobody is
    // there to ask whether to quit it.
    void leavesARunningItem()
    {
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        const QString bundle = QStringLiteral("/Users/tester/Downloads/Ferry Log.app");
        const QString runner = bundle + QStringLiteral("/Contents/MacOS/ferry-runner");
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), mWorld + runner));
        const QMap<QString, QString> before = treeListing(mWorld);
        const QString script = QStringLiteral("\"$1\" 30 & sleep 1; \"$2\" --remove \"$3\" --yes; echo \"status $?\"; "
                                              "kill -0 $! && echo alive; kill $!");
        const SandboxRun run = runInSandbox(mWorld, helperOptions(), {QStringLiteral("sh"), QStringLiteral("-c"), script,
                                                         QStringLiteral("sh"), runner, exe(), bundle});
        QVERIFY2(run.out.contains(QLatin1String("status 1\nalive")), qPrintable(run.out + run.err));
        QVERIFY2(run.err.contains(QLatin1String("Ferry Log is still running, so nothing was removed.")), qPrintable(run.err));
        QFile::remove(mWorld + runner);
        QCOMPARE(treeListing(mWorld).size(), before.size() - 1);
    }

    void removesWhatFilesTicks()
    {
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        const QString item = QStringLiteral("/Applications/Tide.app");
        const QMap<QString, QString> before = treeListing(mWorld);

        const SandboxRun list = cli({QStringLiteral("--list"), QStringLiteral("--json")});
        QCOMPARE(list.status, 0);
        const QJsonArray items = QJsonDocument::fromJson(list.out.toUtf8()).object().value(QStringLiteral("items")).toArray();
        const auto tide = std::find_if(items.begin(), items.end(), [&](const QJsonValue &v) {
            return v.toObject().value(QStringLiteral("path")).toString() == item;
        });
        QVERIFY(tide != items.end());
        QCOMPARE((*tide).toObject().value(QStringLiteral("identifier")).toString(), QStringLiteral("com.tideware.tide"));
        QCOMPARE((*tide).toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("application"));

        const SandboxRun files = cli({QStringLiteral("--files"), item, QStringLiteral("--json")});
        QCOMPARE(files.status, 0);
        const QJsonObject listed = QJsonDocument::fromJson(files.out.toUtf8()).object();
        QCOMPARE(listed.value(QStringLiteral("item")).toString(), item);
        QStringList ticked, unticked;
        for (const QJsonValue &file : listed.value(QStringLiteral("files")).toArray()) {
            const QJsonObject f = file.toObject();
            QVERIFY(!f.value(QStringLiteral("category")).toString().isEmpty());
            QVERIFY(f.value(QStringLiteral("size")).isDouble());
            (f.value(QStringLiteral("ticked")).toBool() ? ticked : unticked) << f.value(QStringLiteral("path")).toString();
        }
        QCOMPARE(ticked.value(0), item);
        // Tide Pro's and the vendor's files are listed, and stay.
        QVERIFY(unticked.contains(QStringLiteral("/Library/Tide Pro")));
        QVERIFY(ticked.contains(QStringLiteral("/Users/tester/Library/Preferences/com.tideware.tide.plist")));

        const SandboxRun dry = cli({QStringLiteral("--remove"), item, QStringLiteral("--dry-run")}, true);
        QCOMPARE(dry.status, 0);
        QCOMPARE(dry.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1), ticked);
        QCOMPARE(treeListing(mWorld), before);

        const SandboxRun declined = cli({QStringLiteral("--remove"), item}, true, "n\n");
        QCOMPARE(declined.status, 1);
        QCOMPARE(declined.err, QStringLiteral("Remove them? [y/N] \nNothing was removed.\n"));
        QCOMPARE(treeListing(mWorld), before);

        const SandboxRun alone = cli({QStringLiteral("--remove"), item, QStringLiteral("--yes")});
        QCOMPARE(alone.status, 1);
        QCOMPARE(alone.err.trimmed(), QStringLiteral("The Kestrelsweep helper is not running. Files outside your home "
                                                     "folder can only be removed with its help, so nothing was removed."));
        QCOMPARE(treeListing(mWorld), before);

        const SandboxRun removed = cli({QStringLiteral("--remove"), item, QStringLiteral("--yes")}, true);
        QVERIFY2(removed.status == 0, qPrintable(removed.err));
        const QMap<QString, QString> after = treeListing(mWorld);
        const auto isTicked = [&](const QString &rel) {
            const QString path = QLatin1Char('/') + rel;
            return std::any_of(ticked.begin(), ticked.end(),
                               [&](const QString &t) { return path == t || path.startsWith(t + QLatin1Char('/')); });
        };
        QStringList wrong;
        for (auto it = before.begin(); it != before.end(); ++it) {
            if (isTicked(it.key()) == after.contains(it.key()) || (after.contains(it.key()) && after.value(it.key()) != it.value()))
                wrong << it.key();
        }
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!before.contains(it.key()))
                wrong << it.key();
        }
        QCOMPARE(wrong, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
