#pragma once

#include <QHash>
#include <QList>
#include <QAtomicInt>
#include <QObject>
#include <QVector>

class AppInfo;
class QMutex;

// The process-wide catalogue. The discovery worker appends and updates, the
// GUI thread reads copies; the mutex is never held while a signal is emitted.
class AppCenter : public QObject
{
    Q_OBJECT

public:
    static AppCenter *Inst();

    void getAppList(QList<AppInfo *> &list);
    // Copies of the records from position first on: a reader that keeps
    // rows in catalogue order needs only those it has not seen.
    void getAppList(QList<AppInfo *> &list, int first);
    void releaseAppList(QList<AppInfo *> &list);
    // Each record's size in catalogue order, -1 where it is not measured yet:
    // the list rows take theirs on every size update.
    QVector<qint64> measuredSizes();

    bool append(AppInfo *const &info);
    bool append(QList<AppInfo *> const &list);
    bool remove(int index);
    bool remove(AppInfo const *info);
    bool remove(QList<AppInfo *> const &list);
    bool update(AppInfo const *info);
    bool update(QList<AppInfo *> const &list);

    // Whether a discovery worker is still adding records. Until it is done,
    // the catalogue cannot say which items claim which files.
    bool isScanning() const;
    // Marked by the discovery worker; the change to false emits scanFinished().
    void setScanning(bool scanning);

signals:
    void dataAppend();
    void dataUpdated();
    void scanFinished();

private:
    AppCenter();
    ~AppCenter() override;

    // Both expect the lock held.
    void appendLocked(AppInfo *info);
    void takeAt(int index);

    QMutex *mMutex;
    QList<AppInfo *> mApps;
    // Position of the first record of each path; the size pass updates every
    // record once, and a linear search made that quadratic.
    QHash<QString, int> mFirstIndex;
    QAtomicInt mScanning;
};
