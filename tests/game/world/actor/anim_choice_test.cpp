#include "game/world/actor/anim_choice.h"

#include <gtest/gtest.h>

#include <numbers>
#include <set>
#include <string>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// South-west, nearer south (four-way S) or nearer west (four-way W).
constexpr float kSWbyS = kPi / 4 + 0.1f;
constexpr float kSWbyW = kPi / 4 - 0.1f;

TEST(AnimChoice, TriesDirectionMirrorFourWayAndBareVerbInOrder)
{
    const uint32_t flip = AFLAG_X_FLIPPABLE;
    const struct
    {
        tAnimChoice choice;
        std::set<std::string> defined;
        const char* played;  // "" for none
        bool flipped;
        int tries;
    } cases[] = {
        {{DIR_SW, kSWbyS, flip, MOTION_WALK}, {"DoWalkSE"}, "DoWalkSE", true, 2},
        {{DIR_SW, kSWbyS, 0, MOTION_WALK}, {"DoWalkSE", "DoWalkS"}, "DoWalkS", false, 2},
        {{DIR_SW, kSWbyS, 0, MOTION_WALK}, {"DoWalkSE", "DoWalk"}, "DoWalk", false, 3},
        {{DIR_SW, kSWbyS, flip, MOTION_WALK}, {"DoWalkSW", "DoWalkSE"}, "DoWalkSW", false, 1},
        // The four-way mirror: W seen in the mirror is E.
        {{DIR_SW, kSWbyW, flip, MOTION_WALK}, {"DoWalkE"}, "DoWalkE", true, 4},
        {{DIR_W, kPi * 0, flip, MOTION_STAND}, {"DoStandE"}, "DoStandE", true, 2},
        // North has no mirror image to try.
        {{DIR_N, -kPi / 2, flip, MOTION_WALK}, {"DoWalk"}, "DoWalk", false, 3},
        {{DIR_S, kPi / 2, AFLAG_TALKING, MOTION_STAND}, {"DoTalkS", "DoStandS"}, "DoTalkS", false, 1},
        {{DIR_S, kPi / 2, AFLAG_TALKING, MOTION_STAND, true}, {"DoTalkS", "DoStandS"}, "DoStandS", false, 1},
        {{DIR_S, kPi / 2, 0, MOTION_SPECIAL}, {"DoStandS"}, "", false, 0},
        {{DIR_S, kPi / 2, AFLAG_SPECIAL_ANIM, MOTION_STAND}, {"DoStandS"}, "", false, 0},
        {{DIR_S, kPi / 2, 0, MOTION_WALK}, {"DoStandS"}, "", false, 3},
    };
    for (const auto& c : cases) {
        std::string played;
        int tries = 0;
        bool flipped = !c.flipped;
        const bool ok = ChooseAnim(
            c.choice,
            [&](const str& name) {
                ++tries;
                if (!c.defined.count(name.c_str()))
                    return false;
                played = name.c_str();
                return true;
            },
            &flipped);
        SCOPED_TRACE(std::string("expected ") + c.played);
        EXPECT_EQ(ok, *c.played != 0);
        EXPECT_EQ(played, c.played);
        EXPECT_EQ(flipped, c.flipped);
        EXPECT_EQ(tries, c.tries);
    }
}

}  // namespace
