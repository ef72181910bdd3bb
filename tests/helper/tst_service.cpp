#include "ServiceSandbox.h"
#include "hpChannel.h"
#include "hpClient.h"
#include "hpHarden.h"
#include "hpSignature.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <netinet/in.h>
#include <sodium.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// The real service, sandboxed, against the real client over loopback UDP.
// Every path the service may delete lies in the sandbox's own tmpfs.
namespace {
QString sClientLog;

QString probeExe()
{
    return qEnvironmentVariable("KS_BINARY_DIR") + QStringLiteral("/tests/helper/channel_probe");
}

// A probe that prints one line and keeps running until it is deleted.
class Probe
{
public:
    explicit Probe(const QStringList &args, const QString &exe = probeExe())
    {
        mProc.start(exe, args);
    }
    ~Probe()
    {
        mProc.closeWriteChannel();
        if (!mProc.waitForFinished(5000))
            mProc.kill();
        mProc.waitForFinished(5000);
    }
    QByteArray firstLine()
    {
        while (!mProc.canReadLine() && mProc.waitForReadyRead(15000)) {
        }
        return mProc.readLine().trimmed();
    }
    qint64 pid() const { return mProc.processId(); }

private:
    QProcess mProc;
};

// Runs a probe to its end; its output.
QByteArray runProbe(const QString &program, const QStringList &args, const QStringList &env = {})
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env)
        e.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(e);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return "probe did not finish";
    return p.readAllStandardOutput().trimmed();
}

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
// A throw-away Ed25519 pair: public key first, secret key second.
QPair<QByteArray, QByteArray> newKeyPair()
{
    QByteArray pk(crypto_sign_PUBLICKEYBYTES, 0), sk(crypto_sign_SECRETKEYBYTES, 0);
    if (sodium_init() < 0 || crypto_sign_keypair(reinterpret_cast<unsigned char *>(pk.data()), reinterpret_cast<unsigned char *>(sk.data())) != 0)
        return {};
    return {pk, sk};
}

QByteArray sign(const QByteArray &data, const QByteArray &secretKey)
{
    QByteArray sig(crypto_sign_BYTES, 0);
    crypto_sign_detached(reinterpret_cast<unsigned char *>(sig.data()), nullptr,
                         reinterpret_cast<const unsigned char *>(data.constData()), quint64(data.size()),
                         reinterpret_cast<const unsigned char *>(secretKey.constData()));
    return sig;
}

// The signature file the maker ships beside a package of this version.
QByteArray signPackage(const QByteArray &package, const QByteArray &secretKey, const QByteArray &version = "2.0")
{
    return hpPackageSignatureFile(version, sign(hpPackageSignedMessage(version, package), secretKey));
}

// The Info.plist of the bundle in place, the one updates go forward from:
// a version, or "@missing", "@link" (a link to a good one), "@fifo", "@nokey".
bool setInstalled(const QByteArray &what)
{
    const QString contents = QStringLiteral("/Applications/Kestrelsweep.app/Contents");
    const QString info = contents + QStringLiteral("/Info.plist");
    const auto plist = [](const QByteArray &key, const QByteArray &value) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>" + key
            + "</key><string>" + value + "</string></dict></plist>\n";
    };
    QFile::remove(info);
    if (!QDir().mkpath(contents))
        return false;
    if (what == "@missing")
        return true;
    if (what == "@link")
        return touch(contents + QStringLiteral("/Real.plist"), plist("CFBundleShortVersionString", "1.0"))
            && QFile::link(contents + QStringLiteral("/Real.plist"), info);
    if (what == "@fifo")
        return mkfifo(QFile::encodeName(info).constData(), 0644) == 0;
    if (what == "@nokey")
        return touch(info, plist("CFBundleVersion", "1.0"));
    return touch(info, plist("CFBundleShortVersionString", what));
}

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

    bool startService(bool trustMe = true, const QString &extraPath = QString(), const QStringList &more = {})
    {
        QStringList args;
        if (trustMe)
            args << QStringLiteral("--trust") << QCoreApplication::applicationFilePath();
        args << QStringLiteral("--trust") << probeExe();
        for (const QString &t : more)
            args << QStringLiteral("--trust") << t;
        return mBox->start(args, extraPath);
    }

    // A handshake with a stand-in service on 7755 run by a thread of this
    // test: it answers the hello with each of replies, in turn, from its own
    // socket or, for replies that begin with "@", from another one.
    bool handshakeWithFake(const QList<QByteArray> &replies)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(7755);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0)
            return false;
        const int other = ::socket(AF_INET, SOCK_DGRAM, 0);
        std::thread fake([fd, other, &replies, this]() {
            char buf[256];
            socklen_t len = sizeof mFakeClient;
            if (recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr *>(&mFakeClient), &len) <= 0)
                return;
            for (const QByteArray &r : replies) {
                const bool elsewhere = r.startsWith('@');
                const QByteArray data = elsewhere ? r.mid(1) : r;
                sendto(elsewhere ? other : fd, data.constData(), size_t(data.size()), 0,
                       reinterpret_cast<sockaddr *>(&mFakeClient), len);
            }
        });
        const bool found = hpClientInit();
        fake.join();
        ::close(other);
        mFakeFd = fd;
        return found;
    }
    sockaddr_in mFakeClient{};
    int mFakeFd = -1;

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
        const int n = hpClientRecvAnswer(buf, 1023, timeoutMs, timeoutMs);
        hpClientUninit();
        return n > 0 ? QByteArray(buf, n) : QByteArray();
    }

    // The next datagram on a raw socket that is not the service's sign that
    // it is at work.
    static QByteArray answer(QUdpSocket &socket)
    {
        for (;;) {
            if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(10000))
                return QByteArray();
            const QByteArray data = socket.receiveDatagram().data();
            if (!data.startsWith("[working]"))
                return data;
        }
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

    // "name/" a folder, "name->target" a symbolic link, otherwise a file;
    // in the data folder, or where an absolute name says (in the sandbox).
    void create(const QStringList &entries)
    {
        for (const QString &e : entries) {
            const QString path = e.startsWith(QLatin1Char('/')) ? e : at(QStringLiteral("@/") + e);
            QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
            const int arrow = path.indexOf(QStringLiteral("->"));
            if (arrow > 0)
                QVERIFY(QFile::link(at(path.mid(arrow + 2)), path.left(arrow)));
            else if (e.endsWith(QLatin1Char('/')))
                QVERIFY(QDir().mkpath(path));
            else
                QVERIFY(touch(path));
        }
    }

private slots:
    void initTestCase()
    {
        if (!ServiceSandbox::inside())
            QSKIP("bwrap cannot make the sandbox here, or the service is missing");
        // In a user namespace the host's libraries belong to nobody, and the
        // service trusts only code root owns.
        if (!ServiceSandbox::hasSecondUid())
            QSKIP("the service's peer must run code root owns: run as root");
        qInstallMessageHandler(captureLog);
    }

    void init()
    {
        ServiceSandbox::reset();
        mTmp = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/tst_service-XXXXXX"));
        QVERIFY(mTmp->isValid());
        mData = mTmp->path() + QStringLiteral("/data");
        QVERIFY(QDir().mkpath(mData));
        mBox = new ServiceSandbox;
        sClientLog.clear();
    }

    void cleanup()
    {
        if (QTest::currentTestFailed() && qEnvironmentVariableIsSet("KS_DEBUG_LOGS"))
            fprintf(stderr, "CLIENT LOG:\n%s\nSERVICE LOG:\n%s\n", qPrintable(sClientLog), qPrintable(mBox->log().right(4000)));
        hpClientUninit();
        if (mFakeFd >= 0)
            ::close(mFakeFd);
        mFakeFd = -1;
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
        // The system's own entries where applications leave theirs.
        const QStringList system{"/private/var/run/resolv.conf", "/private/var/run/utmpx", "/private/var/run/com.x",
                                 "/Library/LaunchDaemons/com.apple.foo.plist", "/private/var/db/receipts/com.apple.pkg.X.bom"};
        QTest::newRow("system entries, an application's socket beside them")
            << system + QStringList{"/private/var/run/com.example.app.sock"}
            << system + QStringList{"/private/var/run/com.example.app.sock"} << "FFFFFS" << system
            << QStringList{"/private/var/run/com.example.app.sock"};
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
        // Dropped before it is queued, while the service waits for the peer.
        QCOMPARE(stranger.writeDatagram(evil, QHostAddress::LocalHost, mBox->port()), qint64(evil.size()));
        const QByteArray mine = removeRequest({at("@/none")});
        QCOMPARE(hpClientSend(mine.constData(), mine.size()), mine.size());
        char buf[1024];
        const int n = hpClientRecvAnswer(buf, 1023, 20000, 20000);
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
        QTest::newRow("another trusted process's id") << QByteArray("Kestrelswp-Magic#%OTHER%") << true << "is not process %OTHER%'s";
        QTest::newRow("untrusted executable") << QByteArray("Kestrelswp-Magic#%PID%") << false << "runs ";
    }

    void helloRefused()
    {
        QFETCH(QByteArray, hello);
        QFETCH(bool, trustMe);
        QFETCH(QString, why);
        // A trusted process that owns no socket on the hello's port.
        Probe other({QStringLiteral("squat6"), QStringLiteral("40000")});
        QCOMPARE(other.firstLine(), QByteArray("ready"));
        const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
        const QByteArray otherPid = QByteArray::number(other.pid());
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
    }

    // What the kernel says about the process behind a datagram decides, at
    // the hello and again for the command: a second process of each kind.
    void peerRefused_data()
    {
        QTest::addColumn<QStringList>("probe"); // %PORT% and %VICTIM% replaced
        QTest::addColumn<QStringList>("env");
        QTest::addColumn<QString>("wrapper"); // "" or a shell line run around the probe
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("why");
        const QStringList hello{"hello", "%PORT%"};
        const QStringList remove{"remove", "%VICTIM%"};
        QTest::newRow("genuine hello") << hello << QStringList{} << "" << QByteArray("answered") << "";
        QTest::newRow("genuine command") << remove << QStringList{} << ""
            << QByteArray("[result]1;SUCCESS:%VICTIM%") << "";
        QTest::newRow("traced at the hello") << QStringList{"hello", "%PORT%", "--trace"} << QStringList{} << ""
            << QByteArray("silent") << "hello refused: process %P is traced by ";
        QTest::newRow("LD_PRELOAD set") << hello << QStringList{"LD_PRELOAD="} << ""
            << QByteArray("silent") << "hello refused: process %P carries LD_PRELOAD";
        QTest::newRow("LD_LIBRARY_PATH set") << hello << QStringList{"LD_LIBRARY_PATH=/nowhere"} << ""
            << QByteArray("silent") << "hello refused: process %P carries LD_LIBRARY_PATH";
        QTest::newRow("Qt plug-in path set") << hello << QStringList{"QT_PLUGIN_PATH=/tmp"} << ""
            << QByteArray("silent") << "hello refused: process %P carries QT_PLUGIN_PATH";
        // An untrusted copy bound over the trusted path, where only the
        // copy's own mount namespace sees it.
        QTest::newRow("private mount namespace, trusted path bound over")
            << hello << QStringList{}
            << "cp \"$0\" /tmp/evil && exec unshare -m --propagation private sh -c "
               "'mount --bind /tmp/evil \"$0\" && exec \"$0\" \"$@\"' \"$0\" \"$@\""
            << QByteArray("silent") << "hello refused: process %P is in another mount namespace";
        QTest::newRow("untrusted copy") << hello << QStringList{} << "cp \"$0\" /tmp/copy && exec /tmp/copy \"$@\""
            << QByteArray("silent") << "hello refused: process %P runs /tmp/copy";
        QTest::newRow("trusted file others may write")
            << hello << QStringList{} << "cp \"$0\" /tmp/open-probe && chmod 757 /tmp/open-probe && exec /tmp/open-probe \"$@\""
            << QByteArray("silent") << "hello refused: /tmp/open-probe is not owned by root or may be written by others";
        QTest::newRow("child shares the socket at the command") << QStringList{"remove", "%VICTIM%", "--fork"}
            << QStringList{} << "" << QByteArray("no answer") << "command refused: socket ";
        QTest::newRow("traced at the command") << QStringList{"remove", "%VICTIM%", "--trace"} << QStringList{} << ""
            << QByteArray("no answer") << "command refused: process %P is traced by ";
        // The attacker's copy of the socket waits in a descriptor message,
        // where /proc shows no holder: only the application's closing of
        // what it inherited keeps the socket from being its.
        QTest::newRow("inherited socket, other copy parked in a message") << QStringList{"inherit", "%PORT%"}
            << QStringList{} << "" << QByteArray("silent") << "is not process %P's";
        // (Under the address sanitizer its runtime must not object to a
        // library loaded before it.)
        QTest::newRow("library preloaded, then hidden from the environment")
            << hello << QStringList{}
            << "mkdir -p /tmp/open && chmod 777 /tmp/open && cp \"$KS_BINARY_DIR/tests/helper/libks_inject.so\" "
               "/tmp/open/inject.so && ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 "
               "LD_PRELOAD=/tmp/open/inject.so exec \"$0\" \"$@\""
            << QByteArray("silent") << "hello refused: process %P runs code from /tmp/open/inject.so, which is not root's alone";
        QTest::newRow("plug-in of the user's, no variable at all")
            << QStringList{"hello", "%PORT%", "--dlopen", "/tmp/plugin.so"} << QStringList{}
            << "cp \"$KS_BINARY_DIR/tests/helper/libks_inject.so\" /tmp/plugin.so && chmod 666 /tmp/plugin.so "
               "&& exec \"$0\" \"$@\""
            << QByteArray("silent") << "hello refused: process %P runs code from /tmp/plugin.so, which is not root's alone";
        QTest::newRow("code page rewritten in place") << QStringList{"hello", "%PORT%", "--patch"} << QStringList{} << ""
            << QByteArray("silent") << "hello refused: process %P has changed the code of ";
        QTest::newRow("anonymous executable memory") << QStringList{"hello", "%PORT%", "--jit"} << QStringList{} << ""
            << QByteArray("silent") << "hello refused: process %P runs code from memory that is no file";
        // Under the ids of the sandbox's users (a root host only): 501 is an
        // administrator, 502 a standard user.
        QTest::newRow("administrator") << QStringList{"remove", "%VICTIM%", "--as", "501:20:80"} << QStringList{} << ""
            << QByteArray("[result]1;SUCCESS:%VICTIM%") << "";
        QTest::newRow("administrator, dumpable") << QStringList{"hello", "%PORT%", "--as", "501:20:80", "--dumpable"}
            << QStringList{} << "" << QByteArray("silent") << "hello refused: process %P is dumpable";
        QTest::newRow("standard user, told once for three hellos")
            << QStringList{"hello", "%PORT%", "--thrice", "--as", "502:20"} << QStringList{} << ""
            << QByteArray("not-admin 1") << "belongs to uid 502, who is not an administrator";
        QTest::newRow("standard user sends the command anyway")
            << QStringList{"raw-remove", "%PORT%", "%VICTIM%", "--as", "502:20"} << QStringList{} << ""
            << QByteArray("not-admin 1 no-result") << "belongs to uid 502, who is not an administrator";
        // Root of a user namespace of its own may trace what it started
        // there, non-dumpable or not: its /proc files are the user's.
        QTest::newRow("administrator, started in a user namespace of its own") << hello << QStringList{}
            << "exec setpriv --reuid 501 --regid 20 --groups 80 unshare -U -r \"$0\" \"$@\""
            << QByteArray("silent") << "hello refused: process %P is dumpable";
        QTest::newRow("administrator's account, process without the group")
            << QStringList{"hello", "%PORT%", "--as", "501:20"} << QStringList{} << "" << QByteArray("not-admin 1")
            << "hello refused: process %P runs as uid 501 without the administrators' group 80";
    }

    void peerRefused()
    {
        QFETCH(QStringList, probe);
        QFETCH(QStringList, env);
        QFETCH(QString, wrapper);
        QFETCH(QByteArray, output);
        QFETCH(QString, why);
        if ((probe.contains(QStringLiteral("--as")) || wrapper.contains(QStringLiteral("setpriv")))
            && !ServiceSandbox::hasSecondUid())
            QSKIP("the sandbox has no second uid here (only a root host gives it one)");
        const QString victim = at(QStringLiteral("@/victim"));
        create({"victim"});
        QVERIFY(startService(true, QString(), {QStringLiteral("/tmp/open-probe")}));
        for (QString &a : probe)
            a.replace(QStringLiteral("%PORT%"), QString::number(mBox->port())).replace(QStringLiteral("%VICTIM%"), victim);
        output.replace("%VICTIM%", victim.toUtf8());
        const QByteArray got = wrapper.isEmpty()
            ? runProbe(probeExe(), probe, env)
            : runProbe(QStringLiteral("sh"), QStringList{QStringLiteral("-c"), wrapper, probeExe()} + probe, env);
        QCOMPARE(got, output);
        QCOMPARE(exists(victim), !output.startsWith("[result]"));
        if (why.isEmpty())
            return;
        // The refused process's id is in the log, whichever it was.
        const QString log = mBox->log();
        const QString head = why.section(QStringLiteral("%P"), 0, 0);
        QVERIFY2(log.contains(head) && hasLine(log, head, why.section(QStringLiteral("%P"), 1)), qPrintable(log.right(800)));
    }

    // Taking a request, the service says at once that it is at work, so that
    // the application waits for a large deletion instead of giving up.
    void saysItIsAtWorkFirst()
    {
        create({"tree/", "tree/a", "tree/b"});
        QVERIFY(startService());
        QUdpSocket client;
        QVERIFY(client.bind(QHostAddress(QHostAddress::LocalHost), 0, QUdpSocket::DontShareAddress));
        const QHostAddress service(QHostAddress::LocalHost);
        client.writeDatagram(hpHelloText(QCoreApplication::applicationPid()), service, mBox->port());
        QVERIFY2(client.waitForReadyRead(10000), qPrintable(mBox->log().right(400)));
        QVERIFY(hpIsHello(client.receiveDatagram().data().constData(), 17));
        client.writeDatagram(removeRequest({at(QStringLiteral("@/tree"))}), service, mBox->port());
        QVERIFY(client.waitForReadyRead(10000));
        QCOMPARE(client.receiveDatagram().data(), QByteArray("[working]0"));
        QCOMPARE(answer(client), ("[result]1;SUCCESS:" + at(QStringLiteral("@/tree"))).toUtf8());
        QVERIFY(!exists(at(QStringLiteral("@/tree"))));
    }

    // A process that made itself non-dumpable cannot be attached to, nor its
    // memory written, by another process of its user; a dumpable one can
    // (and the service refuses it, above).
    void unreachable_data()
    {
        QTest::addColumn<QStringList>("target");
        QTest::addColumn<QByteArray>("outcome");
        QTest::newRow("hardened") << QStringList{"idle"} << QByteArray("attach EPERM mem EACCES");
        QTest::newRow("dumpable") << QStringList{"idle", "--dumpable"} << QByteArray("attach ok mem ok");
    }

    void unreachable()
    {
        QFETCH(QStringList, target);
        QFETCH(QByteArray, outcome);
        if (!ServiceSandbox::hasSecondUid())
            QSKIP("the sandbox has no second uid here (only a root host gives it one)");
        // Started as that user, as the application is: a change of ids
        // after the start would make it non-dumpable by itself.
        Probe victim(QStringList{"--reuid", "501", "--regid", "20", "--groups", "80", probeExe()} + target,
                     QStringLiteral("setpriv"));
        QCOMPARE(victim.firstLine(), QByteArray("ready"));
        QCOMPARE(runProbe(probeExe(), {QStringLiteral("reach"), QString::number(victim.pid()), QStringLiteral("--as"),
                                       QStringLiteral("501:20:80")}),
                 outcome);
    }

    // A socket bound to [::]:port with IPv6 only cannot send as 127.0.0.1, so
    // it does not stand beside the client's, at the hello or after it.
    void ipv6SquatterIgnored()
    {
        create({"victim"});
        QVERIFY(startService());
        QUdpSocket client;
        QVERIFY(client.bind(QHostAddress(QHostAddress::LocalHost), 0, QUdpSocket::DontShareAddress));
        Probe squatter({QStringLiteral("squat6"), QString::number(client.localPort())});
        QCOMPARE(squatter.firstLine(), QByteArray("ready"));
        const QHostAddress service(QHostAddress::LocalHost);
        client.writeDatagram(hpHelloText(QCoreApplication::applicationPid()), service, mBox->port());
        QVERIFY2(client.waitForReadyRead(10000), qPrintable(mBox->log().right(400)));
        QVERIFY(hpIsHello(client.receiveDatagram().data().constData(), 17));
        client.writeDatagram(removeRequest({at(QStringLiteral("@/victim"))}), service, mBox->port());
        QCOMPARE(answer(client), ("[result]1;SUCCESS:" + at(QStringLiteral("@/victim"))).toUtf8());
        QVERIFY(!exists(at(QStringLiteral("@/victim"))));
    }

    // Junk from another socket, 200 datagrams a second, neither delays the
    // genuine client nor floods the log.
    void junkFlood()
    {
        QVERIFY(startService());
        const quint16 port = mBox->port();
        std::atomic<bool> stop{false};
        std::thread junk([&stop, port]() {
            QUdpSocket s;
            const QList<QByteArray> forms{
                "garbage", "Kestrelswp-Magic", "Kestrelswp-Magic#1", "Kestrelswp-Magic#999999",
                "Kestrelswp-Magic#abc\n2026.01.01-00:00:00.000- FORGED line\n" + QByteArray(3000, '\x1b'),
                QByteArray(4000, 'x'),
            };
            for (int i = 0; !stop; ++i) {
                s.writeDatagram(forms.at(i % forms.size()), QHostAddress::LocalHost, port);
                QThread::msleep(5);
            }
        });
        QElapsedTimer flood;
        flood.start();
        QThread::msleep(500);
        const QByteArray result = exchange(removeRequest({at("@/none")}));
        // Into a second window of the log's limit, which then says what it left out.
        while (flood.elapsed() < 2500)
            QThread::msleep(100);
        stop = true;
        junk.join();
        const qint64 seconds = flood.elapsed() / 1000 + 1;
        QVERIFY(sClientLog.contains(QStringLiteral("Found Server: 127.0.0.1:%1,").arg(port)));
        QCOMPARE(result, ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        const QString log = mBox->log();
        QVERIFY(!log.contains(QStringLiteral("\n2026.01.01-00:00:00.000- FORGED")));
        QVERIFY(log.count(QStringLiteral("hello refused: ")) <= 20 * (seconds + 1));
        QVERIFY(log.contains(QStringLiteral("more refused datagrams not logged")));
        for (const QStringRef &line : log.splitRef(QLatin1Char('\n')))
            QVERIFY2(line.size() < 600, qPrintable(line.left(200).toString()));
    }

    // A stand-in on the first port, run by an ordinary user, is passed over
    // for the service that root runs on the next one.
    void portFallback()
    {
        if (!ServiceSandbox::hasSecondUid())
            QSKIP("the sandbox has no second uid here (only a root host gives it one): cannot run the stand-in as a user");
        Probe squatter({QStringLiteral("fake-service"), QStringLiteral("7755"), QStringLiteral("65534")});
        QCOMPARE(squatter.firstLine(), QByteArray("ready"));
        // Alone, the stand-in is heard and not believed: no service at all.
        QVERIFY(!hpClientInit());
        QCOMPARE(hpClientVerdict(), HpServiceVerdict::Missing);
        QVERIFY(sClientLog.contains(QStringLiteral("recv Kestrelswp-Magic#%1 from:127.0.0.1:7755").arg(squatter.pid())));
        QVERIFY(sClientLog.contains(QStringLiteral("not the service on port 7755: port 7755 is held by uid 65534")));
        QVERIFY(startService());
        QCOMPARE(mBox->port(), quint16(8855));
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        QVERIFY(sClientLog.contains(QStringLiteral("Found Server: 127.0.0.1:8855,")));
    }

    void portNotShared()
    {
        QVERIFY(startService());
        const auto shared = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
        QUdpSocket a, b;
        QVERIFY(!a.bind(QHostAddress::AnyIPv4, mBox->port(), shared));
        QVERIFY(!b.bind(QHostAddress::LocalHost, mBox->port(), shared));
    }

    // The client takes a reply only from the port it probed, with the magic
    // and one byte more, and afterwards listens to that peer alone.
    void clientHandshake()
    {
        QVERIFY(handshakeWithFake({"@Kestrelswp-Magic#7", "Kestrelswp-Magic", "Kestrelswp-Magi#1", "Kestrelswp-Magic#"}));
        QVERIFY(sClientLog.contains(QStringLiteral("Found Server: 127.0.0.1:7755,0\n")));
        QCOMPARE(sClientLog.count(QStringLiteral("recv ")), 1);
        QVERIFY(!hpClientPeerAlive()); // process id 0 is nobody

        QUdpSocket stranger;
        QVERIFY(stranger.writeDatagram("[result]1;SUCCESS:/x", QHostAddress::LocalHost, ntohs(mFakeClient.sin_port)) > 0);
        sendto(mFakeFd, "[result]0;", 10, 0, reinterpret_cast<sockaddr *>(&mFakeClient), sizeof mFakeClient);
        char buf[1024];
        const int n = hpClientRecv(buf, 1023, 10000);
        QCOMPARE(QByteArray(buf, qMax(n, 0)), QByteArray("[result]0;"));
    }

    // Alive means exactly the process the service named.
    void peerAlive()
    {
        QProcess gone;
        gone.start(QStringLiteral("true"), QStringList());
        QVERIFY(gone.waitForStarted());
        const qint64 goneId = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QList<QPair<qint64, bool>> cases{{QCoreApplication::applicationPid(), true}, {1, true}, {goneId, false}};
        for (const auto &c : cases) {
            QVERIFY(handshakeWithFake({"Kestrelswp-Magic#" + QByteArray::number(c.first)}));
            QCOMPARE(hpClientPeerAlive(), c.second);
            hpClientUninit();
            ::close(mFakeFd);
            mFakeFd = -1;
        }
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
        QVERIFY(mBox->log().contains(QStringLiteral("------------Kestrelsweep Service (5, %1)-------------\n")
                                         .arg(ServiceSandbox::serviceExe())));
        ServiceSandbox second;
        QVERIFY(second.start({}));
        QCOMPARE(second.waitForExit(20000), 1);
        QVERIFY(mBox->log().contains(QStringLiteral("app.alreadyExists() we exiting\n")));
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());

        // A copy that died without cleaning up keeps nothing out.
        mBox->kill9();
        QVERIFY(mBox->waitForExit(20000) != 0);
        ServiceSandbox third;
        QVERIFY(third.start({QStringLiteral("--trust"), QCoreApplication::applicationFilePath()}));
        QVERIFY(third.running());
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
    }

    // A fake installer that records its arguments, the bytes it was given
    // and the mode of their folder; it fails for packages named Failing*.
    QString writeInstaller()
    {
        const QByteArray out = mTmp->path().toUtf8();
        const QString exe = mTmp->path() + QStringLiteral("/installer");
        touch(exe, "#!/bin/sh\ncase \"$3\" in */Failing*) exit 1 ;; esac\n"
                   "echo \"$@\" > " + out + "/installer.args\ncat \"$3\" > " + out + "/installer.pkg\n"
                   "stat -c %a \"${3%/*}\" > " + out + "/installer.mode\n");
        QFile::setPermissions(exe, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        return exe;
    }

    // Only a package signed for a newer version than the bundle in place is
    // installed; see reinstallRefused for older and equal ones.
    void reinstall_data()
    {
        QTest::addColumn<QByteArray>("installed");
        QTest::addColumn<QByteArray>("version");
        QTest::newRow("1.0.10 over 1.0.9") << QByteArray("1.0.9") << QByteArray("1.0.10");
        QTest::newRow("2.0 over 1.99.99.1") << QByteArray("1.99.99.1") << QByteArray("2.0");
    }

    void reinstall()
    {
        QFETCH(QByteArray, installed);
        QFETCH(QByteArray, version);
        const auto keys = newKeyPair();
        QVERIFY(!keys.first.isEmpty());
        QVERIFY(setInstalled(installed));
        const QByteArray package = "signed package\0with a NUL" + QByteArray(200000, 'p');
        QVERIFY(touch(mBox->mountDir() + QStringLiteral("/Update.pkg"), package));
        QVERIFY(touch(mBox->mountDir() + QStringLiteral("/Update.pkg.sig"), signPackage(package, keys.second, version)));
        // Left over from an earlier attempt, in a folder opened up since.
        const QString copies = ServiceSandbox::logDir() + QStringLiteral("/update");
        QVERIFY(QDir().mkpath(copies));
        QVERIFY(touch(copies + QStringLiteral("/stale")));
        QFile::setPermissions(copies, QFile::permissions(copies) | QFileDevice::ReadOther | QFileDevice::ExeOther);
        QVERIFY(mBox->start({QStringLiteral("--trust"), QCoreApplication::applicationFilePath(),
                             QStringLiteral("--update-key"), QString::fromLatin1(keys.first.toHex()),
                             QStringLiteral("--installer"), writeInstaller()}));

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
        QCOMPARE(args.readAll(), QByteArray("-verboseR -pkg /usr/local/Kestrelsweep/update/Update.pkg -target /\n"));
        QFile given(mTmp->path() + QStringLiteral("/installer.pkg"));
        QVERIFY(given.open(QIODevice::ReadOnly));
        QVERIFY(given.readAll() == package);
        QFile mode(mTmp->path() + QStringLiteral("/installer.mode"));
        QVERIFY(mode.open(QIODevice::ReadOnly));
        QCOMPARE(mode.readAll(), QByteArray("700\n"));
        QCOMPARE(QDir(copies).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden), QStringList());
    }

    // What tools/make-update builds, the service installs: the page's
    // signature covers the image, the package's its bytes, under one key.
    void reinstallMadeUpdate()
    {
        const QString tool = qEnvironmentVariable("KS_SOURCE_DIR") + QStringLiteral("/tools/make-update");
        const QString dir = mTmp->path();
        const QByteArray hex = runProbe(tool, {QStringLiteral("--new-key"), dir + QStringLiteral("/key.pem")});
        const QByteArray key = hpPublicKeyFromHex(hex);
        QVERIFY2(!key.isEmpty(), hex.constData());
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/Old.app/Contents/MacOS")));
        QVERIFY(touch(dir + QStringLiteral("/Old.app/Contents/MacOS/Kestrelsweep"), "program"));
        QVERIFY(touch(dir + QStringLiteral("/Old.app/Contents/Info.plist"),
                      "<dict>\n<key>CFBundleShortVersionString</key>\n<string>1.0</string>\n</dict>\n"));
        runProbe(tool, {QStringLiteral("--key"), dir + QStringLiteral("/key.pem"), QStringLiteral("--version"),
                        QStringLiteral("2.5.0"), QStringLiteral("--bundle"), dir + QStringLiteral("/Old.app"),
                        QStringLiteral("--out"), dir + QStringLiteral("/out")});
        QFile image(dir + QStringLiteral("/out/Kestrelsweep-2.5.0.dmg"));
        QVERIFY(image.open(QIODevice::ReadOnly));
        QCOMPARE(QDir(dir + QStringLiteral("/out")).entryList({QStringLiteral("version-*.html")}).size(), 8);
        QFile page(dir + QStringLiteral("/out/version-en.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray html = page.readAll();
        QVERIFY(html.contains("<title>2.5.0</title>"));
        QVERIFY(html.contains("<dllink hidden>http://www.vextora.com/dl/Kestrelsweep/OSX/Kestrelsweep-2.5.0.dmg</dllink>"));
        const int from = html.indexOf("<signature hidden>") + 18;
        const QByteArray sig = QByteArray::fromBase64(html.mid(from, html.indexOf("</signature>") - from));
        const QByteArray imageBytes = image.readAll();
        QVERIFY(hpSignatureValid(hpUpdateSignedMessage("2.5.0", imageBytes), sig, key));
        QVERIFY(!hpSignatureValid(hpUpdateSignedMessage("2.5.1", imageBytes), sig, key));
        QVERIFY(setInstalled("1.0"));

        QCOMPARE(runProbe(QStringLiteral("tar"), {QStringLiteral("-tf"), image.fileName()}),
                 QByteArray("Kestrelsweep.pkg\nKestrelsweep.pkg.sig"));
        runProbe(QStringLiteral("tar"), {QStringLiteral("-xf"), image.fileName(), QStringLiteral("-C"), mBox->mountDir()});
        // The package's signature carries the version, and neither signature
        // passes for the other's message.
        QFile packageFile(mBox->mountDir() + QStringLiteral("/Kestrelsweep.pkg"));
        QFile signatureFile(mBox->mountDir() + QStringLiteral("/Kestrelsweep.pkg.sig"));
        QVERIFY(packageFile.open(QIODevice::ReadOnly) && signatureFile.open(QIODevice::ReadOnly));
        const QByteArray packageBytes = packageFile.readAll();
        QByteArray signedVersion, packageSig;
        QVERIFY(hpPackageSignatureSplit(signatureFile.readAll(), &signedVersion, &packageSig));
        QCOMPARE(signedVersion, QByteArray("2.5.0"));
        QVERIFY(hpSignatureValid(hpPackageSignedMessage("2.5.0", packageBytes), packageSig, key));
        QVERIFY(!hpSignatureValid(hpPackageSignedMessage("2.5.0", imageBytes), sig, key));
        QVERIFY(!hpSignatureValid(hpUpdateSignedMessage("2.5.0", packageBytes), packageSig, key));
        QVERIFY(mBox->start({QStringLiteral("--trust"), QCoreApplication::applicationFilePath(),
                             QStringLiteral("--update-key"), QString::fromLatin1(hex), QStringLiteral("--installer"),
                             writeInstaller()}));
        QCOMPARE(exchange(b64("[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/Kestrelsweep.pkg -target /")),
                 QByteArray("quit"));
        QCOMPARE(mBox->waitForExit(20000), 0);
        const QString installed = dir + QStringLiteral("/installer.pkg");
        QCOMPARE(runProbe(QStringLiteral("tar"), {QStringLiteral("-xOf"), installed,
                                                  QStringLiteral("Applications/Kestrelsweep.app/Contents/Info.plist")}),
                 QByteArray("<dict>\n<key>CFBundleShortVersionString</key>\n<string>2.5.0</string>\n</dict>"));
    }

    void reinstallRefused_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("why");
        QTest::addColumn<QByteArray>("installed"); // see setInstalled
        const auto row = [](const char *name, const QByteArray &command, const char *why,
                            const QByteArray &installed = "1.0.10") {
            QTest::newRow(name) << command << QString::fromLatin1(why) << installed;
        };
        row("any command", "[reinstall]touch @/x", "not the installer command");
        row("command after the form",
            "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/Update.pkg -target /;touch @/x",
            "not the installer command");
        row("package outside the mount folder", "[reinstall]sudo installer -verboseR -pkg @/Other.pkg -target /",
            "package is not in");
        // Each of these has everything right but the one thing its name says.
        const QByteArray head = "[reinstall]sudo installer -verboseR -pkg /tmp/Kestrelsweep/";
        row("package is a link", head + "Link.pkg -target /", "is not a regular file");
        row("package is a folder", head + "Folder.pkg -target /", "is not a regular file");
        row("package missing", head + "None.pkg -target /", "is not a regular file");
        row("unsigned package", head + "Unsigned.pkg -target /", "Unsigned.pkg.sig is not a regular file");
        row("altered package", head + "Altered.pkg -target /", "is not the maker's");
        row("signature of another key", head + "Stranger.pkg -target /", "is not the maker's");
        row("signature is a link", head + "LinkSig.pkg -target /", "LinkSig.pkg.sig is not a regular file");
        row("signature too long", head + "Long.pkg -target /", "Long.pkg.sig is not a package signature");
        row("installer fails", head + "Failing.pkg -target /", "the installer failed (status 1)");
        // Genuinely signed, but not forward from the installed 1.0.10.
        row("1.0.9 vs 1.0.10", head + "Older.pkg -target /",
            "the package's version 1.0.9 is not newer than the installed 1.0.10");
        row("equal", head + "Equal.pkg -target /", "the package's version 1.0.10 is not newer than the installed 1.0.10");
        row("equal with a trailing zero", head + "EqualZero.pkg -target /", "version 1.0.10.0 is not newer");
        row("older signed release", head + "Old.pkg -target /", "version 0.9.0 is not newer");
        row("signed version does not parse", head + "Beta.pkg -target /", "version 2.0b is not newer");
        row("installed version does not parse", head + "Good.pkg -target /", "version 2.0 is not newer than the installed 1.0 beta",
            "1.0 beta");
        // The maker's signatures, but not over this package with this version.
        row("page signature replayed as package signature", head + "Replayed.pkg -target /", "is not the maker's");
        row("version in the signature file raised", head + "Raised.pkg -target /", "is not the maker's");
        row("unlabelled signature", head + "Raw.pkg -target /", "Raw.pkg.sig is not a package signature");
        // A package that would pass, but the installed version is not known.
        row("installed Info.plist missing", head + "Good.pkg -target /", "installed version is unknown", "@missing");
        row("installed Info.plist is a link", head + "Good.pkg -target /", "Info.plist is not a regular file (a link)",
            "@link");
        row("installed Info.plist is a FIFO", head + "Good.pkg -target /", "Info.plist is not a regular file", "@fifo");
        row("installed Info.plist without the version", head + "Good.pkg -target /",
            "names no CFBundleShortVersionString", "@nokey");
    }

    void reinstallRefused()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, why);
        QFETCH(QByteArray, installed);
        QVERIFY(setInstalled(installed));
        const auto keys = newKeyPair();
        const auto stranger = newKeyPair();
        const QString mount = mBox->mountDir() + QLatin1Char('/');
        const QByteArray pkg = "package";
        QVERIFY(touch(mData + QStringLiteral("/Other.pkg")));
        QVERIFY(touch(mData + QStringLiteral("/Real.pkg"), pkg));
        QVERIFY(touch(mData + QStringLiteral("/Real.pkg.sig"), signPackage(pkg, keys.second)));
        QVERIFY(QFile::link(mData + QStringLiteral("/Real.pkg"), mount + QStringLiteral("Link.pkg")));
        QVERIFY(touch(mount + QStringLiteral("Link.pkg.sig"), signPackage(pkg, keys.second)));
        QVERIFY(QDir().mkpath(mount + QStringLiteral("Folder.pkg")));
        QVERIFY(touch(mount + QStringLiteral("Unsigned.pkg"), pkg));
        QVERIFY(touch(mount + QStringLiteral("Altered.pkg"), "packagf"));
        QVERIFY(touch(mount + QStringLiteral("Altered.pkg.sig"), signPackage(pkg, keys.second)));
        QVERIFY(touch(mount + QStringLiteral("Stranger.pkg"), pkg));
        QVERIFY(touch(mount + QStringLiteral("Stranger.pkg.sig"), signPackage(pkg, stranger.second)));
        QVERIFY(touch(mount + QStringLiteral("LinkSig.pkg"), pkg));
        QVERIFY(QFile::link(mData + QStringLiteral("/Real.pkg.sig"), mount + QStringLiteral("LinkSig.pkg.sig")));
        QVERIFY(touch(mount + QStringLiteral("Long.pkg"), pkg));
        QVERIFY(touch(mount + QStringLiteral("Long.pkg.sig"), signPackage(pkg, keys.second) + '\n'));
        QVERIFY(touch(mount + QStringLiteral("Failing.pkg"), pkg));
        QVERIFY(touch(mount + QStringLiteral("Failing.pkg.sig"), signPackage(pkg, keys.second)));
        for (const auto &signedAs : {qMakePair(QStringLiteral("Older"), QByteArray("1.0.9")),
                                     qMakePair(QStringLiteral("Equal"), QByteArray("1.0.10")),
                                     qMakePair(QStringLiteral("EqualZero"), QByteArray("1.0.10.0")),
                                     qMakePair(QStringLiteral("Old"), QByteArray("0.9.0")),
                                     qMakePair(QStringLiteral("Beta"), QByteArray("2.0b")),
                                     qMakePair(QStringLiteral("Good"), QByteArray("2.0"))}) {
            QVERIFY(touch(mount + signedAs.first + QStringLiteral(".pkg"), pkg));
            QVERIFY(touch(mount + signedAs.first + QStringLiteral(".pkg.sig"), signPackage(pkg, keys.second, signedAs.second)));
        }
        QVERIFY(touch(mount + QStringLiteral("Replayed.pkg"), pkg));
        QVERIFY(touch(mount + QStringLiteral("Replayed.pkg.sig"),
                      hpPackageSignatureFile("2.0", sign(hpUpdateSignedMessage("2.0", pkg), keys.second))));
        QVERIFY(touch(mount + QStringLiteral("Raised.pkg"), pkg));
        QVERIFY(touch(mount + QStringLiteral("Raised.pkg.sig"),
                      hpPackageSignatureFile("9.0", sign(hpPackageSignedMessage("1.0.9", pkg), keys.second))));
        QVERIFY(touch(mount + QStringLiteral("Raw.pkg"), pkg));
        QVERIFY(touch(mount + QStringLiteral("Raw.pkg.sig"), sign(pkg, keys.second)));
        QVERIFY(mBox->start({QStringLiteral("--trust"), QCoreApplication::applicationFilePath(),
                             QStringLiteral("--trust"), probeExe(),
                             QStringLiteral("--update-key"), QString::fromLatin1(keys.first.toHex()),
                             QStringLiteral("--installer"), writeInstaller()}));

        QVERIFY(hpClientInit());
        const QByteArray cmd = b64(at(QString::fromLatin1(command)).toLatin1());
        QCOMPARE(hpClientSend(cmd.constData(), cmd.size()), cmd.size());
        char buf[1024];
        const int n = hpClientRecv(buf, 1023, 40000);
        QCOMPARE(QByteArray(buf, qMax(n, 0)), QByteArray("[result]0;"));
        QVERIFY(mBox->waitForLog(QStringLiteral("reinstall refused: "), 15000));
        QVERIFY2(hasLine(mBox->log(), QStringLiteral("reinstall refused: "), why), qPrintable(mBox->log().right(400)));
        hpClientUninit();
        // Nothing was installed, and the service goes on serving.
        QCOMPARE(exchange(removeRequest({at("@/none")})), ("[result]1;SUCCESS:" + at("@/none")).toUtf8());
        QVERIFY(mBox->running());
        QVERIFY(!exists(at("@/x")));
        QVERIFY(!exists(mTmp->path() + QStringLiteral("/installer.args")));
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
            // Counted only while the service is idle: checking a peer opens
            // files for a moment.
            const bool count = i == 99 || i == 499;
            const int logged = mBox->log().size();
            raw.writeDatagram(cmd, QHostAddress::LocalHost, port);
            // The next hello waits in the queue while this command is handled.
            if (!count)
                raw.writeDatagram(hello, QHostAddress::LocalHost, port);
            const QByteArray result = answer(raw);
            QVERIFY2(result.startsWith("[result]"), result.constData());
            if (i % 4 == 0)
                QCOMPARE(result, ("[result]1;SUCCESS:" + at(QStringLiteral("@/f%1").arg(i))).toUtf8());
            if (count) {
                QVERIFY(mBox->waitForLog(QStringLiteral("hpServerWait begin"), 10000, logged));
                if (i == 99) {
                    fdsAfterWarmUp = openFiles(pid);
                    rssAfterWarmUp = procStatus(pid, "VmRSS");
                    raw.writeDatagram(hello, QHostAddress::LocalHost, port);
                }
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

int main(int argc, char **argv)
{
    // The test plays the genuine application.
    hpHardenProcess();
    ServiceSandbox::enter(argc, argv);
    QCoreApplication app(argc, argv);
    TestService test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_service.moc"
