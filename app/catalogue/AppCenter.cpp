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

void AppCenter::getAppList(QList<AppInfo *> &list)
{
    StoreLock lock(mMutex);
    list.reserve(list.size() + mApps.size());
    for (const AppInfo *info : qAsConst(mApps))
        list.append(new AppInfo(*info));
}

void AppCenter::releaseAppList(QList<AppInfo *> &list)
{
    qDeleteAll(list);
    list.clear();
}

bool AppCenter::append(AppInfo *const &info)
{
    StoreLock lock(mMutex);
    if (!mFirstIndex.contains(info->path))
        mFirstIndex.insert(info->path, mApps.size());
    mApps.append(info);
    return true;
}

bool AppCenter::append(QList<AppInfo *> const &list)
{
    // One lock per element, so a reader is never kept waiting for a whole batch.
    for (AppInfo *info : list) {
        StoreLock lock(mMutex);
        if (!mFirstIndex.contains(info->path))
            mFirstIndex.insert(info->path, mApps.size());
        mApps.append(info);
    }
    emit dataAppend();
    return true;
}

bool AppCenter::remove(int index)
{
    StoreLock lock(mMutex);
    if (index >= 0 && index < mApps.size()) {
        delete mApps.takeAt(index);
        reindex();
    }
    return true;
}

bool AppCenter::remove(AppInfo const *info)
{
    StoreLock lock(mMutex);
    const int index = mFirstIndex.value(info->path, -1);
    if (index < 0)
        return false;
    delete mApps.takeAt(index);
    reindex();
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

// Removals are rare (one per uninstalled item), so they rebuild the index
// rather than shift it.
void AppCenter::reindex()
{
    mFirstIndex.clear();
    for (int i = mApps.size() - 1; i >= 0; --i)
        mFirstIndex.insert(mApps.at(i)->path, i);
}
