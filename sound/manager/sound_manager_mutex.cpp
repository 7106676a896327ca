#include "sound/manager/sound_manager_mutex.h"

// Never destroyed: streams released by other static objects at exit still lock it.
TMutex& SoundManagerMutex::mMutex = *new TMutex;
