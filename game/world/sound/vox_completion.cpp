#include "game/world/sound/vox_completion.h"

#include "core/debug/debug_log.h"
#include "core/text/str.h"
#include "game/world/common/game_clock.h"

#include <cmath>

tVoxCompletion gMusicComplete;
tVoxCompletion gVoxComplete;
tVoxCompletion gBGVoxComplete;

namespace {

// The clock reading goes in the same log line, so lines from both threads stay whole.
void LogAt(const char* what)
{
    WriteDbg("[%4.2f]:%s", double(GameClockTime()) / 1000.0, what);
}

}  // namespace

void tVoxCompletion::OnComplete(std::shared_ptr<TSoundInstance> instance, std::shared_ptr<TSound>)
{
    if (!IsWatched(instance)) {
        LogAt("tVoxCompletion::OnComplete() of an earlier sound, ignored");
        return;
    }
    LogAt("tVoxCompletion::OnComplete()");
    mDone.store(true, std::memory_order_release);
}

bool tVoxCompletion::IsWatched(const std::shared_ptr<TSoundInstance>& instance)
{
    std::lock_guard<std::mutex> lock(mWatchedMutex);
    const std::shared_ptr<TSoundInstance> watched = mWatched.lock();
    return instance && watched == instance;
}

void tVoxCompletion::Watch(const std::shared_ptr<TSoundInstance>& instance)
{
    std::lock_guard<std::mutex> lock(mWatchedMutex);
    mWatched = instance;
}

void tVoxCompletion::Reset()
{
    LogAt("tVoxCompletion::Reset()");
    Watch(nullptr);
    mDone.store(false, std::memory_order_release);
    mDeadline.store(kNoDeadline, std::memory_order_relaxed);
}

void tVoxCompletion::WaiveCallback()
{
    LogAt("tVoxCompletion::WaiveCallback()");
    mDone.store(true, std::memory_order_release);
}

void tVoxCompletion::SetDelay(float seconds)
{
    LogAt(str::getFormatted("tVoxCompletion::SetDelay(%f)", double(seconds)).c_str());
    double ms = double(GameClockTime()) + double(seconds) * 1000.0;
    if (!(ms >= 0.0))
        ms = 0.0;
    mDeadline.store(ms >= 4294967296.0 ? kNoDeadline : uint32_t(ms), std::memory_order_relaxed);
}

bool tVoxCompletion::IsMostlyComplete() const
{
    const uint32_t deadline = GetDeadline();
    if (deadline == kNoDeadline || GameClockTime() <= deadline)
        return false;
    LogAt("tVoxCompletion::IsMostlyComplete(DONE)");
    return true;
}
