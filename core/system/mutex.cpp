#include "core/system/mutex.h"

#include <cerrno>

bool TMutex::Lock(int)
{
    mMutex.lock();
    if (mDepth++ == 0)
        mOwner.store(std::this_thread::get_id(), std::memory_order_relaxed);
    return true;
}

int TMutex::Unlock()
{
    // Unlocking a lock held by another thread would be undefined; report it as POSIX does.
    if (mOwner.load(std::memory_order_relaxed) != std::this_thread::get_id() || mDepth == 0)
        return EPERM;
    if (--mDepth == 0)
        mOwner.store(std::thread::id(), std::memory_order_relaxed);
    mMutex.unlock();
    return 0;
}
