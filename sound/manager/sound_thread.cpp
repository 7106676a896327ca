#include "sound/manager/sound_thread.h"

#include <chrono>
#include <thread>

#include "sound/manager/sound_manager.h"

SoundThread::~SoundThread()
{
    StopAndJoin();
}

void SoundThread::Task(std::atomic<bool>* stop)
{
    while (!*stop) {
        mManager->InternalHandleNotifications(true);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}
