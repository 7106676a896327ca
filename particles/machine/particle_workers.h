#pragma once
// A few threads shared by every particle system, for animating large pools whose particles do
// not depend on one another. The calling thread works too, as lane 0.
//   TParticleWorkers& workers = TParticleWorkers::Get();
//   workers.Run(jobs, [&](unsigned job, unsigned lane) { ... });

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TParticleWorkers
{
public:
    // Made on first use; the threads end with the process.
    static TParticleWorkers& Get();

    explicit TParticleWorkers(unsigned threads);
    ~TParticleWorkers();
    TParticleWorkers(const TParticleWorkers&) = delete;
    TParticleWorkers& operator=(const TParticleWorkers&) = delete;

    // Lanes a job may run on: the threads and the caller.
    unsigned GetLaneCount() const { return static_cast<unsigned>(mThreads.size()) + 1; }
    // Runs job(k, lane) for every k below `jobs`, each exactly once, and returns when all are
    // done. One lane runs one job at a time. Not reentrant.
    void Run(unsigned jobs, const std::function<void(unsigned, unsigned)>& job);

private:
    void Work(unsigned lane);
    // Takes jobs until none are left.
    void Drain(unsigned lane);

    std::vector<std::thread> mThreads;
    std::mutex mMutex;
    std::condition_variable mWake;
    std::condition_variable mDone;
    const std::function<void(unsigned, unsigned)>* mJob = nullptr;
    unsigned mJobs = 0;
    unsigned mNext = 0;
    unsigned mFinished = 0;
    unsigned mGeneration = 0;
    bool mStop = false;
};
