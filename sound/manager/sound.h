#pragma once
// A loaded sound asset: a name, a group (its sound type) and a data source. Cached in the
// asset manager under "name;inmemory;group", so asking twice gives the same object.
//   auto s = TSound::Get("audio/sfx/click.ogg?group=1000", true, 0);
//   if (s) s->Play(false);   // plays to its end on its own

#include <memory>

#include "core/files/asset.h"
#include "core/text/str.h"

class TSoundCallBack;
class TSoundData;
class TSoundInstance;

class TSound : public TAsset
{
    TV_ASSET_CLASS(TSound, TAsset)

public:
    TSound();
    ~TSound() override;

    // Empty for an empty name. "?...group=N" in the name sets the group; the name is cut at
    // the "?". `inMemory` keeps the data in memory rather than reading the file while playing.
    // A name with no file still gives a (silent) sound.
    static std::shared_ptr<TSound> Get(const str& name, bool inMemory, int group);
    static std::shared_ptr<TSound> InternalGet(const str& key);
    static std::shared_ptr<TSound> InternalNew(const str& key);
    // Lets asset maps load "ogg" and "spx" files as sounds. Safe to call again.
    static void RegisterAssetLoaders();

    // A new playing instance, or empty (no data, no sound manager, or no output).
    std::shared_ptr<TSoundInstance> Play(bool loop);
    float GetSoundLength();
    // Stops every instance; true if there was one.
    bool Kill();
    bool KillInstance(const std::shared_ptr<TSoundInstance>& instance);
    // Attaches or clears a completion callback and a sound chained to play next without a gap.
    void SetCompleteAction(const std::shared_ptr<TSoundInstance>& instance, TSoundCallBack* callback,
                           const std::shared_ptr<TSound>& next);

    str GetName() const;
    int GetGroup() const;
    bool HasSource() const;
    std::size_t InstanceCount() const;
    std::shared_ptr<TSound> GetRef();
    const std::shared_ptr<TSoundData>& GetData() const { return mData; }

private:
    std::shared_ptr<TSoundData> mData;
};
