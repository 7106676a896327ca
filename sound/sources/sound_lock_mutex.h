#pragma once
// The decoders' own lock, held by every Read of the Ogg and memory sources. When streaming it
// is always taken inside the sound manager's mutex, never the other way round.

#include "core/system/mutex.h"

struct TLockSoundMutex
{
    static TMutex& mMutex;
};
