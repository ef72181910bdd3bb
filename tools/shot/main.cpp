// Shows one window of the application in the current display, in a chosen
// interface language, and saves what the display shows of it to a PNG.
// Run through tools/screenshot, which provides a real X server (xvfb).
#include "AboutDlg.h"
#include "AppEnv.h"
#include "AppCenter.h"
#include "AppInfo.h"
#include "ItemWidget.h"
#include "ListWidget.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "MsgDlg.h"
#include "Preferences.h"
#include "PreferencesDlg.h"
#include "ProgressDlg.h"
#include "RemoveWidget.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <QDir>
#include <QFile>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QMap>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWindow>

#include <cstdio>
#include <functional>

namespace {

QString tr(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

using Factory = std::function<QWidget *()>;

QMap<QString, Factory> windows()
{
    QMap<QString, Factory> w;
    w.insert(QStringLiteral("preferences"), [] { return new PreferencesDlg; });
    w.insert(QStringLiteral("preferences-update"), [] {
        Preferences::setUpdateTime(QStringLiteral("Tue Dec 8 15:04:12 2026"));
        auto *dlg = new PreferencesDlg;
        dlg->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
        return dlg;
    });
    w.insert(QStringLiteral("msg-confirm"), [] {
        const QString name = QStringLiteral("Foo");
        return new MsgDlg(nullptr, tr("RemoveWidget", "Remove ") + name + tr("RemoveWidget", " ?"),
                          tr("RemoveWidget", "Are you sure to remove ") + name + tr("RemoveWidget", " ?"),
                          QMessageBox::Yes | QMessageBox::No);
    });
    w.insert(QStringLiteral("msg-confirm-long"), [] {
        const QString name = QStringLiteral("Harbourmaster Tide Tables and Lunar Almanac Professional Edition");
        return new MsgDlg(nullptr, tr("RemoveWidget", "Remove ") + name + tr("RemoveWidget", " ?"),
                          tr("RemoveWidget", "Are you sure to remove ") + name + tr("RemoveWidget", " ?"),
                          QMessageBox::Yes | QMessageBox::No);
    });
    w.insert(QStringLiteral("msg-notice"), [] {
        return new MsgDlg(nullptr, tr("DownloadDlg", "Update Error"),
                          tr("DownloadDlg", "An error ocured while downloading the update. Please try again later."),
                          QMessageBox::Yes);
    });
    w.insert(QStringLiteral("msg-help"), [] {
        // What Online Help says when no browser takes the address.
        return new MsgDlg(nullptr, tr("MainWindow", "Online Help"),
                          tr("MainWindow", "The online help could not be opened in a web browser. Its address is:\n%1")
                              .arg(QString::fromUtf8(envHelpUrl)),
                          QMessageBox::Yes);
    });
    w.insert(QStringLiteral("progress"), [] {
        auto *dlg = new ProgressDlg;
        dlg->setWindowTitle(tr("CheckUpdate", "Checking Update..."));
        return dlg;
    });
    w.insert(QStringLiteral("progress-remove"), [] {
        auto *dlg = new ProgressDlg;
        dlg->setProperty(tr("RemoveWidget", "Remove App"), tr("RemoveWidget", "Removing ..."), true, true);
        return dlg;
    });
    const auto removePage = [](const QString &appName) {
        // Leftovers of two items in the throwaway home: Tide's own are ticked,
        // what names Tide Pro or the vendor only by prefix is not.
        const QString lib = QDir::homePath() + QStringLiteral("/Library/");
        for (const char *rel : {"Preferences/com.tideware.tide.plist", "Preferences/com.tideware.tide.pro.plist",
                                "Caches/com.tideware.tide/Cache.db", "Application Support/Tide/tides.db",
                                "Application Support/Tide Pro/tides.db", "Application Support/Tideware/shared.db",
                                "Logs/DiagnosticReports/Tide_2026-12-01-101112_Mac.crash"}) {
            const QString path = lib + QLatin1String(rel);
            QDir().mkpath(QFileInfo(path).path());
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(6000, 't'));
        }
        const QString bundle = QDir::homePath() + QStringLiteral("/Applications/Tide.app");
        QDir().mkpath(bundle + QStringLiteral("/Contents"));
        {
            QFile plist(bundle + QStringLiteral("/Contents/Info.plist"));
            if (plist.open(QIODevice::WriteOnly))
                plist.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                        "<key>CFBundleIdentifier</key><string>com.tideware.tide</string></dict></plist>\n");
        }
        auto *other = new AppInfo;
        other->path = QStringLiteral("/Applications/Tide Pro.app");
        other->bundleId = QStringLiteral("com.tideware.tide.pro");
        AppCenter::Inst()->append(other);
        auto *page = new RemoveWidget;
        page->resize(636, 500);
        page->initAppInfo(bundle, appName, QStringLiteral("12.40M"), QStringLiteral(":/sysIcon/rc/appicon.png"));
        return page;
    };
    w.insert(QStringLiteral("remove"), [removePage] { return removePage(QStringLiteral("Tide.app")); });
    // The name alone is longer than the room beside the buttons.
    w.insert(QStringLiteral("remove-long"), [removePage] {
        return removePage(QStringLiteral("Harbourmaster Tide Tables and Lunar Almanac Professional Edition.app"));
    });
    w.insert(QStringLiteral("about"), [] { return new AboutDlg; });
    w.insert(QStringLiteral("rows"), [] {
        // Three list rows: measured, not yet measured, and one without an icon.
        static QTemporaryDir icons;
        QImage(QStringLiteral(":/sysIcon/rc/appicon.png")).save(icons.filePath(QStringLiteral("icon_32x32.png")));
        auto *list = new QWidget;
        list->setStyleSheet(QStringLiteral("background-color: white;"));
        auto *layout = new QVBoxLayout(list);
        layout->setContentsMargins(5, 0, 5, 0);
        const struct { const char *name, *version, *path; qint64 size; bool icon; } rows[] = {
            {"Kestrelsweep.app", "1.0.0", "/Applications/Kestrelsweep.app", 23552, true},
            {"Café Außenseiter.app", "", "/Users/ann/Applications/Utilities/Café Außenseiter.app", -1, true},
            {"Drizzlegauge", "2.1", "/Library/Widgets/Drizzlegauge.wdgt", 812, false},
        };
        for (const auto &row : rows) {
            AppInfo info;
            info.name = QString::fromUtf8(row.name);
            info.version = QString::fromUtf8(row.version);
            info.path = QString::fromUtf8(row.path);
            info.iconDir = row.icon ? icons.path() : QStringLiteral("/nonexistent");
            info.lastOpenTime = QStringLiteral("08/12/2026 15:04:12");
            auto *item = new ItemWidget(&info, list);
            if (row.size >= 0)
                item->setSizeWidget(row.size);
            layout->addWidget(item, 0, Qt::AlignTop);
        }
        return list;
    });
    auto mainWindow = [](const std::function<void(MainWidget *)> &then) {
        // The main window over a catalogue filled by hand; no discovery.
        static QTemporaryDir icons;
        QImage(QStringLiteral(":/sysIcon/rc/appicon.png")).save(icons.filePath(QStringLiteral("icon_32x32.png")));
        ListWidget::setDiscoveryEnabled(false);
        auto *window = new MainWindow;
        auto *main = new MainWidget;
        window->setMainWidget(main);
        const struct { const char *name, *version, *path; qint64 size; } records[] = {
            {"Kestrelsweep.app", "1.0.0", "/Applications/Kestrelsweep.app", 23552},
            {"Tide.app", "3.2", "/Applications/Tide.app", 130120},
            {"Drizzlegauge", "2.1", "/Library/Widgets/Drizzlegauge.wdgt", 812},
            {"Café Außenseiter.app", "", "/Users/ann/Applications/Utilities/Café Außenseiter.app", -1},
            {"Lanternfish.app", "0.9", "/Applications/Lanternfish.app", 4096},
        };
        QList<AppInfo *> list;
        for (const auto &r : records) {
            auto *info = new AppInfo;
            info->name = QString::fromUtf8(r.name);
            info->version = QString::fromUtf8(r.version);
            info->path = QString::fromUtf8(r.path);
            info->iconDir = icons.path();
            info->lastOpenTime = QStringLiteral("08/12/2026 15:04:12");
            info->size = qMax<qint64>(r.size, 0);
            info->sizeState = r.size >= 0 ? 2 : 0;
            list.append(info);
        }
        AppCenter::Inst()->append(list);
        // After the rows have arrived (a queued call).
        if (then)
            QTimer::singleShot(0, main, [main, then] { then(main); });
        return window;
    };
    w.insert(QStringLiteral("main"), [mainWindow] { return mainWindow(nullptr); });
    w.insert(QStringLiteral("main-widgets"), [mainWindow] {
        return mainWindow([](MainWidget *m) { m->findChild<QToolButton *>(QStringLiteral("toolButtonWidgets"))->click(); });
    });
    w.insert(QStringLiteral("main-plugins"), [mainWindow] {
        // No plug-in among the records: the list says so.
        return mainWindow([](MainWidget *m) { m->findChild<QToolButton *>(QStringLiteral("toolButtonPlugins"))->click(); });
    });
    w.insert(QStringLiteral("main-removed"), [mainWindow] {
        return mainWindow([](MainWidget *m) { m->showRemovedSummary(QStringLiteral("Lanternfish"), 27, 4612); });
    });
    w.insert(QStringLiteral("main-search"), [mainWindow] {
        return mainWindow([](MainWidget *m) { m->findChild<QLineEdit *>(QStringLiteral("SearchLine"))->setText(QStringLiteral("ide")); });
    });
    return w;
}

void waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Saves a picture of one window of the application."));
    cli.addHelpOption();
    cli.addPositionalArgument(QStringLiteral("window"), QStringLiteral("the window to show; \"list\" names them"));
    cli.addOption({{QStringLiteral("l"), QStringLiteral("lang")}, QStringLiteral("interface language (cn es de jp fr it pt en)"),
                   QStringLiteral("code"), QStringLiteral("en")});
    cli.addOption({{QStringLiteral("o"), QStringLiteral("out")}, QStringLiteral("PNG file to write"), QStringLiteral("file")});
    cli.process(app);

    const auto factories = windows();
    const QStringList args = cli.positionalArguments();
    if (args.size() != 1 || args.first() == QLatin1String("list") || !factories.contains(args.first())) {
        std::printf("windows: %s\n", qPrintable(factories.keys().join(QLatin1Char(' '))));
        return args.size() == 1 && args.first() == QLatin1String("list") ? 0 : 2;
    }
    const QString name = args.first();
    const QString lang = cli.value(QStringLiteral("lang"));
    const QString out = cli.isSet(QStringLiteral("out")) ? cli.value(QStringLiteral("out"))
                                                          : QStringLiteral("%1-%2.png").arg(name, lang);

    // The bundle of this build, and settings that never touch the user's own.
    QTemporaryDir settingsDir;
    AppEnv::setEnv(envInfoPlist, QStringLiteral(KS_BUNDLE_DIR "/Contents/Info.plist"));
    AppEnv::setEnv(envPreferencesFile, settingsDir.filePath(QStringLiteral("prefs.plist")));
    const AppLanguage site = AppEnv::languageFor(lang == QLatin1String("jp") ? QStringLiteral("ja") : lang);
    AppEnv::setEnv(envLanguge, site.siteCode);
    AppEnv::setEnv(envHomeUrl, site.homeUrl);
    AppEnv::initUrls();

    QTranslator translator;
    if (!translator.load(lang + QStringLiteral(".qm"), QStringLiteral(KS_BUNDLE_RESOURCES))) {
        std::fprintf(stderr, "screenshot: no translation %s.qm in %s\n", qPrintable(lang), KS_BUNDLE_RESOURCES);
        return 1;
    }
    QCoreApplication::installTranslator(&translator);

    QWidget *window = factories.value(name)();
    window->show();
    waitFor([window] { return window->windowHandle() && window->windowHandle()->isExposed(); }, 5000);
    // Let the first paint reach the server before reading it back.
    waitFor([] { return false; }, 300);

    const QPixmap shot = window->screen()->grabWindow(window->winId());
    if (shot.isNull() || !shot.save(out)) {
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    delete window;
    return 0;
}
