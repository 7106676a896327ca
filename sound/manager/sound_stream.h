#pragma once
// One playback: an OpenAL source fed from a spooler, refilled by the sound thread. Can loop,
// be paused by the game and, separately, by the application going to the background, and
// continue with a chained sound without a gap. Every operation holds the manager's mutex.

#include <memory>

#include "sound/manager/sound_stream_data.h"
#include "sound/manager/stream_notify.h"
#include "sound/manager/stream_spooler.h"

class TSoundManager;
class TSoundInstance;

class TSoundStream : public std::enable_shared_from_this<TSoundStream>
{
public:
    TSoundStream(TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler, bool loop, int type,
                 const std::shared_ptr<TStreamNotify>& notify);
    ~TSoundStream();
    TSoundStream(const TSoundStream&) = delete;
    TSoundStream& operator=(const TSoundStream&) = delete;

    // Makes the OpenAL objects and registers with the manager. The stream must already be
    // owned by a shared pointer.
    bool Init(int rate, int channels, int bits, float seconds);
    void Play(bool);
    void Pause(bool pause);
    void SystemPause(bool pause);
    // Clamped to [0, 1].
    void SetVolume(float volume);
    // One refill step; moves on to the chained sound once the current one has no more data.
    bool Stream(bool);
    bool StreamComplete();
    // Stops and leaves the manager's list; `delayed` keeps it alive until the next
    // main-thread pass.
    void Kill(bool delayed);
    bool SetNextStreamInfo(const std::shared_ptr<TStreamNotify>& notify, std::unique_ptr<TStreamSpooler> spooler);
    void AdvanceStream();

    TSoundManager* GetManager() const { return mManager; }
    int GetType() const { return mType; }
    bool IsLooping() const { return mLoop; }
    bool IsUserPaused() const { return mUserPaused; }
    bool IsSystemPaused() const { return mSystemPaused; }
    bool HasNextSpooler() const { return mNextSpooler != nullptr; }
    // The gain last given to OpenAL.
    float GetGain() const { return mGain; }
    TSoundStreamData& GetData() { return mData; }

    std::shared_ptr<TStreamNotify> GetNotify() const { return mNotify.lock(); }
    void ClearNotify() { mNotify.reset(); }
    std::shared_ptr<TStreamNotify> GetFinishedNotify() const { return mFinishedNotify.lock(); }
    void ClearFinishedNotify() { mFinishedNotify.reset(); }
    std::shared_ptr<TSoundInstance> GetInstance() const { return mInstance.lock(); }
    void SetInstance(const std::shared_ptr<TSoundInstance>& instance) { mInstance = instance; }

private:
    TSoundManager* mManager;
    std::unique_ptr<TStreamSpooler> mSpooler;
    std::unique_ptr<TStreamSpooler> mNextSpooler;
    std::weak_ptr<TStreamNotify> mNotify;
    std::weak_ptr<TStreamNotify> mNextNotify;
    std::weak_ptr<TStreamNotify> mFinishedNotify;
    TSoundStreamData mData;
    std::weak_ptr<TSoundInstance> mInstance;
    int mType;
    bool mLoop;
    bool mUserPaused = false;
    bool mSystemPaused = false;
    float mGain = 1.0f;
};
