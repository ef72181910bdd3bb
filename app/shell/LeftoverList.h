#pragma once

#include "LeftoverFinder.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>

class ItemWidget;
class LeftoverScan;
class QResizeEvent;
class RemoveWidget;
namespace Ui {
class LeftoverList;
}

// What deleted applications left behind, one row per group, in the list's
// place while its category is chosen; a single-choice selection as the list's.
class LeftoverList : public QWidget
{
    Q_OBJECT

public:
    explicit LeftoverList(QWidget *parent = nullptr);
    ~LeftoverList() override;

    bool isRemoving() const;
    // Whether a search runs or waits for the catalogue.
    bool isSearching() const;

signals:
    void clicked(int state);
    // Passed on from the removal page after a successful removal.
    void removedSummary(QString name, int items, qint64 kib);

public slots:
    // Its category was chosen: the first time, the search begins.
    void activate();
    // Searches again if it has searched before: what is installed changed.
    void refresh();
    void search(QString text);
    void doRemove();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void catalogueComplete();
    void startScan();
    void scanFound(const QVector<LeftoverFinder::Group> &groups);
    void scanEnded();
    // Replaces the rows, keeping the selection where its group is still there.
    void showGroups(const QVector<LeftoverFinder::Group> &groups);
    void filterRows();
    void onCheckBox(int state);
    void removeFinished(bool allGone);
    void closeRemoveWidget();

    Ui::LeftoverList *ui;
    // mRows[i] shows mGroups[i].
    QVector<LeftoverFinder::Group> mGroups;
    QList<ItemWidget *> mRows;
    QString mSelected; // the chosen group's identifier
    QString mSearchText;
    int mShownRows = 0;
    bool mStarted = false;
    bool mWaitingForCatalogue = false;
    // Until the first search ends, rows come as it finds them and an empty
    // list is still loading; later searches replace the rows when done, so
    // the list never shrinks and grows back meanwhile.
    bool mFirstDone = false;
    bool mAgain = false;
    QPointer<LeftoverScan> mScan;
    QVector<LeftoverFinder::Group> mFound;
    QPointer<RemoveWidget> mRemoveWidget;
    QString mRemoving;
};
