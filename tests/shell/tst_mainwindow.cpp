#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "ListWidget.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "MsgDlg.h"
#include "PreferencesDlg.h"
#include "ProgressDlg.h"
#include "hpSettings.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

// The main window over a catalogue filled by hand, as the user sees it.
struct Window {
    std::unique_ptr<MainWindow> window{new MainWindow};
    MainWidget *main = new MainWidget;
    ListWidget *list;
    QScrollBar *bar;

    Window()
    {
        window->setMainWidget(main);
        list = main->findChild<ListWidget *>(QStringLiteral("listWidget"));
        bar = list->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->verticalScrollBar();
        window->show();
    }
    void click(const char *name) { main->findChild<QAbstractButton *>(QLatin1String(name))->click(); }
    QLineEdit *search() { return main->findChild<QLineEdit *>(QStringLiteral("SearchLine")); }
};

// Texts cut at the side, each measured the way its widget draws it.
QStringList clipped(const QWidget *root)
{
    QStringList found;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(root))
            continue;
        QString text;
        int need = 0, room = 0;
        if (const auto *button = qobject_cast<const QAbstractButton *>(w)) {
            text = button->text();
            need = button->sizeHint().width();
            room = button->width();
        } else if (const auto *label = qobject_cast<const QLabel *>(w)) {
            if (label->wordWrap())
                continue;
            text = label->text();
            need = label->fontMetrics().size(0, text).width();
            room = label->contentsRect().width() - 2 * label->margin();
        } else if (const auto *line = qobject_cast<const QLineEdit *>(w)) {
            // QLineEdit draws the placeholder, elided, inside its contents
            // less the text margins and 2 pixels on either side.
            QStyleOptionFrame frame;
            frame.initFrom(line);
            frame.lineWidth = line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, line);
            frame.state |= QStyle::State_Sunken;
            const QRect contents = line->style()->subElementRect(QStyle::SE_LineEditContents, &frame, line);
            text = line->placeholderText();
            need = line->fontMetrics().horizontalAdvance(text);
            room = contents.width() - line->textMargins().left() - line->textMargins().right() - 4;
        }
        if (!text.isEmpty() && need > room)
            found << QStringLiteral("%1 \"%2\" needs %3 of %4").arg(w->objectName(), text).arg(need).arg(room);
    }
    return found;
}

// Answers the first dialog that shows with done(0), reading it first.
class DialogReader : public QObject
{
public:
    QString title, text;
    Qt::TextInteractionFlags flags;
    Qt::TextFormat format = Qt::AutoText;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *dlg = qobject_cast<MsgDlg *>(watched);
        if (!dlg || event->type() != QEvent::Show)
            return false;
        title = dlg->findChild<QLabel *>(QStringLiteral("labelTitle"))->text();
        const auto *info = dlg->findChild<QLabel *>(QStringLiteral("labelInfo"));
        text = info->text();
        flags = info->textInteractionFlags();
        format = info->textFormat();
        QMetaObject::invokeMethod(dlg, "done", Qt::QueuedConnection, Q_ARG(int, 0));
        return false;
    }
};

// Stands in for the browser.
class Browser : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir mTmp;

private slots:
    void initTestCase()
    {
        QVERIFY(mTmp.isValid());
        // The Mac's interface font is 13 pixels high; the offscreen default of
        // 17 would overflow every form drawn for it.
        QFont font = QApplication::font();
        font.setPixelSize(13);
        QApplication::setFont(font);
        const QString prefs = mTmp.filePath(QStringLiteral("prefs.plist"));
        QVERIFY(AppEnv::setEnv(envPreferencesFile, prefs));
        {
            // No update check reaching for the network.
            QSettings settings(prefs, hpSettingsFormat());
            settings.setValue(QStringLiteral("update/automatic"), false);
        }
        PreferencesDlg::loadSettings();
        QVERIFY(!PreferencesDlg::autoCheckUpdate());
        AppEnv::setEnv(envHelpUrl, QStringLiteral("http://www.vextora.com/kestrelsweep/guide.html"));
        ListWidget::setDiscoveryEnabled(false);

        // Applications named alternately Tide and Lanternfish, some widgets, no plug-in.
        QList<AppInfo *> records;
        for (int i = 0; i < 60; ++i) {
            auto *info = new AppInfo;
            const bool widget = i >= 40;
            info->name = QStringLiteral("%1 %2").arg(widget ? "Gauge" : i % 2 ? "Lanternfish" : "Tide").arg(i);
            info->path = QStringLiteral("/Applications/%1%2").arg(info->name, widget ? ".wdgt" : ".app");
            info->version = QStringLiteral("1.%1").arg(i);
            info->iconDir = mTmp.path();
            info->lastOpenTime = QStringLiteral("08/12/2026 15:04:12");
            info->size = 1024 * (i + 1);
            info->sizeState = 2;
            records << info;
        }
        AppCenter::Inst()->append(records);
    }

    // The main window in every language, before and after its rows arrive and
    // with an empty category: every text is seen whole.
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
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QString cut = clipped(w.window.get()).join(QStringLiteral("; "));
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        w.list->addApps();
        w.main->showRemovedSummary(QStringLiteral("Lanternfish"), 27, 4612);
        cut = clipped(w.window.get()).join(QStringLiteral("; "));
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        w.click("toolButtonPlugins");
        cut = clipped(w.window.get()).join(QStringLiteral("; "));
        QVERIFY2(cut.isEmpty(), qPrintable(cut));

        // The progress dialog as the update check, the removal and the update's installation show it.
        const char *const progress[][2] = {{nullptr, nullptr}, {"RemoveWidget", "Removing ..."}, {"DownloadDlg", "Installing ..."}};
        for (const auto &text : progress) {
            auto *dlg = new ProgressDlg(w.window.get());
            if (text[0])
                dlg->setProperty(QString(), QCoreApplication::translate(text[0], text[1]), false, false);
            dlg->show();
            cut = clipped(dlg).join(QStringLiteral("; "));
            QVERIFY2(cut.isEmpty(), qPrintable(cut));
            dlg->close();
        }
        QCoreApplication::removeTranslator(&translator);
    }

    // Whatever the user had scrolled to, a new set of rows is seen from its
    // first row; rows that merely change keep the place.
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
        Window w;
        w.list->addApps();
        if (action == QLatin1String("clear"))
            w.search()->setText(QStringLiteral("tide"));
        QTRY_VERIFY(w.bar->maximum() > 0);
        w.bar->setValue(w.bar->maximum());
        const int before = w.bar->value();

        if (action == QLatin1String("search"))
            w.search()->setText(QStringLiteral("tide"));
        else if (action == QLatin1String("clear"))
            w.search()->clear();
        else if (action == QLatin1String("widgets"))
            w.click("toolButtonWidgets");
        else
            w.list->updateApps();
        QTest::qWait(0);

        // Still more rows than the viewport holds, so the place could stay.
        QVERIFY(w.bar->maximum() > 0);
        QCOMPARE(w.bar->value(), fromTop ? 0 : before);
    }

    // Without a browser the address is still there to be copied.
    void onlineHelp_data()
    {
        QTest::addColumn<bool>("browser");
        QTest::newRow("a browser opens it") << true;
        QTest::newRow("no browser") << false;
    }

    void onlineHelp()
    {
        QFETCH(bool, browser);
        const QString address = QString::fromUtf8(envHelpUrl);
        Window w;
        Browser stand;
        if (browser)
            QDesktopServices::setUrlHandler(QStringLiteral("http"), &stand, "open");
        // Nothing the system could start as a browser.
        QTemporaryDir emptyPath;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(emptyPath.path()));
        qunsetenv("BROWSER");
        qunsetenv("DEFAULT_BROWSER");
        DialogReader reader;
        qApp->installEventFilter(&reader);

        w.window->showHelp();

        qApp->removeEventFilter(&reader);
        qputenv("PATH", path);
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(stand.opened, browser ? QList<QUrl>{QUrl(address)} : QList<QUrl>());
        QCOMPARE(reader.title.isEmpty(), browser);
        if (browser)
            return;
        QCOMPARE(reader.title, QStringLiteral("Online Help"));
        QCOMPARE(reader.text, QStringLiteral("The online help could not be opened in a web browser. Its address is:\n")
                                  + address);
        QCOMPARE(reader.format, Qt::PlainText);
        QVERIFY(reader.flags & Qt::TextSelectableByMouse);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
