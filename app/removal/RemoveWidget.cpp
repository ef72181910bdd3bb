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
#include "RunningItem.h"
#include "TickRule.h"
#include "hpProtected.h"
#include "hpSettings.h"
#include "hpUtils.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QMediaPlayer>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QResizeEvent>
#include <QSettings>
#include <QTextCodec>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <dirent.h>
#include <utility>
#include <vector>

namespace {

// "Foo Bar.app" -> "Foo Bar", "Foo.beta.app" -> "Foo.beta", "Foo" -> "Foo".
QString baseNameOf(const QString &appPath)
{
    const QString last = appPath.mid(appPath.lastIndexOf(QLatin1Char('/')) + 1);
    const int dot = last.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? last : last.left(dot);
}

QString bundleIdOf(const QString &appPath)
{
    // A FIFO in place of the property list would block the read for good.
    const QString plist = appPath + QStringLiteral("/Contents/Info.plist");
    if (!hpIsRegularFile(plist))
        return QString();
    const QSettings settings(plist, hpSettingsFormat());
    return settings.value(QStringLiteral("CFBundleIdentifier")).toString();
}

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

// Whether a stored file name can begin with key, compared without regard to
// case. Only the ASCII head of both is judged, where a byte is a character in
// any encoding and folding is plain: the first other byte leaves the answer to
// the exact test, as decoding and composed forms are Qt's business.
bool mayStartWith(const char *name, const QString &key)
{
    const auto asciiLower = [](ushort c) { return c >= 'A' && c <= 'Z' ? ushort(c + ('a' - 'A')) : c; };
    for (int i = 0; i < key.size(); ++i) {
        const ushort k = key.at(i).unicode();
        const auto c = static_cast<unsigned char>(name[i]);
        if (k >= 0x80 || c >= 0x80)
            return true;
        if (c == 0 || asciiLower(c) != asciiLower(k))
            return false;
    }
    return true;
}

bool sameName(const QString &name, const char *stored)
{
    const QByteArray encoded = QFile::encodeName(name);
    if (encoded == stored)
        return true;
    QTextCodec::ConverterState state;
    const QString decoded = QTextCodec::codecForName("UTF-8")->toUnicode(stored, int(qstrlen(stored)), &state);
    return state.invalidChars == 0
           && QString::fromUtf8(encoded).normalized(QString::NormalizationForm_C)
                  == decoded.normalized(QString::NormalizationForm_C);
}

// The folder's entries whose names begin with key, in the order of a listing
// sorted by name without regard to case, hidden ones left out. "." and ".."
// would name the folder and its parent, and System keeps sockets, pipes and
// dangling links, which are leftovers like any file.
// A Library folder holds thousands of entries and a handful are ours: a
// QFileInfo for each, and a sort of them all, took most of the search's time.
QFileInfoList entriesStartingWith(const QString &folder, const QString &key)
{
    const QString foldedKey = TickRule::folded(key);
    std::vector<std::pair<QString, QFileInfo>> found;
    const QByteArray native = QFile::encodeName(folder);
    DIR *dir = native.isEmpty() ? nullptr : opendir(native.constData());
    if (!dir)
        return {};
    const QDir parent(folder);
    while (const struct dirent *d = readdir(dir)) {
        if (!mayStartWith(d->d_name, key) || qstrcmp(d->d_name, ".") == 0 || qstrcmp(d->d_name, "..") == 0)
            continue;
        // A name that does not survive decoding names no file we could reach
        // again; Qt's own listing leaves such names out as well. The Mac
        // stores some names composed and Qt encodes them decomposed: the same
        // name, which the file system finds either way.
        const QString name = QFile::decodeName(d->d_name);
        if (!TickRule::folded(name).startsWith(foldedKey) || !sameName(name, d->d_name))
            continue;
        const QFileInfo info(parent, name);
        if (!info.isHidden())
            found.emplace_back(name.toLower(), info);
    }
    closedir(dir);
    // The comparison a case-blind name sort of a directory listing makes.
    std::stable_sort(found.begin(), found.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    QFileInfoList entries;
    entries.reserve(int(found.size()));
    for (const auto &entry : found)
        entries << entry.second;
    return entries;
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
    const QString base = baseNameOf(appPath);
    QString bundleId = bundleIdOf(appPath);

    // What the other catalogued items are called decides which of our
    // matches start ticked; the longest keys are the most precise claims.
    // The item's own record keeps its identifier when the bundle lost its
    // Info.plist in an earlier, partly failed removal.
    QStringList otherKeys;
    QList<AppInfo *> apps;
    AppCenter::Inst()->getAppList(apps);
    for (const AppInfo *info : qAsConst(apps)) {
        if (info->path == appPath) {
            if (bundleId.isEmpty())
                bundleId = info->bundleId;
            continue;
        }
        otherKeys << baseNameOf(info->path);
        if (!info->bundleId.isEmpty())
            otherKeys << info->bundleId;
    }
    AppCenter::Inst()->releaseAppList(apps);
    mTicks = TickRule(otherKeys);
    mBundleId = bundleId;

    addBinaries(appPath);

    const QString home = hpHomePath();
    const QString lib = home + QStringLiteral("/Library/");
    const struct {
        const char *label;
        QString folder;
        const QString &key;
    } searches[] = {
        {"Preferences", lib + QStringLiteral("Preferences/"), bundleId},
        {"Saved Application State", lib + QStringLiteral("Saved Application State/"), bundleId},
        {"Containers", lib + QStringLiteral("Containers/"), bundleId},
        {"Caches", lib + QStringLiteral("Caches/"), bundleId},
        {"Plugins", lib + QStringLiteral("Internet Plug-Ins/"), bundleId},
        {"Crashes", lib + QStringLiteral("Application Support/CrashReporter/"), base},
        {"Crashes", lib + QStringLiteral("Logs/DiagnosticReports/"), base},
        {"Library", QStringLiteral("/Library/"), base},
        {"Application Support", lib + QStringLiteral("Application Support/"), base},
        {"Application Support", lib + QStringLiteral("Application Support/"), bundleId},
        {"Login Items", QStringLiteral("/Library/LaunchDaemons/"), bundleId},
        {"Login Items", QStringLiteral("/Library/LaunchAgents/"), bundleId},
        {"Login Items", lib + QStringLiteral("LaunchAgents/"), bundleId},
        {"Privileged Helper Tools", QStringLiteral("/Library/PrivilegedHelperTools/"), bundleId},
        {"Receipts", QStringLiteral("/private/var/db/receipts/"), bundleId},
        {"Socket", QStringLiteral("/private/var/run/"), bundleId},
    };
    for (const auto &search : searches) {
        mKeyIsBundleId = &search.key == &bundleId;
        addDepends(QString::fromLatin1(search.label), search.folder, search.key);
    }
    mKeyIsBundleId = false;
    ui->pushButtonRemove->setVisible(anyCategoryTicked());
    updateSummary();
}

void RemoveWidget::addBinaries(QString appPath)
{
    QTreeWidgetItem *category = newRow(QStringLiteral("Binaries [") + appSize + QLatin1Char(']'), Qt::Checked);
    QTreeWidgetItem *entry = newRow(appName, Qt::Checked);
    entry->setIcon(0, QIcon(appIcon));
    entry->setToolTip(0, plainTip(appPath));
    category->addChild(entry);
    mRelatedFiles << appPath;
    // The catalogue has usually measured the bundle already.
    qint64 kib = -1;
    QList<AppInfo *> apps;
    AppCenter::Inst()->getAppList(apps);
    for (const AppInfo *info : qAsConst(apps)) {
        if (kib < 0 && info->path == appPath && info->sizeState == 2)
            kib = info->size;
    }
    AppCenter::Inst()->releaseAppList(apps);
    mSizes << (kib < 0 ? hpGetSize(appPath) : kib);
    ui->treeWidget->addTopLevelItem(category);
    ui->treeWidget->expandAll();
}

void RemoveWidget::addDepends(QString label, QString folder, QString key)
{
    if (key.isEmpty())
        return;
    const QString home = hpHomePath();
    QTreeWidgetItem *category = newRow(label, Qt::Checked);
    qint64 total = 0;
    // A searched folder may be a link (to another disk, or to a standard
    // folder): what its entries really are decides whether they may go.
    const QString real = QFileInfo(folder).canonicalFilePath();
    for (const QFileInfo &info : entriesStartingWith(folder, key)) {
        const QString name = info.fileName();
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + name);
        if (hpIsProtectedPath(path, home) || hpIsProtectedPath(real + QLatin1Char('/') + name, home))
            continue;
        const bool ours = mTicks.ticked(name, key, mKeyIsBundleId);
        QTreeWidgetItem *entry = newRow(name, ours ? Qt::Checked : Qt::Unchecked);
        entry->setIcon(0, entryIcon(info));
        entry->setToolTip(0, plainTip(path));
        category->addChild(entry);
        mSizes << hpGetSize(path);
        total += mSizes.last();
        mRelatedFiles << path;
    }
    category->setText(0, label + QStringLiteral(" [") + hpSizeToString(total) + QLatin1Char(']'));
    if (category->childCount() == 0) {
        delete category;
        return;
    }
    ui->treeWidget->addTopLevelItem(category);
    ui->treeWidget->expandToDepth(0);
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
    for (int index : tickedEntries()) {
        const QString &path = mRelatedFiles.at(index);
        (path.startsWith(QLatin1String("/Users")) ? userFiles : rootFiles) << path;
    }
}

QString RemoveWidget::shortName() const
{
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
    if (!quitRunning())
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
    emit removeFinished(!QFileInfo::exists(mRelatedFiles.value(0)) && !QFileInfo(mRelatedFiles.value(0)).isSymLink());
}

void RemoveWidget::doCancel()
{
    emit removeCancel();
}
