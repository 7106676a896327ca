#include "particles/machine/particle_workers.h"

#include <algorithm>

TParticleWorkers& TParticleWorkers::Get()
{
    // Half the machine at most: the game and the renderer need their own cores.
    static TParticleWorkers workers(std::min(3u, std::max(1u, std::thread::hardware_concurrency() / 2) - 1));
    return workers;
}

TParticleWorkers::TParticleWorkers(unsigned threads)
{
    for (unsigned i = 0; i < threads; ++i)
        mThreads.emplace_back([this, i] { Work(i + 1); });
}

TParticleWorkers::~TParticleWorkers()
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStop = true;
    }
    mWake.notify_all();
    for (std::thread& thread : mThreads)
        thread.join();
}

void TParticleWorkers::Drain(unsigned lane)
{
    std::unique_lock<std::mutex> lock(mMutex);
    while (mNext < mJobs) {
        const unsigned job = mNext++;
        const auto* function = mJob;
        lock.unlock();
        (*function)(job, lane);
        lock.lock();
        if (++mFinished == mJobs)
            mDone.notify_all();
    }
}

void TParticleWorkers::Work(unsigned lane)
{
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mMutex);
            mWake.wait(lock, [&] { return mStop || mGeneration != seen; });
            if (mStop)
                return;
            seen = mGeneration;
        }
        Drain(lane);
    }
}

void TParticleWorkers::Run(unsigned jobs, const std::function<void(unsigned, unsigned)>& job)
{
    if (jobs == 0)
        return;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mJob = &job;
        mJobs = jobs;
        mNext = 0;
        mFinished = 0;
        ++mGeneration;
    }
    if (jobs > 1)
        mWake.notify_all();
    Drain(0);
    std::unique_lock<std::mutex> lock(mMutex);
    mDone.wait(lock, [&] { return mFinished == mJobs; });
    mJob = nullptr;
    mJobs = 0;
    mNext = 0;
}
