#include "game/world/targeter/targeter.h"

#include "game/world/common/step_toward.h"

void tTargeter::Update()
{
    speed += acceleration;
    StepToward(posX, posY, targetX, targetY, speed);
}
