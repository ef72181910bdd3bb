#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "ListWidget.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "Preferences.h"
#include "ProgressDlg.h"
#include "hpSettings.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// Texts cut at the side, each measured the way its widget draws it.
QStringList clipped(const QWidget *root)
{
    QStringList found;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        QString text;
        int need = 0, room = 0;
        if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
            text = button->text();
            need = button->sizeHint().width();
            room = button->width();
        } else if (const auto *label = qobject_cast<const QLabel *>(w)) {
            text = label->wordWrap() ? QString() : label->text();
            need = label->fontMetrics().size(0, text).width();
            room = label->contentsRect().width() - 2 * label->margin();
        } else if (const auto *line = qobject_cast<const QLineEdit *>(w)) {
            // The placeholder is drawn inside the contents, less the text
            // margins and 2 pixels on either side.
            QStyleOptionFrame frame;
            frame.initFrom(line);
            frame.lineWidth = line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, line);
            const QRect contents = line->style()->subElementRect(QStyle::SE_LineEditContents, &frame, line);
            text = line->placeholderText();
            need = line->fontMetrics().horizontalAdvance(text);
            room = contents.width() - line->textMargins().left() - line->textMargins().right() - 4;
        }
        if (w->isVisibleTo(root) && !text.isEmpty() && need > room)
            found << QStringLiteral("%1 \"%2\" needs %3 of %4").arg(w->objectName(), text).arg(need).arg(room);
    }
    return found;
}

} // namespace

// The main window offscreen, over a catalogue filled by hand.
class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir mTmp;
    std::unique_ptr<MainWindow> mWindow;
    MainWidget *mMain = nullptr;

    ListWidget *openWindow()
    {
        mWindow.reset(new MainWindow);
        mMain = new MainWidget;
        mWindow->setMainWidget(mMain);
        mWindow->show();
        return mMain->findChild<ListWidget *>();
    }
    void click(const char *name) { mMain->findChild<QAbstractButton *>(QLatin1String(name))->click(); }

private slots:
    void initTestCase()
    {
        // The Mac's interface font is 13 pixels high; the offscreen default of
        // 17 would overflow every form drawn for it.
        QFont font = QApplication::font();
        font.setPixelSize(13);
        QApplication::setFont(font);
        const QString prefs = mTmp.filePath(QStringLiteral("prefs.plist"));
        QVERIFY(AppEnv::setEnv(envPreferencesFile, prefs));
        QSettings(prefs, hpSettingsFormat()).setValue(QStringLiteral("update/automatic"), false); // no network
        Preferences::loadSettings();
        AppEnv::setEnv(envHelpUrl, QStringLiteral("http://www.vextora.com/kestrelsweep/guide.html"));
        ListWidget::setDiscoveryEnabled(false);
        // Applications named alternately Tide and Lanternfish, some widgets, no plug-in.
        for (int i = 0; i < 60; ++i) {
            auto *info = new AppInfo;
            info->name = QStringLiteral("%1 %2").arg(i >= 40 ? "Gauge" : i % 2 ? "Lanternfish" : "Tide").arg(i);
            info->path = QStringLiteral("/Applications/%1%2").arg(info->name, i >= 40 ? ".wdgt" : ".app");
            info->sizeState = 2;
            AppCenter::Inst()->append(info);
        }
    }

    void cleanup() { mWindow.reset(); }

    // Before and after its rows arrive, with an empty category, and the
    // progress dialog as the update check, removal and installation show it.
    void fitsInEveryLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        for (const char *lang : {"cn", "es", "de", "jp", "fr", "it", "pt", "en"})
            QTest::newRow(lang) << lang;
    }

    void fitsInEveryLanguage()
    {
        QFETCH(QString, lang);
        QTranslator translator;
        QVERIFY(translator.load(lang + QStringLiteral(".qm"), qEnvironmentVariable("KS_BINARY_DIR")
                                                                 + QStringLiteral("/Kestrelsweep.app/Contents/Resources")));
        QCoreApplication::installTranslator(&translator);
        ListWidget *list = openWindow();
        QStringList cut = clipped(mWindow.get());
        list->addApps();
        mMain->showRemovedSummary(QStringLiteral("Lanternfish"), 27, 4612);
        cut << clipped(mWindow.get());
        click("toolButtonPlugins");
        cut << clipped(mWindow.get());
        const char *const progress[][2] = {{"", ""}, {"RemoveWidget", "Removing ..."}, {"DownloadDlg", "Installing ..."}};
        for (const auto &text : progress) {
            auto *dlg = new ProgressDlg(mWindow.get());
            if (*text[0])
                dlg->setProperty(QString(), QCoreApplication::translate(text[0], text[1]), false, false);
            dlg->show();
            cut << clipped(dlg);
        }
        QCoreApplication::removeTranslator(&translator);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    // Wherever the user had scrolled to, a new set of rows shows from its
    // first; rows that merely change keep the place.
    void newRowsShowFromTheTop_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("fromTop");
        QTest::newRow("search") << "search" << true;
        QTest::newRow("search cleared") << "clear" << true;
        QTest::newRow("another category") << "widgets" << true;
        QTest::newRow("sizes measured") << "sizes" << false;
    }

    void newRowsShowFromTheTop()
    {
        QFETCH(QString, action);
        QFETCH(bool, fromTop);
        ListWidget *list = openWindow();
        list->addApps();
        auto *search = mMain->findChild<QLineEdit *>(QStringLiteral("SearchLine"));
        search->setText(action == QLatin1String("clear") ? QStringLiteral("tide") : QString());
        QScrollBar *bar = list->findChild<QScrollArea *>()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        const int before = bar->value();
        if (action == QLatin1String("widgets"))
            click("toolButtonWidgets");
        else if (action == QLatin1String("sizes"))
            list->updateApps();
        else
            search->setText(action == QLatin1String("search") ? QStringLiteral("tide") : QString());
        QTest::qWait(0);
        QVERIFY2(bar->maximum() > 0, "more rows than the viewport holds, so the place could stay");
        QCOMPARE(bar->value(), fromTop ? 0 : before);
    }

    // The offscreen platform opens no address at all, as a system without a
    // browser: the address is shown, to be copied.
    void onlineHelpWithoutBrowser()
    {
        openWindow();
        QString text;
        Qt::TextInteractionFlags flags;
        QTimer::singleShot(0, mWindow.get(), [&] {
            QWidget *dlg = QApplication::activeModalWidget();
            QVERIFY(dlg);
            const auto *info = dlg->findChild<QLabel *>(QStringLiteral("labelInfo"));
            text = info->textFormat() == Qt::PlainText ? info->text() : QString();
            flags = info->textInteractionFlags();
            dlg->close();
        });
        mWindow->showHelp();
        QCOMPARE(text, QStringLiteral("The online help could not be opened in a web browser. Its address is:\n")
                           + QString::fromUtf8(envHelpUrl));
        QVERIFY(flags & Qt::TextSelectableByMouse);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
