#include "hpUtils.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

class TestUtils : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;

    static bool writeFile(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

    // The figure the real du prints, run without a shell.
    static qint64 duSize(const QString &path)
    {
        QProcess du;
        QStringList args;
        if (QFileInfo(path).isDir())
            args << QStringLiteral("-d") << QStringLiteral("0");
        args << QStringLiteral("-k") << path;
        du.start(QStringLiteral("du"), args);
        if (!du.waitForFinished(60000))
            return -1;
        const QByteArray out = du.readAllStandardOutput();
        return out.left(out.indexOf('\t')).trimmed().toLongLong();
    }

    QString hostileName(int i) const
    {
        static const char *const names[] = {
            "plain", "with space", "quote\"inside", "dollar$HOME", "back`tick`", "back\\slash",
            "new\nline", "semi;colon", "single'quote", "star*?[x]", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", "-dash",
        };
        return QString::fromUtf8(names[i % (sizeof names / sizeof *names)]);
    }

private slots:
    void sizeToString_data()
    {
        QTest::addColumn<qint64>("kib");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0K";
        QTest::newRow("negative") << qint64(-5) << "-5K";
        QTest::newRow("largest K") << qint64(1023) << "1023K";
        QTest::newRow("one M") << qint64(1024) << "1.00M";
        QTest::newRow("one and a half M") << qint64(1536) << "1.50M";
        QTest::newRow("largest M") << qint64(1048575) << "1024.00M";
        QTest::newRow("one G") << qint64(1048576) << "1.00G";
        QTest::newRow("five G") << qint64(5242880) << "5.00G";
        // Single precision decides these: in double they would round the other way.
        QTest::newRow("float rounds up") << qint64(1073747011) << "1024.01G";
        QTest::newRow("float rounds down") << qint64(4294972539) << "4096.00G";
    }

    void sizeToString()
    {
        QFETCH(qint64, kib);
        QFETCH(QString, text);
        QCOMPARE(hpSizeToString(kib), text);
    }

    void convPathPlain()
    {
        QString path = QStringLiteral("/Applications/My App.app");
        const QString result = hpConvPath(path);
        QCOMPARE(path, QStringLiteral("\"/Applications/My App.app\""));
        QCOMPARE(result, path);
    }

    void convPathShellRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        for (int i = 0; i < 12; ++i)
            QTest::newRow(qPrintable(QStringLiteral("name %1").arg(i))) << QStringLiteral("/tmp/x/") + hostileName(i);
        QTest::newRow("all at once") << QStringLiteral("/a \"$(id)\" `id` \\ $x ${y} '\n' ;&|<>");
    }

    void convPathShellRoundTrip()
    {
        QFETCH(QString, path);
        QString quoted = path;
        hpConvPath(quoted);
        QProcess sh;
        sh.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("printf %s ") + quoted});
        QVERIFY(sh.waitForFinished(10000));
        QCOMPARE(sh.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(sh.readAllStandardOutput()), path);
    }

    void getSizeMatchesDu_data()
    {
        QVERIFY(mTmp.isValid());
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("openFiles"); // descriptor limit while measuring; 0 leaves it
        const QString root = mTmp.path();

        // A tree with every kind of entry du has rules for.
        const QString tree = root + QStringLiteral("/tree");
        QDir().mkpath(tree + QStringLiteral("/empty"));
        QDir().mkpath(tree + QStringLiteral("/deep/er/est"));
        QVERIFY(writeFile(tree + QStringLiteral("/small"), "x"));
        QVERIFY(writeFile(tree + QStringLiteral("/deep/er/est/big"), QByteArray(300000, 'b')));
        QVERIFY(writeFile(tree + QStringLiteral("/linked"), QByteArray(50000, 'l')));
        QVERIFY(::link(QFile::encodeName(tree + QStringLiteral("/linked")).constData(),
                       QFile::encodeName(tree + QStringLiteral("/deep/hardlink")).constData()) == 0);
        QVERIFY(QFile::link(tree + QStringLiteral("/deep"), tree + QStringLiteral("/dirlink")));
        QVERIFY(QFile::link(QStringLiteral("/usr"), tree + QStringLiteral("/outside")));
        {
            QFile sparse(tree + QStringLiteral("/sparse"));
            QVERIFY(sparse.open(QIODevice::WriteOnly));
            QVERIFY(sparse.resize(64 * 1024 * 1024));
            QVERIFY(sparse.seek(32 * 1024 * 1024));
            sparse.write("data");
        }
        for (int i = 0; i < 12; ++i) {
            const QString dir = tree + QStringLiteral("/hostile/") + hostileName(i);
            QVERIFY(QDir().mkpath(dir));
            QVERIFY(writeFile(dir + QStringLiteral("/f"), QByteArray(5000 * (i + 1), 'h')));
        }
        QString deep = root + QStringLiteral("/deep");
        for (int i = 0; i < 120; ++i) {
            deep += QStringLiteral("/d");
            QVERIFY(QDir().mkpath(deep));
            QVERIFY(writeFile(deep + QStringLiteral("/f"), QByteArray(5000, 'd')));
        }

        QTest::newRow("tree") << tree << 0;
        QTest::newRow("empty folder") << tree + QStringLiteral("/empty") << 0;
        QTest::newRow("one-byte file") << tree + QStringLiteral("/small") << 0;
        QTest::newRow("sparse file") << tree + QStringLiteral("/sparse") << 0;
        QTest::newRow("hard-linked file") << tree + QStringLiteral("/linked") << 0;
        QTest::newRow("folder holding a hard link") << tree + QStringLiteral("/deep") << 0;
        QTest::newRow("symlink to folder") << tree + QStringLiteral("/dirlink") << 0;
        QTest::newRow("symlink out of the tree") << tree + QStringLiteral("/outside") << 0;
        for (int i = 0; i < 12; ++i)
            QTest::newRow(qPrintable(QStringLiteral("hostile %1").arg(i))) << tree + QStringLiteral("/hostile/") + hostileName(i) << 0;
        // Deeper than the process may hold descriptors.
        QTest::newRow("120 levels, 64 descriptors") << root + QStringLiteral("/deep") << 64;
    }

    void getSizeMatchesDu()
    {
        QFETCH(QString, path);
        QFETCH(int, openFiles);
        const qint64 expected = duSize(path);
        QVERIFY(expected >= 0);
        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &saved), 0);
        if (openFiles) {
            struct rlimit low = saved;
            low.rlim_cur = std::min<rlim_t>(rlim_t(openFiles), saved.rlim_max);
            QCOMPARE(setrlimit(RLIMIT_NOFILE, &low), 0);
        }
        const qint64 size = hpGetSize(path);
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &saved), 0);
        QCOMPARE(size, expected);
    }

    void getSizeMissingIsZero()
    {
        QCOMPARE(hpGetSize(mTmp.path() + QStringLiteral("/does/not/exist")), qint64(0));
        QCOMPARE(hpGetSize(QString()), qint64(0));
    }

    void getSizeLogsCommand_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("folder") << true << "My App.app" << "My App.app";
        QTest::newRow("file") << false << "plain.txt" << "plain.txt";
        QTest::newRow("file with quote") << false << "a\"b$c" << "a\\\"b\\$c";
    }

    void getSizeLogsCommand()
    {
        QFETCH(bool, folder);
        QFETCH(QString, name);
        QFETCH(QString, quoted);
        QTemporaryDir tmp;
        const QString path = tmp.path() + QLatin1Char('/') + name;
        QVERIFY(folder ? QDir().mkdir(path) : writeFile(path, "x"));
        hpLogInit(tmp.path());
        hpGetSize(path);
        QFile log(hpLogFileName());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString expected = (folder ? QStringLiteral("du -d 0 -k \"") : QStringLiteral("du -k \""))
                                 + tmp.path() + QLatin1Char('/') + quoted + QStringLiteral("\" | awk '{print $1}'\n");
        QVERIFY2(QString::fromLatin1(log.readAll()).endsWith(expected), qPrintable(expected));
    }

    void homePath()
    {
        QCOMPARE(hpHomePath(), QDir::homePath());
    }
};

QTEST_GUILESS_MAIN(TestUtils)
#include "tst_utils.moc"
