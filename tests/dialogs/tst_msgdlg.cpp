#include "MsgDlg.h"
#include "ProgressDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

namespace {

// Acts on the modal dialog once its exec() loop runs.
void whenModal(const std::function<void(QWidget *)> &act)
{
    QTimer::singleShot(0, [act] {
        QWidget *dlg = QApplication::activeModalWidget();
        QVERIFY(dlg);
        act(dlg);
    });
}

void pressEscape(QWidget *dlg)
{
    QTest::keyClick(dlg, Qt::Key_Escape);
}

QPushButton *button(QWidget *dlg, const char *name)
{
    return dlg->findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

class TestMsgDlg : public QObject
{
    Q_OBJECT

private slots:
    void warning_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("okShown");
        QTest::addColumn<bool>("cancelShown");
        QTest::addColumn<int>("result");

        const int ok = QMessageBox::Yes, cancel = QMessageBox::No;
        QTest::newRow("notice, Ok") << ok << "ok" << true << false << ok;
        QTest::newRow("notice, Escape") << ok << "escape" << true << false << 0;
        QTest::newRow("confirm, Ok") << (ok | cancel) << "ok" << true << true << ok;
        QTest::newRow("confirm, Cancel") << (ok | cancel) << "cancel" << true << true << cancel;
        QTest::newRow("confirm, Escape is no") << (ok | cancel) << "escape" << true << true << 0;
        QTest::newRow("confirm, window closed") << (ok | cancel) << "close" << true << true << 0;
        QTest::newRow("no buttons, Escape") << 0 << "escape" << false << false << 0;
        QTest::newRow("other bits ignored") << int(ok | QMessageBox::Retry) << "ok" << true << false << ok;
    }

    void warning()
    {
        QFETCH(int, buttons);
        QFETCH(QString, action);
        QFETCH(bool, okShown);
        QFETCH(bool, cancelShown);
        QFETCH(int, result);

        bool sawOk = !okShown, sawCancel = !cancelShown;
        QString title, text;
        whenModal([&](QWidget *dlg) {
            sawOk = button(dlg, "pushButtonOk")->isVisible();
            sawCancel = button(dlg, "pushButtonCancel")->isVisible();
            title = dlg->findChild<QLabel *>(QStringLiteral("labelTitle"))->text();
            text = dlg->findChild<QLabel *>(QStringLiteral("labelInfo"))->text();
            if (action == QLatin1String("ok"))
                button(dlg, "pushButtonOk")->click();
            else if (action == QLatin1String("cancel"))
                button(dlg, "pushButtonCancel")->click();
            else if (action == QLatin1String("close"))
                dlg->close();
            else
                pressEscape(dlg);
        });
        const int got = MsgDlg::warning(nullptr, QStringLiteral("Remove Foo ?"),
                                        QStringLiteral("Are you sure to remove Foo ?"), buttons);
        QCOMPARE(got, result);
        QCOMPARE(sawOk, okShown);
        QCOMPARE(sawCancel, cancelShown);
        QCOMPARE(title, QStringLiteral("Remove Foo ?"));
        QCOMPARE(text, QStringLiteral("Are you sure to remove Foo ?"));
    }

    // Whatever the language or the item's name: the message is read whole, the
    // title stays on one line and keeps its question mark, the buttons stay below.
    void fits_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("elided");
        QTest::addColumn<bool>("widened"); // beyond the form's width

        const QString name = QStringLiteral("Harbourmaster Tide Tables and Lunar Almanac Professional Edition");
        QTest::newRow("short") << "Remove Foo ?" << "Are you sure to remove Foo ?" << false << false;
        QTest::newRow("long name") << "Remove " + name + " ?" << "Are you sure to remove " + name + " ?" << true << false;
        QTest::newRow("name without spaces")
            << "Remove HarbourmasterTideTablesLunarAlmanacPro ?"
            << "Are you sure to remove HarbourmasterTideTablesLunarAlmanacPro ?" << true << true;
        QTest::newRow("French notice")
            << "Erreur de mise à jour"
            << "Une erreur s'est produite lors du téléchargement de la mise à jour. Veuillez réessayer plus tard. "
               "Si le problème persiste, vérifiez votre connexion au réseau et les réglages du serveur mandataire."
            << false << false;
        // No spaces, and still a sentence that wraps.
        QTest::newRow("Japanese notice")
            << QString::fromUtf8("アップデートエラー")
            << QString::fromUtf8("アップデートのダウンロード中にエラーが発生しました。後でもう一度お試しください。")
            << false << false;
        QTest::newRow("address on its own line")
            << "Online Help"
            << "The online help could not be opened in a web browser. Its address is:\n"
               "http://www.vextora.com/kestrelsweep/guide.html"
            << false << true;
        QTest::newRow("several paths")
            << "Error"
            << "Some files could not be removed:\n/Users/ann/Library/Application Support/Harbourmaster/Charts/tides.db\n"
               "/Users/ann/Library/Caches/com.example.harbourmaster/fsCachedData/0F3A\n"
               "/Library/LaunchDaemons/com.example.harbourmaster.helper.plist"
            << false << true;
    }

    void fits()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, elided);
        QFETCH(bool, widened);

        const MsgDlg form(nullptr, QString(), QStringLiteral("Ok"), QMessageBox::Yes | QMessageBox::No);
        MsgDlg dlg(nullptr, title, text, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(dlg.width() > form.width(), widened);
        const auto *info = dlg.findChild<QLabel *>(QStringLiteral("labelInfo"));
        const auto *head = dlg.findChild<QLabel *>(QStringLiteral("labelTitle"));
        QCOMPARE(info->text(), text);
        QVERIFY2(info->heightForWidth(info->width()) <= info->height(), "message cut at the bottom");
        QVERIFY2(info->minimumSizeHint().width() <= info->width(), "message cut at the side");
        // An address or a path alone on its line is not broken at its slashes,
        // unless the dialog has grown as wide as it may.
        const int widest = QGuiApplication::primaryScreen()->availableGeometry().width() * 3 / 4;
        QLabel alone;
        alone.setFont(info->font());
        alone.setWordWrap(true);
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            alone.setText(line);
            const bool whole = alone.heightForWidth(info->contentsRect().width()) == alone.heightForWidth(5000);
            if (!line.contains(QLatin1Char(' ')) && line.contains(QLatin1Char('/')))
                QVERIFY2(whole || dlg.width() >= widest, qPrintable(line));
        }
        QVERIFY2(head->fontMetrics().horizontalAdvance(head->text()) <= head->width(), qPrintable(head->text()));
        QCOMPARE(head->text() != title, elided);
        QVERIFY(head->text().endsWith(title.right(2)));
        QCOMPARE(head->text().contains(QChar(0x2026)), elided);
        for (const char *name : {"pushButtonOk", "pushButtonCancel"}) {
            const QRect b = button(&dlg, name)->geometry();
            QVERIFY(b.top() > info->geometry().bottom());
            QVERIFY(dlg.rect().contains(b));
        }
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
    }

    void progress_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("Cancel button") << false << "cancel" << int(QMessageBox::No);
        QTest::newRow("owner ends it") << false << "owner" << int(QMessageBox::Yes);
        QTest::newRow("Escape") << false << "escape" << 0;
        QTest::newRow("window closed") << false << "close" << 0;
        QTest::newRow("locked, owner ends it") << true << "owner" << int(QMessageBox::Yes);
        // Each refused attempt is followed by the owner's done(Yes).
        QTest::newRow("locked, Escape refused") << true << "escape" << int(QMessageBox::Yes);
        QTest::newRow("locked, close() refused") << true << "close" << int(QMessageBox::Yes);
        QTest::newRow("locked, close event refused") << true << "close event" << int(QMessageBox::Yes);
        QTest::newRow("locked, window manager close refused") << true << "window manager" << int(QMessageBox::Yes);
    }

    void progress()
    {
        QFETCH(bool, locked);
        QFETCH(QString, action);
        QFETCH(int, result);

        QPointer<ProgressDlg> dlg = new ProgressDlg(nullptr);
        auto *bar = dlg->findChild<QProgressBar *>(QStringLiteral("progressBar"));
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 0);
        if (locked)
            dlg->setProperty(QStringLiteral("Remove App"), QStringLiteral("Removing ..."), true, true);

        bool cancelShown = true;
        bool refused = false;
        Qt::WindowFlags flags;
        QString text;
        whenModal([&](QWidget *w) {
            cancelShown = button(w, "pushButtonCancel")->isVisible();
            flags = w->windowFlags();
            text = w->findChild<QLabel *>(QStringLiteral("labelText"))->text();
            if (action == QLatin1String("cancel")) {
                button(w, "pushButtonCancel")->click();
            } else if (action == QLatin1String("owner")) {
                static_cast<QDialog *>(w)->done(QMessageBox::Yes);
            } else {
                bool accepted = false;
                if (action == QLatin1String("escape")) {
                    pressEscape(w);
                } else if (action == QLatin1String("close")) {
                    accepted = w->close();
                } else {
                    // Sent to the window, a close event takes the window manager's path.
                    QCloseEvent ev;
                    QObject *target = w;
                    if (action == QLatin1String("window manager"))
                        target = w->windowHandle();
                    QApplication::sendEvent(target, &ev);
                    accepted = ev.isAccepted();
                }
                refused = !accepted && w->isVisible() && QApplication::activeModalWidget() == w;
                if (locked)
                    static_cast<QDialog *>(w)->done(QMessageBox::Yes);
            }
        });
        QCOMPARE(dlg->exec(), result);
        QVERIFY2(dlg.isNull(), "the dialog deletes itself when it closes");
        QCOMPARE(refused, locked && action != QLatin1String("owner"));
        QCOMPARE(cancelShown, !locked);
        QCOMPARE(bool(flags & Qt::WindowCloseButtonHint), !locked);
        QCOMPARE(bool(flags & Qt::CustomizeWindowHint), locked);
        QCOMPARE(text, locked ? QStringLiteral("Removing ...") : QStringLiteral("Checking for updates..."));
    }
};

QTEST_MAIN(TestMsgDlg)
#include "tst_msgdlg.moc"
