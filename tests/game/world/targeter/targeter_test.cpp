#include "game/world/targeter/targeter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Targeter, StepsUntilItLandsExactly)
{
    struct Case
    {
        const char* what;
        float target, speed, acceleration;
        std::vector<float> positions;  // x after each update
    };
    const Case cases[] = {
        {"speed 1 reaches 3.5 in four steps", 3.5f, 1.0f, 0.0f, {1.0f, 2.0f, 3.0f, 3.5f, 3.5f}},
        {"acceleration 1 makes steps of 2, 3, 4", 20.0f, 1.0f, 1.0f, {2.0f, 5.0f, 9.0f, 14.0f, 20.0f}},
        {"on the target nothing moves", 0.0f, 1.0f, 0.5f, {0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tTargeter t;
        t.targetX = c.target;
        t.speed = c.speed;
        t.acceleration = c.acceleration;
        for (size_t i = 0; i < c.positions.size(); ++i) {
            t.Update();
            EXPECT_FLOAT_EQ(t.posX, c.positions[i]) << "update " << i + 1;
            EXPECT_EQ(t.posY, 0.0f);
            EXPECT_EQ(t.IsDone(), c.positions[i] == c.target) << "update " << i + 1;
        }
        EXPECT_FLOAT_EQ(t.speed, c.speed + c.acceleration * float(c.positions.size()));
    }
}

TEST(Targeter, DiagonalStepHasTheSpeedAsLength)
{
    tTargeter t;
    t.targetX = 30.0f, t.targetY = 40.0f;  // 50 away
    t.speed = 5.0f;
    t.Update();
    EXPECT_FLOAT_EQ(t.posX, 3.0f);
    EXPECT_FLOAT_EQ(t.posY, 4.0f);
}

}  // namespace
