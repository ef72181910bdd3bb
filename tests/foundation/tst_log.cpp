#include "hpUtils.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

class TestLog : public QObject
{
    Q_OBJECT

private:
    static QByteArray readAll(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void record_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("line") << QStringLiteral("abc\n") << QByteArray("2015.03.07-14:05:09.042- abc\n");
        QTest::newRow("no line feed") << QStringLiteral("abc") << QByteArray("2015.03.07-14:05:09.042- abc");
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
        const QByteArray log = readAll(hpLogFileName());
        const QRegularExpression shape(QStringLiteral(
            "^\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- first"
            "\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- second\n"
            "\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}- third 3\n$"));
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
