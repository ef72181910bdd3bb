#include "ServiceSandbox.h"
#include "hpChannel.h"
#include "hpClient.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// The real service, sandboxed, against the real client over loopback UDP.
// Every path the service may delete lies in the test's temporary folder or in
// the sandbox's own tmpfs.
namespace {
QString sClientLog;

void captureLog(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    sClientLog += msg;
}

QByteArray b64(const QByteArray &text)
{
    return text.toBase64();
}

bool touch(const QString &path, const QByteArray &data = "x")
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

bool exists(const QString &path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

qint64 procStatus(qint64 pid, const QByteArray &key)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).simplified().split(' ').first().toLongLong();
    return -1;
}

// Whether one line of the log holds both texts.
bool hasLine(const QString &log, const QString &a, const QString &b)
{
    for (const QStringRef &line : log.splitRef(QLatin1Char('\n')))
        if (line.contains(a) && line.contains(b))
            return true;
    return false;
}

// Descriptors the service holds, without the log, which it opens for each
// message and may hold at the moment of looking.
int openFiles(qint64 pid)
{
    const QDir dir(QStringLiteral("/proc/%1/fd").arg(pid));
    int n = 0;
    for (const QFileInfo &fd : dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (!fd.symLinkTarget().endsWith(QLatin1String("/main.log")))
            ++n;
    return n;
}
} // namespace

class TestService : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir *mTmp = nullptr;
    ServiceSandbox *mBox = nullptr;
    QString mData; // where files to delete live

    bool startService(bool trustMe = true, const QString &extraPath = QString())
    {
        QStringList args;
        if (trustMe)
            args << QStringLiteral("--trust") << QCoreApplication::applicationFilePath();
        return mBox->start(args, extraPath);
    }

    // One command through the real client: handshake, send, one answer.
    QByteArray exchange(const QByteArray &datagram, int timeoutMs = 20000)
    {
        if (!hpClientInit())
            return "no handshake";
        if (hpClientSend(datagram.constData(), datagram.size()) != datagram.size()) {
            hpClientUninit();
            return "short send";
        }
        char buf[1024];
        const int n = hpClientRecv(buf, 1023, timeoutMs);
        hpClientUninit();
        return n > 0 ? QByteArray(buf, n) : QByteArray();
    }

    QByteArray removeRequest(const QStringList &paths)
    {
        QByteArray text = "[remove]" + QByteArray::number(paths.size()) + ';';
        for (int i = 0; i < paths.size(); ++i)
            text += (i ? ";" : "") + QByteArray::number(i) + ':' + paths.at(i).toUtf8();
        return b64(text);
    }

    QString at(QString p) const
    {
        return p.replace(QLatin1Char('@'), mData);
    }

    // "name/" a folder, "name->target" a symbolic link, otherwise a file.
    void create(const QStringList &entries)
    {
        for (const QString &e : entries) {
            const int arrow = e.indexOf(QStringLiteral("->"));
            if (arrow > 0)
                QVERIFY(QFile::link(at(e.mid(arrow + 2)), at(QStringLiteral("@/") + e.left(arrow))));
            else if (e.endsWith(QLatin1Char('/')))
                QVERIFY(QDir().mkpath(at(QStringLiteral("@/") + e)));
            else
                QVERIFY(touch(at(QStringLiteral("@/") + e)));
        }
    }

private slots:
    void initTestCase()
    {
        if (!ServiceSandbox::available())
            QSKIP("bwrap or the service is missing");
        qInstallMessageHandler(captureLog);
    }

    void init()
    {
        mTmp = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/tst_service-XXXXXX"));
        QVERIFY(mTmp->isValid());
        mData = mTmp->path() + QStringLiteral("/data");
        QVERIFY(QDir().mkpath(mData));
        mBox = new ServiceSandbox(mTmp->path());
        sClientLog.clear();
    }

    void cleanup()
    {
        delete mBox;
        mBox = nullptr;
        delete mTmp;
        mTmp = nullptr;
    }

    void remove_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("verdicts"); // S or F per path
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("gone");
        QTest::newRow("three items in order") << QStringList{"a", "b/", "b/inner", "c"}
            << QStringList{"@/a", "@/b", "@/c"} << "SSS" << QStringList{} << QStringList{"@/a", "@/b", "@/c"};
        QTest::newRow("colon in path") << QStringList{"x:y", "x"} << QStringList{"@/x:y"} << "S"
            << QStringList{"@/x"} << QStringList{"@/x:y"};
        QTest::newRow("missing path") << QStringList{} << QStringList{"@/nope", "@/nope/deeper"} << "SS"
            << QStringList{} << QStringList{};
        QTest::newRow("non-ASCII path") << QStringList{QString::fromUtf8("Caf\xc3\xa9.app/"), "Cafe.app/"}
            << QStringList{QString::fromUtf8("@/Caf\xc3\xa9.app")} << "S" << QStringList{"@/Cafe.app"}
            << QStringList{QString::fromUtf8("@/Caf\xc3\xa9.app")};
        QTest::newRow("quote, dollar, backquote") << QStringList{"a\"$(touch x)`b`", "a"}
            << QStringList{"@/a\"$(touch x)`b`"} << "S" << QStringList{"@/a"} << QStringList{"@/x"};
        QTest::newRow("dot-dot") << QStringList{"a/", "b"} << QStringList{"@/a/../b"} << "F"
            << QStringList{"@/b"} << QStringList{};
        QTest::newRow("dot") << QStringList{"a"} << QStringList{"@/./a"} << "F" << QStringList{"@/a"} << QStringList{};
        QTest::newRow("relative and empty") << QStringList{} << QStringList{"data/a", ""} << "FF"
            << QStringList{} << QStringList{};
        QTest::newRow("NUL") << QStringList{"a"} << QStringList{QString::fromUtf8("@/a\0b", 5)} << "F"
            << QStringList{"@/a"} << QStringList{};
        QTest::newRow("link removed as a link") << QStringList{"target/", "target/keep", "link->@/target"}
            << QStringList{"@/link"} << "S" << QStringList{"@/target/keep"} << QStringList{"@/link"};
        QTest::newRow("link in the parents, ordinary target") << QStringList{"real/", "real/f", "l->@/real"}
            << QStringList{"@/l/f"} << "S" << QStringList{} << QStringList{"@/real/f"};
        QTest::newRow("link in the parents into a protected folder") << QStringList{"lib->/Library"}
            << QStringList{"@/lib/LaunchDaemons", "@/lib/Fonts"} << "FF" << QStringList{} << QStringList{};
        QTest::newRow("link in the parents to a protected folder's content") << QStringList{"ld->/Library/LaunchDaemons"}
            << QStringList{"@/ld/com.example.plist"} << "F" << QStringList{} << QStringList{};
        QTest::newRow("link in the parents into a user folder") << QStringList{"u->/Users/bob/Library"}
            << QStringList{"@/u/Preferences/x"} << "F" << QStringList{} << QStringList{};
        QTest::newRow("link in the parents into the system") << QStringList{"s->/System/Library"}
            << QStringList{"@/s/Fonts/x"} << "F" << QStringList{} << QStringList{};
        QTest::newRow("protected locations") << QStringList{}
            << QStringList{"/", "/Applications", "/Library", "/Library/LaunchDaemons", "/library/fonts",
                           "/System/Library/Fonts", "/usr/bin", "/etc/hosts", "/bin", "/var/root",
                           "/private/var/db/receipts", "/Applications/Utilities", "/Users/bob/Library/Preferences",
                           "/Users/bob/Library/Preferences/com.example.plist"}
            << "FFFFFFFFFFFFFF" << QStringList{} << QStringList{};
        QTest::newRow("refusal among deletions") << QStringList{"a", "b"} << QStringList{"@/a", "/Library", "@/b"}
            << "SFS" << QStringList{} << QStringList{"@/a", "@/b"};
    }

    void remove()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, paths);
        QFETCH(QString, verdicts);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, gone);
        create(entries);
        QVERIFY(startService());
        QStringList real;
        for (const QString &p : paths)
            real << at(p);
        QString expected = QStringLiteral("[result]%1;").arg(real.size());
        for (int i = 0; i < real.size(); ++i)
            expected += QString(i ? QStringLiteral(";") : QString())
                + (verdicts.at(i) == QLatin1Char('S') ? QStringLiteral("SUCCESS:") : QStringLiteral("FAILURE:")) + real.at(i);
        QCOMPARE(exchange(removeRequest(real)), expected.toLatin1());
        for (const QString &k : kept)
            QVERIFY2(exists(at(k)), qPrintable(at(k)));
        for (const QString &g : gone)
            QVERIFY2(!exists(at(g)), qPrintable(at(g)));
        // The service keeps serving.
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
    }

    // Nothing of a request that did not arrive whole is deleted.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("why");
        const QByteArray victim = "[remove]1;0:@/victim";
        const QByteArray big = "[remove]2;0:@/victim;1:@/" + QByteArray(800, 'x');
        QTest::newRow("bad Base64") << QByteArray("!!!!" + b64(victim)) << "not Base64";
        QTest::newRow("count mismatch") << b64("[remove]2;0:@/victim") << "header counts 2 items, request has 1";
        QTest::newRow("indices not from 0") << b64("[remove]1;1:@/victim") << "has no index";
        QTest::newRow("indices skip") << b64("[remove]2;0:@/victim;2:@/victim") << "has no index";
        QTest::newRow("semicolon in path") << b64("[remove]1;0:@/victim;x") << "header counts 1 items, request has 2";
        QTest::newRow("longer than 1023") << b64(big) << "is longer than 1023";
        QTest::newRow("cut at 1023") << b64(big).left(1023) << "not Base64";
        QTest::newRow("no header") << b64("0:@/victim") << "no [remove] header";
    }

    void refused()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, why);
        // Base64 of the text with @ resolved, unless the test is about the encoding itself.
        QByteArray text = QByteArray::fromBase64(datagram);
        if (text.toBase64() == datagram)
            datagram = b64(at(QString::fromUtf8(text)).toUtf8());
        create({"victim", "victim;x", "x"});
        QVERIFY(startService());
        QCOMPARE(exchange(datagram), QByteArray("[result]0;"));
        QVERIFY2(hasLine(mBox->log(), QStringLiteral("request refused, nothing deleted: "), why), qPrintable(mBox->log().right(600)));
        for (const char *k : {"@/victim", "@/victim;x", "@/x"})
            QVERIFY(exists(at(k)));
    }

    // The longest request that fits the read (1020 bytes of Base64) is taken.
    void longestRequest()
    {
        const int pathLen = 765 - 12; // "[remove]1;0:" + path, 765 bytes -> 1020 of Base64
        QString path = mData;
        while (path.size() < pathLen - 1) {
            const int n = qMin(200, pathLen - path.size() - 1);
            path += QLatin1Char('/') + QString(n, QLatin1Char('d'));
        }
        QCOMPARE(path.size(), pathLen);
        QVERIFY(QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/')))));
        QVERIFY(touch(path));
        QVERIFY(startService());
        const QByteArray request = removeRequest({path});
        QCOMPARE(request.size(), 1020);
        QCOMPARE(exchange(request), ("[result]1;SUCCESS:" + path).toUtf8());
        QVERIFY(!exists(path));
    }

    void clientSplitsRequests()
    {
        QStringList paths;
        for (int i = 0; i < 40; ++i) {
            paths << QStringLiteral("%1/item-with-a-long-name-%2.plist").arg(mData).arg(i, 3, 10, QLatin1Char('0'));
            QVERIFY(touch(paths.last()));
        }
        paths.insert(5, mData + QStringLiteral("/a;b"));
        QVERIFY(touch(paths.at(5)));
        QVERIFY(startService());
        const QVector<bool> done = hpClientRemove(paths, 20000);
        QCOMPARE(done.size(), paths.size());
        for (int i = 0; i < paths.size(); ++i) {
            QCOMPARE(done.at(i), i != 5);
            QCOMPARE(exists(paths.at(i)), i == 5);
        }
        QVERIFY(mBox->log().count(QStringLiteral("get{[remove]")) >= 2);
        QVERIFY(!mBox->log().contains(QStringLiteral("refused")));
    }

    void commandFromThirdSocket()
    {
        create({"victim"});
        QVERIFY(startService());
        QVERIFY(hpClientInit());
        QUdpSocket stranger;
        const QByteArray evil = removeRequest({at("@/victim")});
        QCOMPARE(stranger.writeDatagram(evil, QHostAddress::LocalHost, mBox->port()), qint64(evil.size()));
        QVERIFY(mBox->waitForLog(QStringLiteral("not the peer"), 10000));
        const QByteArray mine = removeRequest({at("@/none")});
        QCOMPARE(hpClientSend(mine.constData(), mine.size()), mine.size());
        char buf[1024];
        const int n = hpClientRecv(buf, 1023, 20000);
        hpClientUninit();
        QCOMPARE(QByteArray(buf, qMax(n, 0)), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        QVERIFY(exists(at("@/victim")));
    }

    void helloRefused_data()
    {
        QTest::addColumn<QByteArray>("hello"); // %PID% and %OTHER% replaced
        QTest::addColumn<bool>("trustMe");
        QTest::addColumn<QString>("why");
        QTest::newRow("magic alone (16 bytes)") << QByteArray("Kestrelswp-Magic") << true << "";
        QTest::newRow("wrong magic") << QByteArray("Kestrelswp-Magix#%PID%") << true << "";
        QTest::newRow("no process id (17 bytes)") << QByteArray("Kestrelswp-Magic#") << true << "hello refused: no process id";
        QTest::newRow("process id not a number") << QByteArray("Kestrelswp-Magic#abc") << true << "hello refused: no process id";
        QTest::newRow("another process's id") << QByteArray("Kestrelswp-Magic#%OTHER%") << true << "is not process %OTHER%'s";
        QTest::newRow("untrusted executable") << QByteArray("Kestrelswp-Magic#%PID%") << false << "runs ";
    }

    void helloRefused()
    {
        QFETCH(QByteArray, hello);
        QFETCH(bool, trustMe);
        QFETCH(QString, why);
        QProcess other;
        other.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(other.waitForStarted());
        const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
        const QByteArray otherPid = QByteArray::number(other.processId());
        hello.replace("%PID%", pid).replace("%OTHER%", otherPid);
        why.replace(QStringLiteral("%OTHER%"), QString::fromLatin1(otherPid));
        QVERIFY(startService(trustMe));

        QUdpSocket raw;
        QVERIFY(raw.bind(QHostAddress(QHostAddress::LocalHost), 0));
        QCOMPARE(raw.writeDatagram(hello, QHostAddress::LocalHost, mBox->port()), qint64(hello.size()));
        const QString seen = QStringLiteral("recv %1 from:127.0.0.1:%2\n").arg(QString::fromLatin1(hello)).arg(raw.localPort());
        QVERIFY(mBox->waitForLog(seen, 10000));
        if (!why.isEmpty())
            QVERIFY2(mBox->waitForLog(why, 10000), qPrintable(mBox->log().right(400)));
        if (trustMe) {
            // The service went on serving; the refused sender never got a reply.
            QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        }
        QVERIFY(!raw.hasPendingDatagrams());
        QVERIFY(!mBox->log().contains(QStringLiteral("--> 127.0.0.1:%1 ").arg(raw.localPort())));
        other.kill();
        other.waitForFinished();
    }

    void portFallback()
    {
        QUdpSocket squatter;
        if (!squatter.bind(QHostAddress::LocalHost, 7755, QUdpSocket::DontShareAddress))
            QSKIP("another program holds 7755");
        QVERIFY(startService());
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        QCOMPARE(mBox->port(), quint16(8855));
        QVERIFY(sClientLog.contains(QStringLiteral("Found Server: 127.0.0.1:8855,")));
        // The squatter's datagrams were no answer.
        QVERIFY(squatter.hasPendingDatagrams());
    }

    void portNotShared()
    {
        QVERIFY(startService());
        const auto shared = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
        QUdpSocket a, b;
        QVERIFY(!a.bind(QHostAddress::AnyIPv4, mBox->port(), shared));
        QVERIFY(!b.bind(QHostAddress::LocalHost, mBox->port(), shared));
    }

    // The client takes a reply only with the magic and one byte more, and
    // afterwards listens to that peer alone.
    void clientHandshake()
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(7755);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
            ::close(fd);
            QSKIP("another program holds 7755");
        }
        sockaddr_in client{};
        std::thread fake([fd, &client]() {
            char buf[256];
            socklen_t len = sizeof client;
            if (recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&client), &len) <= 0)
                return;
            sendto(fd, "Kestrelswp-Magic", 16, 0, reinterpret_cast<sockaddr *>(&client), len);
            sendto(fd, "Kestrelswp-Magi#1", 17, 0, reinterpret_cast<sockaddr *>(&client), len);
            sendto(fd, "Kestrelswp-Magic#", 17, 0, reinterpret_cast<sockaddr *>(&client), len);
        });
        const bool found = hpClientInit();
        fake.join();
        QVERIFY(found);
        QVERIFY(sClientLog.contains(QStringLiteral("Found Server: 127.0.0.1:7755,0\n")));
        QCOMPARE(sClientLog.count(QStringLiteral("recv ")), 1);

        QUdpSocket stranger;
        QVERIFY(stranger.writeDatagram("[result]1;SUCCESS:/x", QHostAddress::LocalHost, ntohs(client.sin_port)) > 0);
        sendto(fd, "[result]0;", 10, 0, reinterpret_cast<sockaddr *>(&client), sizeof client);
        char buf[1024];
        const int n = hpClientRecv(buf, 1023, 10000);
        hpClientUninit();
        ::close(fd);
        QCOMPARE(QByteArray(buf, qMax(n, 0)), QByteArray("[result]0;"));
    }

    void noCommandDropsClient()
    {
        QVERIFY(startService());
        QUdpSocket raw;
        QVERIFY(raw.bind(QHostAddress(QHostAddress::LocalHost), 0));
        const QByteArray hello = hpHelloText(QCoreApplication::applicationPid());
        raw.writeDatagram(hello, QHostAddress::LocalHost, mBox->port());
        QVERIFY(raw.waitForReadyRead(10000));
        const int from = mBox->log().size();
        QVERIFY(mBox->waitForLog(QStringLiteral("hpServerRecv end("), 15000, from));
        QVERIFY(mBox->waitForLog(QStringLiteral("Wait Client ..."), 5000, from));
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        QCOMPARE(mBox->log().mid(from).count(QStringLiteral("get{")), 1);
    }

    void singleInstance()
    {
        QVERIFY(startService());
        QVERIFY(mBox->log().contains(QStringLiteral("------------Kestrelsweep Service (3, %1)-------------\n")
                                         .arg(ServiceSandbox::serviceExe())));
        ServiceSandbox second(mTmp->path());
        QVERIFY(second.start({}));
        QCOMPARE(second.waitForExit(20000), 1);
        QVERIFY(mBox->log().contains(QStringLiteral("app.alreadyExists() we exiting\n")));
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());

        // A copy that died without cleaning up keeps nothing out.
        mBox->kill9();
        QVERIFY(mBox->waitForExit(20000) != 0);
        ServiceSandbox third(mTmp->path());
        QVERIFY(third.start({QStringLiteral("--trust"), QCoreApplication::applicationFilePath()}));
        QVERIFY(third.running());
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
    }

    void reinstall()
    {
        const QString bin = mTmp->path() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(touch(bin + QStringLiteral("/installer"),
                      "#!/bin/sh\necho \"$@\" > " + mTmp->path().toUtf8() + "/installer.args\n"));
        QFile::setPermissions(bin + QStringLiteral("/installer"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(touch(mBox->mountDir() + QStringLiteral("/Update.pkg")));
        QVERIFY(startService(true, bin));

        QVERIFY(hpClientInit());
        const QByteArray cmd = b64("[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/Update.pkg -target /");
        QCOMPARE(hpClientSend(cmd.constData(), cmd.size()), cmd.size());
        char buf[1024];
        const int n = hpClientRecv(buf, 1023, 40000);
        QCOMPARE(QByteArray(buf, qMax(n, 0)), QByteArray("quit"));
        QCOMPARE(mBox->waitForExit(20000), 0);
        QVERIFY(!hpClientPeerAlive());
        hpClientUninit();
        QFile args(mTmp->path() + QStringLiteral("/installer.args"));
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(args.readAll(), QByteArray("-verboseR -pkg /tmp/Kestrelsweep/Update.pkg -target /\n"));
    }

    void reinstallRefused_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("why");
        QTest::newRow("any command") << QByteArray("[reinstall]touch @/x") << "not the installer command";
        QTest::newRow("command after the form")
            << QByteArray("[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/Update.pkg -target /;touch @/x")
            << "not the installer command";
        QTest::newRow("package outside the mount folder")
            << QByteArray("[reinstall]sudo installer -verboseR -pkg @/Other.pkg -target /") << "package is not in";
        QTest::newRow("package is a link")
            << QByteArray("[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/Link.pkg -target /") << "is not a regular file";
        QTest::newRow("package is a folder")
            << QByteArray("[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/Folder.pkg -target /") << "is not a regular file";
        QTest::newRow("package missing")
            << QByteArray("[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/None.pkg -target /") << "is not a regular file";
    }

    void reinstallRefused()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, why);
        const QString bin = mTmp->path() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(touch(bin + QStringLiteral("/installer"), "#!/bin/sh\ntouch " + mTmp->path().toUtf8() + "/installer.ran\n"));
        QFile::setPermissions(bin + QStringLiteral("/installer"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(touch(mData + QStringLiteral("/Other.pkg")));
        QVERIFY(touch(mData + QStringLiteral("/Real.pkg")));
        QVERIFY(QFile::link(mData + QStringLiteral("/Real.pkg"), mBox->mountDir() + QStringLiteral("/Link.pkg")));
        QVERIFY(QDir().mkpath(mBox->mountDir() + QStringLiteral("/Folder.pkg")));
        QVERIFY(startService(true, bin));

        QVERIFY(hpClientInit());
        const QByteArray cmd = b64(at(QString::fromLatin1(command)).toLatin1());
        QCOMPARE(hpClientSend(cmd.constData(), cmd.size()), cmd.size());
        QVERIFY(mBox->waitForLog(QStringLiteral("reinstall refused: "), 15000));
        QVERIFY2(hasLine(mBox->log(), QStringLiteral("reinstall refused: "), why), qPrintable(mBox->log().right(400)));
        hpClientUninit();
        // Nothing ran, and the service goes on serving.
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        QVERIFY(mBox->running());
        QVERIFY(!exists(at("@/x")));
        QVERIFY(!exists(mTmp->path() + QStringLiteral("/installer.ran")));
        QVERIFY(!mBox->log().contains(QStringLiteral("send quit")));
    }

    // Many exchanges leave no descriptors or memory behind.
    void manyRequests()
    {
        QVERIFY(startService());
        const qint64 pid = mBox->servicePid();
        const quint16 port = mBox->port();
        QVERIFY(pid > 0);
        QUdpSocket raw;
        QVERIFY(raw.bind(QHostAddress(QHostAddress::LocalHost), 0));
        const QByteArray hello = hpHelloText(QCoreApplication::applicationPid());
        int fdsAfterWarmUp = 0;
        qint64 rssAfterWarmUp = 0;
        QVERIFY(raw.writeDatagram(hello, QHostAddress::LocalHost, port) > 0);
        for (int i = 0; i < 500; ++i) {
            QVERIFY(raw.waitForReadyRead(10000));
            QVERIFY(hpIsHello(raw.receiveDatagram().data().constData(), 17));
            // Every fourth one actually runs rm; the others name a missing
            // folder or are refused whole.
            QByteArray cmd;
            if (i % 4 == 0)
                cmd = removeRequest({at(QStringLiteral("@/f%1").arg(i))});
            else if (i % 4 == 1)
                cmd = removeRequest({at(QStringLiteral("@/missing/f%1").arg(i))});
            else if (i % 4 == 2)
                cmd = "not base64!";
            else
                cmd = b64("[remove]2;0:/x");
            if (i % 4 == 0)
                QVERIFY(touch(at(QStringLiteral("@/f%1").arg(i))));
            raw.writeDatagram(cmd, QHostAddress::LocalHost, port);
            // The next hello waits in the queue while this command is handled.
            if (i + 1 < 500)
                raw.writeDatagram(hello, QHostAddress::LocalHost, port);
            QVERIFY(raw.waitForReadyRead(10000));
            const QByteArray result = raw.receiveDatagram().data();
            QVERIFY2(result.startsWith("[result]"), result.constData());
            if (i % 4 == 0)
                QCOMPARE(result, ("[result]1;SUCCESS:" + at(QStringLiteral("@/f%1").arg(i))).toUtf8());
            if (i == 99) {
                fdsAfterWarmUp = openFiles(pid);
                rssAfterWarmUp = procStatus(pid, "VmRSS");
            }
        }
        const int fds = openFiles(pid);
        const qint64 rss = procStatus(pid, "VmRSS");
        // The client log handler swallows qInfo; these figures go to the report.
        fprintf(stderr, "open files %d -> %d, VmRSS %lld -> %lld KiB\n", fdsAfterWarmUp, fds, rssAfterWarmUp, rss);
        QCOMPARE(fds, fdsAfterWarmUp);
#if defined(__SANITIZE_ADDRESS__)
        // The address sanitizer's quarantine keeps freed memory; only the
        // descriptors say something in such a build.
        return;
#endif
        QVERIFY2(rss - rssAfterWarmUp < 256, qPrintable(QStringLiteral("%1 -> %2 KiB").arg(rssAfterWarmUp).arg(rss)));
    }
};

QTEST_GUILESS_MAIN(TestService)
#include "tst_service.moc"
