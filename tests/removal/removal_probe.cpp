// The removal page as the list view drives it, for tests inside tools/sandbox:
//   removal_probe list|remove APPPATH [--catalogue] [--other PATH=ID ...] [--late-other PATH=ID ...]
//                 [--size KIB] [--toggle TEXT ...] [--reveal TEXT] [--cancel-progress]
//                 [--start EXE [--start-arg ARG ...]] [--refuse-quit] [--leftovers]
// --catalogue fills the catalogue with the discovery worker first; --other
// adds one record by hand instead, --size one for APPPATH itself, measured at
// KIB; --late-other adds one only after the page has opened, while the
// catalogue counts as still being filled. --toggle flips the check box of the
// first row whose text starts with TEXT, as a click would; --reveal asks for
// that row's context menu and chooses "Reveal in Finder". The texts are the
// build's English ones. --start runs EXE detached before the page opens;
// --refuse-quit answers Cancel when asked to quit a running item. With
// --leftovers APPPATH is the identifier of a group of leftovers, found as the
// window finds them, and every entry is ticked as a user would tick them.
// Prints, tab-separated:
//   group <identifier> <entries>         with --leftovers: every group found
//   waiting <shown 0|1>                  with --late-other: whether the page waited
//   row <depth> <checked 0|1> <text>     every row in tree order
//   tip <tooltip as plain text>          every entry's tooltip, in row order
//   summary <text>                       what the page says will go
//   revealed <line>                      what the open stand-in recorded
//   path <path>                          every entry's path, in row order
//   remove-button <visible 0|1>
//   root <path> / user <path>            what a confirmed removal would take
// and in remove mode, after confirming every question with Ok:
//   error <text, newlines as \n> | error-details <text> | finished <bundle gone 0|1>
//   cancel <offered 0|1>                 with --cancel-progress, when the progress dialog shows
//   asked <text>                         every question's text, as it shows
//   alive <0|1>                          with --start, at the end: whether EXE still runs
#include "AppCenter.h"
#include "AppEnv.h"
#include "AppFinder.h"
#include "AppInfo.h"
#include "AppRemover.h"
#include "LeftoverFinder.h"
#include "LeftoverScan.h"
#include "MsgDlg.h"
#include "Probe.h"
#include "ProgressDlg.h"
#include "RemoveWidget.h"
#include "hpHarden.h"
#include "hpUtils.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

using probe::print;

// Notes the worker's end: it deletes itself once its thread has ended.
class WorkerEnd : public QObject
{
public:
    bool ended = false;
    QEventLoop loop;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::DeferredDelete && qobject_cast<AppRemover *>(watched)) {
            ended = true;
            loop.quit();
        }
        return false;
    }
};

void fillCatalogue()
{
    auto *finder = new AppFinder(nullptr);
    QEventLoop loop;
    QObject::connect(finder, &AppFinder::done, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    finder->start();
    loop.exec();
    finder->wait();
}

void printRows(QTreeWidgetItem *item, int depth, QStringList &tips)
{
    print(QStringLiteral("row\t%1\t%2\t%3").arg(depth).arg(item->checkState(0) == Qt::Checked).arg(item->text(0)));
    if (depth > 0) {
        // As the tooltip shows it: rich text, rendered.
        QTextDocument shown;
        shown.setHtml(item->toolTip(0));
        tips << QStringLiteral("tip\t") + shown.toPlainText();
    }
    for (int i = 0; i < item->childCount(); ++i)
        printRows(item->child(i), depth + 1, tips);
}

// Asks for the row's context menu as a right click would and chooses the
// reveal; returns what the open stand-in recorded, or nothing without a menu.
QString reveal(QTreeWidget *tree, QTreeWidgetItem *row)
{
    const QPoint at = tree->visualItemRect(row).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(tree->viewport(), &click);
    auto *menu = tree->window()->findChild<QMenu *>();
    if (!menu)
        return QString();
    for (QAction *action : menu->actions()) {
        if (action->text() == QCoreApplication::translate("RemoveWidget", "Reveal in Finder"))
            action->trigger();
    }
    menu->close();
    // The stand-in runs detached; this bounds a run that never records.
    QFile log(qEnvironmentVariable("TMPDIR", QStringLiteral("/tmp")) + QStringLiteral("/open.log"));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000 && !(log.open(QIODevice::ReadOnly) && log.size() > 0)) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return QString::fromUtf8(log.readAll()).trimmed();
}

QTreeWidgetItem *findRow(QTreeWidgetItem *item, const QString &text)
{
    if (item->text(0).startsWith(text))
        return item;
    for (int i = 0; i < item->childCount(); ++i) {
        if (QTreeWidgetItem *found = findRow(item->child(i), text))
            return found;
    }
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    hpHardenProcess();
    // It fills and deletes what it is told to: only inside the sandbox.
    if (!probe::inSandbox("removal_probe"))
        return 2;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("vextora"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrelsweep"));
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    AppEnv::initPaths();
    const bool remove = args.at(1) == QLatin1String("remove");
    const QString appPath = args.at(2);
    QStringList toggles;
    QList<AppInfo *> late;
    QString revealed;
    bool leftovers = false;
    QString started;
    QStringList startArgs;
    for (int i = 3; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--catalogue")) {
            fillCatalogue();
        } else if (args.at(i) == QLatin1String("--other") && i + 1 < args.size()) {
            auto *info = new AppInfo;
            info->path = args.at(++i).section(QLatin1Char('='), 0, 0);
            info->bundleId = args.at(i).section(QLatin1Char('='), 1);
            AppCenter::Inst()->append(info);
        } else if (args.at(i) == QLatin1String("--late-other") && i + 1 < args.size()) {
            auto *info = new AppInfo;
            info->path = args.at(++i).section(QLatin1Char('='), 0, 0);
            info->bundleId = args.at(i).section(QLatin1Char('='), 1);
            late << info;
        } else if (args.at(i) == QLatin1String("--size") && i + 1 < args.size()) {
            auto *info = new AppInfo;
            info->path = appPath;
            info->size = args.at(++i).toLongLong();
            info->sizeState = 2;
            AppCenter::Inst()->append(info);
        } else if (args.at(i) == QLatin1String("--toggle") && i + 1 < args.size()) {
            toggles << args.at(++i);
        } else if (args.at(i) == QLatin1String("--start") && i + 1 < args.size()) {
            started = args.at(++i);
        } else if (args.at(i) == QLatin1String("--start-arg") && i + 1 < args.size()) {
            startArgs << args.at(++i);
        } else if (args.at(i) == QLatin1String("--leftovers")) {
            leftovers = true;
        } else if (args.at(i) == QLatin1String("--reveal") && i + 1 < args.size()) {
            revealed = args.at(++i);
        }
    }
    QTranslator translator;
    if (!translator.load(QStringLiteral("en.qm"), QStringLiteral(KS_BUNDLE_RESOURCES)))
        return 3;
    QCoreApplication::installTranslator(&translator);

    // Detached, so that init, not the probe, reaps it once it ends.
    qint64 runner = 0;
    if (!started.isEmpty() && !QProcess::startDetached(started, startArgs, QString(), &runner))
        return 4;
    // Not a zombie: a process that has ended has no executable left.
    const auto alive = [runner] {
        char buf[16];
        return readlink(QByteArray("/proc/" + QByteArray::number(runner) + "/exe").constData(), buf, sizeof buf) > 0;
    };

    if (!late.isEmpty())
        AppCenter::Inst()->setScanning(true);
    auto *page = new RemoveWidget(nullptr);
    auto *tree = page->findChild<QTreeWidget *>(QStringLiteral("treeWidget"));
    if (leftovers) {
        const QString home = hpHomePath();
        LeftoverFinder finder(LeftoverScan::installedClaims(), home);
        for (const LeftoverFinder::Folder &folder : LeftoverFinder::folders(home))
            finder.scan(folder);
        const QVector<LeftoverFinder::Group> groups = finder.groups();
        for (const LeftoverFinder::Group &group : groups) {
            print(QStringLiteral("group\t%1\t%2").arg(group.identifier).arg(group.entries.size()));
            if (group.identifier == appPath)
                page->initLeftovers(appPath, LeftoverFinder::categories(group));
        }
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            (*it)->setCheckState(0, Qt::Checked);
    } else {
        const QString name = appPath.mid(appPath.lastIndexOf(QLatin1Char('/')) + 1);
        page->initAppInfo(appPath, name, QStringLiteral("1.00M"), QString());
    }
    page->show();
    if (!late.isEmpty()) {
        auto *waiting = page->findChild<QLabel *>(QStringLiteral("labelWaiting"));
        print(QStringLiteral("waiting\t%1").arg(waiting && waiting->isVisible() && tree->topLevelItemCount() == 0
                                                 && !page->findChild<QPushButton *>(QStringLiteral("pushButtonRemove"))->isVisible()));
        // As the discovery worker ends: the last records, then the end.
        std::thread worker([&late] {
            AppCenter::Inst()->append(late);
            AppCenter::Inst()->setScanning(false);
        });
        worker.join();
        while (tree->topLevelItemCount() == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    for (const QString &text : toggles) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (QTreeWidgetItem *row = findRow(tree->topLevelItem(i), text)) {
                row->setCheckState(0, row->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
                break;
            }
        }
    }
    QStringList tips;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        printRows(tree->topLevelItem(i), 0, tips);
    for (const QString &tip : qAsConst(tips))
        print(tip);
    print(QStringLiteral("summary\t") + page->findChild<QLabel *>(QStringLiteral("labelSummary"))->text());
    for (int i = 0; !revealed.isEmpty() && i < tree->topLevelItemCount(); ++i) {
        if (QTreeWidgetItem *row = findRow(tree->topLevelItem(i), revealed)) {
            print(QStringLiteral("revealed\t") + reveal(tree, row));
            break;
        }
    }
    print(QStringLiteral("remove-button\t%1")
              .arg(page->findChild<QPushButton *>(QStringLiteral("pushButtonRemove"))->isVisible()));
    // Every entry's path in row order: ticked all at once, without the
    // page hearing of it, then put back.
    {
        QList<QPair<QTreeWidgetItem *, Qt::CheckState>> saved;
        const QSignalBlocker quiet(tree);
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            saved << qMakePair(*it, (*it)->checkState(0));
            (*it)->setCheckState(0, Qt::Checked);
        }
        QStringList all;
        page->getRelatedFiles(all, all);
        for (const QString &path : qAsConst(all))
            print(QStringLiteral("path\t") + path);
        for (const auto &item : qAsConst(saved))
            item.first->setCheckState(0, item.second);
    }
    QStringList rootFiles;
    QStringList userFiles;
    page->getRelatedFiles(rootFiles, userFiles);
    for (const QString &path : qAsConst(rootFiles))
        print(QStringLiteral("root\t") + path);
    for (const QString &path : qAsConst(userFiles))
        print(QStringLiteral("user\t") + path);
    if (!remove)
        return 0;

    // Ok to the confirmation, every other box reported; the progress
    // dialog's Cancel pressed as soon as it shows, if asked and offered.
    // Cancel to the question whether to quit a running item, if asked to refuse.
    probe::DialogAnswerer answerer;
    const bool cancelProgress = args.contains(QStringLiteral("--cancel-progress"));
    const bool refuseQuit = args.contains(QStringLiteral("--refuse-quit"));
    bool refused = false;
    answerer.onShow = [cancelProgress, refuseQuit, &refused](QWidget *window) {
        if (auto *box = qobject_cast<QMessageBox *>(window)) {
            print(QStringLiteral("error\t") + box->text().replace(QLatin1Char('\n'), QLatin1String("\\n")));
            print(QStringLiteral("error-details\t") + box->detailedText().replace(QLatin1Char('\n'), QLatin1String("\\n")));
        } else if (qobject_cast<MsgDlg *>(window)) {
            const QString text = window->findChild<QLabel *>(QStringLiteral("labelInfo"))->text();
            print(QStringLiteral("asked\t") + text);
            if (refuseQuit && text.contains(QLatin1String(" is running. "))) {
                refused = true;
                QMetaObject::invokeMethod(window, "done", Qt::QueuedConnection, Q_ARG(int, QMessageBox::No));
                return true;
            }
        } else if (qobject_cast<ProgressDlg *>(window) && cancelProgress) {
            auto *cancel = window->findChild<QPushButton *>(QStringLiteral("pushButtonCancel"));
            print(QStringLiteral("cancel\t%1").arg(cancel && !cancel->isHidden()));
            if (cancel && !cancel->isHidden())
                QMetaObject::invokeMethod(cancel, "click", Qt::QueuedConnection);
        }
        return false;
    };
    int status = 1;
    QObject::connect(page, &RemoveWidget::removeFinished, &app, [&](bool gone) {
        print(QStringLiteral("finished\t%1").arg(gone));
        status = 0;
    });
    WorkerEnd workerEnd;
    app.installEventFilter(&workerEnd);
    // Returns once the worker has reported and its dialogs are gone.
    page->doRemove();
    // The worker's thread ends and the worker deletes itself before the
    // process does, however long that takes.
    if (!workerEnd.ended && !refused)
        workerEnd.loop.exec();
    if (runner > 0)
        print(QStringLiteral("alive\t%1").arg(alive()));
    delete page;
    return status;
}
