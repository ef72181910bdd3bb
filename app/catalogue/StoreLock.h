#pragma once

#include <QMutex>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

// Holds the store's mutex for one scope. Qt 5's QMutex is invisible to the
// thread sanitizer (its slow path lives in an uninstrumented library), so
// sanitizer builds announce each lock and unlock themselves.
class StoreLock
{
public:
    explicit StoreLock(QMutex *mutex)
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
    ~StoreLock()
    {
#if defined(__SANITIZE_THREAD__)
        __tsan_mutex_pre_unlock(mMutex, 0);
#endif
        mMutex->unlock();
#if defined(__SANITIZE_THREAD__)
        __tsan_mutex_post_unlock(mMutex, 0);
#endif
    }
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

private:
    QMutex *mMutex;
};
