#include "game/world/actor/debug_flags.h"

#include "core/config/config.h"

int debugflag[4] = {0, 0, 0, 0};

int DebugSwitch(int index)
{
    if (index < 0 || index >= 4 || !TConfig::IsEnabled(TConfig::kCheatMode))
        return 0;
    return debugflag[index];
}
