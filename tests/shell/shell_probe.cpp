// The application's window as a user drives it, for tests inside tools/sandbox
// on the sample world: start-up, categories, search, keep-safe, selection and
// a cancelled removal, one removal, drops onto the window, one leftover group's
// removal, in that order.
// Prints, tab-separated:
//   step <name>                      what follows belongs to this step
//   title <visible 0|1> <text>       the list's "Loading ..." / "None" label
//   remove-enabled <0|1>
//   clicked <state>                  every clicked(int) of the list
//   row <category> <path>            every visible row, per category, in order
//   record <path> <bundleId>         the catalogue, in order
//   ticked <path>                    what the removal page would take
//   rows-match-records <0|1>         row i shows record i, path and size
//   page-summary <text>              what the removal page says will go
//   summary <visible 0|1> <text>     the main window's note after a removal
//   message <text>                   every question or notice, as it shows
//   drop <taken 0|1> <shown 0|1> <page 0|1>  a drag: whether the window took it (so that the drop
//                                    arrives), whether its frame showed a page would open, and did
//   leftover <identifier> <count> <size>  every visible row of the leftovers' list
#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "ItemWidget.h"
#include "LeftoverList.h"
#include "ListWidget.h"
#include "MainWidget.h"
#include "MainWindow.h"
#include "MsgDlg.h"
#include "Preferences.h"
#include "PreferencesDlg.h"
#include "Probe.h"
#include "RemoveWidget.h"
#include "hpHarden.h"
#include "hpUtils.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTranslator>
#include <QUrl>

#include <cstdio>
#include <functional>

namespace {

using probe::print;

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A guard against a run that never settles, not a measurement.
bool waitFor(const std::function<bool()> &done, int ms = 120000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        spin(20);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    hpHardenProcess();
    // It fills and deletes what it is told to: only inside the sandbox.
    if (!probe::inSandbox("shell_probe"))
        return 2;
    QApplication app(argc, argv);
    if (!AppEnv::init())
        return 3;
    // The probe is no bundle: its texts come from the build's.
    QTranslator english;
    if (!english.load(QStringLiteral("en.qm"), QStringLiteral(KS_BUNDLE_RESOURCES)))
        return 3;
    QCoreApplication::installTranslator(&english);
    const QString victim = app.arguments().value(1);
    // Ok to every question, and keep-safe flipped in the preferences.
    probe::DialogAnswerer user;
    user.onShow = [](QWidget *window) {
        if (qobject_cast<MsgDlg *>(window)) {
            print(QStringLiteral("message\t") + window->findChild<QLabel *>(QStringLiteral("labelInfo"))->text());
        } else if (auto *prefs = qobject_cast<PreferencesDlg *>(window)) {
            QTimer::singleShot(0, prefs, [prefs] {
                prefs->findChild<QCheckBox *>(QStringLiteral("checkBoxKeepSafe"))->click();
                prefs->done(0);
            });
        }
        return false;
    };

    auto *window = new MainWindow(nullptr);
    auto *main = new MainWidget(nullptr);
    window->setMainWidget(main);
    window->show();
    auto *list = main->findChild<ListWidget *>(QStringLiteral("listWidget"));
    auto *title = list->findChild<QLabel *>(QStringLiteral("labelTitle"));
    auto *remove = main->findChild<QPushButton *>(QStringLiteral("removeButton"));
    auto *search = main->findChild<QLineEdit *>(QStringLiteral("SearchLine"));
    QObject::connect(list, &ListWidget::clicked, [](int state) { print(QStringLiteral("clicked\t%1").arg(state)); });

    auto rows = [list] { return list->findChildren<ItemWidget *>(); };
    auto showTitle = [&] { print(QStringLiteral("title\t%1\t%2").arg(!title->isHidden()).arg(title->text())); };
    auto showRemove = [&] { print(QStringLiteral("remove-enabled\t%1").arg(remove->isEnabled())); };
    const QStringList categories{QStringLiteral("Applications"), QStringLiteral("Widgets"), QStringLiteral("Plugins")};
    const QStringList buttons{QStringLiteral("toolButtonApps"), QStringLiteral("toolButtonWidgets"),
                              QStringLiteral("toolButtonPlugins")};
    auto showRows = [&] {
        for (int c = 0; c < 3; ++c) {
            main->findChild<QToolButton *>(buttons.at(c))->click();
            for (ItemWidget *row : rows()) {
                if (!row->isHidden())
                    print(QStringLiteral("row\t") + categories.at(c) + QLatin1Char('\t') + row->appPath());
            }
        }
        main->findChild<QToolButton *>(buttons.at(0))->click();
    };
    auto showRecords = [&] {
        QList<AppInfo *> apps;
        AppCenter::Inst()->getAppList(apps);
        const QList<ItemWidget *> shown = rows();
        bool match = shown.size() == apps.size();
        for (int i = 0; i < apps.size(); ++i) {
            print(QStringLiteral("record\t") + apps.at(i)->path + QLatin1Char('\t') + apps.at(i)->bundleId);
            match = match && i < shown.size() && shown.at(i)->appPath() == apps.at(i)->path
                    && shown.at(i)->appSize() == hpSizeToString(apps.at(i)->size);
        }
        AppCenter::Inst()->releaseAppList(apps);
        print(QStringLiteral("rows-match-records\t%1").arg(match));
    };

    print(QStringLiteral("step\tstart"));
    showTitle();
    showRemove();
    print(QStringLiteral("apps-selected\t%1")
              .arg(main->findChild<QToolButton *>(buttons.at(0))->styleSheet() == QLatin1String(toolButtonPressedStyle)));

    // Loaded: every record has its row and every size is measured.
    const bool loaded = waitFor([&] {
        QList<AppInfo *> apps;
        AppCenter::Inst()->getAppList(apps);
        bool done = !apps.isEmpty() && apps.size() == rows().size();
        for (const AppInfo *a : qAsConst(apps))
            done = done && a->sizeState == 2;
        AppCenter::Inst()->releaseAppList(apps);
        return done;
    });
    print(QStringLiteral("step\tloaded\t%1").arg(loaded));
    spin(200);
    showTitle();
    print(QStringLiteral("keep-safe\t%1").arg(Preferences::hideAppleApps()));
    showRows();
    showRecords();

    for (const char *text : {"  mERe no ", ".app", "com.postheron", "tide"}) {
        print(QStringLiteral("step\tsearch\t") + QLatin1String(text));
        search->setText(QLatin1String(text));
        showRows();
        showTitle();
    }
    search->clear();

    print(QStringLiteral("step\tkeep-safe"));
    QMetaObject::invokeMethod(window, "showPerferences");
    print(QStringLiteral("keep-safe\t%1").arg(Preferences::hideAppleApps()));
    showRows();
    QMetaObject::invokeMethod(window, "showPerferences");
    print(QStringLiteral("keep-safe\t%1").arg(Preferences::hideAppleApps()));

    auto rowOf = [&](const QString &path) -> ItemWidget * {
        for (ItemWidget *row : rows())
            if (row->appPath() == path)
                return row;
        return nullptr;
    };
    auto box = [](ItemWidget *row) { return row->findChild<QCheckBox *>(QStringLiteral("checkBox")); };
    auto openPage = [&](const QString &path) -> RemoveWidget * {
        if (!rowOf(path))
            return nullptr;
        if (!box(rowOf(path))->isChecked())
            box(rowOf(path))->click();
        remove->click();
        return window->findChild<RemoveWidget *>();
    };
    auto cancelPage = [&](RemoveWidget *opened) {
        QPointer<RemoveWidget> page = opened;
        page->findChild<QPushButton *>(QStringLiteral("pushButtonCancel"))->click();
        return waitFor([&] { return page.isNull(); });
    };

    // A user's own item, so the probe may take its bundle away while the
    // page is open, as a removal that failed part way may have done.
    const QString habit = QStringLiteral("/Users/tester/Applications/Habit Tracker.app");
    print(QStringLiteral("step\tcancel"));
    RemoveWidget *cancelled = openPage(habit);
    if (!cancelled)
        return 4;
    print(QStringLiteral("page-closed\t%1").arg(cancelPage(cancelled)));
    print(QStringLiteral("kept\t%1").arg(rowOf(habit) != nullptr));
    cancelled = openPage(habit);
    if (!cancelled)
        return 4;
    QDir(habit).removeRecursively();
    print(QStringLiteral("page-closed\t%1").arg(cancelPage(cancelled)));
    print(QStringLiteral("kept\t%1").arg(rowOf(habit) != nullptr));
    showRemove();
    showRecords();

    print(QStringLiteral("step\tselect-a"));
    box(rowOf(QStringLiteral("/Applications/Tide Pro.app")))->click();
    showRemove();
    print(QStringLiteral("step\tselect-b"));
    box(rowOf(victim))->click();
    showRemove();
    print(QStringLiteral("a-checked\t%1").arg(box(rowOf(QStringLiteral("/Applications/Tide Pro.app")))->isChecked()));
    print(QStringLiteral("step\tfilter-away"));
    search->setText(QStringLiteral("zzz"));
    showRemove();
    print(QStringLiteral("step\tfilter-back"));
    search->clear();
    showRemove();
    print(QStringLiteral("b-checked\t%1").arg(box(rowOf(victim))->isChecked()));

    print(QStringLiteral("step\tremove"));
    remove->click();
    QPointer<RemoveWidget> page = window->findChild<RemoveWidget *>();
    if (!page)
        return 4;
    QStringList rootFiles;
    QStringList userFiles;
    page->getRelatedFiles(rootFiles, userFiles);
    for (const QString &path : rootFiles + userFiles)
        print(QStringLiteral("ticked\t") + path);
    print(QStringLiteral("page-summary\t") + page->findChild<QLabel *>(QStringLiteral("labelSummary"))->text());
    QTimer::singleShot(0, page->findChild<QPushButton *>(QStringLiteral("pushButtonRemove")), &QPushButton::click);
    print(QStringLiteral("page-closed\t%1").arg(waitFor([&] { return page.isNull(); })));
    auto *note = main->findChild<QLabel *>(QStringLiteral("labelRemoved"));
    print(QStringLiteral("summary\t%1\t%2").arg(note->isVisible()).arg(note->text()));
    // Shown without a box to dismiss, and the window is the user's meanwhile.
    print(QStringLiteral("modal\t%1").arg(QApplication::activeModalWidget() != nullptr));
    showRemove();
    showRows();
    showRecords();

    print(QStringLiteral("step\tsummary-gone"));
    print(QStringLiteral("hidden\t%1").arg(waitFor([&] { return note->isHidden(); }, 60000)));

    print(QStringLiteral("step\tsize-update"));
    {
        QList<AppInfo *> apps;
        AppCenter::Inst()->getAppList(apps);
        AppInfo changed = *apps.last();
        AppCenter::Inst()->releaseAppList(apps);
        changed.size = 4242;
        changed.sizeState = 2;
        AppCenter::Inst()->update(&changed);
    }
    spin(100);
    showRecords();
    // As a file manager drops: file URLs, copy proposed, entered then dropped.
    auto drop = [&](const QList<QUrl> &urls) -> RemoveWidget * {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(window->width() / 2, window->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        // Taken, so that it arrives; the frame alone says whether it will open a page.
        const bool taken = enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction;
        const bool shown = window->dropTargetShown();
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &dropped);
        RemoveWidget *opened = window->findChild<RemoveWidget *>();
        print(QStringLiteral("drop\t%1\t%2\t%3").arg(taken).arg(shown).arg(opened != nullptr));
        return opened;
    };
    const QString downloads = QStringLiteral("/Users/tester/Downloads/");
    print(QStringLiteral("step\tdrop-other"));
    for (const QList<QUrl> &urls : QList<QList<QUrl>>{
             {QUrl::fromLocalFile(downloads + QStringLiteral("Read Me.txt"))},
             {QUrl(QStringLiteral("https://example.com/Ferry%20Log.app"))},
             {QUrl::fromLocalFile(downloads + QStringLiteral("Ferry Log.app")), QUrl::fromLocalFile(victim)},
             {QUrl::fromLocalFile(downloads + QStringLiteral("Nowhere.app"))}}) {
        if (RemoveWidget *wrong = drop(urls))
            cancelPage(wrong);
    }
    showRecords();

    print(QStringLiteral("step\tdrop-bundle"));
    QPointer<RemoveWidget> dropped = drop({QUrl::fromLocalFile(downloads + QStringLiteral("Ferry Log.app"))});
    if (dropped) {
        rootFiles.clear();
        userFiles.clear();
        dropped->getRelatedFiles(rootFiles, userFiles);
        for (const QString &path : rootFiles + userFiles)
            print(QStringLiteral("ticked\t") + path);
        QTimer::singleShot(0, dropped->findChild<QPushButton *>(QStringLiteral("pushButtonRemove")), &QPushButton::click);
        print(QStringLiteral("page-closed\t%1").arg(waitFor([&] { return dropped.isNull(); })));
    }
    showRecords();

    print(QStringLiteral("step\tleftovers"));
    auto *leftovers = main->findChild<LeftoverList *>(QStringLiteral("leftoverList"));
    auto *leftoversButton = main->findChild<QToolButton *>(QStringLiteral("toolButtonLeftovers"));
    auto leftoverRows = [&] { return leftovers->findChildren<ItemWidget *>(); };
    auto showLeftovers = [&] {
        for (ItemWidget *row : leftoverRows()) {
            if (row->isHidden())
                continue;
            print(QStringLiteral("leftover\t%1\t%2\t%3")
                      .arg(row->appName(), row->findChild<QLabel *>(QStringLiteral("labelPath"))->text(), row->appSize()));
        }
    };
    // The user's own entries of a group the world has in /Library, so that
    // its removal goes both through the service and the application.
    const QString group = QStringLiteral("com.otherworks.installhelper");
    const QString library = QDir::homePath() + QStringLiteral("/Library/");
    const QStringList userEntries{library + QStringLiteral("Caches/") + group,
                                  library + QStringLiteral("Preferences/") + group + QStringLiteral(".plist")};
    QDir().mkpath(userEntries.at(0));
    for (const QString &file : {userEntries.at(0) + QStringLiteral("/cache.db"), userEntries.at(1)}) {
        QFile made(file);
        if (!made.open(QIODevice::WriteOnly) || made.write(QByteArray(6000, 'x')) != 6000)
            return 4;
    }
    leftoversButton->click();
    print(QStringLiteral("shown\t%1\t%2").arg(list->isVisible()).arg(leftovers->isVisible()));
    print(QStringLiteral("selected\t%1").arg(leftoversButton->styleSheet() == QLatin1String(toolButtonPressedStyle)));
    print(QStringLiteral("searched\t%1").arg(waitFor([&] { return !leftovers->isSearching(); })));
    showRemove();
    showLeftovers();
    search->setText(QStringLiteral("INSTALLhelper"));
    print(QStringLiteral("step\tleftovers-search"));
    showLeftovers();
    search->clear();

    print(QStringLiteral("step\tleftovers-remove"));
    for (ItemWidget *row : leftoverRows())
        if (row->appName() == group)
            box(row)->click();
    showRemove();
    remove->click();
    QPointer<RemoveWidget> groupPage = window->findChild<RemoveWidget *>();
    if (!groupPage)
        return 4;
    auto *tree = groupPage->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        for (int k = 0; k < tree->topLevelItem(i)->childCount(); ++k)
            tree->topLevelItem(i)->child(k)->setCheckState(0, Qt::Checked);
    rootFiles.clear();
    userFiles.clear();
    groupPage->getRelatedFiles(rootFiles, userFiles);
    for (const QString &path : rootFiles + userFiles)
        print(QStringLiteral("ticked\t") + path);
    print(QStringLiteral("page-summary\t") + groupPage->findChild<QLabel *>(QStringLiteral("labelSummary"))->text());
    QTimer::singleShot(0, groupPage->findChild<QPushButton *>(QStringLiteral("pushButtonRemove")), &QPushButton::click);
    print(QStringLiteral("page-closed\t%1").arg(waitFor([&] { return groupPage.isNull(); })));
    print(QStringLiteral("summary\t%1\t%2").arg(note->isVisible()).arg(note->text()));
    showRemove();
    showLeftovers();
    for (const QString &path : userEntries)
        if (QFileInfo::exists(path))
            print(QStringLiteral("left\t") + path);
    print(QStringLiteral("step\tleftovers-again"));
    print(QStringLiteral("searched\t%1").arg(waitFor([&] { return !leftovers->isSearching(); })));
    showLeftovers();
    main->findChild<QToolButton *>(buttons.at(0))->click();
    print(QStringLiteral("shown\t%1\t%2").arg(list->isVisible()).arg(leftovers->isVisible()));

    print(QStringLiteral("step\tend"));
    window->close();
    delete window;
    return 0;
}
