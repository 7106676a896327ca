#include "sound/manager/sound.h"

#include "core/debug/debug_log.h"
#include "core/files/asset_map.h"
#include "sound/manager/sound_callback.h"
#include "sound/manager/sound_data.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager.h"
#include "sound/manager/sound_manager_mutex.h"
#include "sound/manager/sound_stream.h"
#include "sound/sources/sound_data_source_factory.h"

TSound::TSound() : mData(std::make_shared<TSoundData>())
{
    mData->mOwner = this;
}

TSound::~TSound()
{
    TSoundLock lock;
    mData->mOwner = nullptr;
    Kill();
}

std::shared_ptr<TSound> TSound::Get(const str& name, bool inMemory, int group)
{
    if (name.empty())
        return nullptr;
    str cut = name;
    unsigned q = name.find('?');
    if (q != str::npos) {
        unsigned at = name.find(str("group="));
        if (at != str::npos)
            group = name.substr(at + 6).to_int();
        cut = name.substr(0, static_cast<int>(q));
    }
    const str key = str::getFormatted("%s;%d;%d", cut.c_str(), inMemory ? 1 : 0, group);
    if (std::shared_ptr<TSound> hit = InternalGet(key))
        return hit;
    std::shared_ptr<TSound> sound = InternalNew(key);
    // Decoded before anything is locked: the sound thread must not wait for a decode.
    std::shared_ptr<TSoundDataSource> source = TSoundDataSourceFactory::Create(cut, !inMemory);
    TSoundLock lock;
    sound->mData->mName = cut;
    sound->mData->mGroup = group;
    if (!source)
        WriteDbg("TSound::Get: No valid sound file found: %s", cut.c_str());
    else
        sound->mData->mSource = std::move(source);
    return sound;
}

std::shared_ptr<TSound> TSound::InternalGet(const str& key)
{
    TAssetManager* assets = TAssetManager::GetInstance();
    return assets ? AssetCast<TSound>(assets->GetAsset(key)) : nullptr;
}

std::shared_ptr<TSound> TSound::InternalNew(const str& key)
{
    auto sound = std::make_shared<TSound>();
    if (TAssetManager* assets = TAssetManager::GetInstance())
        assets->AddAsset(key, sound);
    return sound;
}

void TSound::RegisterAssetLoaders()
{
    TAssetLoader loader;
    loader.classId = TSound::ClassId();
    loader.key = [](const str& requested, const str& query) { return SoundHandle(requested, query); };
    loader.load = [](const str& resolved) -> std::shared_ptr<TAsset> { return TSound::Get(resolved, true, -1); };
    TAssetMap::RegisterLoader("ogg", loader);
    TAssetMap::RegisterLoader("spx", loader);
}

std::shared_ptr<TSoundInstance> TSound::Play(bool loop)
{
    if (!mData) {
        WriteDbg("Play of uninitialized sound");
        return nullptr;
    }
    TSoundLock lock;
    std::shared_ptr<TSoundDataSource> source = mData->mSource;
    if (!source)
        return nullptr;
    TSoundManager* manager = TSoundManager::GetInstance();
    if (!manager) {
        WriteDbg("No Sound Manager");
        return nullptr;
    }
    auto stream =
        std::make_shared<TSoundStream>(manager, std::make_unique<TStreamSpooler>(source), loop, mData->mGroup, mData);
    // A stream that cannot start (no output, no buffers) gives no instance: nothing would
    // ever report its end.
    if (!stream->Init(source->GetBitRate(), source->GetChannels(), 16, 2.0f))
        return nullptr;
    auto instance = std::make_shared<TSoundInstance>(stream.get());
    instance->mSound = GetRef();
    mData->mInstances.insert(instance);
    stream->SetInstance(instance);
    stream->Play(false);
    return instance;
}

float TSound::GetSoundLength()
{
    TSoundLock lock;
    return mData && mData->mSource ? static_cast<float>(mData->mSource->GetSeconds()) : 0.0f;
}

bool TSound::Kill()
{
    TSoundLock lock;
    bool any = false;
    // Copied: each kill may report completion, whose callback may change the set.
    auto instances = mData->mInstances;
    for (auto& instance : instances)
        any = KillInstance(instance) || any;
    return any;
}

bool TSound::KillInstance(const std::shared_ptr<TSoundInstance>& instance)
{
    if (!instance)
        return false;
    TSoundLock lock;
    mData->mInstances.erase(instance);
    TSoundStream* stream = instance->mStream;
    if (!stream)
        return true;
    // A stream that moved on to a chained sound belongs to that sound now.
    if (stream->GetNotify() == mData)
        stream->Kill(false);
    return true;
}

void TSound::SetCompleteAction(const std::shared_ptr<TSoundInstance>& instance, TSoundCallBack* callback,
                               const std::shared_ptr<TSound>& next)
{
    if (!instance)
        return;
    TSoundLock lock;
    if (next) {
        TSoundStream* stream = instance->mStream;
        if (!stream)
            return;
        stream->SetNextStreamInfo(next->mData, std::make_unique<TStreamSpooler>(next->mData->mSource));
        instance->mNext = next;
        if (instance->mCallback && instance->mCallback != callback)
            instance->mCallback->mInstances.erase(instance);
        if (callback)
            callback->mInstances.insert(instance);
        instance->mCallback = callback;
        return;
    }
    if (!callback) {
        if (instance->mCallback)
            instance->mCallback->mInstances.erase(instance);
        instance->mCallback = nullptr;
        instance->mNext.reset();
        return;
    }
    if (!instance->mStream)
        return;
    if (instance->mCallback && instance->mCallback != callback)
        instance->mCallback->mInstances.erase(instance);
    callback->mInstances.insert(instance);
    instance->mSound = GetRef();
    instance->mCallback = callback;
    instance->mNext.reset();
}

str TSound::GetName() const
{
    TSoundLock lock;
    return mData->mName;
}

int TSound::GetGroup() const
{
    TSoundLock lock;
    return mData->mGroup;
}

bool TSound::HasSource() const
{
    TSoundLock lock;
    return mData->mSource != nullptr;
}

std::size_t TSound::InstanceCount() const
{
    TSoundLock lock;
    return mData->mInstances.size();
}

std::shared_ptr<TSound> TSound::GetRef()
{
    return std::static_pointer_cast<TSound>(weak_from_this().lock());
}
