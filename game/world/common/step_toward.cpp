#include "game/world/common/step_toward.h"

#include <cmath>

bool StepToward(float& x, float& y, float targetX, float targetY, float maxStep)
{
    float dx = targetX - x;
    float dy = targetY - y;
    if (dx == 0.0f && dy == 0.0f)
        return false;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length >= maxStep) {
        dx = dx / length * maxStep;
        dy = dy / length * maxStep;
    }
    x += dx;
    y += dy;
    return true;
}
