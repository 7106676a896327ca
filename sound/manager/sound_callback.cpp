#include "sound/manager/sound_callback.h"

#include "sound/manager/completion_queue.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager_mutex.h"

TSoundCallBack::~TSoundCallBack()
{
    TSoundLock lock;
    // Copied: detaching an instance erases it from the set.
    auto instances = mInstances;
    for (auto& weak : instances) {
        std::shared_ptr<TSoundInstance> instance = weak.lock();
        if (!instance)
            continue;
        instance->SetCompleteAction(nullptr, nullptr);
        // Also when the instance's sound is already gone and the call above did nothing.
        if (instance->mCallback == this)
            instance->mCallback = nullptr;
    }
    mInstances.clear();
    SoundCompletions::Forget(this);
}

std::size_t TSoundCallBack::AttachedCount() const
{
    TSoundLock lock;
    return mInstances.size();
}
