#include "SandboxRun.h"
#include "hpUtils.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestLog : public QObject
{
    Q_OBJECT

private:
    static QByteArray readAll(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static bool writeFile(const QString &file, const QByteArray &data)
    {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

private slots:
    void record_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("line") << QStringLiteral("abc\n") << QByteArray("2015.03.07-14:05:09.042- abc\n");
        QTest::newRow("no line feed gets one") << QStringLiteral("abc") << QByteArray("2015.03.07-14:05:09.042- abc\n");
        QTest::newRow("inner line feed only") << QStringLiteral("a\nb") << QByteArray("2015.03.07-14:05:09.042- a\nb\n");
        QTest::newRow("latin-1 kept") << QStringLiteral("caf\u00e9\n") << QByteArray("2015.03.07-14:05:09.042- caf\xe9\n");
        QTest::newRow("outside latin-1") << QStringLiteral("\u65e5x\n") << QByteArray("2015.03.07-14:05:09.042- ?x\n");
    }

    void record()
    {
        QFETCH(QString, message);
        QFETCH(QByteArray, expected);
        const QDateTime when(QDate(2015, 3, 7), QTime(14, 5, 9, 42), Qt::LocalTime);
        QCOMPARE(hpLogRecord(when, message), expected);
    }

    void appendsWholeRecords()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.path() + QStringLiteral("/logs");
        hpLogInit(folder);
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(hpLogFileName(), folder + QStringLiteral("/main.log"));

        qDebug("first");
        qDebug("second\n");
        qWarning("third %d\n", 3);
        QFile unnamed; // Qt's own warning, without a line feed
        QVERIFY(!unnamed.open(QIODevice::ReadOnly));
        const QByteArray log = readAll(hpLogFileName());
        const QRegularExpression shape(QStringLiteral(
            "^\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- first\n"
            "\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- second\n"
            "\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- third 3\n"
            "\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- QFSFileEngine::open: No file name specified\n$"));
        QVERIFY2(shape.match(QString::fromLatin1(log)).hasMatch(), log.constData());
    }

    void missingParentDropsMessages()
    {
        QTemporaryDir tmp;
        const QString folder = tmp.path() + QStringLiteral("/a/b");
        hpLogInit(folder);
        qDebug("lost\n");
        QVERIFY(!QFileInfo::exists(tmp.path() + QStringLiteral("/a")));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/main.log")));
    }

    void survivesDeletedFile()
    {
        QTemporaryDir tmp;
        hpLogInit(tmp.path());
        qDebug("before\n");
        QVERIFY(QFile::remove(hpLogFileName()));
        qDebug("after\n");
        const QByteArray log = readAll(hpLogFileName());
        QVERIFY(log.endsWith("- after\n"));
        QVERIFY(!log.contains("before"));
    }

    // The helper service's start, as root (or a plain user) in tools/sandbox,
    // whose /tmp is the test's own folder. Root writes only into a real folder
    // that no one else may change, and only into a regular file; umask 0 must
    // not make the folder it creates writable by all.
    void unsafePlaces_data()
    {
        QTest::addColumn<bool>("asRoot");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QString>("refusal"); // on standard error
        QTest::newRow("root, own folder") << true << "plain" << true << "";
        QTest::newRow("root, folder made under umask 0") << true << "missing" << true << "";
        QTest::newRow("root, folder swapped after start") << true << "swapped" << true << "";
        QTest::newRow("root, parent folder missing") << true << "noparent" << false << "cannot be opened";
        QTest::newRow("root, folder writable by its group") << true << "group" << false << "writable by others";
        QTest::newRow("root, folder writable by all") << true << "world" << false << "writable by others";
        QTest::newRow("root, folder is a link") << true << "link" << false << "a link or not a folder";
        QTest::newRow("root, folder of another user") << true << "owner" << false << "not owned by root";
        QTest::newRow("root, main.log links to a file") << true << "loglink" << false << "";
        QTest::newRow("root, main.log is a FIFO") << true << "fifo" << false << "";
        QTest::newRow("root, main.log is a folder") << true << "logdir" << false << "";
        QTest::newRow("user, main.log links to a file") << false << "loglink" << false << "";
        QTest::newRow("user, folder writable by all") << false << "world" << true << "";
    }

    void unsafePlaces()
    {
        QFETCH(bool, asRoot);
        QFETCH(QString, shape);
        QFETCH(bool, written);
        QFETCH(QString, refusal);
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        QTemporaryDir root;
        // The same places seen from the host (in tmp) and in the sandbox (in /tmp).
        const QString tmp = root.filePath(QStringLiteral("private/tmp"));
        QVERIFY(QDir().mkpath(tmp));
        const QString name = shape == QLatin1String("noparent") ? QStringLiteral("gone/real") : QStringLiteral("real");
        const QString real = tmp + QLatin1Char('/') + name;
        QString folder = QStringLiteral("/tmp/") + name;
        // Where root's records must go: the folder hpLogInit checked, wherever it is moved.
        const QString kept = shape == QLatin1String("swapped") ? real + QStringLiteral(".old") : real;
        const QString log = kept + QStringLiteral("/main.log");
        const QString victim = tmp + QStringLiteral("/victim");
        QVERIFY(writeFile(victim, "keep\n"));
        if (shape != QLatin1String("missing") && shape != QLatin1String("noparent")) {
            QVERIFY(QDir().mkdir(real));
            const mode_t mode = shape == QLatin1String("group") ? 0775 : shape == QLatin1String("world") ? 0777 : 0755;
            QCOMPARE(::chmod(QFile::encodeName(real).constData(), mode), 0);
        }
        // Links are relative, so that they lead to the same place in both views.
        if (shape == QLatin1String("link")) {
            folder = QStringLiteral("/tmp/link");
            QCOMPARE(::symlink("real", QFile::encodeName(tmp + QStringLiteral("/link")).constData()), 0);
        } else if (shape == QLatin1String("owner")) {
            // Only the starter's own id maps to root in a namespace; any other owner
            // shows as an unmapped user: the host root's folders, unless we are it.
            if (getuid() == 0)
                QCOMPARE(::chown(QFile::encodeName(real).constData(), 65534, 65534), 0);
            else
                folder = QStringLiteral("/usr/bin");
        } else if (shape == QLatin1String("loglink")) {
            QCOMPARE(::symlink("../victim", QFile::encodeName(log).constData()), 0);
        } else if (shape == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(log).constData(), 0644), 0);
        } else if (shape == QLatin1String("logdir")) {
            QVERIFY(QDir().mkdir(log));
        }
        // The user logs into a folder of their own; the victim is theirs too, so
        // only the log's refusal to follow a link keeps it whole.
        if (!asRoot && getuid() == 0) {
            for (const QString &own : {real, victim})
                QCOMPARE(::chown(QFile::encodeName(own).constData(), kSandboxUserUid, kSandboxUserGid), 0);
        }

        QStringList probe{QStringLiteral("/bin/sh"), QStringLiteral("-c"), QStringLiteral("umask 0; exec \"$0\" \"$@\""),
                          QCoreApplication::applicationDirPath() + QStringLiteral("/ks_log_probe"), folder};
        if (shape == QLatin1String("swapped"))
            probe << QStringLiteral("swap");
        const SandboxRun run =
            runInSandbox(root.path(), asRoot ? QStringList{QStringLiteral("--as-root")} : QStringList(), probe);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString &err = run.err;

        QCOMPARE(err.contains(QStringLiteral("refused (%1)").arg(refusal)), !refusal.isEmpty());
        // A refused folder sends the messages to standard error; an accepted one never.
        QCOMPARE(err.split(QLatin1Char('\n')).contains(QStringLiteral("probe")), !refusal.isEmpty());
        QCOMPARE(readAll(victim), QByteArray("keep\n"));
        const QFileInfo file(log);
        const bool isLog = file.isFile() && !file.isSymLink();
        QCOMPARE(isLog && readAll(log).endsWith("- probe\n"), written);
        struct stat st;
        if (kept != real)
            QVERIFY(!QFileInfo::exists(real + QStringLiteral("/main.log")));
        if (written && stat(QFile::encodeName(kept).constData(), &st) == 0)
            QCOMPARE(st.st_mode & 07777, shape == QLatin1String("world") ? 0777u : 0755u);
    }

    void concurrentThreadsGiveWholeRecords()
    {
        QTemporaryDir tmp;
        hpLogInit(tmp.path());
        const QByteArray a(3000, 'a');
        const QByteArray b(3000, 'b');
        const int rounds = 200;
        auto writer = [rounds](const QByteArray &text) {
            return QThread::create([text, rounds] {
                for (int i = 0; i < rounds; ++i)
                    qDebug("%s\n", text.constData());
            });
        };
        QScopedPointer<QThread> t1(writer(a)), t2(writer(b));
        t1->start();
        t2->start();
        QVERIFY(t1->wait(60000));
        QVERIFY(t2->wait(60000));

        const QList<QByteArray> lines = readAll(hpLogFileName()).split('\n');
        QCOMPARE(lines.size(), 2 * rounds + 1);
        int as = 0, bs = 0;
        for (const QByteArray &line : lines.mid(0, 2 * rounds)) {
            const QByteArray body = line.mid(line.indexOf("- ") + 2);
            QVERIFY(body == a || body == b);
            (body == a ? as : bs)++;
        }
        QCOMPARE(as, rounds);
        QCOMPARE(bs, rounds);
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
