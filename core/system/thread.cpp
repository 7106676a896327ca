#include "core/system/thread.h"

#include <cerrno>
#include <system_error>

TThread::TThread() : mStop(std::make_shared<std::atomic<bool>>(false)) {}

TThread::~TThread()
{
    if (mWorker.load() == std::this_thread::get_id()) {
        // Destroyed by its own Task (after StartTask returned): nobody can wait for it now.
        mStop->store(true);
        if (mThread.joinable())
            mThread.detach();
        return;
    }
    StopAndJoin();
}

int TThread::StartTask()
{
    if (mThread.joinable())
        return EINVAL;
    // A thread that stopped itself left its request set.
    if (mStop->load())
        mStop = std::make_shared<std::atomic<bool>>(false);
    try {
        // The thread keeps its own reference to the flag, so it outlives this object if need be.
        mThread = std::thread([this, stop = mStop] {
            mWorker.store(std::this_thread::get_id());
            Task(stop.get());
        });
    } catch (const std::system_error& e) {
        return e.code().value() ? e.code().value() : EAGAIN;
    }
    return 0;
}

void TThread::StopAndJoin()
{
    if (mWorker.load() == std::this_thread::get_id()) {
        // Called from Task itself: joining would wait for ever, so only ask it to stop.
        mStop->store(true);
        return;
    }
    if (!mThread.joinable())
        return;
    mStop->store(true);
    mThread.join();
    mWorker.store(std::thread::id());
    mStop->store(false);
}
