#include "hpSettings.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <qplatformdefs.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

// The discovery worker on the sample world, run by the probe inside tools/sandbox.
class TestFinderSandbox : public QObject
{
    Q_OBJECT

private:
    struct Record {
        int kind;
        int sizeState;
        qint64 size;
        QString path;
        QString name;
        QString iconDir;
    };
    struct Run {
        QList<Record> records;
        QStringList measured;
        QStringList conversions; // "ret<TAB>command"
        int appends = -1;
        int updates = -1;
        bool finished = false;
        QString iconPath, sizeList, timeList;
    };

    QTemporaryDir mTmp;
    QString mRoot;
    Run mFirst;

    QString sourceDir() const { return qEnvironmentVariable("KS_SOURCE_DIR"); }

    // A run that outlasts waitMs is killed with its sandbox.
    QProcess *sandbox(const QStringList &command, const QString &root = QString(), int waitMs = 300000)
    {
        auto *p = new QProcess(this);
        QStringList args{root.isEmpty() ? mRoot : root, QStringLiteral("--standins"),
                         qEnvironmentVariable("KS_STANDIN_DIR"), QStringLiteral("--bind-ro"),
                         qEnvironmentVariable("KS_BINARY_DIR"), QStringLiteral("--")};
        p->start(sourceDir() + QStringLiteral("/tools/sandbox"), args + command);
        if (!p->waitForFinished(waitMs)) {
            p->kill();
            p->waitForFinished();
        }
        return p;
    }

    Run probe(const QStringList &args = {}, const QString &root = QString(), int waitMs = 300000)
    {
        Run run;
        QProcess *p = sandbox(QStringList{qEnvironmentVariable("KS_FINDER_PROBE")} + args, root, waitMs);
        const QString err = QString::fromUtf8(p->readAllStandardError());
        run.finished = p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
        if (!run.finished)
            qWarning("probe failed: %s", qPrintable(err));
        for (const QString &line : QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char('\t'));
            const QString &tag = f.first();
            if (tag == QLatin1String("record") && f.size() == 8)
                run.records << Record{f[2].toInt(), f[3].toInt(), f[4].toLongLong(), f[5], f[6], f[7]};
            else if (tag == QLatin1String("measured"))
                run.measured << f.value(1);
            else if (tag == QLatin1String("converted"))
                run.conversions << f.mid(1).join(QLatin1Char('\t'));
            else if (tag == QLatin1String("appends"))
                run.appends = f.value(1).toInt();
            else if (tag == QLatin1String("updates"))
                run.updates = f.value(1).toInt();
            else if (tag == QLatin1String("iconpath"))
                run.iconPath = f.value(1);
            else if (tag == QLatin1String("sizelist"))
                run.sizeList = f.value(1);
            else if (tag == QLatin1String("timelist"))
                run.timeList = f.value(1);
        }
        delete p;
        return run;
    }

    QString host(const QString &sandboxPath) const { return mRoot + sandboxPath; }

    bool makeWorld(const QString &root, const QStringList &options = {})
    {
        return QProcess::execute(sourceDir() + QStringLiteral("/tools/make-sample-root"), QStringList{root} + options)
               == 0;
    }

    // What the test adds to a home belongs to the home's owner, as the rest of it.
    static void giveToHomeOwner(const QString &home, const QString &top)
    {
        QT_STATBUF owner;
        QCOMPARE(QT_STAT(QFile::encodeName(home).constData(), &owner), 0);
        QStringList all{top};
        QDirIterator it(top, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            all << it.next();
        for (const QString &path : qAsConst(all))
            QCOMPARE(lchown(QFile::encodeName(path).constData(), owner.st_uid, owner.st_gid), 0);
    }

    static QStringList paths(const Run &run)
    {
        QStringList out;
        for (const Record &r : run.records)
            out << r.path;
        return out;
    }

    static void setModified(const QString &path, const QDateTime &when)
    {
        struct utimbuf times = {when.toSecsSinceEpoch(), when.toSecsSinceEpoch()};
        QCOMPARE(utime(QFile::encodeName(path).constData(), &times), 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        mRoot = mTmp.filePath(QStringLiteral("root"));
        QVERIFY(makeWorld(mRoot));
        QProcess *p = sandbox({QStringLiteral("/bin/true")});
        const bool usable = p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
        const QByteArray why = p->readAllStandardError();
        delete p;
        if (!usable)
            QSKIP(qPrintable(QStringLiteral("bubblewrap cannot make a sandbox here: ") + QString::fromUtf8(why)));
    }

    void firstRunListsInFolderOrderAndMeasuresAll()
    {
        mFirst = probe();
        const Run &run = mFirst;
        QCOMPARE(run.records.size(), 47);
        QCOMPARE(run.appends, 47);
        QCOMPARE(run.updates, 47);

        // Folders in the worker's order, each in case-sensitive name order.
        const QStringList folders{
            "/Applications/", "/Users/tester/Applications/", "/Library/Widgets/", "/Users/tester/Library/Widgets/",
            "/Library/Internet Plug-Ins/", "/Users/tester/Library/Internet Plug-Ins/", "/Library/PreferencePanes/",
            "/Users/tester/Library/PreferencePanes/",
        };
        int lastFolder = 0;
        QString lastTop;
        for (const Record &r : run.records) {
            int folder = folders.size() - 1;
            while (folder >= 0 && !r.path.startsWith(folders.at(folder)))
                --folder;
            QVERIFY2(folder >= lastFolder, qPrintable(r.path));
            const QString top = r.path.mid(folders.at(folder).size()).section(QLatin1Char('/'), 0, 0);
            if (folder == lastFolder)
                QVERIFY2(QString::compare(lastTop, top, Qt::CaseSensitive) <= 0, qPrintable(r.path));
            lastFolder = folder;
            lastTop = top;
            QCOMPARE(r.kind, folder < 2 ? 0 : folder < 4 ? 1 : 2);
            QCOMPARE(r.sizeState, 2);
            QVERIFY2(r.size > 0, qPrintable(r.path));
        }

        const QStringList all = paths(run);
        QVERIFY(all.contains(QStringLiteral("/Applications/Utilities/Prompt Well.app")));
        QVERIFY(all.contains(QStringLiteral("/Users/tester/Applications/Web Apps/Music Stream.app")));
        QVERIFY(all.contains(QStringLiteral("/Applications/\u65e5\u672c\u8a9e\u30a8\u30c7\u30a3\u30bf.app")));
        QVERIFY(all.contains(QStringLiteral("/Library/PreferencePanes/Mouse Tuner.prefPane")));
        QVERIFY(!all.contains(QStringLiteral("/Applications/LOUD.APP")));
        const Record &shortcut = run.records.at(all.indexOf(QStringLiteral("/Applications/Team Chat Shortcut.app")));
        QCOMPARE(shortcut.name, QStringLiteral("Team Chat"));

        QCOMPARE(run.measured, all);
        // Every icon converted, fallbacks included; the two Jotting Pad.app share one.
        QCOMPARE(run.conversions.size(), 46);
        for (const QString &c : run.conversions)
            QVERIFY2(c.startsWith(QLatin1String("0\t")), qPrintable(c));
        for (const Record &r : run.records)
            QVERIFY2(QFileInfo(host(r.iconDir + QStringLiteral("/icon_32x32.png"))).size() > 0, qPrintable(r.iconDir));

        QSettings sizes(host(run.sizeList), hpSettingsFormat());
        QSettings times(host(run.timeList), hpSettingsFormat());
        QCOMPARE(sizes.allKeys().size(), 47);
        QCOMPARE(times.allKeys().size(), 47);
        for (const Record &r : run.records)
            QCOMPARE(sizes.value(r.path).toLongLong(), r.size);
    }

    void secondRunMeasuresNothing()
    {
        QVERIFY(!mFirst.records.isEmpty());
        const Run run = probe();
        QCOMPARE(paths(run), paths(mFirst));
        QCOMPARE(run.measured, QStringList());
        QCOMPARE(run.conversions, QStringList());
        QCOMPARE(run.appends, 47);
        QCOMPARE(run.updates, 47);
        for (int i = 0; i < run.records.size(); ++i) {
            QCOMPARE(run.records.at(i).size, mFirst.records.at(i).size);
            QCOMPARE(run.records.at(i).sizeState, 2);
        }
    }

    void changedItemsAreMeasuredAgain()
    {
        QVERIFY(!mFirst.records.isEmpty());
        const QString zeroed = QStringLiteral("/Applications/Rook Garden.app");
        const QString touched = QStringLiteral("/Library/Widgets/Day Leaf.wdgt");
        const QString deep = QStringLiteral("/Users/tester/Applications/Habit Tracker.app");
        {
            QSettings sizes(host(mFirst.sizeList), hpSettingsFormat());
            sizes.setValue(zeroed, 0);
        }
        setModified(host(touched), QDateTime::currentDateTime().addDays(-3));
        const QDateTime before = QFileInfo(host(deep)).lastModified();
        QFile grown(host(deep + QStringLiteral("/Contents/Resources/data.bin")));
        QVERIFY(grown.open(QIODevice::Append));
        grown.write(QByteArray(256 * 1024, 'z'));
        grown.close();
        setModified(host(deep), before);

        const Run run = probe();
        QCOMPARE(run.measured, (QStringList{zeroed, touched}));
        QCOMPARE(run.updates, 47);
        const QStringList all = paths(run);
        QCOMPARE(run.records.at(all.indexOf(deep)).size, mFirst.records.at(all.indexOf(deep)).size);
        QCOMPARE(run.records.at(all.indexOf(zeroed)).size, mFirst.records.at(all.indexOf(zeroed)).size);
    }

    // Bundles that stalled or fooled the worker: FIFOs where it reads files,
    // names that collide with the size caches, an icon of 16000 x 16000 pixels,
    // non-files an earlier version left at the caches' names, a home of "/".
    void hostileWorldFinishesWithSensibleRecords()
    {
        QVERIFY(!mFirst.iconPath.isEmpty());
        const QString root = mTmp.filePath(QStringLiteral("hostile"));
        QVERIFY(makeWorld(root, {QStringLiteral("--hostile")}));
        const QString icons = root + mFirst.iconPath;
        QVERIFY(QDir().mkpath(icons + QStringLiteral("sizeList.plist.lock")));
        QFile png(icons + QStringLiteral("sizeList.plist.lock/icon_32x32.png"));
        QVERIFY(png.open(QIODevice::WriteOnly));
        png.close();
        for (const char *name : {"timeList.plist", "timeList.plist.lock"})
            QCOMPARE(mkfifo(QFile::encodeName(icons + QLatin1String(name)).constData(), 0644), 0);
        giveToHomeOwner(root + QStringLiteral("/Users/tester"), root + QStringLiteral("/Users/tester/.local"));

        // The limit only ends the wait for a worker that stalls.
        const QStringList homeIsRoot{QStringLiteral("--home"), QStringLiteral("/")};
        const Run run = probe(homeIsRoot, root, 120000);
        QVERIFY(run.finished);
        QCOMPARE(run.appends, run.records.size());
        QCOMPARE(run.updates, run.records.size());
        const QStringList all = paths(run);
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), all.size());
        const QList<QPair<QString, QString>> iconDirs{
            {"/Applications/Rook Garden.app", "Rook Garden"},
            {"/Applications/Pipe Plist.app", "Pipe Plist"},
            {"/Applications/sizeList.plist.lock.app", "_sizeList.plist.lock"},
            {"/Applications/TimeList.PLIST.lock.app", "_TimeList.PLIST.lock"},
            {"/Applications/sizeList.plist.app", "_sizeList.plist"},
            {"/Applications/_sizeList.plist.app", "__sizeList.plist"},
            {"/Applications/timeList.plist.lock/Inner Tool.app", "_timeList.plist.lock/Inner Tool"},
            {"/Library/Widgets/Day Leaf.wdgt", "Day Leaf.wdgt"},
        };
        for (const auto &expected : iconDirs) {
            const int at = all.indexOf(expected.first);
            QVERIFY2(at >= 0, qPrintable(expected.first));
            QCOMPARE(run.records.at(at).iconDir, run.iconPath + expected.second);
        }
        for (const Record &r : run.records) {
            QVERIFY2(!r.path.startsWith(QLatin1String("/Users/")), qPrintable(r.path));
            QCOMPARE(r.sizeState, 2);
            QVERIFY2(r.size > 0, qPrintable(r.path));
        }

        // Only the giant icon is refused; the FIFO icon gives way to the generic one.
        for (const QString &c : run.conversions)
            QVERIFY2(c.startsWith(QLatin1String("0\t")) != c.contains(QLatin1String("/Giant Icon.app/")), qPrintable(c));
        QVERIFY(!QFileInfo::exists(icons + QStringLiteral("Giant Icon/icon_32x32.png")));
        const QStringList pipeIcon = run.conversions.filter(QStringLiteral("/Pipe Icon/icon_32x32.png"));
        QCOMPARE(pipeIcon.size(), 1);
        QVERIFY2(pipeIcon.first().contains(QLatin1String("/GenericApplicationIcon.icns")), qPrintable(pipeIcon.first()));

        // The caches are files again, hold every item and spare the next run.
        for (const char *name : {"sizeList.plist.lock", "timeList.plist.lock"})
            QVERIFY(!QFileInfo::exists(icons + QLatin1String(name)));
        QSettings sizes(root + run.sizeList, hpSettingsFormat());
        for (const Record &r : run.records)
            QCOMPARE(sizes.value(r.path).toLongLong(), r.size);
        const Run again = probe(homeIsRoot, root, 120000);
        QVERIFY(again.finished);
        QCOMPARE(paths(again), all);
        QCOMPARE(again.measured, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestFinderSandbox)
#include "tst_finder_sandbox.moc"
