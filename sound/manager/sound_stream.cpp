#include "sound/manager/sound_stream.h"

#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager.h"
#include "sound/manager/sound_manager_mutex.h"

TSoundStream::TSoundStream(TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler, bool loop, int type,
                           const std::shared_ptr<TStreamNotify>& notify)
    : mManager(manager), mSpooler(std::move(spooler)), mNotify(notify), mType(type), mLoop(loop)
{
}

TSoundStream::~TSoundStream()
{
    TSoundLock lock;
    mSpooler.reset();
    // The instance forgets this stream first, so that a completion callback that stops the
    // instance does not reach a stream that is going away.
    if (auto instance = mInstance.lock()) {
        if (instance->mStream == this)
            instance->mStream = nullptr;
    }
    for (std::weak_ptr<TStreamNotify>* target : {&mFinishedNotify, &mNotify, &mNextNotify}) {
        if (auto notify = target->lock())
            notify->StreamFinished(this);
    }
    mNextSpooler.reset();
    mData.Destroy();
}

bool TSoundStream::Init(int rate, int channels, int bits, float seconds)
{
    TSoundLock lock;
    if (!mManager || !mManager->IsInitialised() || !mManager->HasOutput())
        return false;
    if (!mData.Init(rate, channels, bits, seconds, mSpooler.get(), mLoop))
        return false;
    return mManager->RegisterStream(this);
}

void TSoundStream::Play(bool flag)
{
    TSoundLock lock;
    float v = mManager ? mManager->GetVolume(mType) : 1.0f;
    SetVolume(v);
    mData.Play(flag);
    if (mManager && !mManager->IsAppActive() && !mSystemPaused) {
        mSystemPaused = true;
        mData.Pause();
    }
}

void TSoundStream::Pause(bool pause)
{
    TSoundLock lock;
    if (pause == mUserPaused)
        return;
    mUserPaused = pause;
    if (pause)
        mData.Pause();
    else if (!mSystemPaused)
        mData.Resume();
}

void TSoundStream::SystemPause(bool pause)
{
    TSoundLock lock;
    if (pause == mSystemPaused)
        return;
    mSystemPaused = pause;
    if (pause)
        mData.Pause();
    else if (!mUserPaused)
        mData.Resume();
}

void TSoundStream::SetVolume(float volume)
{
    TSoundLock lock;
    if (!(volume >= 0.0f))
        volume = 0.0f;  // also NaN
    if (volume > 1.0f)
        volume = 1.0f;
    mGain = volume;
    mData.SetVolume(volume);
}

bool TSoundStream::Stream(bool)
{
    TSoundLock lock;
    bool r = mData.Stream();
    if (mData.IsExhausted() && mNextSpooler) {
        AdvanceStream();
        r = mData.Stream();
    }
    return r;
}

bool TSoundStream::StreamComplete()
{
    TSoundLock lock;
    return mData.IsComplete();
}

void TSoundStream::Kill(bool delayed)
{
    TSoundLock lock;
    mData.Pause();
    mNextSpooler.reset();
    mNextNotify.reset();
    // Empty while the stream is being destroyed: it has already left every list.
    std::shared_ptr<TSoundStream> self = weak_from_this().lock();
    if (!self || !mManager)
        return;
    if (delayed)
        mManager->StopStreamDelayed(self);
    else
        mManager->StopStream(self);
}

bool TSoundStream::SetNextStreamInfo(const std::shared_ptr<TStreamNotify>& notify,
                                     std::unique_ptr<TStreamSpooler> spooler)
{
    TSoundLock lock;
    mNextNotify = notify;
    mNextSpooler = std::move(spooler);
    return true;
}

void TSoundStream::AdvanceStream()
{
    TSoundLock lock;
    mSpooler = std::move(mNextSpooler);
    mData.SetStreamSpooler(mSpooler.get());
    mFinishedNotify = mNotify;
    if (auto instance = mInstance.lock())
        instance->MoveToNextSound(this);
    mNotify = mNextNotify;
    mNextNotify.reset();
}
