#include "hpChannel.h"
#include "hpClient.h"
#include "hpRequest.h"

#include <QUdpSocket>
#include <QtTest>

namespace {
int sMessages = 0;
}

// The service's reading of commands and the client's cutting of requests,
// without sockets.
class TestRequest : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<qint64>("trueSize");
        QTest::addColumn<bool>("ok");
        const QByteArray good = QByteArray("[remove]1;0:/Applications/Foo.app").toBase64();
        QTest::newRow("whole") << good << qint64(good.size()) << true;
        QTest::newRow("cut by the read") << good.left(1020) << qint64(1400) << false;
        QTest::newRow("1024 bytes") << QByteArray(1024, 'A') << qint64(1024) << false;
        QTest::newRow("1023 bytes") << QByteArray(1023, 'A') << qint64(1023) << false;
        QTest::newRow("1020 bytes") << QByteArray(1020, 'A') << qint64(1020) << true;
        QTest::newRow("empty") << QByteArray() << qint64(0) << false;
        QTest::newRow("bad character") << QByteArray("W3Jl!W92ZV0=") << qint64(12) << false;
        QTest::newRow("length not a multiple of 4") << good.left(good.size() - 1) << qint64(good.size() - 1) << false;
        QTest::newRow("padding inside") << QByteArray("QQ==QUFB") << qint64(8) << false;
        QTest::newRow("three pads") << QByteArray("Q===") << qint64(4) << false;
        QTest::newRow("stray bits in last group") << QByteArray("QR==") << qint64(4) << false;
        QTest::newRow("NUL byte") << QByteArray("QUFB\0UFB", 8) << qint64(8) << false;
        QTest::newRow("line break") << QByteArray("QUFB\nQUF") << qint64(8) << false;
        QTest::newRow("url alphabet") << QByteArray("-_-_") << qint64(4) << false;
    }

    void decode()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(qint64, trueSize);
        QFETCH(bool, ok);
        QByteArray text;
        QString why;
        QCOMPARE(hpDecodeCommand(datagram, trueSize, &text, &why), ok);
        QCOMPARE(why.isEmpty(), ok);
        if (ok)
            QCOMPARE(text.toBase64(), datagram);
    }

    void remove_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("paths"); // empty when refused
        QTest::addColumn<bool>("ok");
        const auto row = [](const char *name, const QByteArray &text, const QStringList &paths, bool ok) {
            QTest::newRow(name) << text << paths << ok;
        };
        row("two items", "[remove]2;0:/Applications/Foo.app;1:/Library/LaunchDaemons/a.plist",
            {"/Applications/Foo.app", "/Library/LaunchDaemons/a.plist"}, true);
        row("colon in path", "[remove]1;0:/Applications/a:b.app", {"/Applications/a:b.app"}, true);
        row("non-ASCII path", "[remove]1;0:/Applications/Caf\xc3\xa9.app", {QString::fromUtf8("/Applications/Caf\xc3\xa9.app")}, true);
        row("no items", "[remove]0", {}, true);
        row("NUL in path is the path's problem", QByteArray("[remove]1;0:/tmp/a\0b", 20), {QString::fromUtf8("/tmp/a\0b", 8)}, true);
        row("count too high", "[remove]3;0:/a/b;1:/a/c", {}, false);
        row("count too low (path with ;)", "[remove]1;0:/a/b;c", {}, false);
        row("cut after the count", "[remove]2;0:/a/b", {}, false);
        row("no header", "0:/a/b", {}, false);
        row("other header", "[delete]1;0:/a/b", {}, false);
        row("count with sign", "[remove]+1;0:/a/b", {}, false);
        row("count with leading zero", "[remove]01;0:/a/b", {}, false);
        row("index out of order", "[remove]2;1:/a/b;0:/a/c", {}, false);
        row("index gap", "[remove]2;0:/a/b;2:/a/c", {}, false);
        row("index missing", "[remove]1;/a/b", {}, false);
        row("index not a number", "[remove]1;x:/a/b", {}, false);
        row("invalid UTF-8", "[remove]1;0:/a/\xff", {}, false);
        row("overlong UTF-8", "[remove]1;0:/a/\xc0\xaf", {}, false);
        row("empty", "", {}, false);
    }

    void remove()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, paths);
        QFETCH(bool, ok);
        const HpRequest r = hpParseRemove(text);
        QCOMPARE(r.kind, ok ? HpRequest::Remove : HpRequest::Refused);
        QCOMPARE(r.paths, paths);
        QCOMPARE(r.reason.isEmpty(), ok);
    }

    void reinstall_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("package"); // empty when refused
        const auto row = [](const char *name, const QByteArray &text, const char *pkg) {
            QTest::newRow(name) << text << QString::fromLatin1(pkg);
        };
        row("the update", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/Update.pkg -target /",
            "/tmp/Kestrelsweep/Update.pkg");
        row("blank in name", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/My Update.pkg -target /",
            "/tmp/Kestrelsweep/My Update.pkg");
        row("any command", "[reinstall]touch /tmp/x", "");
        row("command after the form", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/a.pkg -target /; rm -rf /", "");
        row("other target", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/a.pkg -target /Volumes/X", "");
        row("outside the mount folder", "[reinstall]sudo installer -verboseR -pkg /tmp/Other/a.pkg -target /", "");
        row("mount folder prefix", "[reinstall]sudo installer -verboseR -pkg /tmp/KestrelsweepX/a.pkg -target /", "");
        row("in a sub-folder", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/sub/a.pkg -target /", "");
        row("climbing out", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/../a.pkg -target /", "");
        row("the folder itself", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/ -target /", "");
        row("empty package", "[reinstall]sudo installer -verboseR -pkg  -target /", "");
        row("newline in name", "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/a\n.pkg -target /", "");
        row("short", "[reinstall]", "");
    }

    void reinstall()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, package);
        const HpRequest r = hpParseReinstall(text);
        QCOMPARE(r.kind, package.isEmpty() ? HpRequest::Refused : HpRequest::Reinstall);
        QCOMPARE(r.package, package);
        // The dispatch sends it the same way.
        QCOMPARE(hpParseCommand(text.toBase64(), text.toBase64().size()).kind, r.kind);
    }

    void pathRefusal_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("refused");
        QTest::newRow("ordinary") << QStringLiteral("/Applications/Foo.app") << false;
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("relative") << QStringLiteral("Applications/Foo.app") << true;
        QTest::newRow("dot-dot") << QStringLiteral("/Applications/Foo.app/../../etc") << true;
        QTest::newRow("dot") << QStringLiteral("/Applications/./Foo.app") << true;
        QTest::newRow("trailing dot-dot") << QStringLiteral("/Applications/Foo.app/..") << true;
        QTest::newRow("dots in a name") << QStringLiteral("/Applications/Foo..app") << false;
        QTest::newRow("double slash") << QStringLiteral("/Applications//Foo.app") << true;
        QTest::newRow("trailing slash") << QStringLiteral("/Applications/Foo.app/") << true;
        QTest::newRow("NUL") << QString::fromUtf8("/Applications/Foo.app\0/x", 24) << true;
        QTest::newRow("user path") << QStringLiteral("/Users/alice/Library/Caches/com.foo") << true;
        QTest::newRow("user path, other case") << QStringLiteral("/users/alice/Library/Caches/com.foo") << true;
        QTest::newRow("Users-like name") << QStringLiteral("/UsersX/foo") << false;
        QTest::newRow("root") << QStringLiteral("/") << true;
        QTest::newRow("protected") << QStringLiteral("/Library/LaunchDaemons") << true;
        QTest::newRow("under System") << QStringLiteral("/System/Library/CoreServices") << true;
    }

    void pathRefusal()
    {
        QFETCH(QString, path);
        QFETCH(bool, refused);
        QCOMPARE(!hpPathRefusal(path, QStringLiteral("/var/root")).isEmpty(), refused);
    }

    // Every request the client cuts arrives whole, carries indices from 0 and
    // leaves room for its result; together they carry every sendable path once.
    void batches_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QVector<int>>("unsendable");
        QTest::addColumn<int>("minBatches");
        QStringList many;
        for (int i = 0; i < 120; ++i)
            many << QStringLiteral("/Library/Application Support/Vendor%1/file%1.plist").arg(i);
        QTest::newRow("one request") << QStringList{"/Applications/Foo.app", "/Library/LaunchDaemons/a.plist"}
                                     << QVector<int>{} << 1;
        QTest::newRow("many paths") << many << QVector<int>{} << 8;
        QStringList mixed{"/Applications/Foo.app", "/Applications/a;b.app", QStringLiteral("/Library/") + QString(800, QLatin1Char('x')),
                          "/Library/LaunchDaemons/a.plist"};
        QTest::newRow("semicolon and too long") << mixed << QVector<int>{1, 2} << 1;
        QStringList shortOnes;
        for (int i = 0; i < 200; ++i)
            shortOnes << QStringLiteral("/a/%1").arg(i);
        // Results ("SUCCESS:" per path) outgrow such requests; the cut follows the result.
        QTest::newRow("short paths, long results") << shortOnes << QVector<int>{} << 3;
        QStringList wide;
        for (int i = 0; i < 40; ++i)
            wide << QString::fromUtf8("/Applications/\xe6\x97\xa5\xe6\x9c\xac%1.app").arg(i);
        QTest::newRow("non-ASCII paths") << wide << QVector<int>{} << 2;
        QTest::newRow("none") << QStringList{} << QVector<int>{} << 0;
    }

    void batches()
    {
        QFETCH(QStringList, paths);
        QFETCH(QVector<int>, unsendable);
        QFETCH(int, minBatches);
        QVector<int> refused;
        const QVector<HpRemoveBatch> batches = hpClientRemoveBatches(paths, &refused);
        QCOMPARE(refused, unsendable);
        QVERIFY(batches.size() >= minBatches);
        QVector<int> carried;
        for (const HpRemoveBatch &b : batches) {
            QVERIFY(b.request.size() <= hpMaxCommand);
            const HpRequest r = hpParseCommand(b.request, b.request.size());
            QCOMPARE(r.kind, HpRequest::Remove);
            QCOMPARE(r.paths.size(), b.indices.size());
            QString result = QStringLiteral("[result]%1;").arg(r.paths.size());
            for (int k = 0; k < r.paths.size(); ++k) {
                QCOMPARE(r.paths.at(k), paths.at(b.indices.at(k)));
                result += (k ? QStringLiteral(";SUCCESS:") : QStringLiteral("SUCCESS:")) + r.paths.at(k);
            }
            QVERIFY2(result.toLatin1().size() <= hpMaxResult, qPrintable(QString::number(result.size())));
            carried += b.indices;
        }
        QVector<int> expected;
        for (int i = 0; i < paths.size(); ++i)
            if (!unsendable.contains(i))
                expected << i;
        QCOMPARE(carried, expected);
    }

    void mergeResult_data()
    {
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QVector<bool>>("done");
        QTest::newRow("both") << QByteArray("[result]2;SUCCESS:/a/x;SUCCESS:/a/y") << QVector<bool>{false, true, false, true};
        QTest::newRow("one failed") << QByteArray("[result]2;FAILURE:/a/x;SUCCESS:/a/y") << QVector<bool>{false, false, false, true};
        QTest::newRow("refused request") << QByteArray("[result]0;") << QVector<bool>{false, false, false, false};
        QTest::newRow("other paths") << QByteArray("[result]2;SUCCESS:/a/y;SUCCESS:/a/x") << QVector<bool>{false, false, false, false};
        QTest::newRow("cut off") << QByteArray("[result]2;SUCCESS:/a/x;SUCC") << QVector<bool>{false, true, false, false};
        QTest::newRow("extra item") << QByteArray("[result]2;SUCCESS:/a/x;SUCCESS:/a/y;SUCCESS:/z") << QVector<bool>{false, false, false, false};
        QTest::newRow("quit") << QByteArray("quit") << QVector<bool>{false, false, false, false};
    }

    void mergeResult()
    {
        QFETCH(QByteArray, result);
        QFETCH(QVector<bool>, done);
        const QStringList paths{"/a/w", "/a/x", "/a/v", "/a/y"};
        QVector<bool> got(4, false);
        hpClientMergeResult(result, paths, {1, 3}, &got);
        QCOMPARE(got, done);
    }

    // A socket that is not (or no longer) bound answers every wait at once;
    // the wait must give up rather than spin on it until the time is out.
    void waitOnDeadSocket()
    {
        QUdpSocket dead;
        char buf[64];
        sMessages = 0;
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {
            ++sMessages;
        });
        const int n = hpRecvFromPeer(&dead, buf, sizeof buf, 300, [](const QHostAddress &, quint16) { return true; }, nullptr);
        qInstallMessageHandler(previous);
        QCOMPARE(n, -1);
        QVERIFY2(sMessages < 10, qPrintable(QString::number(sMessages)));
    }
};

QTEST_GUILESS_MAIN(TestRequest)
#include "tst_request.moc"
