#include "game/script/script_enums.h"
#include "game/world/actor/actor_colour.h"
#include "game/world/actor/depth_mode.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DepthMode, FixedModesSetTheDepthAndUnknownOnesAreLogged)
{
    const struct
    {
        int mode;
        bool known;
        int depth;  // from 77
    } cases[] = {
        {DEPTH_BACKMOST, true, 0}, {DEPTH_FRONTMOST, true, 600}, {DEPTH_BY_Y, true, 77}, {DEPTH_FIXED, true, 77},
        {DEPTH_BY_POLY, true, 77}, {DEPTH_OVER_HUD, true, 77},   {5, false, 77},         {-7, false, 77},
    };
    for (const auto& c : cases) {
        TLogCapture log;
        int depth = 77;
        EXPECT_EQ(ApplyDepthMode(c.mode, &depth), c.known) << c.mode;
        EXPECT_EQ(depth, c.depth) << c.mode;
        const bool logged = log.Text().find("Unknown depthmode " + std::to_string(c.mode)) != std::string::npos;
        EXPECT_EQ(logged, !c.known) << c.mode;
    }
}

TEST(ActorColour, TintWithAlphaLitByTheLightMapOnlyWhenAsked)
{
    const TColor tint(1, 0.5f, 0.25f, 0.9f);
    const TColor32 light(255, 128, 0, 255);
    const struct
    {
        uint32_t flags;
        TColor want;
    } cases[] = {
        {0, TColor(1, 0.5f, 0.25f, 0.5f)},
        {AFLAG_USE_LIGHTMAP, TColor(1, 0.5f * 128 / 255.0f, 0, 0.5f)},
    };
    for (const auto& c : cases) {
        const TColor got = ActorColour(tint, 0.5f, c.flags, light);
        EXPECT_FLOAT_EQ(got.red, c.want.red);
        EXPECT_FLOAT_EQ(got.green, c.want.green);
        EXPECT_FLOAT_EQ(got.blue, c.want.blue);
        EXPECT_FLOAT_EQ(got.alpha, c.want.alpha);
    }
}

}  // namespace
