#include "game/world/actor/depth_mode.h"

#include "game/script/df_log.h"
#include "game/script/script_enums.h"

bool ApplyDepthMode(int mode, int* depthValue)
{
    switch (mode) {
    case DEPTH_BACKMOST: *depthValue = 0; return true;
    case DEPTH_FRONTMOST: *depthValue = 600; return true;
    case DEPTH_BY_Y:
    case DEPTH_FIXED:
    case DEPTH_BY_POLY:
    case DEPTH_OVER_HUD: return true;
    default: LOGIT("Unknown depthmode %d\n", mode); return false;
    }
}
