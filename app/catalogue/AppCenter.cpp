#include "AppCenter.h"

#include "AppInfo.h"
#include "StoreLock.h"

AppCenter *AppCenter::Inst()
{
    // First called on the GUI thread before any worker starts; never destroyed.
    static AppCenter *sInstance = nullptr;
    if (!sInstance)
        sInstance = new AppCenter;
    return sInstance;
}

AppCenter::AppCenter()
    : QObject(nullptr)
    , mMutex(new QMutex)
{
}

AppCenter::~AppCenter()
{
    qDeleteAll(mApps);
    delete mMutex;
}

bool AppCenter::isScanning() const
{
    return mScanning.loadAcquire() > 0;
}

void AppCenter::setScanning(bool scanning)
{
    if (scanning) {
        mScanning.ref();
        return;
    }
    // Never below zero: an unmatched end must not hide the next scan.
    int before = mScanning.loadAcquire();
    while (before > 0 && !mScanning.testAndSetOrdered(before, before - 1))
        before = mScanning.loadAcquire();
    if (before == 1)
        emit scanFinished();
}

QVector<qint64> AppCenter::measuredSizes()
{
    StoreLock lock(mMutex);
    QVector<qint64> sizes;
    sizes.reserve(mApps.size());
    for (const AppInfo *info : qAsConst(mApps))
        sizes.append(info->sizeState == 2 ? info->size : -1);
    return sizes;
}

void AppCenter::getAppList(QList<AppInfo *> &list)
{
    StoreLock lock(mMutex);
    list.reserve(list.size() + mApps.size());
    for (const AppInfo *info : qAsConst(mApps))
        list.append(new AppInfo(*info));
}

void AppCenter::getAppList(QList<AppInfo *> &list, int first)
{
    StoreLock lock(mMutex);
    first = qMax(first, 0);
    if (first >= mApps.size())
        return;
    list.reserve(list.size() + mApps.size() - first);
    for (int i = first; i < mApps.size(); ++i)
        list.append(new AppInfo(*mApps.at(i)));
}

void AppCenter::releaseAppList(QList<AppInfo *> &list)
{
    qDeleteAll(list);
    list.clear();
}

bool AppCenter::append(AppInfo *const &info)
{
    StoreLock lock(mMutex);
    appendLocked(info);
    return true;
}

bool AppCenter::append(QList<AppInfo *> const &list)
{
    // One lock per element, so a reader is never kept waiting for a whole batch.
    for (AppInfo *info : list) {
        StoreLock lock(mMutex);
        appendLocked(info);
    }
    emit dataAppend();
    return true;
}

bool AppCenter::remove(int index)
{
    StoreLock lock(mMutex);
    if (index >= 0 && index < mApps.size())
        takeAt(index);
    return true;
}

bool AppCenter::remove(AppInfo const *info)
{
    StoreLock lock(mMutex);
    const int index = mFirstIndex.value(info->path, -1);
    if (index < 0)
        return false;
    takeAt(index);
    return true;
}

bool AppCenter::remove(QList<AppInfo *> const &list)
{
    for (const AppInfo *info : list)
        remove(info);
    return false;
}

bool AppCenter::update(AppInfo const *info)
{
    bool found = false;
    {
        StoreLock lock(mMutex);
        const int index = mFirstIndex.value(info->path, -1);
        if (index >= 0) {
            *mApps[index] = *info;
            found = true;
        }
    }
    if (found)
        emit dataUpdated();
    return found;
}

bool AppCenter::update(QList<AppInfo *> const &list)
{
    for (const AppInfo *info : list)
        update(info);
    return false;
}

void AppCenter::appendLocked(AppInfo *info)
{
    if (!mFirstIndex.contains(info->path))
        mFirstIndex.insert(info->path, mApps.size());
    mApps.append(info);
}

// Deletes the record at index and keeps the path index in step: later
// positions move down one, and a duplicate path now has a new first record.
void AppCenter::takeAt(int index)
{
    const QString path = mApps.at(index)->path;
    delete mApps.takeAt(index);
    for (auto it = mFirstIndex.begin(); it != mFirstIndex.end(); ++it) {
        if (it.value() > index)
            --it.value();
    }
    if (mFirstIndex.value(path) != index)
        return;
    for (int i = index; i < mApps.size(); ++i) {
        if (mApps.at(i)->path == path) {
            mFirstIndex.insert(path, i);
            return;
        }
    }
    mFirstIndex.remove(path);
}
