#pragma once

#include "RelatedFiles.h"

#include <QPointer>
#include <QStringList>
#include <QVector>
#include <QWidget>

class AppRemover;
class QLabel;
class ProgressDlg;
class RunningItem;
class QMediaPlayer;
class QPoint;
class QResizeEvent;
class QTreeWidgetItem;
namespace Ui {
class RemoveWidget;
}

// The page that covers the list while one item is removed: the item's
// related files as a tree of check boxes, then the removal itself.
class RemoveWidget : public QWidget
{
    Q_OBJECT

public:
    explicit RemoveWidget(QWidget *parent = nullptr);
    ~RemoveWidget() override;

    void initAppInfo(QString appPath, QString appName, QString appSize, QString appIcon);
    // The page for a bundle that may not be in the catalogue (one dropped on
    // the window): its name and icon read as a scan reads them.
    void initBundle(const QString &bundlePath);
    // The page for what a deleted application left behind: the group's
    // entries by category, none ticked.
    void initLeftovers(const QString &identifier, const QVector<RelatedFiles::Category> &categories);
    void getRelatedFiles(QStringList &rootFiles, QStringList &userFiles);

signals:
    void removeFinished(bool appRemoved);
    void removeCancel();
    // What a successful removal took, just before removeFinished.
    void removedSummary(QString name, int items, qint64 kib);

public slots:
    void removeThreadFinished(QString errString);
    void itemChanged(QTreeWidgetItem *item, int column);
    void doRemove();
    void doCancel();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void checkChildren(QTreeWidgetItem *item, Qt::CheckState state);
    void catalogueComplete();
    void showWaiting(bool waiting);
    // The related files, once the catalogue is complete.
    void fill(const QString &appPath);
    void addCategories(const QVector<RelatedFiles::Category> &categories, bool firstIsBundle);
    bool anyCategoryTicked() const;
    // Indexes into mRelatedFiles of the entries ticked under ticked categories.
    QVector<int> tickedEntries() const;
    qint64 tickedKib(const QVector<int> &ticked) const;
    QString shortName() const;
    void updateSummary();
    void showEntryMenu(const QPoint &pos);
    // Before anything is deleted: the item's own running processes are asked
    // to quit, and forced to with the user's consent. False when any of them
    // still runs or the user called the removal off.
    bool quitRunning();
    // Polls until none of the user's processes runs the item, for ten
    // seconds at most, while the event loop runs: QMessageBox::Yes when they
    // have ended, Ignore when some still run, No when the user cancelled.
    int waitUntilQuit(const RunningItem &item, const QString &text);

    Ui::RemoveWidget *ui;
    QStringList mRelatedFiles;
    // Entry k's size in KiB, as measured when it was listed.
    QList<qint64> mSizes;
    // What the confirmed removal takes, told on success.
    int mRemovingItems = 0;
    qint64 mRemovingKib = 0;
    QString appName;
    QString appSize;
    QString appIcon;
    QPointer<AppRemover> mRemover;
    QPointer<ProgressDlg> mProgress;
    QMediaPlayer *mPlayer;
    // The item's identifier, as the searches used it.
    QString mBundleId;
    // Listing a leftover group rather than an item.
    bool mLeftovers = false;
    // The item whose searches wait for the catalogue; null once filled.
    QString mPendingPath;
    QPointer<QLabel> mWaiting;
    // Whether the running worker has reported, and whether the user called
    // the removal off before it began deleting.
    bool mWorkerReported = false;
    bool mCancelled = false;
};
