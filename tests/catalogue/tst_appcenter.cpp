#include "AppCenter.h"
#include "AppInfo.h"

#include <QImage>
#include <QPixmap>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

class TestAppCenter : public QObject
{
    Q_OBJECT

private:
    static AppInfo *record(const QString &path, const QString &name = QString())
    {
        auto *info = new AppInfo;
        info->path = path;
        info->name = name.isEmpty() ? path.section(QLatin1Char('/'), -1) : name;
        return info;
    }

    static QStringList storedPaths()
    {
        QList<AppInfo *> copies;
        AppCenter::Inst()->getAppList(copies);
        QStringList paths;
        for (const AppInfo *info : qAsConst(copies))
            paths << info->path;
        AppCenter::Inst()->releaseAppList(copies);
        return paths;
    }

    static QStringList storedNames()
    {
        QList<AppInfo *> copies;
        AppCenter::Inst()->getAppList(copies);
        QStringList names;
        for (const AppInfo *info : qAsConst(copies))
            names << info->name;
        AppCenter::Inst()->releaseAppList(copies);
        return names;
    }

    static void fill(const QStringList &paths)
    {
        for (const QString &p : paths)
            AppCenter::Inst()->append(record(p));
    }

private slots:
    void init()
    {
        while (!storedPaths().isEmpty())
            AppCenter::Inst()->remove(0);
    }

    void copyLeavesIconBehind()
    {
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(Qt::red);
        AppInfo original;
        original.reserved = 7;
        original.name = QStringLiteral("Foo.app");
        original.iconDir = QStringLiteral("/icons/Foo");
        original.path = QStringLiteral("/Applications/Foo.app");
        original.version = QStringLiteral("1.2");
        original.notice = QStringLiteral("(c)");
        original.bundleId = QStringLiteral("com.example.Foo");
        original.size = 1234;
        original.modifyTime = QStringLiteral("01/02/2003 04:05:06");
        original.lastOpenTime = QStringLiteral("02/02/2003 04:05:06");
        original.kind = 2;
        original.sizeState = 2;
        original.reservedFlag = true;
        original.icon = QIcon(QPixmap::fromImage(image));
        QVERIFY(!original.icon.isNull());

        AppCenter::Inst()->append(new AppInfo(original));
        QList<AppInfo *> copies;
        AppCenter::Inst()->getAppList(copies);
        QCOMPARE(copies.size(), 1);
        const AppInfo *copy = copies.first();
        QCOMPARE(copy->reserved, 7);
        QCOMPARE(copy->name, original.name);
        QCOMPARE(copy->iconDir, original.iconDir);
        QCOMPARE(copy->path, original.path);
        QCOMPARE(copy->version, original.version);
        QCOMPARE(copy->notice, original.notice);
        QCOMPARE(copy->bundleId, original.bundleId);
        QCOMPARE(copy->size, qint64(1234));
        QCOMPARE(copy->modifyTime, original.modifyTime);
        QCOMPARE(copy->lastOpenTime, original.lastOpenTime);
        QCOMPARE(copy->kind, 2);
        QCOMPARE(copy->sizeState, 2);
        QCOMPARE(copy->reservedFlag, true);
        QVERIFY(copy->icon.isNull());
        AppCenter::Inst()->releaseAppList(copies);
        QVERIFY(copies.isEmpty());
    }

    void getAppListAppendsToCallersList()
    {
        QList<AppInfo *> list{record(QStringLiteral("/mine"))};
        AppCenter::Inst()->getAppList(list);
        QCOMPARE(list.size(), 1);

        fill({QStringLiteral("/a.app"), QStringLiteral("/b.app")});
        AppCenter::Inst()->getAppList(list);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(0)->path, QStringLiteral("/mine"));
        QCOMPARE(list.at(1)->path, QStringLiteral("/a.app"));
        QCOMPARE(list.at(2)->path, QStringLiteral("/b.app"));
        list.append(nullptr); // a null entry is skipped, not dereferenced
        AppCenter::Inst()->releaseAppList(list);
        QVERIFY(list.isEmpty());
    }

    void getAppListFrom_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("paths");

        QTest::newRow("all") << 0 << QStringList{"/a.app", "/b.app", "/c.app"};
        QTest::newRow("tail") << 2 << QStringList{"/c.app"};
        QTest::newRow("at end") << 3 << QStringList{};
        QTest::newRow("beyond end") << 9 << QStringList{};
        QTest::newRow("negative") << -1 << QStringList{"/a.app", "/b.app", "/c.app"};
    }

    void getAppListFrom()
    {
        QFETCH(int, first);
        QFETCH(QStringList, paths);
        fill({QStringLiteral("/a.app"), QStringLiteral("/b.app"), QStringLiteral("/c.app")});
        QList<AppInfo *> list;
        AppCenter::Inst()->getAppList(list, first);
        QStringList got;
        for (const AppInfo *info : qAsConst(list))
            got << info->path;
        QCOMPARE(got, paths);
        AppCenter::Inst()->releaseAppList(list);
    }

    void appendSignals_data()
    {
        QTest::addColumn<int>("batch");
        QTest::addColumn<int>("emitted");
        QTest::newRow("empty list still signals") << 0 << 1;
        QTest::newRow("one record") << 1 << 1;
        QTest::newRow("three records, one signal") << 3 << 1;
    }

    void appendSignals()
    {
        QFETCH(int, batch);
        QFETCH(int, emitted);
        QSignalSpy appended(AppCenter::Inst(), &AppCenter::dataAppend);
        QSignalSpy updated(AppCenter::Inst(), &AppCenter::dataUpdated);
        QList<AppInfo *> list;
        for (int i = 0; i < batch; ++i)
            list << record(QStringLiteral("/x%1.app").arg(i));
        QVERIFY(AppCenter::Inst()->append(list));
        QCOMPARE(appended.count(), emitted);
        QCOMPARE(updated.count(), 0);
        QCOMPARE(storedPaths().size(), batch);

        // The single form stores silently.
        QVERIFY(AppCenter::Inst()->append(record(QStringLiteral("/single.app"))));
        QCOMPARE(appended.count(), emitted);
        QCOMPARE(storedPaths().size(), batch + 1);
    }

    void removeByIndex_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first") << 0 << QStringList{"/b", "/c"};
        QTest::newRow("last") << 2 << QStringList{"/a", "/b"};
        QTest::newRow("minus one") << -1 << QStringList{"/a", "/b", "/c"};
        QTest::newRow("one past the end") << 3 << QStringList{"/a", "/b", "/c"};
    }

    void removeByIndex()
    {
        QFETCH(int, index);
        QFETCH(QStringList, left);
        fill({QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")});
        QSignalSpy appended(AppCenter::Inst(), &AppCenter::dataAppend);
        QSignalSpy updated(AppCenter::Inst(), &AppCenter::dataUpdated);
        QVERIFY(AppCenter::Inst()->remove(index));
        QCOMPARE(storedPaths(), left);
        QCOMPARE(appended.count() + updated.count(), 0);
    }

    void removeByPathTakesFirstMatchOnly()
    {
        AppCenter::Inst()->append(record(QStringLiteral("/Applications/Foo.app"), QStringLiteral("first")));
        AppCenter::Inst()->append(record(QStringLiteral("/Applications/Bar.app"), QStringLiteral("bar")));
        AppCenter::Inst()->append(record(QStringLiteral("/Applications/Foo.app"), QStringLiteral("second")));

        AppInfo probe;
        probe.path = QStringLiteral("/Applications/Foo.app");
        probe.name = QStringLiteral("probe");
        QVERIFY(AppCenter::Inst()->remove(&probe));
        QCOMPARE(storedNames(), (QStringList{"bar", "second"}));
        QCOMPARE(probe.name, QStringLiteral("probe"));

        // Paths compare exactly: case and trailing slash make a different item.
        probe.path = QStringLiteral("/applications/foo.app");
        QVERIFY(!AppCenter::Inst()->remove(&probe));
        probe.path = QStringLiteral("/Applications/Bar.app/");
        QVERIFY(!AppCenter::Inst()->remove(&probe));
        QCOMPARE(storedNames(), (QStringList{"bar", "second"}));

        QList<AppInfo *> batch{new AppInfo(probe), record(QStringLiteral("/Applications/Bar.app"))};
        QVERIFY(!AppCenter::Inst()->remove(batch)); // the list form reports nothing
        QCOMPARE(storedNames(), QStringList{"second"});
        AppCenter::Inst()->releaseAppList(batch);
    }

    void updateCopiesOverFirstMatch()
    {
        fill({QStringLiteral("/a.app"), QStringLiteral("/b.app"), QStringLiteral("/a.app")});
        QSignalSpy updated(AppCenter::Inst(), &AppCenter::dataUpdated);

        AppInfo measured;
        measured.path = QStringLiteral("/a.app");
        measured.name = QStringLiteral("measured");
        measured.size = 42;
        measured.sizeState = 2;
        QVERIFY(AppCenter::Inst()->update(&measured));
        QCOMPARE(updated.count(), 1);
        QCOMPARE(storedNames(), (QStringList{"measured", "b.app", "a.app"}));

        AppInfo stranger;
        stranger.path = QStringLiteral("/nowhere.app");
        QVERIFY(!AppCenter::Inst()->update(&stranger));
        QCOMPARE(updated.count(), 1);

        QList<AppInfo *> batch{new AppInfo(stranger), record(QStringLiteral("/b.app"), QStringLiteral("bee")),
                               record(QStringLiteral("/a.app"), QStringLiteral("again"))};
        QVERIFY(!AppCenter::Inst()->update(batch));
        QCOMPARE(updated.count(), 3); // one per record found
        QCOMPARE(storedNames(), (QStringList{"again", "bee", "a.app"}));
        AppCenter::Inst()->releaseAppList(batch);
    }

    // Removals shift positions; later updates must still land on the record of
    // the same path, and on the next duplicate once the first one is gone.
    void updateAfterRemoval_data()
    {
        QTest::addColumn<QString>("removal");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("first by index") << "index 0" << QStringList{"b!", "a!", "c!"};
        QTest::newRow("middle by index") << "index 1" << QStringList{"a!", "a.app", "c!"};
        QTest::newRow("last by index") << "index 3" << QStringList{"a!", "b!", "a.app"};
        QTest::newRow("first duplicate by path") << "path /a.app" << QStringList{"b!", "a!", "c!"};
        QTest::newRow("unknown path") << "path /x.app" << QStringList{"a!", "b!", "a.app", "c!"};
    }

    void updateAfterRemoval()
    {
        QFETCH(QString, removal);
        QFETCH(QStringList, names);
        fill({QStringLiteral("/a.app"), QStringLiteral("/b.app"), QStringLiteral("/a.app"), QStringLiteral("/c.app")});
        if (removal.startsWith(QLatin1String("index "))) {
            AppCenter::Inst()->remove(removal.mid(6).toInt());
        } else {
            AppInfo probe;
            probe.path = removal.mid(5);
            AppCenter::Inst()->remove(&probe);
        }
        for (const char *path : {"/a.app", "/b.app", "/c.app"}) {
            AppInfo measured;
            measured.path = QLatin1String(path);
            measured.name = measured.path.mid(1, 1) + QLatin1Char('!');
            AppCenter::Inst()->update(&measured);
        }
        QCOMPARE(storedNames(), names);
    }

    // The store's lock must be free when the signals arrive, or a directly
    // connected reader (as the list view is, in tests) would dead-lock.
    void signalsLeaveStoreUnlocked()
    {
        int seenOnAppend = -1;
        int seenOnUpdate = -1;
        auto *center = AppCenter::Inst();
        const auto a = connect(center, &AppCenter::dataAppend, this, [&] {
            QList<AppInfo *> copies;
            center->getAppList(copies);
            seenOnAppend = copies.size();
            center->releaseAppList(copies);
        });
        const auto u = connect(center, &AppCenter::dataUpdated, this, [&] {
            QList<AppInfo *> copies;
            center->getAppList(copies);
            seenOnUpdate = copies.size();
            center->releaseAppList(copies);
        });
        center->append(QList<AppInfo *>{record(QStringLiteral("/a.app")), record(QStringLiteral("/b.app"))});
        AppInfo probe;
        probe.path = QStringLiteral("/b.app");
        center->update(&probe);
        disconnect(a);
        disconnect(u);
        QCOMPARE(seenOnAppend, 2);
        QCOMPARE(seenOnUpdate, 2);
    }

    // A reader copying the store while the worker appends and updates. Run
    // under the thread sanitizer (KS_TSAN) this must report nothing.
    void concurrentReader()
    {
        const int total = 400;
        QThread *writer = QThread::create([total] {
            for (int i = 0; i < total; ++i) {
                auto *info = new AppInfo;
                info->path = QStringLiteral("/Applications/App%1.app").arg(i);
                AppCenter::Inst()->append(QList<AppInfo *>{info});
            }
            for (int i = 0; i < total; ++i) {
                AppInfo info;
                info.path = QStringLiteral("/Applications/App%1.app").arg(i);
                info.size = i;
                info.sizeState = 2;
                AppCenter::Inst()->update(&info);
            }
        });
        int lastSize = 0;
        bool ordered = true;
        writer->start();
        while (!writer->isFinished()) {
            QList<AppInfo *> copies;
            AppCenter::Inst()->getAppList(copies);
            if (copies.size() < lastSize)
                ordered = false;
            lastSize = copies.size();
            for (int i = 0; i < copies.size(); ++i) {
                if (copies.at(i)->path != QStringLiteral("/Applications/App%1.app").arg(i))
                    ordered = false;
                if (copies.at(i)->sizeState == 2 && copies.at(i)->size != i)
                    ordered = false;
            }
            AppCenter::Inst()->releaseAppList(copies);
        }
        writer->wait();
        delete writer;
        QVERIFY(ordered);
        QList<AppInfo *> copies;
        AppCenter::Inst()->getAppList(copies);
        QCOMPARE(copies.size(), total);
        QCOMPARE(copies.last()->size, qint64(total - 1));
        AppCenter::Inst()->releaseAppList(copies);
    }
};

QTEST_MAIN(TestAppCenter)
#include "tst_appcenter.moc"
