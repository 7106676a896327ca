#pragma once
// Tells the game when a sound it waits on is mostly done (its expected length has passed on
// the game clock) and quite done (the sound really ended, or there was none to wait for).
// The end is reported on the sound thread; the answers are read on the main thread.

#include "sound/manager/sound_callback.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

class tVoxCompletion : public TSoundCallBack
{
public:
    static constexpr uint32_t kNoDeadline = 4294967295u;

    void OnComplete(std::shared_ptr<TSoundInstance> instance, std::shared_ptr<TSound> next) override;

    // The instance whose end counts; the end of any other (a line stopped or run out just
    // before, its report still on its way) is ignored.
    void Watch(const std::shared_ptr<TSoundInstance>& instance);
    void Reset();
    void WaiveCallback();
    void SetDelay(float seconds);
    bool IsQuiteComplete() const { return mDone.load(std::memory_order_acquire); }
    bool IsMostlyComplete() const;
    uint32_t GetDeadline() const { return mDeadline.load(std::memory_order_relaxed); }

private:
    bool IsWatched(const std::shared_ptr<TSoundInstance>& instance);

    std::mutex mWatchedMutex;
    std::weak_ptr<TSoundInstance> mWatched;
    std::atomic<bool> mDone{true};
    std::atomic<uint32_t> mDeadline{kNoDeadline};
};

extern tVoxCompletion gMusicComplete;
extern tVoxCompletion gVoxComplete;
extern tVoxCompletion gBGVoxComplete;
