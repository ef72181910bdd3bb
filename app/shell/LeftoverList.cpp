#include "LeftoverList.h"
#include "ui_LeftoverList.h"

#include "AppCenter.h"
#include "AppEnv.h"
#include "ItemWidget.h"
#include "LeftoverScan.h"
#include "RemoveWidget.h"

#include <QCoreApplication>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

LeftoverList::LeftoverList(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LeftoverList)
{
    ui->setupUi(this);
    ui->scrollAreaWidgetContents->setStyleSheet(QString::fromLatin1(bgStyle));
    ui->scrollArea->setContentsMargins(5, 0, 5, 0);
    ui->labelTitle->hide();
}

LeftoverList::~LeftoverList()
{
    // The search deletes itself when it ends; nothing waits for it here.
    if (mScan)
        mScan->requestInterruption();
    delete ui;
}

bool LeftoverList::isRemoving() const
{
    return !mRemoveWidget.isNull();
}

bool LeftoverList::isSearching() const
{
    return mWaitingForCatalogue || mScan;
}

void LeftoverList::activate()
{
    if (!mStarted) {
        mStarted = true;
        // What is installed decides what is left over: a half-read catalogue
        // would offer an installed item's files.
        AppCenter *center = AppCenter::Inst();
        connect(center, &AppCenter::scanFinished, this, &LeftoverList::catalogueComplete, Qt::UniqueConnection);
        mWaitingForCatalogue = center->isScanning();
        if (!mWaitingForCatalogue)
            catalogueComplete();
    }
    filterRows();
}

void LeftoverList::catalogueComplete()
{
    disconnect(AppCenter::Inst(), &AppCenter::scanFinished, this, &LeftoverList::catalogueComplete);
    mWaitingForCatalogue = false;
    startScan();
}

void LeftoverList::refresh()
{
    if (mStarted && !mWaitingForCatalogue)
        startScan();
}

void LeftoverList::startScan()
{
    if (mScan) {
        mAgain = true;
        return;
    }
    mFound.clear();
    // Not this widget's child: a search still running when the window goes
    // ends on its own rather than being waited for.
    mScan = new LeftoverScan;
    connect(mScan, &LeftoverScan::found, this, &LeftoverList::scanFound);
    connect(mScan, &QThread::finished, this, &LeftoverList::scanEnded);
    connect(mScan, &QThread::finished, mScan, &QObject::deleteLater);
    mScan->start(QThread::LowPriority);
}

void LeftoverList::scanFound(const QVector<LeftoverFinder::Group> &groups)
{
    mFound = groups;
    if (!mFirstDone)
        showGroups(groups);
}

void LeftoverList::scanEnded()
{
    mFirstDone = true;
    mScan = nullptr;
    showGroups(mFound);
    if (mAgain) {
        mAgain = false;
        startScan();
    }
}

void LeftoverList::showGroups(const QVector<LeftoverFinder::Group> &groups)
{
    qDeleteAll(mRows);
    mRows.clear();
    mGroups = groups;
    const bool wasSelected = !mSelected.isEmpty();
    bool selectedFound = false;
    auto *layout = qobject_cast<QVBoxLayout *>(ui->scrollAreaWidgetContents->layout());
    for (const LeftoverFinder::Group &group : qAsConst(mGroups)) {
        auto *row = new ItemWidget(group, ui->scrollAreaWidgetContents);
        if (group.identifier == mSelected) {
            const QSignalBlocker quiet(row);
            row->setCheckState(true);
            selectedFound = true;
        }
        connect(row, &ItemWidget::checkboxClicked, this, &LeftoverList::onCheckBox);
        layout->insertWidget(mRows.size(), row);
        mRows.append(row);
    }
    if (!selectedFound)
        mSelected.clear();
    filterRows();
    if (wasSelected && !selectedFound)
        emit clicked(Qt::Unchecked);
}

void LeftoverList::search(QString text)
{
    mSearchText = text.remove(QLatin1Char(' '));
    filterRows();
    ui->scrollArea->verticalScrollBar()->setValue(0);
}

void LeftoverList::filterRows()
{
    mShownRows = 0;
    for (int i = 0; i < mRows.size(); ++i) {
        const QString &identifier = mGroups.at(i).identifier;
        const bool shown = mSearchText.isEmpty() || identifier.contains(mSearchText, Qt::CaseInsensitive);
        mRows.at(i)->setVisible(shown);
        if (shown)
            ++mShownRows;
        // The selection itself stays, so the group is usable again once a
        // later filter shows it.
        if (identifier == mSelected)
            emit clicked(shown ? Qt::Checked : Qt::Unchecked);
    }
    QString title;
    if (mShownRows == 0) {
        // The list's own words, as the user knows them there.
        title = mFirstDone || !mStarted ? QCoreApplication::translate("ListWidget", "None")
                                        : QCoreApplication::translate("ListWidget", "Loading ...");
    }
    ui->labelTitle->setText(title);
    ui->labelTitle->setVisible(!title.isEmpty());
}

void LeftoverList::onCheckBox(int state)
{
    const int index = mRows.indexOf(qobject_cast<ItemWidget *>(sender()));
    if (index < 0)
        return;
    const QString &identifier = mGroups.at(index).identifier;
    if (state == Qt::Checked) {
        // Unticking the old row comes back here with state 0 first.
        for (int i = 0; i < mRows.size(); ++i) {
            if (i != index && mGroups.at(i).identifier == mSelected)
                mRows.at(i)->setCheckState(false);
        }
        mSelected = identifier;
        emit clicked(Qt::Checked);
    } else if (identifier == mSelected) {
        mSelected.clear();
        emit clicked(Qt::Unchecked);
    }
}

void LeftoverList::doRemove()
{
    if (mRemoveWidget || mSelected.isEmpty())
        return;
    for (const LeftoverFinder::Group &group : qAsConst(mGroups)) {
        if (group.identifier != mSelected)
            continue;
        mRemoving = group.identifier;
        mRemoveWidget = new RemoveWidget(parentWidget());
        mRemoveWidget->initLeftovers(group.identifier, LeftoverFinder::categories(group));
        connect(mRemoveWidget, &RemoveWidget::removeFinished, this, &LeftoverList::removeFinished);
        connect(mRemoveWidget, &RemoveWidget::removeCancel, this, [this] {
            closeRemoveWidget();
            // A removal that failed part way may still have taken some entries.
            refresh();
        });
        connect(mRemoveWidget, &RemoveWidget::removedSummary, this, &LeftoverList::removedSummary);
        mRemoveWidget->show();
        return;
    }
}

void LeftoverList::removeFinished(bool allGone)
{
    closeRemoveWidget();
    if (allGone) {
        QVector<LeftoverFinder::Group> left = mGroups;
        left.erase(std::remove_if(left.begin(), left.end(),
                                  [this](const LeftoverFinder::Group &g) { return g.identifier == mRemoving; }),
                   left.end());
        showGroups(left);
    }
    // What was left unticked stays, with its new count and size.
    refresh();
}

void LeftoverList::closeRemoveWidget()
{
    // The page deletes itself once closed.
    if (mRemoveWidget)
        mRemoveWidget->close();
    mRemoveWidget = nullptr;
}

void LeftoverList::resizeEvent(QResizeEvent *event)
{
    ui->scrollArea->resize(event->size());
    QLabel *title = ui->labelTitle;
    title->move((width() - title->width()) / 2, (height() - title->height()) / 2);
    QWidget::resizeEvent(event);
}
