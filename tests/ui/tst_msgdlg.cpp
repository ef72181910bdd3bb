#include "MsgDlg.h"
#include "ProgressDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
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
