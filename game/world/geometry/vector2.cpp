#include "game/world/geometry/vector2.h"

#include "core/debug/debug_log.h"

float inv_flerp(float a, float b, float x)
{
    if (a == b) {
        WriteDbg("bad inv_flerp(%f, %f)", a, b);
        return 0.5f;
    }
    return (x - a) / (b - a);
}
