#include "AppCenter.h"

#include "AppInfo.h"

#include <QMutex>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace {

// Holds the store's mutex for one scope. Qt 5's QMutex is invisible to the
// thread sanitizer (its slow path lives in an uninstrumented library), so
// sanitizer builds announce each lock and unlock themselves.
class Locker
{
public:
    explicit Locker(QMutex *mutex)
        : mMutex(mutex)
    {
#if defined(__SANITIZE_THREAD__)
        __tsan_mutex_pre_lock(mMutex, 0);
#endif
        mMutex->lock();
#if defined(__SANITIZE_THREAD__)
        __tsan_mutex_post_lock(mMutex, 0, 0);
#endif
    }
    ~Locker()
    {
#if defined(__SANITIZE_THREAD__)
        __tsan_mutex_pre_unlock(mMutex, 0);
#endif
        mMutex->unlock();
#if defined(__SANITIZE_THREAD__)
        __tsan_mutex_post_unlock(mMutex, 0);
#endif
    }
    Locker(const Locker &) = delete;
    Locker &operator=(const Locker &) = delete;

private:
    QMutex *mMutex;
};

} // namespace

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
    Locker lock(mMutex);
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
    Locker lock(mMutex);
    mApps.append(info);
    return true;
}

bool AppCenter::append(QList<AppInfo *> const &list)
{
    // One lock per element, so a reader is never kept waiting for a whole batch.
    for (AppInfo *info : list) {
        Locker lock(mMutex);
        mApps.append(info);
    }
    emit dataAppend();
    return true;
}

bool AppCenter::remove(int index)
{
    Locker lock(mMutex);
    if (index >= 0 && index < mApps.size())
        delete mApps.takeAt(index);
    return true;
}

bool AppCenter::remove(AppInfo const *info)
{
    Locker lock(mMutex);
    for (int i = 0; i < mApps.size(); ++i) {
        if (mApps.at(i)->path == info->path) {
            delete mApps.takeAt(i);
            return true;
        }
    }
    return false;
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
        Locker lock(mMutex);
        for (AppInfo *stored : qAsConst(mApps)) {
            if (stored->path == info->path) {
                *stored = *info;
                found = true;
                break;
            }
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
