#include "RemoveWidget.h"
#include "ui_RemoveWidget.h"

#include "AppCenter.h"
#include "AppEnv.h"
#include "AppInfo.h"
#include "AppScanner.h"
#include "AppRemover.h"
#include "MsgDlg.h"
#include "Preferences.h"
#include "ProgressDlg.h"
#include "RelatedFiles.h"
#include "RunningItem.h"
#include "hpUtils.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QMediaPlayer>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QResizeEvent>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <utility>

namespace {

QTreeWidgetItem *newRow(const QString &text, Qt::CheckState state)
{
    auto *row = new QTreeWidgetItem(QStringList(text));
    row->setFlags(row->flags() | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    row->setCheckState(0, state);
    return row;
}

// A path from the disk may hold markup; a tooltip would render it.
QString plainTip(const QString &path)
{
    return Qt::convertFromPlainText(path, Qt::WhiteSpacePre);
}

QIcon entryIcon(const QFileInfo &info)
{
    static QFileIconProvider provider;
    // Only files and folders go to the platform: asking for the icon of a
    // FIFO or socket may open it, and the generic one says as much.
    if (!info.isSymLink() && (info.isDir() || info.isFile()))
        return provider.icon(info);
    return provider.icon(QFileIconProvider::File);
}

} // namespace

RemoveWidget::RemoveWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::RemoveWidget)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);

    mPlayer = new QMediaPlayer(this);
    mPlayer->setMedia(QUrl::fromLocalFile(QString::fromUtf8(envSoundFile)));
    mPlayer->setVolume(100);
    // Without a decoder or an audio output the removal only goes silent; the
    // log says why, once per run rather than at every removal.
    connect(mPlayer, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), this, [this] {
        static bool logged = false;
        if (!std::exchange(logged, true))
            qWarning("removal sound not played: %s", qUtf8Printable(mPlayer->errorString()));
    });

    ui->verticalLayoutWidget->setFocus(Qt::OtherFocusReason);
    ui->treeWidget->setFocus(Qt::OtherFocusReason);
    if (parent) {
        resize(parent->size());
        ui->verticalLayoutWidget->resize(size());
    }

    connect(ui->treeWidget, &QTreeWidget::itemChanged, this, &RemoveWidget::itemChanged);
    ui->treeWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->treeWidget, &QTreeWidget::customContextMenuRequested, this, &RemoveWidget::showEntryMenu);
    connect(ui->pushButtonRemove, &QPushButton::clicked, this, &RemoveWidget::doRemove);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &RemoveWidget::doCancel);
}

RemoveWidget::~RemoveWidget()
{
    mPlayer->stop();
    delete mPlayer;
    delete ui;
}

void RemoveWidget::resizeEvent(QResizeEvent *event)
{
    ui->verticalLayoutWidget->resize(event->size());
    if (mWaiting)
        mWaiting->setGeometry(ui->treeWidget->rect());
    QWidget::resizeEvent(event);
}

void RemoveWidget::initAppInfo(QString appPath, QString appName, QString appSize, QString appIcon)
{
    this->appName = appName;
    this->appSize = appSize;
    this->appIcon = appIcon;
    ui->treeWidget->setHeaderItem(new QTreeWidgetItem(QStringList(QStringLiteral("All Related Files"))));

    // Which files start ticked depends on every other item's claim: while the
    // discovery worker is still adding items, the page waits for it. Connected
    // before asking, so that an end in between is not missed.
    AppCenter *center = AppCenter::Inst();
    mPendingPath = appPath;
    connect(center, &AppCenter::scanFinished, this, &RemoveWidget::catalogueComplete, Qt::UniqueConnection);
    if (center->isScanning()) {
        showWaiting(true);
        return;
    }
    disconnect(center, &AppCenter::scanFinished, this, &RemoveWidget::catalogueComplete);
    fill(appPath);
}

void RemoveWidget::initBundle(const QString &bundlePath)
{
    AppInfo info;
    if (!readBundleRecord(bundlePath, &info))
        info.name = QFileInfo(bundlePath).fileName();
    initAppInfo(bundlePath, info.name, hpSizeToString(hpGetSize(bundlePath)),
                info.iconDir.isEmpty() ? QString() : info.iconDir + QStringLiteral("/icon_32x32.png"));
}

void RemoveWidget::catalogueComplete()
{
    disconnect(AppCenter::Inst(), &AppCenter::scanFinished, this, &RemoveWidget::catalogueComplete);
    const QString path = mPendingPath; // fill() clears it
    if (!path.isNull())
        fill(path);
}

void RemoveWidget::showWaiting(bool waiting)
{
    if (waiting && !mWaiting) {
        mWaiting = new QLabel(tr("Waiting until every installed item has been found ..."), ui->treeWidget);
        mWaiting->setObjectName(QStringLiteral("labelWaiting"));
        mWaiting->setTextFormat(Qt::PlainText);
        mWaiting->setAlignment(Qt::AlignCenter);
        mWaiting->setWordWrap(true);
        mWaiting->setGeometry(ui->treeWidget->rect());
        mWaiting->show();
    } else if (!waiting) {
        delete mWaiting;
    }
    ui->pushButtonRemove->setVisible(!waiting);
}

void RemoveWidget::fill(const QString &appPath)
{
    mPendingPath = QString();
    showWaiting(false);
    addCategories(RelatedFiles::search(appPath, &mBundleId), true);
}

void RemoveWidget::initLeftovers(const QString &identifier, const QVector<RelatedFiles::Category> &categories)
{
    mLeftovers = true;
    qint64 kib = 0;
    for (const RelatedFiles::Category &category : categories)
        kib += category.kib();
    appName = identifier;
    appSize = hpSizeToString(kib);
    appIcon = QStringLiteral(":/sysIcon/rc/leftovers_button.png");
    ui->treeWidget->setHeaderItem(new QTreeWidgetItem(QStringList(QStringLiteral("All Related Files"))));
    addCategories(categories, false);
}

void RemoveWidget::addCategories(const QVector<RelatedFiles::Category> &categories, bool firstIsBundle)
{
    for (int i = 0; i < categories.size(); ++i) {
        const RelatedFiles::Category &found = categories.at(i);
        // The bundle's row shows the name, size and icon the list shows.
        const bool bundle = firstIsBundle && i == 0;
        const QString size = bundle ? appSize : hpSizeToString(found.kib());
        QTreeWidgetItem *category = newRow(found.label + QStringLiteral(" [") + size + QLatin1Char(']'), Qt::Checked);
        for (const RelatedFiles::Entry &file : found.entries) {
            QTreeWidgetItem *entry = newRow(bundle ? appName : file.name, file.ticked ? Qt::Checked : Qt::Unchecked);
            entry->setIcon(0, bundle ? QIcon(appIcon) : entryIcon(QFileInfo(file.path)));
            entry->setToolTip(0, plainTip(file.path));
            category->addChild(entry);
            mRelatedFiles << file.path;
            mSizes << file.kib;
        }
        ui->treeWidget->addTopLevelItem(category);
    }
    ui->treeWidget->expandAll();
    ui->pushButtonRemove->setVisible(anyCategoryTicked());
    updateSummary();
}

QVector<int> RemoveWidget::tickedEntries() const
{
    QVector<int> ticked;
    int index = 0;
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *category = ui->treeWidget->topLevelItem(i);
        if (category->checkState(0) == Qt::Checked) {
            for (int k = 0; k < category->childCount(); ++k) {
                if (category->child(k)->checkState(0) == Qt::Checked && index + k < mRelatedFiles.size())
                    ticked << index + k;
            }
        }
        index += category->childCount();
    }
    return ticked;
}

qint64 RemoveWidget::tickedKib(const QVector<int> &ticked) const
{
    qint64 kib = 0;
    for (int index : ticked)
        kib += mSizes.value(index);
    return kib;
}

void RemoveWidget::getRelatedFiles(QStringList &rootFiles, QStringList &userFiles)
{
    QStringList ticked;
    for (int index : tickedEntries())
        ticked << mRelatedFiles.at(index);
    RelatedFiles::splitByOwner(ticked, rootFiles, userFiles);
}

QString RemoveWidget::shortName() const
{
    // An identifier is a name of its own; its dots are no extension.
    if (mLeftovers)
        return appName;
    const int dot = appName.indexOf(QLatin1Char('.'));
    return dot < 0 ? appName : appName.left(dot);
}

void RemoveWidget::updateSummary()
{
    const QVector<int> ticked = tickedEntries();
    if (ticked.isEmpty()) {
        ui->labelSummary->setText(tr("Nothing will be removed"));
        return;
    }
    // One arg() call for both, so a name holding "%2" stays as it is.
    ui->labelSummary->setText(tr("%1: %n item(s), %2 will be removed", nullptr, ticked.size())
                                  .arg(shortName(), hpSizeToString(tickedKib(ticked))));
}

void RemoveWidget::showEntryMenu(const QPoint &pos)
{
    QTreeWidgetItem *entry = ui->treeWidget->itemAt(pos);
    if (!entry || !entry->parent())
        return;
    QTreeWidgetItem *category = entry->parent();
    int index = category->indexOfChild(entry);
    for (int i = 0; i < ui->treeWidget->indexOfTopLevelItem(category); ++i)
        index += ui->treeWidget->topLevelItem(i)->childCount();
    const QString path = mRelatedFiles.value(index);
    if (path.isEmpty())
        return;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(tr("Reveal in Finder")), &QAction::triggered, this, [path] {
        if (!QProcess::startDetached(QStringLiteral("open"), {QStringLiteral("-R"), path}))
            qDebug("open -R could not be started for %s\n", qPrintable(path));
    });
    menu->popup(ui->treeWidget->viewport()->mapToGlobal(pos));
}

void RemoveWidget::checkChildren(QTreeWidgetItem *item, Qt::CheckState state)
{
    if (item->checkState(0) != state)
        item->setCheckState(0, state);
    for (int i = 0; i < item->childCount(); ++i)
        checkChildren(item->child(i), state);
}

void RemoveWidget::itemChanged(QTreeWidgetItem *item, int column)
{
    if (column != 0)
        return;
    checkChildren(item, item->checkState(0));
    ui->pushButtonRemove->setVisible(anyCategoryTicked());
    updateSummary();
}

bool RemoveWidget::anyCategoryTicked() const
{
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        if (ui->treeWidget->topLevelItem(i)->checkState(0) == Qt::Checked)
            return true;
    }
    return false;
}

void RemoveWidget::doRemove()
{
    const QString name = shortName();
    if (MsgDlg::warning(this, tr("Remove ") + name + tr(" ?"), tr("Are you sure to remove ") + name + tr(" ?"),
                        QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // Leftovers belong to no bundle anything could run from.
    if (!mLeftovers && !quitRunning())
        return;

    QStringList rootFiles;
    QStringList userFiles;
    getRelatedFiles(rootFiles, userFiles);
    const QVector<int> ticked = tickedEntries();
    mRemovingItems = ticked.size();
    mRemovingKib = tickedKib(ticked);

    // The worker outlives neither its thread nor a closed page: it deletes
    // itself once its thread has ended, whoever is still listening.
    auto *remover = new AppRemover(rootFiles, userFiles);
    mRemover = remover;
    mWorkerReported = false;
    mCancelled = false;
    connect(remover, &AppRemover::done, this, &RemoveWidget::removeThreadFinished);
    connect(remover, &AppRemover::deleting, this, [this] {
        if (mProgress)
            mProgress->lock();
    });
    connect(remover, &QThread::finished, remover, &QObject::deleteLater);
    remover->start(QThread::InheritPriority);

    if (mProgress)
        return;
    // Until the worker has found the helper service nothing is deleted, and
    // the removal may still be called off; a removal of the user's own files
    // alone begins at once.
    bool cancellable = !rootFiles.isEmpty();
    for (;;) {
        mProgress = new ProgressDlg(nullptr);
        mProgress->setProperty(tr("Remove App"), tr("Removing ..."), !cancellable, !cancellable);
        mProgress->exec();
        // It deleted itself on closing; the guard forgets it.
        if (mWorkerReported || !mRemover)
            break;
        if (mRemover->cancel()) {
            mCancelled = true;
            break;
        }
        // Too late: deleting has begun and is shown to its end.
        cancellable = false;
    }
}

bool RemoveWidget::quitRunning()
{
    const RunningItem item(mRelatedFiles.value(0), mBundleId);
    // Root's and other users' processes are not this user's to end; what
    // they hold open stays theirs, and the files go as the service removes them.
    for (const RunningItem::Process &p : item.processes()) {
        if (!p.own)
            qWarning("left running, not this user's: %lld %s", p.pid, qUtf8Printable(p.executable));
    }
    if (item.ownProcesses().isEmpty())
        return true;
    const QString name = shortName();
    MsgDlg ask(this, tr("%1 is running").arg(name), tr("%1 is running. Quit it before removing it?").arg(name),
               QMessageBox::Yes | QMessageBox::No);
    ask.setButtonTexts(tr("Quit and Remove"), tr("Cancel"));
    if (ask.exec() != QMessageBox::Yes)
        return false;
    item.askToQuit();
    const int polite = waitUntilQuit(item, tr("Waiting for %1 to quit ...").arg(name));
    if (polite != QMessageBox::Ignore)
        return polite == QMessageBox::Yes;
    MsgDlg force(this, tr("%1 did not quit").arg(name),
                 tr("%1 is still running. Force it to quit? Its unsaved changes will be lost.").arg(name),
                 QMessageBox::Yes | QMessageBox::No);
    force.setButtonTexts(tr("Force Quit"), tr("Cancel"));
    if (force.exec() != QMessageBox::Yes)
        return false;
    item.forceQuit();
    const int forced = waitUntilQuit(item, tr("Waiting for %1 to quit ...").arg(name));
    if (forced == QMessageBox::Ignore)
        MsgDlg::warning(this, tr("%1 is running").arg(name), tr("%1 is still running, so nothing was removed.").arg(name),
                        QMessageBox::Yes);
    return forced == QMessageBox::Yes;
}

int RemoveWidget::waitUntilQuit(const RunningItem &item, const QString &text)
{
    const int pollMs = 100;
    const qint64 patienceMs = 10000;
    if (item.ownProcesses().isEmpty())
        return QMessageBox::Yes;
    QPointer<ProgressDlg> note = new ProgressDlg(this);
    note->setProperty(tr("Remove App"), text, false, false);
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (!note)
            return;
        if (item.ownProcesses().isEmpty())
            note->done(QMessageBox::Yes);
        else if (waited.elapsed() >= patienceMs)
            note->done(QMessageBox::Ignore);
    });
    poll.start(pollMs);
    const int result = note->exec();
    poll.stop();
    return result;
}

void RemoveWidget::removeThreadFinished(QString errString)
{
    mWorkerReported = true;
    // Called off before anything was deleted: the page is as it was.
    if (mCancelled)
        return;
    if (!errString.isEmpty() && errString != QLatin1String("success")) {
        // The paths it lists are names from the disk, never markup. They go
        // to the details, where hundreds of them scroll instead of running
        // off the screen.
        QStringList lines = errString.split(QLatin1Char('\n'));
        const int heading = lines.indexOf(tr("Some files could not be removed:"));
        const QStringList left = heading < 0 ? QStringList() : lines.mid(heading + 1);
        if (heading >= 0)
            lines = lines.mid(0, heading + 1);
        QMessageBox box(QMessageBox::Information, tr("Error"), lines.join(QLatin1Char('\n')), QMessageBox::Yes, this);
        box.setTextFormat(Qt::PlainText);
        if (!left.isEmpty())
            box.setDetailedText(left.join(QLatin1Char('\n')));
        box.exec();
        if (mProgress)
            mProgress->done(QMessageBox::No);
        return;
    }
    if (Preferences::playSound()) {
        mPlayer->play();
        for (int step = 0; step < 30 && mPlayer->state() == QMediaPlayer::PlayingState; ++step) {
            QEventLoop loop;
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }
    if (mProgress)
        mProgress->done(QMessageBox::No);
    emit removedSummary(shortName(), mRemovingItems, mRemovingKib);
    if (mLeftovers) {
        // The group is gone when none of its entries is left.
        emit removeFinished(std::none_of(mRelatedFiles.begin(), mRelatedFiles.end(), [](const QString &path) {
            return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
        }));
        return;
    }
    emit removeFinished(!QFileInfo::exists(mRelatedFiles.value(0)) && !QFileInfo(mRelatedFiles.value(0)).isSymLink());
}

void RemoveWidget::doCancel()
{
    emit removeCancel();
}
