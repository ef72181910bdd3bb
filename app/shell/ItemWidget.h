#pragma once

#include "LeftoverFinder.h"

#include <QList>
#include <QString>
#include <QVector>
#include <QWidget>

class AppInfo;

namespace Ui {
class ItemWidget;
}

// One row of the list view. It copies what it shows out of the record, so the
// record may be released as soon as the row is built.
class ItemWidget : public QWidget
{
    Q_OBJECT

public:
    ItemWidget(AppInfo *info, QWidget *parent = nullptr);
    // A row for what a deleted application left behind: the group's
    // identifier (which also stands in for the path), entry count and size.
    ItemWidget(const LeftoverFinder::Group &group, QWidget *parent = nullptr);
    ~ItemWidget() override;

    void setCheckState(bool checked);
    bool isChecked() const;

    QString appName() const { return mName; }
    QString appPath() const { return mPath; }
    QString appBundleId() const { return mBundleId; }
    QString appIcon() const { return mIconFile; }
    QString appSize() const;

    // Rows in catalogue order take the store's measured sizes (AppCenter::measuredSizes).
    static void showSizes(const QList<ItemWidget *> &rows, const QVector<qint64> &sizes);

signals:
    void checkboxClicked(int state, QString path);

public slots:
    bool setSizeWidget(long long kib);
    void checkAllFolder(int state);

private:
    void setUp();

    Ui::ItemWidget *ui;
    int mKind = -1;
    QString mName;
    QString mPath;
    QString mBundleId;
    QString mIconFile;
    // The size the label shows, -1 before the first; every size update of the
    // store passes every measured row here, and most have not changed.
    long long mShownKib = -1;
};
