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

    QByteArray sign(const QByteArray &version, const QByteArray &image) const
    {
        const QByteArray message = hpUpdateSignedMessage(version, image);
        QByteArray sig(crypto_sign_BYTES, 0);
        crypto_sign_detached(reinterpret_cast<unsigned char *>(sig.data()), nullptr,
                             reinterpret_cast<const unsigned char *>(message.constData()), message.size(),
                             reinterpret_cast<const unsigned char *>(mSecret.constData()));
        return sig.toBase64();
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
    // "Update Error" with nothing left in the data folder.
    void download_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("announce");
        QTest::addColumn<QString>("signature"); // good, other-image, other-version, garbage, none
        QTest::addColumn<bool>("ready");
        QTest::newRow("signed image") << "/dl/Kestrelsweep-2.0.dmg" << 200 << true << "good" << true;
        QTest::newRow("signed image, size not announced") << "/dl/Kestrelsweep-2.0.dmg" << 200 << false << "good" << true;
        QTest::newRow("signature of another image") << "/dl/Kestrelsweep-2.0.dmg" << 200 << true << "other-image" << false;
        QTest::newRow("signature of another version") << "/dl/Kestrelsweep-2.0.dmg" << 200 << true << "other-version"
                                                      << false;
        QTest::newRow("signature not Base64 of 64 bytes") << "/dl/Kestrelsweep-2.0.dmg" << 200 << true << "garbage" << false;
        QTest::newRow("signature missing") << "/dl/Kestrelsweep-2.0.dmg" << 200 << true << "none" << false;
        QTest::newRow("HTTP error") << "/dl/Kestrelsweep-2.0.dmg" << 404 << true << "good" << false;
        QTest::newRow("address ends in /") << "/dl/" << 200 << true << "good" << false;
        QTest::newRow("address ends in /..") << "/dl/.." << 200 << true << "good" << false;
    }

    void download()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        QFETCH(bool, announce);
        QFETCH(QString, signature);
        QFETCH(bool, ready);
        QDir(mData).removeRecursively();
        QVERIFY(QDir().mkpath(mData));
        mBoxes.boxes.clear();

        QByteArray image(300000, 0);
        for (int i = 0; i < image.size(); ++i)
            image[i] = char(i * 7);
        LocalHttpServer::Response response;
        response.status = status;
        response.body = image;
        response.announceLength = announce;
        mServer.serve(path, response);
        const int requestsBefore = mServer.requests().size();
        QByteArray sig;
        if (signature == QLatin1String("good"))
            sig = sign("2.0", image);
        else if (signature == QLatin1String("other-image"))
            sig = sign("2.0", image + 'x');
        else if (signature == QLatin1String("other-version"))
            sig = sign("1.9", image);
        else if (signature == QLatin1String("garbage"))
            sig = "not*base64";

        QPointer<DownloadDlg> dlg = new DownloadDlg(nullptr, mServer.url(path), QStringLiteral("2.0"), sig);
        dlg->show();
        if (ready) {
            QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(dlg, "pushButtonInstall")->isVisible(), kWaitMs);
            QCOMPARE(child<QLabel>(dlg, "labelTitle")->text(), QStringLiteral("Ready to install"));
            QVERIFY(!child<QPushButton>(dlg, "pushButtonCancel")->isVisible());
            QCOMPARE(QDir(mData).entryList(QDir::Files), QStringList{QStringLiteral("Kestrelsweep-2.0.dmg")});
            QFile kept(mData + QStringLiteral("/Kestrelsweep-2.0.dmg"));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QVERIFY(kept.readAll() == image);
            QCOMPARE(mBoxes.boxes, QStringList());
            delete dlg;
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(dlg.isNull(), kWaitMs);
        QCOMPARE(mBoxes.boxes.size(), 1);
        QVERIFY2(mBoxes.boxes.first().contains(QLatin1String("Update Error"))
                     && mBoxes.boxes.first().contains(QLatin1String("An error ocured while downloading the update.")),
                 qPrintable(mBoxes.boxes.first()));
        // A failed transfer leaves what arrived, to be overwritten next time;
        // an image that fails its check is never left.
        const QStringList left = QDir(mData).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(left, status == 200 ? QStringList() : QStringList{QStringLiteral("Kestrelsweep-2.0.dmg")});
        // No file name: nothing was even asked for.
        if (!path.endsWith(QLatin1String(".dmg")))
            QCOMPARE(mServer.requests().size(), requestsBefore);
    }

    // Cancel mid-download closes the dialog without an error box and leaves
    // what had arrived.
    void cancelKeepsPartialFile()
    {
        QDir(mData).removeRecursively();
        QVERIFY(QDir().mkpath(mData));
        mBoxes.boxes.clear();
        LocalHttpServer::Response stalled;
        stalled.body = QByteArray(200000, 'k');
        stalled.stallAfter = 50000;
        mServer.serve(QStringLiteral("/big.dmg"), stalled);
        QPointer<DownloadDlg> dlg = new DownloadDlg(nullptr, mServer.url(QStringLiteral("/big.dmg")),
                                                    QStringLiteral("2.0"), sign("2.0", stalled.body));
        dlg->show();
        const QString file = mData + QStringLiteral("/big.dmg");
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(file).size(), qint64(50000), kWaitMs);
        child<QPushButton>(dlg, "pushButtonCancel")->click();
        QTRY_VERIFY_WITH_TIMEOUT(dlg.isNull(), kWaitMs);
        QTest::qWait(50);
        QCOMPARE(mBoxes.boxes, QStringList());
        QCOMPARE(QFileInfo(file).size(), qint64(50000));
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
