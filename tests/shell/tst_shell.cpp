#include "SandboxRun.h"
#include "TreeListing.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// The application's window driven by shell_probe inside tools/sandbox, on the
// sample world, with the real helper service as root: one run, whose steps
// the test functions read.
class TestShell : public QObject
{
    Q_OBJECT

    QTemporaryDir mTmp;
    QString mWorld;
    QMap<QString, QString> mBefore, mAfter;
    QString mErr;
    // step name -> its lines (without the step line itself)
    QMap<QString, QStringList> mSteps;
    QStringList mRecords;           // "path\tbundleId", as loaded
    const QString mVictim = QStringLiteral("/Applications/Post Heron.app");
    // Its bundle is taken away by the probe while its page is open.
    const QString mVanished = QStringLiteral("/Users/tester/Applications/Habit Tracker.app");

    QStringList recordsWithout(const QStringList &paths) const
    {
        QStringList left = mRecords;
        left.erase(std::remove_if(left.begin(), left.end(),
                                  [&](const QString &r) { return paths.contains(r.section(QLatin1Char('\t'), 0, 0)); }),
                   left.end());
        return left;
    }

    QStringList values(const QString &step, const QString &tag) const
    {
        QStringList found;
        for (const QString &line : mSteps.value(step))
            if (line.section(QLatin1Char('\t'), 0, 0) == tag)
                found << line.section(QLatin1Char('\t'), 1);
        return found;
    }
    QStringList rows(const QString &step, const QString &category) const
    {
        QStringList found;
        for (const QString &row : values(step, QStringLiteral("row")))
            if (row.section(QLatin1Char('\t'), 0, 0) == category)
                found << row.section(QLatin1Char('\t'), 1);
        return found;
    }
    // What a category shows with no search text: its records, in catalogue
    // order, less Apple's while keep-safe is on.
    QStringList expectedRows(const QString &category, bool keepSafe) const
    {
        static const QMap<QString, QStringList> endings{
            {QStringLiteral("Applications"), {QStringLiteral(".app")}},
            {QStringLiteral("Widgets"), {QStringLiteral(".wdgt")}},
            {QStringLiteral("Plugins"), {QStringLiteral(".plugin"), QStringLiteral(".webplugin"), QStringLiteral(".prefPane")}}};
        QStringList found;
        for (const QString &record : mRecords) {
            const QString path = record.section(QLatin1Char('\t'), 0, 0);
            const QStringList &ends = endings.value(category);
            if (std::none_of(ends.begin(), ends.end(), [&](const QString &e) { return path.endsWith(e); }))
                continue;
            if (keepSafe && record.section(QLatin1Char('\t'), 1).contains(QLatin1String("com.apple")))
                continue;
            found << path;
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        if (geteuid() != 0)
            QSKIP("the user and the helper service need two ids: run as root");
        mWorld = mTmp.path() + QStringLiteral("/sample");
        QProcess make;
        make.start(qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/make-sample-root"),
                   {mWorld, QStringLiteral("--home-owner"), QStringLiteral("501:20")});
        QVERIFY(make.waitForFinished(120000) && make.exitCode() == 0);
        mBefore = treeListing(mWorld);
        const QString probe = qEnvironmentVariable("KS_SHELL_PROBE");
        const SandboxRun run = runInSandbox(mWorld,
                                            {QStringLiteral("--helper"), qEnvironmentVariable("KS_HELPER"),
                                             QStringLiteral("--trust"), probe},
                                            {probe, mVictim});
        mErr = run.err;
        QVERIFY2(run.status == 0, qPrintable(run.err.right(3000)));
        QString step;
        for (const QString &line : run.out.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("step\t"))) {
                step = line.section(QLatin1Char('\t'), 1, 2);
                mSteps[step];
            } else if (!step.isEmpty() && line.contains(QLatin1Char('\t'))) {
                mSteps[step] << line;
            }
        }
        mRecords = values(QStringLiteral("loaded\t1"), QStringLiteral("record"));
        QVERIFY2(mSteps.contains(QStringLiteral("end")), qPrintable(run.out.right(3000)));
        mAfter = treeListing(mWorld);
    }

    void startsLoadingThenFills()
    {
        QCOMPARE(values("start", "title"), QStringList{"1\tLoading ..."});
        QCOMPARE(values("start", "remove-enabled"), QStringList{"0"});
        QCOMPARE(values("start", "apps-selected"), QStringList{"1"});
        QCOMPARE(values("loaded\t1", "title"), QStringList{"0\t"});
        QCOMPARE(values("loaded\t1", "rows-match-records"), QStringList{"1"});
        QVERIFY(mRecords.size() > 40);
    }

    void categoriesAndKeepSafe()
    {
        const bool keepSafe = values("loaded\t1", "keep-safe") == QStringList{"1"};
        const QStringList flipped = values("keep-safe", "keep-safe");
        QCOMPARE(flipped, (QStringList{keepSafe ? "0" : "1", keepSafe ? "1" : "0"}));
        for (const char *category : {"Applications", "Widgets", "Plugins"}) {
            QCOMPARE(rows("loaded\t1", category), expectedRows(category, keepSafe));
            QCOMPARE(rows("keep-safe", category), expectedRows(category, !keepSafe));
        }
        // The world has Apple's items in two categories, so both states differ there.
        QVERIFY(expectedRows("Applications", true) != expectedRows("Applications", false));
        QVERIFY(expectedRows("Widgets", true) != expectedRows("Widgets", false));
    }

    void search_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("apps");
        QTest::newRow("spaces and case ignored") << "search\t  mERe no " << QStringList{"/Applications/Quillmere Notes.app"};
        QTest::newRow("the .app suffix never matches") << "search\t.app" << QStringList();
        QTest::newRow("identifier is not searched") << "search\tcom.postheron" << QStringList();
        QTest::newRow("every name holding the text")
            << "search\ttide" << QStringList{"/Applications/Tide Pro.app", "/Applications/Tide.app"};
    }

    void search()
    {
        QFETCH(QString, step);
        QFETCH(QStringList, apps);
        QCOMPARE(rows(step, "Applications"), apps);
        QCOMPARE(rows(step, "Widgets"), QStringList());
        QCOMPARE(rows(step, "Plugins"), QStringList());
        QCOMPARE(values(step, "title"), QStringList{apps.isEmpty() ? "1\tNone" : "0\t"});
    }

    void singleChoiceSelection()
    {
        QCOMPARE(values("select-a", "clicked"), QStringList{"2"});
        QCOMPARE(values("select-a", "remove-enabled"), QStringList{"1"});
        QCOMPARE(values("select-b", "clicked"), (QStringList{"0", "2"}));
        QCOMPARE(values("select-b", "a-checked"), QStringList{"0"});
        QCOMPARE(values("filter-away", "clicked"), QStringList{"0"});
        QCOMPARE(values("filter-away", "remove-enabled"), QStringList{"0"});
        QCOMPARE(values("filter-back", "clicked"), QStringList{"2"});
        QCOMPARE(values("filter-back", "remove-enabled"), QStringList{"1"});
        QCOMPARE(values("filter-back", "b-checked"), QStringList{"1"});
    }

    // Cancel keeps the row while its bundle is there, and drops row and
    // record once the bundle has gone.
    void cancelDropsOnlyAVanishedItem()
    {
        QVERIFY(mRecords.join(QLatin1Char('\n')).contains(mVanished + QLatin1Char('\t')));
        QCOMPARE(values("cancel", "page-closed"), (QStringList{"1", "1"}));
        QCOMPARE(values("cancel", "kept"), (QStringList{"1", "0"}));
        QCOMPARE(values("cancel", "remove-enabled"), QStringList{"0"});
        QCOMPARE(values("cancel", "rows-match-records"), QStringList{"1"});
        QCOMPARE(values("cancel", "record"), recordsWithout({mVanished}));
    }

    void removalDropsExactlyItsRowAndFiles()
    {
        QCOMPARE(values("remove", "page-closed"), QStringList{"1"});
        QCOMPARE(values("remove", "clicked"), QStringList{"0"});
        QCOMPARE(values("remove", "remove-enabled"), QStringList{"0"});
        QCOMPARE(values("remove", "rows-match-records"), QStringList{"1"});
        QCOMPARE(values("remove", "record"), recordsWithout({mVanished, mVictim}));
        QVERIFY(!rows("remove", "Applications").contains(mVictim));

        const QStringList ticked = values("remove", "ticked") + values("drop-bundle", "ticked")
                                   + values("leftovers-remove", "ticked") + QStringList{mVanished};
        QVERIFY(ticked.contains(mVictim));
        auto isTicked = [&](const QString &rel) {
            return std::any_of(ticked.begin(), ticked.end(), [&](const QString &t) {
                return QLatin1Char('/') + rel == t || (QLatin1Char('/') + rel).startsWith(t + QLatin1Char('/'));
            });
        };
        QStringList wrong;
        for (auto it = mBefore.begin(); it != mBefore.end(); ++it) {
            const bool gone = !mAfter.contains(it.key());
            if (isTicked(it.key()) != gone || (!gone && mAfter.value(it.key()) != it.value()))
                wrong << it.key();
        }
        for (auto it = mAfter.begin(); it != mAfter.end(); ++it)
            if (!mBefore.contains(it.key()))
                wrong << it.key();
        QCOMPARE(wrong, QStringList());
    }

    // The window tells what went, as the page announced it, for a while and
    // without a box in the way.
    void removalSummaryShowsThenGoes()
    {
        const QString count = QString::number(values("remove", "ticked").size());
        const QStringList announced = values("remove", "page-summary");
        QCOMPARE(announced.size(), 1);
        const QString size = announced.first().section(QStringLiteral(" items, "), 1).section(QLatin1Char(' '), 0, 0);
        QCOMPARE(announced.first(), QStringLiteral("Post Heron: %1 items, %2 will be removed").arg(count, size));
        QCOMPARE(values("remove", "summary"), QStringList{QStringLiteral("1\tPost Heron removed: %1 items, %2 freed").arg(count, size)});
        QCOMPARE(values("remove", "modal"), QStringList{"0"});
        QCOMPARE(values("summary-gone", "hidden"), QStringList{"1"});
    }

    // A bundle dropped on the window is removed through its page although no
    // scan found it (its files go with the removal above); anything else
    // dropped is refused with a word and opens nothing.
    void dropOpensTheRemovalPage()
    {
        const QString refused = QStringLiteral("Drop one application, widget, plug-in or preference pane here to remove it.");
        QCOMPARE(values("drop-other", "drop"), (QStringList{"1\t0\t0", "1\t0\t0", "1\t0\t0", "1\t0\t0"}));
        QCOMPARE(values("drop-other", "message"), (QStringList{refused, refused, refused, refused}));
        QCOMPARE(values("drop-bundle", "drop"), QStringList{"1\t1\t1"});
        QCOMPARE(values("drop-bundle", "page-closed"), QStringList{"1"});
        const QString bundle = QStringLiteral("/Users/tester/Downloads/Ferry Log.app");
        QVERIFY(mBefore.contains(bundle.mid(1)) && !mAfter.contains(bundle.mid(1)));
        const QStringList ticked = values("drop-bundle", "ticked");
        QVERIFY2(ticked.contains(bundle) && ticked.contains(QStringLiteral("/Library/Ferry Log")), qPrintable(ticked.join(' ')));
        QCOMPARE(values("drop-bundle", "record"), values("drop-other", "record"));
        QCOMPARE(values("drop-bundle", "record"), recordsWithout({mVanished, mVictim}));
    }

    // The leftovers' category lists what the search found, filters it by
    // identifier, and removes one group through its page (the world's entry
    // through the service, the user's own by the application): its row goes,
    // the others stay, and a new search does not bring it back.
    void leftoverGroupRemoved()
    {
        const QString group = QStringLiteral("com.otherworks.installhelper");
        const QString home = QStringLiteral("/Users/tester/Library/");
        QCOMPARE(values("leftovers", "shown"), QStringList{"0\t1"});
        QCOMPARE(values("leftovers", "selected"), QStringList{"1"});
        QCOMPARE(values("leftovers", "searched"), QStringList{"1"});
        QCOMPARE(values("leftovers", "remove-enabled"), QStringList{"0"});

        QStringList ticked = values("leftovers-remove", "ticked");
        ticked.sort();
        QCOMPARE(ticked, (QStringList{"/Library/PrivilegedHelperTools/" + group, home + "Caches/" + group,
                                      home + "Preferences/" + group + ".plist"}));
        const QStringList announced = values("leftovers-remove", "page-summary");
        QCOMPARE(announced.size(), 1);
        const QString size = announced.first().section(QStringLiteral(" items, "), 1).section(QLatin1Char(' '), 0, 0);
        QCOMPARE(announced.first(), QStringLiteral("%1: 3 items, %2 will be removed").arg(group, size));

        const QString row = group + QStringLiteral("\t3 items\t") + size;
        const QStringList before = values("leftovers", "leftover");
        QVERIFY2(before.contains(row), qPrintable(before.join('\n')));
        QVERIFY(before.size() > 2);
        QVERIFY(std::any_of(before.begin(), before.end(), [](const QString &r) { return r.contains("\t1 item\t"); }));
        QCOMPARE(values("leftovers-search", "leftover"), QStringList{row});

        QCOMPARE(values("leftovers-remove", "remove-enabled"), (QStringList{"1", "0"}));
        QCOMPARE(values("leftovers-remove", "page-closed"), QStringList{"1"});
        // A long identifier is shortened in the middle to fit.
        const QStringList note = values("leftovers-remove", "summary");
        QVERIFY2(note.size() == 1 && note.first().startsWith("1\t")
                     && note.first().endsWith(QStringLiteral(" 3 items, %1 freed").arg(size)),
                 qPrintable(note.join('\n')));
        QCOMPARE(values("leftovers-remove", "left"), QStringList());
        QStringList others = before;
        others.removeAll(row);
        QCOMPARE(values("leftovers-remove", "leftover"), others);
        QCOMPARE(values("leftovers-again", "searched"), QStringList{"1"});
        QCOMPARE(values("leftovers-again", "leftover"), others);
        QCOMPARE(values("leftovers-again", "shown"), QStringList{"1\t0"});
    }

    void sizeUpdateAfterRemovalStillMatches()
    {
        QCOMPARE(values("size-update", "rows-match-records"), QStringList{"1"});
    }
};

QTEST_GUILESS_MAIN(TestShell)
#include "tst_shell.moc"
