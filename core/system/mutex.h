#pragma once
// A recursive lock: the holding thread may lock again and must unlock as often.
//   static TMutex gLock;
//   gLock.Lock(0); ... gLock.Unlock();
// or, scoped: { TMutexLock hold(gLock); ... }

#include <atomic>
#include <mutex>
#include <thread>

class TMutex
{
public:
    TMutex() = default;
    TMutex(const TMutex&) = delete;
    TMutex& operator=(const TMutex&) = delete;
    virtual ~TMutex() = default;

    // Blocks until held; the argument is ignored (there is no time-out). Always true.
    bool Lock(int = 0);
    // 0 on success; EPERM when the calling thread does not hold the lock.
    int Unlock();

private:
    std::recursive_mutex mMutex;
    std::atomic<std::thread::id> mOwner{};
    int mDepth = 0;  // touched only by the holder
};

class TMutexLock
{
public:
    explicit TMutexLock(TMutex& m) : mMutex(m) { mMutex.Lock(0); }
    ~TMutexLock() { mMutex.Unlock(); }
    TMutexLock(const TMutexLock&) = delete;
    TMutexLock& operator=(const TMutexLock&) = delete;

private:
    TMutex& mMutex;
};
