#include "game/world/common/debug_flags.h"

#include "core/config/config.h"

int debugflag[kDebugFlagCount] = {0, 0, 0, 0};

int DebugSwitch(int index)
{
    if (index < 0 || index >= kDebugFlagCount || !TConfig::IsEnabled(TConfig::kCheatMode))
        return 0;
    return debugflag[index];
}
