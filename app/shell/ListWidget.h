#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class AppInfo;
class ItemWidget;
class QTimer;
class RemoveWidget;
namespace Ui {
class ListWidget;
}

// The catalogue as a list of rows, one per record and in the same order, with
// the category, keep-safe and text filters and a single-choice selection.
class ListWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ListWidget(QWidget *parent = nullptr);
    ~ListWidget() override;

    bool isExisted(AppInfo const *info) const;
    // Whether a removal page covers the list.
    bool isRemoving() const;

    // Whether the next list starts the discovery worker (on by default);
    // off where the catalogue is filled by hand (screenshots, benchmarks).
    static void setDiscoveryEnabled(bool enabled);

signals:
    void clicked(int state);
    // Passed on from the removal page after a successful removal.
    void removedSummary(QString name, int items, qint64 kib);

public slots:
    void appsPressed();
    void widgetsPressed();
    void pluginsPressed();
    void addApps();
    void updateApps();
    void hideAppleApps(bool hide);
    void searchApps(QString text);
    void onCheckBox(int state, QString path);
    void doRemove();
    // The removal page for a bundle by its path: a catalogued one as if its
    // row were chosen, any other on its own. False while a page is open.
    bool removePath(const QString &path);
    void removeFinished(bool appRemoved);
    void removeCancel();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Shows or hides row i by the current filters; true when shown.
    bool filterRow(int i);
    // Applies the filters to every row and places the shown ones.
    void filterRows();
    void showFromTop();
    // Puts the shown rows one under the other, from row first on.
    void placeRows(int first);
    void fitContents(int height);
    void fitGrownContents();
    void showTitle(const QString &text);
    // "Loading ..." or "None" when no row is shown, else nothing.
    QString emptyTitle() const;
    void closeRemoveWidget();
    void watchRemoveWidget();
    // Drops the selected row and its record, as when its item has gone.
    void dropSelected();

    Ui::ListWidget *ui;
    // The rows in catalogue order. They are placed by hand, not by a layout:
    // a box layout places all of its items again for every row added.
    QList<ItemWidget *> mRows;
    // How many rows show each path, so isExisted needs no walk over the rows.
    QHash<QString, int> mPaths;
    int mShownRows = 0;
    int mSelected = -1;
    bool mLoading = false; // while the discovery worker runs
    QString mCategory;
    QString mSearchText;
    QPointer<RemoveWidget> mRemoveWidget;
    // The open page's bundle when it is in no row; its end leaves the rows be.
    QString mUnlistedPath;
    // Arriving rows grow the contents through this, a few times a second at
    // most; see addApps.
    QTimer *mGrowTimer;
    int mGrownHeight = 0;
};
