#include "ListWidget.h"
#include "ui_ListWidget.h"

#include "AppCenter.h"
#include "AppEnv.h"
#include "AppFinder.h"
#include "AppInfo.h"
#include "ItemWidget.h"
#include "Preferences.h"
#include "RemoveWidget.h"

#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <sys/stat.h>

namespace {

bool sDiscoveryEnabled = true;

const QString kApplications = QStringLiteral("Applications");
const QString kWidgets = QStringLiteral("Widgets");
const QString kPlugins = QStringLiteral("Plugins");

bool inCategory(const QString &path, const QString &category)
{
    if (category == kApplications)
        return path.endsWith(QLatin1String(".app"));
    if (category == kWidgets)
        return path.endsWith(QLatin1String(".wdgt"));
    if (category == kPlugins)
        return path.endsWith(QLatin1String(".plugin")) || path.endsWith(QLatin1String(".webplugin"))
            || path.endsWith(QLatin1String(".prefPane"));
    return false;
}

// A dangling link left in the bundle's place still names something to remove.
bool pathExists(const QString &path)
{
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    return !native.isEmpty() && lstat(native.constData(), &st) == 0;
}

} // namespace

void ListWidget::setDiscoveryEnabled(bool enabled)
{
    sDiscoveryEnabled = enabled;
}

ListWidget::ListWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ListWidget)
    , mCategory(kApplications)
    , mGrowTimer(new QTimer(this))
{
    ui->setupUi(this);
    mGrowTimer->setSingleShot(true);
    mGrowTimer->setInterval(50);
    connect(mGrowTimer, &QTimer::timeout, this, &ListWidget::fitGrownContents);
    ui->scrollAreaWidgetContents->setStyleSheet(QString::fromLatin1(bgStyle));
    // Rows are fixed and gather at the top, so a taller list needs only its
    // new part painted.
    ui->scrollAreaWidgetContents->setAttribute(Qt::WA_StaticContents);
    ui->scrollArea->setContentsMargins(5, 0, 5, 0);

    // The first Inst() call makes the store here, on the GUI thread, so the
    // worker's signals arrive as queued calls.
    AppCenter *center = AppCenter::Inst();
    connect(center, &AppCenter::dataAppend, this, &ListWidget::addApps);
    connect(center, &AppCenter::dataUpdated, this, &ListWidget::updateApps);
    mSearchText.clear();
    if (sDiscoveryEnabled) {
        // Never deleted: the worker is not waited for when the program ends.
        auto *finder = new AppFinder;
        // Until the scan ends, an empty list is still loading, not empty:
        // "None" before the first record would tell the user nothing is installed.
        mLoading = true;
        connect(finder, &AppFinder::done, this, [this] {
            mLoading = false;
            // Where the user has scrolled to while it loaded stays.
            filterRows();
        });
        finder->start();
    }
}

ListWidget::~ListWidget()
{
    delete ui;
}

bool ListWidget::isExisted(AppInfo const *info) const
{
    return mPaths.contains(info->path);
}

void ListWidget::appsPressed()
{
    mCategory = kApplications;
    filterRows();
    showFromTop();
}

void ListWidget::widgetsPressed()
{
    mCategory = kWidgets;
    filterRows();
    showFromTop();
}

void ListWidget::pluginsPressed()
{
    mCategory = kPlugins;
    filterRows();
    showFromTop();
}

// Rows are only ever appended in catalogue order and removed together with
// their record, so the records beyond the last row are exactly the new ones.
// Copying the whole catalogue, comparing every record with every row and
// filtering every row again on each arrival made loading quadratic; only the
// new rows are built and filtered here.
void ListWidget::addApps()
{
    if (!ui->labelTitle->isHidden()) {
        ui->labelTitle->setText(QString());
        ui->labelTitle->hide();
    }
    QList<AppInfo *> fresh;
    AppCenter::Inst()->getAppList(fresh, mRows.size());
    for (AppInfo *info : qAsConst(fresh)) {
        auto *row = new ItemWidget(info, ui->scrollAreaWidgetContents);
        if (info->sizeState == 2)
            row->setSizeWidget(info->size);
        connect(row, &ItemWidget::checkboxClicked, this, &ListWidget::onCheckBox);
        // Placed before it is shown: where it was made, over the first row,
        // it would repaint the visible list.
        row->move(0, mShownRows * row->height());
        mRows.append(row);
        ++mPaths[row->appPath()];
        if (filterRow(mRows.size() - 1))
            mGrownHeight = ++mShownRows * row->height();
    }
    AppCenter::Inst()->releaseAppList(fresh);
    // Every new height of the contents repaints the scroll bar, which cost
    // more than a third of building the row. The rows arrive far faster than
    // anyone reads a scroll bar, so the growth is applied in batches; rows
    // within the viewport show at once, as the contents is never shorter
    // than the viewport.
    if (!mGrowTimer->isActive())
        mGrowTimer->start();
    showTitle(emptyTitle());
}

void ListWidget::updateApps()
{
    // Rows whose size has not changed are left alone.
    ItemWidget::showSizes(mRows, AppCenter::Inst()->measuredSizes());
}

void ListWidget::hideAppleApps(bool hide)
{
    qDebug("hideAppleApps, hide = %s\n", hide ? "true" : "false");
    // The filter reads the saved preference, not the argument.
    filterRows();
}

void ListWidget::searchApps(QString text)
{
    mSearchText = text.remove(QLatin1Char(' '));
    filterRows();
    showFromTop();
}

// A new set of rows seen from where the old one was scrolled to could have
// its matches above the viewport, out of sight.
void ListWidget::showFromTop()
{
    ui->scrollArea->verticalScrollBar()->setValue(0);
}

void ListWidget::filterRows()
{
    mShownRows = 0;
    for (int i = 0; i < mRows.size(); ++i) {
        const bool shown = filterRow(i);
        if (shown)
            ++mShownRows;
        // The selection itself stays, so the item is usable again once a
        // later filter shows it.
        if (i == mSelected)
            emit clicked(shown ? Qt::Checked : Qt::Unchecked);
    }
    placeRows(0);
    showTitle(emptyTitle());
}

void ListWidget::placeRows(int first)
{
    int y = 0;
    for (int i = 0; i < first && i < mRows.size(); ++i) {
        if (!mRows.at(i)->isHidden())
            y += mRows.at(i)->height();
    }
    for (int i = first; i < mRows.size(); ++i) {
        ItemWidget *row = mRows.at(i);
        if (row->isHidden())
            continue;
        row->move(0, y);
        y += row->height();
    }
    fitContents(y);
}

void ListWidget::fitGrownContents()
{
    fitContents(mGrownHeight);
}

void ListWidget::fitContents(int height)
{
    // A pending growth would undo what is placed now.
    mGrowTimer->stop();
    mGrownHeight = height;
    QWidget *contents = ui->scrollAreaWidgetContents;
    if (contents->minimumHeight() == height)
        return;
    contents->setMinimumHeight(height);
    // Sizes the contents to the viewport again, now that a shorter list may
    // fit: a growing minimum resizes it by itself, a shrinking one does not.
    ui->scrollArea->setWidgetResizable(true);
}

bool ListWidget::filterRow(int i)
{
    ItemWidget *row = mRows.at(i);
    bool shown = inCategory(row->appPath(), mCategory);
    if (shown && Preferences::hideAppleApps() && row->appBundleId().contains(QLatin1String("com.apple")))
        shown = false;
    if (shown && !mSearchText.isEmpty()) {
        QString name = row->appName();
        name.remove(QLatin1Char(' '));
        name.remove(QLatin1String(".app"));
        shown = name.contains(mSearchText, Qt::CaseInsensitive);
    }
    row->setVisible(shown);
    return shown;
}

QString ListWidget::emptyTitle() const
{
    if (mShownRows > 0)
        return QString();
    return mLoading ? tr("Loading ...") : tr("None");
}

void ListWidget::showTitle(const QString &text)
{
    ui->labelTitle->setText(text);
    ui->labelTitle->setVisible(!text.isEmpty());
}

void ListWidget::onCheckBox(int state, QString path)
{
    qDebug("onCheckBox begin(state:%d %d %s)\n", state, mSelected, qPrintable(path));
    if (state == Qt::Checked) {
        // The row that was ticked, not the first one with its path: two
        // records may share a path, and the index decides what is removed.
        int index = mRows.indexOf(qobject_cast<ItemWidget *>(sender()));
        for (int i = 0; index < 0 && i < mRows.size(); ++i) {
            if (mRows.at(i)->appPath() == path)
                index = i;
        }
        // Unticking the old row comes back here with state 0 first.
        if (mSelected >= 0 && mSelected != index)
            mRows.at(mSelected)->setCheckState(false);
        mSelected = index;
        emit clicked(index >= 0 ? Qt::Checked : Qt::Unchecked);
    } else {
        mSelected = -1;
        emit clicked(state);
    }
    qDebug("onCheckBox end(state:%d %d %s)\n", state, mSelected, qPrintable(path));
}

void ListWidget::doRemove()
{
    qDebug("doRemove start!\n");
    if (!mRemoveWidget && mSelected >= 0 && mSelected < mRows.size()) {
        const ItemWidget *row = mRows.at(mSelected);
        mRemoveWidget = new RemoveWidget(parentWidget());
        mRemoveWidget->initAppInfo(row->appPath(), row->appName(), row->appSize(), row->appIcon());
        watchRemoveWidget();
    }
    qDebug("doRemove end!\n");
}

bool ListWidget::isRemoving() const
{
    return !mRemoveWidget.isNull();
}

bool ListWidget::removePath(const QString &path)
{
    if (mRemoveWidget)
        return false;
    for (int i = 0; i < mRows.size(); ++i) {
        if (mRows.at(i)->appPath() != path)
            continue;
        // Ticking the row unticks the old one and selects it, as a click does.
        mRows.at(i)->setCheckState(true);
        if (mSelected != i)
            onCheckBox(Qt::Checked, path);
        doRemove();
        return !mRemoveWidget.isNull();
    }
    mUnlistedPath = path;
    mRemoveWidget = new RemoveWidget(parentWidget());
    mRemoveWidget->initBundle(path);
    watchRemoveWidget();
    return true;
}

void ListWidget::watchRemoveWidget()
{
    connect(mRemoveWidget, &RemoveWidget::removeFinished, this, &ListWidget::removeFinished);
    connect(mRemoveWidget, &RemoveWidget::removeCancel, this, &ListWidget::removeCancel);
    connect(mRemoveWidget, &RemoveWidget::removedSummary, this, &ListWidget::removedSummary);
    mRemoveWidget->show();
}

void ListWidget::removeFinished(bool appRemoved)
{
    if (!mUnlistedPath.isNull()) {
        closeRemoveWidget();
        return;
    }
    if (appRemoved)
        dropSelected();
    closeRemoveWidget();
}

void ListWidget::removeCancel()
{
    if (!mUnlistedPath.isNull()) {
        closeRemoveWidget();
        return;
    }
    // A removal that failed part way may still have taken the bundle.
    if (mSelected >= 0 && mSelected < mRows.size() && !pathExists(mRows.at(mSelected)->appPath()))
        dropSelected();
    closeRemoveWidget();
}

void ListWidget::dropSelected()
{
    if (mSelected < 0 || mSelected >= mRows.size())
        return;
    ItemWidget *row = mRows.takeAt(mSelected);
    if (!row->isHidden())
        --mShownRows;
    if (--mPaths[row->appPath()] <= 0)
        mPaths.remove(row->appPath());
    delete row;
    AppCenter::Inst()->remove(mSelected);
    placeRows(mSelected);
    mSelected = -1;
    emit clicked(Qt::Unchecked);
    showTitle(emptyTitle());
}

void ListWidget::closeRemoveWidget()
{
    // The page deletes itself once closed.
    if (mRemoveWidget)
        mRemoveWidget->close();
    mRemoveWidget = nullptr;
    mUnlistedPath = QString();
}

void ListWidget::showEvent(QShowEvent *event)
{
    ui->scrollArea->resize(size());
    QWidget::showEvent(event);
}

void ListWidget::resizeEvent(QResizeEvent *event)
{
    ui->scrollArea->resize(size());
    QLabel *title = ui->labelTitle;
    title->move((width() - title->width()) / 2, (height() - title->height()) / 2);
    QWidget::resizeEvent(event);
}
