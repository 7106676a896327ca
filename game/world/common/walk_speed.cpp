#include "game/world/common/walk_speed.h"

namespace {
float (*gSource)() = nullptr;
}

float RangedWalkSpeed()
{
    return gSource ? gSource() : 1.0f;
}

void SetRangedWalkSpeedSource(float (*source)())
{
    gSource = source;
}
