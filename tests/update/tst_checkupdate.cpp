#include "AppEnv.h"
#include "CheckUpdate.h"
#include "LocalHttpServer.h"
#include "MainWindow.h"
#include "Preferences.h"
#include "ResultDlg.h"
#include "hpSettings.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QNetworkReply>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

const char kPagePath[] = "/dl/Kestrelsweep/OSX/version-en.html";
// A time limit that only ends a check that hangs; CTest ends the test first.
const int kGuardMs = 600000;

// Records every dialog that is shown as "Class text | text ..." and answers it:
// the result dialog with the button named in `answer`, every other dialog but
// the waiting one by closing it.
class Answerer : public QObject
{
public:
    QStringList seen;
    QString answer = QStringLiteral("pushButtonLater");
    QPointer<CheckUpdate> checker;
    std::function<void()> onResult; // run when the result dialog is up
    std::function<void(QDialog *)> onWait; // run when the waiting dialog is up

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (event->type() != QEvent::Show || !dialog || !dialog->isWindow())
            return false;
        const QString cls = QString::fromLatin1(dialog->metaObject()->className());
        QStringList texts;
        auto label = [dialog](const char *name) {
            const QLabel *l = dialog->findChild<QLabel *>(QLatin1String(name));
            return l ? l->text() : QStringLiteral("?");
        };
        if (cls == QLatin1String("ProgressDlg")) {
            texts << dialog->windowTitle();
        } else if (cls == QLatin1String("MsgDlg")) {
            texts << label("labelTitle") << label("labelInfo");
        } else if (cls == QLatin1String("ResultDlg")) {
            const auto *notes = dialog->findChild<QTextBrowser *>(QStringLiteral("textBrowserRelNotes"));
            texts << dialog->windowTitle() << label("labelVerTitle") << label("labelVerInfo")
                  << notes->toPlainText();
        }
        seen << (texts.isEmpty() ? cls : cls + QLatin1Char(' ') + texts.join(QStringLiteral(" | ")));
        if (cls == QLatin1String("ProgressDlg")) {
            if (onWait)
                QTimer::singleShot(0, dialog, [this, dialog] { onWait(dialog); });
            return false;
        }
        QPointer<QDialog> d(dialog);
        const bool isResult = cls == QLatin1String("ResultDlg");
        QTimer::singleShot(0, this, [this, d, isResult] {
            if (!d)
                return;
            if (isResult) {
                if (checker && !checker->isVisible())
                    seen << QStringLiteral("result dialog not counted as visible");
                if (onResult) {
                    onResult();
                    if (!d || !d->isVisible())
                        return;
                }
                d->findChild<QPushButton *>(answer)->click();
            } else if (auto *ok = d->findChild<QPushButton *>(QStringLiteral("pushButtonOk"))) {
                ok->click();
            } else {
                d->reject();
            }
        });
        return false;
    }
};

QString lastUpdateTime()
{
    QSettings settings(QString::fromUtf8(envPreferencesFile), hpSettingsFormat());
    return settings.value(QStringLiteral("update/LastUpdateTime")).toString();
}

} // namespace

class TestCheckUpdate : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mTmp;
    LocalHttpServer mServer;
    Answerer mAnswerer;

    void serve(const QByteArray &page, int status = 200, bool silent = false)
    {
        LocalHttpServer::Response r;
        r.body = page;
        r.status = status;
        r.silent = silent;
        mServer.serve(QString::fromLatin1(kPagePath), r);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        QFile plist(mTmp.filePath(QStringLiteral("Info.plist")));
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                    "<key>CFBundleShortVersionString</key><string>1.0.10</string></dict></plist>\n");
        plist.close();
        QVERIFY(AppEnv::setEnv(envInfoPlist, plist.fileName()));
        QVERIFY(AppEnv::setEnv(envAppName, QStringLiteral("Kestrelsweep")));
        QVERIFY(AppEnv::setEnv(envLocalVersion, mTmp.filePath(QStringLiteral("version.html"))));
        // Where an accepted offer's download goes.
        QVERIFY(QDir().mkpath(mTmp.filePath(QStringLiteral("data"))));
        QVERIFY(AppEnv::setEnv(envDataPath, mTmp.filePath(QStringLiteral("data"))));
        QVERIFY(AppEnv::setEnv(envPreferencesFile, mTmp.filePath(QStringLiteral("prefs.plist"))));
        QVERIFY(mServer.listen());
        QVERIFY(AppEnv::setEnv(envRemoteVerUrl, mServer.url(QString::fromLatin1(kPagePath))));
        // Only a guard: no check but the silent server's may end by the clock.
        CheckUpdate::setTimeLimit(kGuardMs);
        qApp->installEventFilter(&mAnswerer);
    }

    void init()
    {
        Preferences::loadSettings();
        Preferences::setUpdateTime(QString());
        mAnswerer.seen.clear();
        mAnswerer.answer = QStringLiteral("pushButtonLater");
        mAnswerer.onResult = nullptr;
        mAnswerer.onWait = nullptr;
    }

    // The running version is 1.0.10.
    void foreground_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<bool>("stamped");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("signature");

        const QString wait = QStringLiteral("ProgressDlg Checking Update...");
        // An offer without an address or with a broken signature ends in the download dialog's error.
        const QString updateError = QStringLiteral("MsgDlg Update Error | An error ocured while downloading the update. Please try again later.");
        const QString netError = QStringLiteral("MsgDlg Network Error! | Please check again later.");
        const QString later = QStringLiteral("pushButtonLater");
        const auto offer = [](const QString &version, const QString &notes, bool info = true) {
            return QStringLiteral("ResultDlg Update Kestrelsweep | ") + version + QStringLiteral(" | ")
                + (info ? QStringLiteral("The version ") + version + QStringLiteral(" is available. \r\n")
                        : QString())
                + QStringLiteral(" | ") + notes;
        };
        const QByteArray sig(64, '\x5a');

        QTest::newRow("newer, installed")
            << QByteArray("<html><head><title>2.0</title></head><body>Faster <b>scans</b>."
                          "<dllink hidden>http://dl.example/K-2.0.dmg</dllink>"
                          "<signature hidden>" + sig.toBase64() + "</signature></body></html>")
            << 200 << false << QStringLiteral("pushButtonInstall")
            << QStringList{wait, offer(QStringLiteral("2.0"), QStringLiteral("Faster scans.")),
                           QStringLiteral("DownloadDlg")}
            << true << QStringLiteral("http://dl.example/K-2.0.dmg") << sig;
        QTest::newRow("newer, skipped")
            << QByteArray("<title>2.0</title>Notes<dllink hidden>u</dllink>") << 200 << false
            << QStringLiteral("pushButtonSkip") << QStringList{wait, offer(QStringLiteral("2.0"), QStringLiteral("Notes"))}
            << true << QStringLiteral("u") << QByteArray();
        const QString upToDate =
            QStringLiteral("MsgDlg You'are up to date | Kestrelsweep 1.0.10 is currently the newest version available!");
        QTest::newRow("1.0.11 vs 1.0.10: newer")
            << QByteArray("<title>1.0.11</title><dllink hidden>u</dllink>") << 200 << false << later
            << QStringList{wait, offer(QStringLiteral("1.0.11"), QString())} << true << QStringLiteral("u") << QByteArray();
        // Nothing but a newer release is offered, however it is signed: the
        // signature is the download's to check, the order is the check's.
        QTest::newRow("1.0.9 vs 1.0.10")
            << QByteArray("<title>1.0.9</title><dllink hidden>u</dllink>") << 200 << false
            << QStringLiteral("pushButtonInstall") << QStringList{wait, upToDate} << true << QStringLiteral("u")
            << QByteArray();
        QTest::newRow("equal with a trailing zero")
            << QByteArray("<title>1.0.10.0</title><dllink hidden>u</dllink>") << 200 << false << later
            << QStringList{wait, upToDate} << true << QStringLiteral("u") << QByteArray();
        QTest::newRow("older signed release")
            << QByteArray("<title>0.9.0</title><dllink hidden>http://dl.example/K-0.9.0.dmg</dllink>"
                          "<signature hidden>" + sig.toBase64() + "</signature>")
            << 200 << false << QStringLiteral("pushButtonInstall") << QStringList{wait, upToDate} << true
            << QStringLiteral("http://dl.example/K-0.9.0.dmg") << sig;
        QTest::newRow("letters in the version: no release")
            << QByteArray("<title>1.0.11b</title><dllink hidden>u</dllink>") << 200 << false << later
            << QStringList{wait, netError} << true << QStringLiteral("u") << QByteArray();
        QTest::newRow("older")
            << QByteArray("<title>0.9</title><dllink hidden>u</dllink>") << 200 << false << later
            << QStringList{wait, upToDate} << true << QStringLiteral("u") << QByteArray();
        QTest::newRow("trailing blank")
            << QByteArray("<title>1.0.11 </title><dllink hidden>u</dllink>") << 200 << false << later
            << QStringList{wait, netError} << true << QStringLiteral("u") << QByteArray();
        QTest::newRow("close marker first takes the rest")
            << QByteArray("</title><title>3.0<dllink hidden>u</dllink>") << 200 << false << later
            << QStringList{wait, netError} << true << QStringLiteral("u") << QByteArray();
        QTest::newRow("read up to a NUL")
            << QByteArray("<dllink hidden>u</dllink>\0<title>3.0</title>", 44) << 200 << false << later
            << QStringList{wait, netError} << false << QString() << QByteArray();
        QTest::newRow("no link markers: offered without address")
            << QByteArray("<title>2.0</title>Notes") << 200 << false << QStringLiteral("pushButtonInstall")
            << QStringList{wait, offer(QStringLiteral("2.0"), QString(), false), QStringLiteral("DownloadDlg"), updateError}
            << false << QString() << QByteArray();
        QTest::newRow("signature not Base64")
            << QByteArray("<title>2.0</title><dllink hidden>u</dllink><signature hidden>QUJD#REVG</signature>") << 200
            << false << QStringLiteral("pushButtonInstall")
            << QStringList{wait, offer(QStringLiteral("2.0"), QString()), QStringLiteral("DownloadDlg"),
                           updateError} << true
            << QStringLiteral("u") << QByteArray();
        QTest::newRow("up to date")
            << QByteArray("<title>1.0.10</title><dllink hidden>u</dllink>") << 200 << false << later
            << QStringList{wait, upToDate} << true << QStringLiteral("u") << QByteArray();
        QTest::newRow("no title") << QByteArray("<dllink hidden>u</dllink>") << 200 << false << later
                                  << QStringList{wait, netError} << false << QString() << QByteArray();
        QTest::newRow("server error") << QByteArray("<title>2.0</title><dllink hidden>u</dllink>") << 500 << false
                                      << later << QStringList{wait, netError} << false << QString() << QByteArray();
        QTest::newRow("silent server") << QByteArray() << 200 << true << later << QStringList{wait, netError} << false
                                       << QString() << QByteArray();
    }

    void foreground()
    {
        QFETCH(QByteArray, page);
        QFETCH(int, status);
        QFETCH(bool, silent);
        QFETCH(QString, answer);
        QFETCH(QStringList, dialogs);
        QFETCH(bool, stamped);
        QFETCH(QString, url);
        QFETCH(QByteArray, signature);

        serve(page, status, silent);
        mAnswerer.answer = answer;
        // The silent server never answers: its row alone ends by the time
        // limit, which may then be short.
        CheckUpdate::setTimeLimit(silent ? 300 : kGuardMs);
        CheckUpdate checker;
        mAnswerer.checker = &checker;
        QVERIFY(!checker.isVisible());
        checker.start();
        CheckUpdate::setTimeLimit(kGuardMs);
        QCOMPARE(mAnswerer.seen, dialogs);
        QVERIFY(!checker.isVisible());
        QCOMPARE(!lastUpdateTime().isEmpty(), stamped);
        QCOMPARE(checker.downloadUrl(), url);
        QCOMPARE(checker.signature(), signature);
    }

    // Ending a check while it waits for the server tells the user nothing.
    void interrupted_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancel pressed") << true;
        QTest::newRow("stopped") << false;
    }

    void interrupted()
    {
        QFETCH(bool, cancel);
        serve(QByteArray(), 200, true);
        CheckUpdate checker;
        mAnswerer.onWait = [&](QDialog *wait) {
            if (cancel)
                wait->findChild<QPushButton *>(QStringLiteral("pushButtonCancel"))->click();
            else
                checker.stop();
        };
        checker.start();
        QCOMPARE(mAnswerer.seen, QStringList{QStringLiteral("ProgressDlg Checking Update...")});
        QVERIFY(!checker.isVisible());
    }

    void background_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<bool>("stamped");

        QTest::newRow("up to date: silent, time stored")
            << QByteArray("<title>1.0.10</title><dllink hidden>u</dllink>") << 200 << false << QStringList() << true;
        QTest::newRow("newer offered")
            << QByteArray("<title>2.0</title><dllink hidden>u</dllink>") << 200 << false
            << QStringList{QStringLiteral("ResultDlg Update Kestrelsweep | 2.0 | The version 2.0 is available. \r\n | ")}
            << true;
        QTest::newRow("older signed release: silent")
            << QByteArray("<title>0.9.0</title><dllink hidden>u</dllink><signature hidden>" + QByteArray(64, 'z').toBase64()
                          + "</signature>")
            << 200 << false << QStringList() << true;
        QTest::newRow("no release version: silent")
            << QByteArray("<title>2.0 beta</title><dllink hidden>u</dllink>") << 200 << false << QStringList() << true;
        QTest::newRow("no link: silent") << QByteArray("<title>2.0</title>") << 200 << false << QStringList() << false;
        QTest::newRow("server error: silent")
            << QByteArray("<title>2.0</title><dllink hidden>u</dllink>") << 404 << false << QStringList() << false;
        // Ended by the time limit, or the finished() below never comes.
        QTest::newRow("server never answers: silent") << QByteArray() << 200 << true << QStringList() << false;
    }

    void background()
    {
        QFETCH(QByteArray, page);
        QFETCH(int, status);
        QFETCH(bool, silent);
        QFETCH(QStringList, dialogs);
        QFETCH(bool, stamped);

        serve(page, status, silent);
        // Only the silent server's check ends by the limit, which may then be short.
        CheckUpdate::setTimeLimit(silent ? 300 : kGuardMs);
        struct Restore {
            ~Restore() { CheckUpdate::setTimeLimit(kGuardMs); }
        } restore;
        CheckUpdate checker;
        mAnswerer.checker = &checker;
        checker.startBg();
        QVERIFY(!checker.isVisible()); // only the request is under way
        auto *reply = checker.findChild<QNetworkReply *>();
        QVERIFY(reply);
        // Connected after the checker's own slot, so it has run when this fires.
        QSignalSpy done(reply, &QNetworkReply::finished);
        QVERIFY(done.wait(60000));
        QCOMPARE(mAnswerer.seen, dialogs);
        QCOMPARE(!lastUpdateTime().isEmpty(), stamped);
        QVERIFY(!checker.isVisible());
    }

    // A page past 1 MiB is read no further: in the foreground it is a network
    // error, in the background nothing. The server sends only as fast as the
    // check reads, so what it sent shows where the reading stopped. No time
    // limit interferes: only the size may end these checks.
    void oversizedPage_data()
    {
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("announce");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QStringList>("dialogs"); // each cut to 60 characters

        const qint64 mib = CheckUpdate::kMaxPageBytes;
        const QString wait = QStringLiteral("ProgressDlg Checking Update...");
        const QString netError = QStringLiteral("MsgDlg Network Error! | Please check again later.");
        QTest::newRow("exactly 1 MiB: offered") << false << true << mib
                                                << QStringList{wait, QStringLiteral("ResultDlg Update Kestrelsweep | 2.0 | The version 2.0 is ava")};
        QTest::newRow("1 MiB and a byte, length announced") << false << true << mib + 1 << QStringList{wait, netError};
        QTest::newRow("1 MiB and a byte, length not announced") << false << false << mib + 1 << QStringList{wait, netError};
        QTest::newRow("64 MiB, length not announced") << false << false << 64 * mib << QStringList{wait, netError};
        QTest::newRow("64 MiB in the background") << true << false << 64 * mib << QStringList();
    }

    void oversizedPage()
    {
        QFETCH(bool, background);
        QFETCH(bool, announce);
        QFETCH(qint64, size);
        QFETCH(QStringList, dialogs);

        LocalHttpServer::Response r;
        r.body = "<title>2.0</title><dllink hidden>u</dllink>";
        r.filler = size - r.body.size();
        r.announceLength = announce;
        const QString path = QStringLiteral("/big-%1-%2-%3.html").arg(size).arg(announce).arg(background);
        mServer.serve(path, r);
        QVERIFY(AppEnv::setEnv(envRemoteVerUrl, mServer.url(path)));
        CheckUpdate::setTimeLimit(600000);
        struct Restore {
            ~Restore()
            {
                CheckUpdate::setTimeLimit(300);
                AppEnv::setEnv(envRemoteVerUrl, mUrl);
            }
            QString mUrl;
        } restore{mServer.url(QString::fromLatin1(kPagePath))};

        CheckUpdate checker;
        mAnswerer.checker = &checker;
        if (background) {
            checker.startBg();
            QSignalSpy done(checker.findChild<QNetworkReply *>(), &QNetworkReply::finished);
            QVERIFY(done.wait(60000));
        } else {
            checker.start();
        }
        QStringList seen;
        for (const QString &dialog : qAsConst(mAnswerer.seen))
            seen << dialog.left(60);
        QCOMPARE(seen, dialogs);
        QCOMPARE(!lastUpdateTime().isEmpty(), size <= CheckUpdate::kMaxPageBytes);
        // Read up to the limit (unless it was announced), then at most a few
        // socket buffers more were sent, never the whole page.
        const qint64 sent = mServer.sent(path);
        QVERIFY2(sent >= (announce ? r.body.size() : qMin(size, CheckUpdate::kMaxPageBytes + 1)), qPrintable(QString::number(sent)));
        QVERIFY2(sent < 16 * CheckUpdate::kMaxPageBytes, qPrintable(QString::number(sent)));
    }

    // The window's checks: a daily check leaves an offer on screen alone, and
    // closing the sub-windows before an install ends it without a download.
    // The page arrives over plain HTTP: its markup may not make the dialog
    // read a local file (an image of /dev/zero or a FIFO would hang it).
    void notesReadNoLocalFile()
    {
        QTemporaryDir dir;
        const QString image = dir.filePath(QStringLiteral("local.png"));
        QImage(8, 8, QImage::Format_RGB32).save(image);
        const QUrl url = QUrl::fromLocalFile(image);
        auto *dlg = new ResultDlg(nullptr);
        dlg->setResult(QStringLiteral("2.0"), QString(),
                       QStringLiteral("<p>Notes<img src=\"%1\"></p>").arg(url.toString()));
        auto *notes = dlg->findChild<QTextBrowser *>(QStringLiteral("textBrowserRelNotes"));
        QVERIFY(!notes->document()->resource(QTextDocument::ImageResource, url).isValid());
        QVERIFY(!notes->openLinks());
        delete dlg;
    }

    void mainWindow()
    {
        serve("<title>2.0</title><dllink hidden>u</dllink>");
        mAnswerer.answer = QStringLiteral("pushButtonInstall");
        const int before = mServer.requests().size();
        MainWindow window;
        auto *checker = window.findChild<CheckUpdate *>();
        QVERIFY(checker);
        QSignalSpy done(checker->findChild<QNetworkReply *>(), &QNetworkReply::finished);
        mAnswerer.checker = checker;
        mAnswerer.onResult = [&] {
            window.showUpdateBg();
            MainWindow::closeSubWidgets();
        };
        QVERIFY(done.wait(60000));
        QCOMPARE(mAnswerer.seen,
                 QStringList{QStringLiteral("ResultDlg Update Kestrelsweep | 2.0 | The version 2.0 is available. \r\n | ")});
        QCOMPARE(mServer.requests().size(), before + 1);

        // The menu's check replaces the old checker and reports "up to date".
        serve("<title>1.0.10</title><dllink hidden>u</dllink>");
        mAnswerer.seen.clear();
        mAnswerer.onResult = nullptr;
        window.showUpdate();
        QCOMPARE(mAnswerer.seen.last().left(25), QStringLiteral("MsgDlg You'are up to date"));
        QCOMPARE(window.findChildren<CheckUpdate *>().size(), 1);
    }
};

QTEST_MAIN(TestCheckUpdate)
#include "tst_checkupdate.moc"
