#include "platform/sdl/close_watch.h"

#include <utility>

TCloseWatch::TCloseWatch(std::function<uint32_t()> now, std::function<bool()> closePending)
    : mNow(std::move(now)), mClosePending(std::move(closePending)), mLastTurn(mNow())
{
}

void TCloseWatch::MainLoopTurned()
{
    mLastTurn = mNow();
    mLooked = false;
    mAnswer = false;
}

bool TCloseWatch::ShouldStopScript()
{
    const uint32_t now = mNow();
    if (now - mLastTurn < kHoldLimitMs)
        return false;
    if (!mLooked || now - mLastLook >= kLookIntervalMs) {
        mLooked = true;
        mLastLook = now;
        mAnswer = mClosePending();
    }
    return mAnswer;
}
