#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "AboutDlg.h"
#include "AppEnv.h"
#include "CheckUpdate.h"
#include "DownloadDlg.h"
#include "MainWidget.h"
#include "MsgDlg.h"
#include "Preferences.h"
#include "PreferencesDlg.h"
#include "hpProtected.h"
#include "hpUtils.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

MainWindow *sMainWindow = nullptr;
const int kDailyMs = 24 * 60 * 60 * 1000;

// The kinds the catalogue lists, with the Mac's spelling of their extensions.
bool isBundleName(const QString &path)
{
    for (const char *ext : {".app", ".wdgt", ".plugin", ".webplugin", ".prefPane"}) {
        if (path.endsWith(QLatin1String(ext)))
            return true;
    }
    return false;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    sMainWindow = this;
    DownloadDlg::closeSubWidgets = &MainWindow::closeSubWidgets;
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    createMenu();
    setAcceptDrops(true);
    mFrameStyle = ui->layoutWidget->styleSheet();

    connect(ui->sysBtnClose, &QPushButton::clicked, qApp, &QApplication::quit);
    connect(ui->sysBtnMin, &QPushButton::clicked, this, &MainWindow::showMinimized);

    showUpdateBg();
    mUpdateTimer = new QTimer(this);
    connect(mUpdateTimer, &QTimer::timeout, this, &MainWindow::showUpdateBg);
    mUpdateTimer->start(kDailyMs);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = frameGeometry();
    move(screen.x() + (screen.width() - frame.width()) / 2, screen.y() + (screen.height() - frame.height()) / 2);
}

MainWindow::~MainWindow()
{
    if (sMainWindow == this)
        sMainWindow = nullptr;
    delete ui;
}

void MainWindow::createMenu()
{
    mAboutAction = new QAction(tr("&About"), this);
    mPreferencesAction = new QAction(tr("&Preferences"), this);
    mHelpAction = new QAction(tr("&Online Help"), this);
    mUpdateAction = new QAction(tr("&Checking for updates"), this);
    connect(mAboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(mPreferencesAction, &QAction::triggered, this, &MainWindow::showPerferences);
    connect(mHelpAction, &QAction::triggered, this, &MainWindow::showHelp);
    connect(mUpdateAction, &QAction::triggered, this, &MainWindow::showUpdate);

    mHelpMenu = menuBar()->addMenu(tr("&Help"));
    mHelpMenu->addAction(mAboutAction);
    mHelpMenu->addAction(mPreferencesAction);
    mHelpMenu->addAction(mHelpAction);
    mHelpMenu->addSeparator();
    mHelpMenu->addAction(mUpdateAction);
}

void MainWindow::setMainWidget(QWidget *widget)
{
    ui->mainWidgetLayout->addWidget(widget);
    mMainWidget = widget;
}

int MainWindow::showAbout()
{
    auto *dlg = new AboutDlg(this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    mAboutDlg = dlg;
    const int result = dlg->exec();
    mAboutDlg = nullptr;
    return result;
}

int MainWindow::showPerferences()
{
    auto *dlg = new PreferencesDlg(this);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    if (auto *main = qobject_cast<MainWidget *>(mMainWidget))
        connect(dlg, &PreferencesDlg::prefKeepSafeChanged, main, &MainWidget::keepSafeChanged);
    connect(dlg, &PreferencesDlg::prefCheckNowClicked, this, &MainWindow::showUpdate);
    mPreferencesDlg = dlg;
    const int result = dlg->exec();
    mPreferencesDlg = nullptr;
    return result;
}

void MainWindow::showHelp()
{
    const QString address = QString::fromUtf8(envHelpUrl);
    if (QDesktopServices::openUrl(QUrl(address)))
        return;
    // No browser took it (none installed, or none the system knows): the
    // user can still copy the address from the message.
    qDebug("no web browser opened the online help: %s\n", qPrintable(address));
    MsgDlg::warning(this, tr("Online Help"),
                    tr("The online help could not be opened in a web browser. Its address is:\n%1").arg(address),
                    QMessageBox::Yes);
}

void MainWindow::showUpdate()
{
    qDebug("showUpdate\n");
    replaceUpdateCheck();
    mCheckUpdate->start();
}

void MainWindow::showUpdateBg()
{
    if (!Preferences::autoCheckUpdate())
        return;
    qDebug("showUpdateBg\n");
    if (mCheckUpdate && mCheckUpdate->isVisible())
        return;
    replaceUpdateCheck();
    mCheckUpdate->startBg();
}

void MainWindow::replaceUpdateCheck()
{
    if (mCheckUpdate) {
        mCheckUpdate->stop();
        delete mCheckUpdate;
    }
    mCheckUpdate = new CheckUpdate(this);
}

void MainWindow::closeSubWidgets()
{
    if (!sMainWindow)
        return;
    if (sMainWindow->mPreferencesDlg)
        sMainWindow->mPreferencesDlg->done(-1);
    if (sMainWindow->mCheckUpdate)
        sMainWindow->mCheckUpdate->stop();
    if (sMainWindow->mAboutDlg)
        sMainWindow->mAboutDlg->done(-1);
}

QString MainWindow::droppableBundle(const QMimeData *data) const
{
    const auto *main = qobject_cast<MainWidget *>(mMainWidget);
    if (!main || main->isRemoving() || !data->hasUrls() || data->urls().size() != 1)
        return QString();
    const QUrl url = data->urls().first();
    if (!url.isLocalFile())
        return QString();
    const QString path = QDir::cleanPath(url.toLocalFile());
    // A link is removed as a link, never what it points to: not a bundle to
    // offer on its own. What is protected is never offered at all.
    const QFileInfo info(path);
    if (!info.isAbsolute() || info.isSymLink() || !info.isDir() || !isBundleName(path)
        || hpIsProtectedPath(path, hpHomePath()))
        return QString();
    return path;
}

void MainWindow::showDropTarget(bool shown)
{
    mDropTargetShown = shown;
    QString style = mFrameStyle;
    if (shown)
        style.replace(QLatin1String("rgba(133, 143, 140, 255)"), QLatin1String("rgba(56, 117, 215, 255)"))
            .replace(QLatin1String("border: 1px;"), QLatin1String("border: 2px;"));
    ui->layoutWidget->setStyleSheet(style);
}

// Whatever a file manager drags is taken, so that the drop arrives and the
// window can say what it takes instead; only a bundle lights the frame.
void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
    showDropTarget(!droppableBundle(event->mimeData()).isEmpty());
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragLeaveEvent(QDragLeaveEvent *event)
{
    showDropTarget(false);
    QMainWindow::dragLeaveEvent(event);
}

void MainWindow::dropEvent(QDropEvent *event)
{
    showDropTarget(false);
    const QString path = droppableBundle(event->mimeData());
    auto *main = qobject_cast<MainWidget *>(mMainWidget);
    if (!path.isEmpty() && main && main->openRemovePage(path)) {
        event->acceptProposedAction();
        return;
    }
    event->ignore();
    // Dropped while a page is open, the page is the answer already.
    if (main && !main->isRemoving())
        MsgDlg::warning(this, tr("Not an item to remove"),
                        tr("Drop one application, widget, plug-in or preference pane here to remove it."),
                        QMessageBox::Yes);
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        mLastPos = event->globalPos();
        mDragging = true;
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (mDragging) {
        const QPoint now = event->globalPos();
        const QPoint delta = now - mLastPos;
        mLastPos = now;
        move(pos() + delta);
    }
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    mDragging = false;
    QMainWindow::mouseReleaseEvent(event);
}
