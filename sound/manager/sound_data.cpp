#include "sound/manager/sound_data.h"

#include "sound/manager/completion_queue.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_callback.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager.h"
#include "sound/manager/sound_manager_mutex.h"
#include "sound/manager/sound_stream.h"
#include "sound/manager/sound_thread.h"

void TSoundData::StreamFinished(TSoundStream* stream)
{
    TSoundLock lock;
    stream->ClearFinishedNotify();
    // The sound stays alive for this call even if the callback drops the last reference.
    std::shared_ptr<TSound> owner = mOwner ? mOwner->GetRef() : nullptr;
    TSoundManager* manager = stream->GetManager();
    const bool shuttingDown = manager && manager->IsShuttingDown();
    std::shared_ptr<TSoundInstance> instance = stream->GetInstance();
    if (!instance)
        return;
    std::shared_ptr<TSound> next = instance->mNext.lock();
    instance->mNext.reset();
    // The end of the first sound of a chain is not the end of the playback: the stream goes
    // on with another sound, whose end is reported again.
    std::shared_ptr<TStreamNotify> current = stream->GetNotify();
    const bool final = !current || current.get() == this;
    if (TSoundCallBack* callback = instance->mCallback) {
        if (final) {
            // Detached before the call, so that a callback freed after its last report is
            // never reached again, and one attached from OnComplete is kept.
            callback->mInstances.erase(instance);
            instance->mCallback = nullptr;
        }
        // A callback plays the next line, reaching the asset manager and the file layer:
        // from the sound thread it is called later, on the main thread.
        if (!shuttingDown && SoundThread::IsCurrent())
            SoundCompletions::Post(callback, instance, next);
        else if (!shuttingDown)
            callback->OnComplete(instance, next);
    }
    // Playback over, or moved on to another sound (whose set holds it now).
    if (final || instance->mSound.lock() != owner)
        mInstances.erase(instance);
}
