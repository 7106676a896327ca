#pragma once
// A point that glides toward a target one step per frame, its speed growing by the
// acceleration each frame. The owner sets the fields directly.

#include "core/text/str.h"

struct tTargeter
{
    str name;
    float targetX = 0, targetY = 0;
    float posX = 0, posY = 0;
    float thirdX = 0, thirdY = 0;  // for the owner; the follower never reads it
    float speed = 1.0f;
    float acceleration = 0.0f;

    void Update();
    bool IsDone() const { return posX == targetX && posY == targetY; }
};
