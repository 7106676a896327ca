#include "sound/sources/sound_lock_mutex.h"

// Never destroyed: sounds released by other static objects at exit may still read.
TMutex& TLockSoundMutex::mMutex = *new TMutex;
