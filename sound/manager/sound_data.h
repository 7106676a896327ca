#pragma once
// What a sound plays from, and the set of its instances that are playing (which keeps them
// alive). Streams report the end of this sound to it.

#include <memory>
#include <set>

#include "core/text/str.h"
#include "sound/manager/stream_notify.h"
#include "sound/sources/sound_data_source.h"

class TSound;
class TSoundInstance;

class TSoundData : public TStreamNotify
{
public:
    void StreamFinished(TSoundStream* stream) override;

    std::set<std::shared_ptr<TSoundInstance>> mInstances;
    int mGroup = 0;
    std::shared_ptr<TSoundDataSource> mSource;  // null when no file was found
    str mName;
    TSound* mOwner = nullptr;  // cleared when the sound goes
};
