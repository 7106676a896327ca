#include "game/world/common/debug_flags.h"

int debugflag[kDebugFlagCount] = {};
