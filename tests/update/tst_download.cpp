#include "AppEnv.h"
#include "DownloadDlg.h"
#include "LocalHttpServer.h"
#include "MsgDlg.h"
#include "hpSignature.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sodium.h>

namespace {
// Downloads and checks take real work: a bound for a run that hangs, never a
// measure of speed.
const int kWaitMs = 120000;

// Notes every message box's texts and answers it with Ok.
class BoxAnswerer : public QObject
{
public:
    QStringList boxes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<MsgDlg *>(watched)) {
            QStringList texts;
            for (QLabel *label : watched->findChildren<QLabel *>()) {
                if (!label->text().isEmpty())
                    texts << label->text();
            }
            boxes << texts.join(QLatin1Char('|'));
            QMetaObject::invokeMethod(watched, "done", Qt::QueuedConnection, Q_ARG(int, QMessageBox::Yes));
        }
        return false;
    }
};
} // namespace

// The download dialog against a loopback server: progress display, the
// signature check before anything is kept, and cancelling.
class TestDownload : public QObject
{
    Q_OBJECT

    QTemporaryDir mTmp;
    QString mData;
    QByteArray mSecret;
    LocalHttpServer mServer;
    BoxAnswerer mBoxes;

    // The Base64 signature of message, as a version page carries it.
    QByteArray sign(const QByteArray &message) const
    {
        QByteArray sig(crypto_sign_BYTES, 0);
        crypto_sign_detached(reinterpret_cast<unsigned char *>(sig.data()), nullptr,
                             reinterpret_cast<const unsigned char *>(message.constData()), message.size(),
                             reinterpret_cast<const unsigned char *>(mSecret.constData()));
        return sig.toBase64();
    }

    static bool write(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QStringList entries() const
    {
        QStringList names = QDir(mData).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }

    template <typename T> static T *child(QWidget *dlg, const char *name)
    {
        return dlg->findChild<T *>(QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(sodium_init() >= 0);
        QByteArray pk(crypto_sign_PUBLICKEYBYTES, 0);
        mSecret.resize(crypto_sign_SECRETKEYBYTES);
        crypto_sign_keypair(reinterpret_cast<unsigned char *>(pk.data()), reinterpret_cast<unsigned char *>(mSecret.data()));
        qputenv("KS_TEST_UPDATE_PUBKEY", pk.toHex());
        mData = mTmp.path() + QStringLiteral("/data");
        QVERIFY(QDir().mkpath(mData));
        QVERIFY(AppEnv::setEnv(envDataPath, mData));
        QVERIFY(AppEnv::setEnv(envLocalVersion, mData + QStringLiteral("/version.html")));
        QVERIFY(AppEnv::setEnv(envPreferencesFile, mTmp.path() + QStringLiteral("/com.vextora.Kestrelsweep.plist")));
        // The running version.
        const QString info = mTmp.path() + QStringLiteral("/Info.plist");
        QFile plist(info);
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                    "<key>CFBundleShortVersionString</key><string>1.0.10</string></dict></plist>\n");
        plist.close();
        QVERIFY(AppEnv::setEnv(envInfoPlist, info));
        QVERIFY(mServer.listen());
        qApp->installEventFilter(&mBoxes);
    }

    void progress_data()
    {
        QTest::addColumn<qint64>("received");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("maximum"); // 0: busy
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("1,000,000 bytes still in KB") << qint64(1000000) << qint64(1000000) << 100 << 100
                                                     << "1000.00 KB of 1000.00 KB";
        QTest::newRow("1,000,001 bytes in MB") << qint64(1000001) << qint64(1000001) << 100 << 100 << "1.00 MB of 1.00 MB";
        QTest::newRow("half of 20,000,000") << qint64(10000000) << qint64(20000000) << 100 << 50 << "10.00 MB of 20.00 MB";
        QTest::newRow("unknown total -1: busy, bytes so far") << qint64(1500) << qint64(-1) << 0 << -1 << "1.50 KB";
        QTest::newRow("unknown total 0, past a megabyte") << qint64(2500000) << qint64(0) << 0 << -1 << "2.50 MB";
    }

    void progress()
    {
        QFETCH(qint64, received);
        QFETCH(qint64, total);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(QString, label);
        LocalHttpServer::Response silent;
        silent.silent = true;
        mServer.serve(QStringLiteral("/silent.dmg"), silent);
        QPointer<DownloadDlg> dlg = new DownloadDlg(nullptr, mServer.url(QStringLiteral("/silent.dmg")),
                                                    QStringLiteral("2.0"), QByteArray());
        QVERIFY(QMetaObject::invokeMethod(dlg, "onDownloadProgress", Q_ARG(qint64, received), Q_ARG(qint64, total)));
        auto *bar = child<QProgressBar>(dlg, "progressBar");
        QCOMPARE(bar->maximum(), maximum);
        if (value >= 0)
            QCOMPARE(bar->value(), value);
        QCOMPARE(child<QLabel>(dlg, "labelInfo")->text(), label);
        delete dlg;
    }

    // From the address to either "Ready to install" with the image kept, or
    // "Update Error" with nothing of the download left in the data folder.
    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("serving"); // plain, unannounced, chunked past its length, 3 GiB announced, over a 100000-byte limit, stalls
        QTest::addColumn<QString>("version"); // the page's, which the page signature covers
        QTest::addColumn<QString>("signature"); // good, other-image, other-version, package, garbage, none
        QTest::addColumn<bool>("asked");        // the image was requested at all
        QTest::addColumn<bool>("ready");
        const auto row = [](const char *name, const char *path, const char *serving, const char *signature, bool asked,
                            bool ready, const char *version = "2.0", int status = 200) {
            QTest::newRow(name) << QString::fromLatin1(path) << status << QString::fromLatin1(serving)
                                << QString::fromLatin1(version) << QString::fromLatin1(signature) << asked << ready;
        };
        const char *image = "/dl/Kestrelsweep-2.0.dmg";
        row("signed image", image, "plain", "good", true, true);
        row("signed image, size not announced", image, "unannounced", "good", true, true);
        row("1.0.11 vs 1.0.10", "/dl/Kestrelsweep-1.0.11.dmg", "plain", "good", true, true, "1.0.11");
        row("signature of another image", image, "plain", "other-image", true, false);
        row("signature of another version", image, "plain", "other-version", true, false);
        row("package signature replayed as page signature", image, "plain", "package", true, false);
        row("signature not Base64 of 64 bytes", image, "plain", "garbage", true, false);
        row("signature missing", image, "plain", "none", true, false);
        row("HTTP error", image, "plain", "good", true, false, "2.0", 404);
        // Not even asked for: not newer than the running 1.0.10, however signed.
        row("older signed release", "/dl/Kestrelsweep-0.9.0.dmg", "plain", "good", false, false, "0.9.0");
        row("1.0.9 vs 1.0.10", "/dl/Kestrelsweep-1.0.9.dmg", "plain", "good", false, false, "1.0.9");
        row("equal", "/dl/Kestrelsweep-1.0.10.dmg", "plain", "good", false, false, "1.0.10");
        row("version not a release", "/dl/Kestrelsweep-2.0b.dmg", "plain", "good", false, false, "2.0b");
        // Longer than announced or allowed: stopped, and the part removed.
        row("longer than announced", image, "chunked past its length", "good", true, false);
        row("announces more than 2 GiB", image, "3 GiB announced", "good", true, false);
        row("past the limit, size not announced", image, "over a 100000-byte limit", "good", true, false);
        // A server that goes quiet half way is given up, not waited for.
        row("server stops sending", image, "stalls", "good", true, false);
        // Names the data folder may not take: nothing asked, nothing replaced.
        row("address ends in /", "/dl/", "plain", "good", false, false);
        row("address ends in /..", "/dl/..", "plain", "good", false, false);
        row("the log", "/dl/main.log", "plain", "good", false, false);
        row("the log, other letter case", "/dl/Main.LOG", "plain", "good", false, false);
        row("the settings file", "/dl/com.vextora.Kestrelsweep.plist", "plain", "good", false, false);
        row("a size cache", "/dl/sizeList.plist", "plain", "good", false, false);
        row("the time cache", "/dl/timeList.plist", "plain", "good", false, false);
        row("the page copy", "/dl/version.html", "plain", "good", false, false);
        row("a hidden name", "/dl/.Kestrelsweep-2.0.dmg", "plain", "good", false, false);
        row("a file the data folder holds", "/dl/kept.dmg", "plain", "good", false, false);
        row("a folder the data folder holds", "/dl/icon", "plain", "good", false, false);
    }

    void download()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        QFETCH(QString, serving);
        QFETCH(QString, version);
        QFETCH(QString, signature);
        QFETCH(bool, asked);
        QFETCH(bool, ready);
        QDir(mData).removeRecursively();
        QVERIFY(QDir().mkpath(mData + QStringLiteral("/icon")));
        QVERIFY(write(mData + QStringLiteral("/kept.dmg"), "the user's"));
        const QStringList before = entries();
        mBoxes.boxes.clear();

        QByteArray image(300000, 0);
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7);
        LocalHttpServer::Response response;
        response.status = status;
        response.body = image;
        response.announceLength = serving != QLatin1String("unannounced") && !serving.startsWith(QLatin1String("over"));
        // These go on for 64 MiB more, sent only as fast as the dialog reads.
        if (serving == QLatin1String("chunked past its length")) {
            response.chunked = true;
            response.claimedLength = 100000;
        } else if (serving == QLatin1String("3 GiB announced")) {
            response.claimedLength = qint64(3) << 30;
        } else if (serving.startsWith(QLatin1String("over"))) {
            DownloadDlg::setSizeLimit(100000);
        } else if (serving == QLatin1String("stalls")) {
            response.stallAfter = 1000;
            DownloadDlg::setStallLimit(300);
        }
        if (serving != QLatin1String("plain") && serving != QLatin1String("unannounced") && serving != QLatin1String("stalls"))
            response.filler = qint64(64) << 20;
        struct Restore {
            ~Restore()
            {
                DownloadDlg::setSizeLimit(qint64(2) << 30);
                DownloadDlg::setStallLimit(60000);
            }
        } restore;
        mServer.serve(path, response);
        const int requestsBefore = mServer.requests().size();
        const QByteArray v = version.toLatin1();
        QByteArray sig;
        if (signature == QLatin1String("good"))
            sig = sign(hpUpdateSignedMessage(v, image));
        else if (signature == QLatin1String("other-image"))
            sig = sign(hpUpdateSignedMessage(v, image + 'x'));
        else if (signature == QLatin1String("other-version"))
            sig = sign(hpUpdateSignedMessage("1.9", image));
        else if (signature == QLatin1String("package"))
            sig = sign(hpPackageSignedMessage(v, image));
        else if (signature == QLatin1String("garbage"))
            sig = "not*base64";

        QPointer<DownloadDlg> dlg = new DownloadDlg(nullptr, mServer.url(path), version, sig);
        dlg->show();
        const QString name = path.section(QLatin1Char('/'), -1);
        if (ready) {
            QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(dlg, "pushButtonInstall")->isVisible(), kWaitMs);
            QCOMPARE(child<QLabel>(dlg, "labelTitle")->text(), QStringLiteral("Ready to install"));
            QVERIFY(!child<QPushButton>(dlg, "pushButtonCancel")->isVisible());
            QStringList now = QStringList(before) << name;
            now.sort();
            QCOMPARE(entries(), now);
            QFile kept(mData + QLatin1Char('/') + name);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QVERIFY(kept.readAll() == image);
            QCOMPARE(mBoxes.boxes, QStringList());
            // Closed without installing: the next attempt needs the name free.
            delete dlg;
            QCOMPARE(entries(), before);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(dlg.isNull(), kWaitMs);
        QCOMPARE(mBoxes.boxes.size(), 1);
        QVERIFY2(mBoxes.boxes.first().contains(QLatin1String("Update Error"))
                     && mBoxes.boxes.first().contains(QLatin1String("An error ocured while downloading the update.")),
                 qPrintable(mBoxes.boxes.first()));
        // Nothing of the download is left, and nothing that was there is changed.
        QCOMPARE(entries(), before);
        QCOMPARE(read(mData + QStringLiteral("/kept.dmg")), QByteArray("the user's"));
        QCOMPARE(mServer.requests().size(), requestsBefore + (asked ? 1 : 0));
        // Stopped where the limit was passed, a few socket buffers before the end.
        if (response.filler > 0)
            QVERIFY2(mServer.sent(path) < qint64(16) << 20, qPrintable(QString::number(mServer.sent(path))));
    }

    // Cancel mid-download closes the dialog without an error box and removes
    // what had arrived: the data folder's names are not taken over later.
    void cancelRemovesPartialFile()
    {
        QDir(mData).removeRecursively();
        QVERIFY(QDir().mkpath(mData));
        mBoxes.boxes.clear();
        LocalHttpServer::Response stalled;
        stalled.body = QByteArray(200000, 'k');
        stalled.stallAfter = 50000;
        mServer.serve(QStringLiteral("/big.dmg"), stalled);
        QPointer<DownloadDlg> dlg = new DownloadDlg(nullptr, mServer.url(QStringLiteral("/big.dmg")),
                                                    QStringLiteral("2.0"), sign(hpUpdateSignedMessage("2.0", stalled.body)));
        dlg->show();
        const QString file = mData + QStringLiteral("/big.dmg");
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(file).size(), qint64(50000), kWaitMs);
        child<QPushButton>(dlg, "pushButtonCancel")->click();
        QTRY_VERIFY_WITH_TIMEOUT(dlg.isNull(), kWaitMs);
        QTest::qWait(50);
        QCOMPARE(mBoxes.boxes, QStringList());
        QVERIFY(!QFileInfo::exists(file));
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
