#pragma once
// The sound thread: runs the manager's refill and completion pass every 200 microseconds.

#include "core/system/thread.h"

class TSoundManager;

class SoundThread : public TThread
{
public:
    explicit SoundThread(TSoundManager* manager) : mManager(manager) {}
    ~SoundThread() override;

    // Whether the calling thread is a sound thread.
    static bool IsCurrent();

protected:
    void Task(std::atomic<bool>* stop) override;

private:
    TSoundManager* mManager;
};
