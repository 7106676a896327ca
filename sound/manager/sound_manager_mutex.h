#pragma once
// The one lock of the playback side: the manager's lists and volumes, every stream, every
// sound's instance set and every OpenAL call. Recursive: operations call each other holding it.

#include "core/system/mutex.h"

struct SoundManagerMutex
{
    static TMutex& mMutex;
};

// Holds SoundManagerMutex::mMutex for one scope.
class TSoundLock : public TMutexLock
{
public:
    TSoundLock() : TMutexLock(SoundManagerMutex::mMutex) {}
};
