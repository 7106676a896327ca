#include "sound/manager/sound_instance.h"

#include "sound/manager/sound.h"
#include "sound/manager/sound_data.h"
#include "sound/manager/sound_manager_mutex.h"

void TSoundInstance::SetCompleteAction(TSoundCallBack* callback, const std::shared_ptr<TSound>& next)
{
    TSoundLock lock;
    if (std::shared_ptr<TSound> sound = mSound.lock())
        sound->SetCompleteAction(shared_from_this(), callback, next);
}

TSoundStream* TSoundInstance::GetStream() const
{
    TSoundLock lock;
    return mStream;
}

std::shared_ptr<TSound> TSoundInstance::GetSound() const
{
    TSoundLock lock;
    return mSound.lock();
}

std::shared_ptr<TSound> TSoundInstance::GetNext() const
{
    TSoundLock lock;
    return mNext.lock();
}

TSoundCallBack* TSoundInstance::GetCallBack() const
{
    TSoundLock lock;
    return mCallback;
}

void TSoundInstance::MoveToNextSound(TSoundStream* stream)
{
    TSoundLock lock;
    mSound = mNext;
    mNext.reset();
    mStream = stream;
    // The next sound's set keeps the playback alive and lets that sound stop it.
    if (std::shared_ptr<TSound> sound = mSound.lock())
        sound->GetData()->mInstances.insert(shared_from_this());
}
