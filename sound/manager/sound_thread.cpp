#include "sound/manager/sound_thread.h"

#include <chrono>
#include <thread>

#include "sound/manager/sound_manager.h"

namespace {

thread_local bool tOnSoundThread = false;

}  // namespace

bool SoundThread::IsCurrent()
{
    return tOnSoundThread;
}

SoundThread::~SoundThread()
{
    StopAndJoin();
}

void SoundThread::Task(std::atomic<bool>* stop)
{
    tOnSoundThread = true;
    while (!*stop) {
        mManager->InternalHandleNotifications(true);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}
