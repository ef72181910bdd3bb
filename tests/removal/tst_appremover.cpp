#include "AppRemover.h"
#include "FakeService.h"
#include "ServiceSandbox.h"
#include "hpUtils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The worker end to end: real deletions in a throwaway folder, root paths
// through a fake service on the channel's port, user paths through rm.
class TestAppRemover : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    // "@" is the test's folder, "~" the home folder.
    QString at(const QString &name) const
    {
        QString path = name;
        if (path.startsWith(QLatin1Char('@')))
            path.replace(0, 1, mDir.path());
        else if (path.startsWith(QLatin1Char('~')))
            path.replace(0, 1, hpHomePath());
        return path;
    }
    QStringList at(const QStringList &names) const
    {
        QStringList paths;
        for (const QString &n : names)
            paths << at(n);
        return paths;
    }
    // A name ending in "dir" is made a folder with a file inside, one ending
    // in "link" a symbolic link to such a folder.
    void make(QString path)
    {
        if (path.endsWith(QLatin1Char('/')))
            path.chop(1);
        if (path.endsWith(QLatin1String("link"))) {
            make(at(QStringLiteral("@/linked dir")));
            QVERIFY(QFile::link(at(QStringLiteral("@/linked dir")), path));
            return;
        }
        if (!path.startsWith(QLatin1Char('/')) || QFileInfo::exists(path))
            return;
        const bool dir = path.endsWith(QLatin1String("dir"));
        const QString file = dir ? path + QStringLiteral("/inside") : path;
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase()
    {
        if (!ServiceSandbox::inside())
            QSKIP("needs the service sandbox (bwrap with user and network namespaces)");
        QVERIFY(QDir().mkpath(hpHomePath() + QStringLiteral("/Library")));
        QVERIFY(QFile::link(hpHomePath() + QStringLiteral("/Library"), at(QStringLiteral("@/homelink"))));
    }

    void remove_data()
    {
        QTest::addColumn<int>("mode"); // a FakeService::Mode, or -1 for no service
        QTest::addColumn<QStringList>("root");
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<int>("maxPasses");
        QTest::addColumn<int>("maxMs");
        QTest::addColumn<QString>("head"); // the report's lines before the list of what is left
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("survivors");
        QTest::addColumn<int>("requests");
        QTest::addColumn<QStringList>("lastSent");

        const int answer = FakeService::Answer;
        const QString corrupted = QStringLiteral("Kestrelsweep component is corrupted. please repair it\n");
        const QString missing = QStringLiteral("The Kestrelsweep helper is not running. Files outside your home folder can "
                                               "only be removed with its help, so nothing was removed.");
        // Through a shell with plain double quotes, this would delete "@/keep".
        const QString hostile = QStringLiteral("@/keep\" \"x $HOME `true` \\z's");
        QTest::newRow("every path goes")
            << answer << QStringList{"@/r1", "@/r2 dir"} << QStringList{"@/u1", "@/u2 dir"} << QStringList()
            << 3 << 60000 << QString() << QStringList() << QStringList() << 1 << QStringList{"@/r1", "@/r2 dir"};
        QTest::newRow("failure item listed, only it sent again")
            << answer << QStringList{"@/r1", "@/r2", "@/r3"} << QStringList{"@/u1"} << QStringList{"@/r2"}
            << 2 << 60000 << QString() << QStringList{"@/r2"} << QStringList{"@/r2"} << 2 << QStringList{"@/r2"};
        QTest::newRow("bound: exactly maxPasses passes")
            << answer << QStringList{"@/r1"} << QStringList() << QStringList{"@/r1"}
            << 3 << 600000 << QString() << QStringList{"@/r1"} << QStringList() << 3 << QStringList{"@/r1"};
        // Without the service nothing at all goes, the user's own files neither.
        QTest::newRow("no service: nothing removed")
            << -1 << QStringList{"@/r1", "@/r2"} << QStringList{"@/u1", "@/u2"} << QStringList()
            << 3 << 60000 << missing << QStringList() << QStringList{"@/r1", "@/r2", "@/u1", "@/u2"} << 0 << QStringList();
        QTest::newRow("standard user: nothing removed")
            << int(FakeService::NotAdministrator) << QStringList{"@/r1"} << QStringList{"@/u1"} << QStringList()
            << 3 << 60000
            << QStringLiteral("Removing files outside your home folder needs an administrator account.\nNothing was removed.")
            << QStringList() << QStringList{"@/r1", "@/u1"} << 0 << QStringList();
        QTest::newRow("path the request cannot carry: nothing removed")
            << answer << QStringList{"@/r1", "@/semi;colon"} << QStringList{"@/u1"} << QStringList()
            << 3 << 60000
            << QStringLiteral("These files cannot be handed to the Kestrelsweep helper, so nothing was removed.\n")
            << QStringList{"@/semi;colon"} << QStringList{"@/r1", "@/u1"} << 0 << QStringList();
        // Works for longer than the run's own bound, telling it is at work.
        QTest::newRow("slow service still succeeds")
            << int(FakeService::Slow) << QStringList{"@/r1", "@/r2 dir"} << QStringList{"@/u1"} << QStringList()
            << 1 << 4000 << QString() << QStringList() << QStringList() << 1 << QStringList{"@/r1", "@/r2 dir"};
        // Too many for one request: a silent service is sent only the first.
        QStringList many;
        for (int i = 0; i < 12; ++i)
            many << QStringLiteral("@/r%1-").arg(i) + QString(80, QLatin1Char('n'));
        // Nobody knows what root's half did: the user's half waits as well.
        QTest::newRow("no answer to the request")
            << int(FakeService::Silent) << many << QStringList{"@/u1"} << QStringList()
            << 1 << 1500 << corrupted << many + QStringList{"@/u1"} << QStringList() << 1 << QStringList{"*"};
        QTest::newRow("cut reply is a failure")
            << int(FakeService::Cut) << QStringList{"@/r1"} << QStringList() << QStringList()
            << 2 << 60000 << QString() << QStringList{"@/r1"} << QStringList() << 2 << QStringList{"@/r1"};
        QTest::newRow("hostile user name is one argument")
            << answer << QStringList() << QStringList{hostile} << QStringList()
            << 3 << 60000 << QString() << QStringList() << QStringList{"@/keep"}
            << 0 << QStringList();
        QTest::newRow("link with trailing slash removed as a link")
            << answer << QStringList() << QStringList{"@/link/"} << QStringList()
            << 3 << 60000 << QString() << QStringList() << QStringList{"@/linked dir/inside"}
            << 0 << QStringList();
        QTest::newRow("protected, relative and dotted user paths refused")
            << answer << QStringList() << QStringList{"~/Library", "@/u1", "u2", "@/ddir/../ddir", "@/u3"}
            << QStringList() << 2 << 60000 << QString() << QStringList{"~/Library", "u2", "@/ddir/../ddir"}
            << QStringList{"~/Library/Preferences/keep.plist", "@/ddir/inside"} << 0 << QStringList();
        // @/homelink is a link to the home's Library (made in initTestCase).
        QTest::newRow("standard folder named through a linked folder refused")
            << answer << QStringList() << QStringList{"@/homelink/Preferences"} << QStringList() << 1 << 60000
            << QString() << QStringList{"@/homelink/Preferences"} << QStringList{"~/Library/Preferences/keep.plist"}
            << 0 << QStringList();
        QTest::newRow("both lists empty")
            << answer << QStringList() << QStringList() << QStringList()
            << 3 << 60000 << QString() << QStringList() << QStringList() << 0 << QStringList();
    }

    void remove()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, root);
        QFETCH(QStringList, user);
        QFETCH(QStringList, failing);
        QFETCH(int, maxPasses);
        QFETCH(int, maxMs);
        QFETCH(QString, head);
        QFETCH(QStringList, left);
        QFETCH(QStringList, survivors);
        QFETCH(int, requests);
        QFETCH(QStringList, lastSent);
        QVERIFY(mDir.isValid());

        for (const QString &p : at(survivors + root + user))
            make(p);
        if (QTest::currentTestFailed())
            return;
        std::unique_ptr<FakeService> service;
        if (mode >= 0) {
            service.reset(new FakeService(FakeService::Mode(mode), mDir.path()));
            QVERIFY(service->bound());
            service->setFailing(at(failing));
        }

        AppRemover remover(at(root), at(user), nullptr, maxPasses, maxMs, 10);
        QStringList reports;
        connect(&remover, &AppRemover::done, this, [&reports](const QString &text) { reports << text; });
        remover.start();
        QTRY_VERIFY_WITH_TIMEOUT(remover.isFinished(), 120000);
        QCoreApplication::processEvents();

        QString expected = head;
        if (!left.isEmpty())
            expected += QStringLiteral("Some files could not be removed:\n") + at(left).join(QLatin1Char('\n'));
        if (expected.isEmpty())
            expected = QStringLiteral("success");
        QCOMPARE(reports, QStringList{expected});
        for (const QString &p : at(root + user)) {
            if (p.startsWith(QLatin1Char('/')))
                QCOMPARE(QFileInfo::exists(p), at(left).contains(p) || at(survivors).contains(p));
        }
        for (const QString &p : at(survivors))
            QVERIFY2(QFileInfo::exists(p), qPrintable(p));
        if (service) {
            QCOMPARE(service->requests(), requests);
            if (lastSent != QStringList{"*"})
                QCOMPARE(service->lastPaths(), at(lastSent));
            if (root.isEmpty())
                QCOMPARE(service->hellos(), 0);
        }
    }
};

int main(int argc, char **argv)
{
    ServiceSandbox::enter(argc, argv);
    QCoreApplication app(argc, argv);
    TestAppRemover test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_appremover.moc"
