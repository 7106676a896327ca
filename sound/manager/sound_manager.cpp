#include "sound/manager/sound_manager.h"

#include <algorithm>

#include <AL/alext.h>

#include "core/debug/debug_log.h"
#include "sound/manager/completion_queue.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_manager_data.h"
#include "sound/manager/sound_manager_mutex.h"
#include "sound/manager/sound_stream.h"
#include "sound/manager/sound_thread.h"

namespace {

std::atomic<TSoundManager*> sInstance{nullptr};

using StreamList = std::vector<std::shared_ptr<TSoundStream>>;

bool Erase(StreamList& list, const std::shared_ptr<TSoundStream>& stream)
{
    auto it = std::find(list.begin(), list.end(), stream);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

}  // namespace

TSoundManager::TSoundManager() : TSoundManager(eDevice::kDefault) {}

TSoundManager::TSoundManager(eDevice device, int loopbackRate)
    : mData(std::make_unique<TSoundManagerData>(device, loopbackRate))
{
    sInstance = this;
    TSound::RegisterAssetLoaders();
}

TSoundManager::~TSoundManager()
{
    // The thread first (it stops and joins), so that no pass runs while the rest goes.
    mData->mThread.reset();
    mShuttingDown = true;
    SoundCompletions::Clear();
    // Streams released here may still reach the manager: the data stays until the end.
    mData->Close();
    TSoundManager* self = this;
    sInstance.compare_exchange_strong(self, nullptr);
}

TSoundManager* TSoundManager::GetInstance()
{
    return sInstance;
}

bool TSoundManager::Init(bool startThread)
{
    if (mInitialised)
        return true;
    mInitialised = true;
    if (startThread) {
        mData->mThread = std::make_unique<SoundThread>(this);
        mData->mThread->StartTask();
    }
    return true;
}

bool TSoundManager::HasSoundThread() const
{
    return mData->mThread != nullptr;
}

bool TSoundManager::HasOutput() const
{
    return mData->mContext != nullptr;
}

std::size_t TSoundManager::StreamCount() const
{
    TSoundLock lock;
    return mData->mStreams.size();
}

std::size_t TSoundManager::DelayedReleaseCount() const
{
    TSoundLock lock;
    return mData->mDelayedReleases.size();
}

bool TSoundManager::RegisterStream(TSoundStream* stream)
{
    TSoundLock lock;
    std::shared_ptr<TSoundStream> shared = stream ? stream->weak_from_this().lock() : nullptr;
    if (!shared) {
        WriteDbg("TSoundManager::RegisterStream: stream is not shared");
        return false;
    }
    mData->mStreams.push_back(std::move(shared));
    return true;
}

void TSoundManager::StopStream(const std::shared_ptr<TSoundStream>& stream)
{
    TSoundLock lock;
    // Held here so that the stream is destroyed (and reports) after the lists are consistent.
    std::shared_ptr<TSoundStream> keep = stream;
    Erase(mData->mStreams, stream);
    Erase(mData->mDelayedReleases, stream);
}

void TSoundManager::StopStreamDelayed(const std::shared_ptr<TSoundStream>& stream)
{
    TSoundLock lock;
    auto& streams = mData->mStreams;
    auto it = std::find(streams.begin(), streams.end(), stream);
    if (it == streams.end())
        return;
    mData->mDelayedReleases.push_back(*it);
    streams.erase(it);
}

void TSoundManager::HandleNotifications()
{
    TSoundLock lock;
    {
        StreamList releases;
        releases.swap(mData->mDelayedReleases);
    }
    // A notify may start or stop sounds: walk a copy of the list.
    StreamList streams = mData->mStreams;
    for (auto& stream : streams) {
        if (auto finished = stream->GetFinishedNotify())
            finished->StreamFinished(stream.get());
    }
    SoundCompletions::Deliver();
}

void TSoundManager::InternalHandleNotifications(bool)
{
    if (!mInitialised)
        return;
    TSoundLock lock;
    auto& streams = mData->mStreams;
    // By index: a completion callback may add or remove streams while the list is walked.
    std::size_t i = 0;
    while (i < streams.size()) {
        std::shared_ptr<TSoundStream> stream = streams[i];
        stream->Stream(false);
        if (!stream->StreamComplete() || stream->IsLooping()) {
            ++i;
            continue;
        }
        if (auto notify = stream->GetNotify())
            notify->StreamFinished(stream.get());
        stream->ClearNotify();
        if (!Erase(streams, stream))
            ++i;
    }
}

void TSoundManager::SetVolume(float volume)
{
    TSoundLock lock;
    mData->mMasterVolume = volume;
    UpdateAllVolumes();
}

float TSoundManager::GetVolume(int type)
{
    TSoundLock lock;
    auto it = mData->mTypeVolumes.find(type);
    if (it != mData->mTypeVolumes.end())
        return mData->mMasterVolume * it->second;
    return mData->mMasterVolume;
}

void TSoundManager::SetTypeVolume(int type, float volume)
{
    TSoundLock lock;
    mData->mTypeVolumes[type] = volume;
    UpdateAllVolumes();
}

void TSoundManager::SetStreamVolume(const std::shared_ptr<TSoundStream>& stream)
{
    TSoundLock lock;
    if (!stream)
        return;
    float v = GetVolume(stream->GetType());
    // Passing through another value makes every update a change of gain.
    stream->SetVolume(v < 0.5f ? v + 0.05f : v - 0.05f);
    stream->SetVolume(v);
}

void TSoundManager::UpdateAllVolumes()
{
    TSoundLock lock;
    StreamList streams = mData->mStreams;
    for (auto& stream : streams)
        SetStreamVolume(stream);
}

void TSoundManager::PauseAllSounds(bool pause, int type)
{
    TSoundLock lock;
    StreamList streams = mData->mStreams;
    for (auto& stream : streams) {
        if (type == -1 || stream->GetType() == type)
            stream->Pause(pause);
    }
    if (!pause)
        UpdateAllVolumes();
}

void TSoundManager::KillAllSounds(int type)
{
    TSoundLock lock;
    // Killed streams are destroyed (and report) when this copy goes, after the walk.
    StreamList streams = mData->mStreams;
    for (auto it = streams.rbegin(); it != streams.rend(); ++it) {
        if (type == -1 || (*it)->GetType() == type)
            (*it)->Kill(false);
    }
}

void TSoundManager::AppActivate(bool active)
{
    TSoundLock lock;
    if (active == mAppActive)
        return;
    mAppActive = active;
    StreamList streams = mData->mStreams;
    for (auto& stream : streams)
        stream->SystemPause(!active);
    if (active)
        UpdateAllVolumes();
}

bool TSoundManager::RenderLoopback(float* dst, int frames)
{
    TSoundLock lock;
    if (!mData->mLoopback || !mData->mContext || frames <= 0)
        return false;
    static auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!render)
        return false;
    render(mData->mDevice, dst, frames);
    return true;
}
