// The demo game's actor animations from the assembled data folder: every facing finds an
// animation to stand, walk and talk in, and every animation shows the frames of its own pose.

#include "game/world/actor/anim_choice.h"
#include "game/world/actor/anim_names.h"

#include "game/script/best_ref.h"
#include "game/world/demo_assets_gl_test.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/animated_texture.h"
#include "support/stepped_time.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <set>
#include <string>

namespace {

struct TDemoActor
{
    const char* file;
    int frames;
    // What facing N, NE, E, SE, S, SW, W, NW plays: the drawn direction, "~" in front when it
    // is mirrored; "a|b" where the four-way name depends on which side of the diagonal the
    // exact angle lies.
    const char* plays[8];
};

const TDemoActor kActors[] = {
    {"anims/mira.xml", 50, {"N", "NE", "E", "SE", "S", "~SE", "~E", "~NE"}},
    {"anims/gardener.xml", 30, {"N", "N|E", "E", "E|S", "S", "S|~E", "~E", "N|~E"}},
};

const char* const kVerbs[] = {"DoStand", "DoWalk", "DoTalk"};

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

using DemoAnims = DemoAssetsGLTest;

TEST_F(DemoAnims, EveryFacingStandsWalksAndTalks)
{
    const int dx[] = {0, 1, 1, 1, 0, -1, -1, -1};
    const int dy[] = {-1, -1, 0, 1, 1, 1, 0, -1};
    for (const TDemoActor& actor : kActors) {
        tAnimNames names;
        ASSERT_TRUE(RegisterAnimFile(names, actor.file)) << actor.file;
        for (const char* verb : kVerbs) {
            for (int i = 0; i < 8; ++i) {
                tAnimChoice choice;
                choice.facing = DIR(DIR_N + i);
                choice.angle = float(std::atan2(dy[i], -dx[i]));
                choice.flags = AFLAG_X_FLIPPABLE | (verb == std::string("DoTalk") ? AFLAG_TALKING : 0);
                choice.motion = verb == std::string("DoWalk") ? MOTION_WALK : MOTION_STAND;
                std::string played;
                bool flipped = false;
                const bool found = ChooseAnim(
                    choice,
                    [&](const str& name) {
                        played = name.c_str();
                        return names.FileOf(name) != nullptr;
                    },
                    &flipped);
                const std::string where = std::string(actor.file) + " " + DIR_NAME(choice.facing) + " " + verb;
                ASSERT_TRUE(found) << where;
                ASSERT_TRUE(played.rfind(verb, 0) == 0) << where << " plays " << played;
                const std::string got = (flipped ? "~" : "") + played.substr(std::string(verb).size());
                const std::string allowed = std::string("|") + actor.plays[i] + "|";
                EXPECT_TRUE(allowed.find("|" + got + "|") != std::string::npos) << where << " plays " << got;
            }
        }
    }
}

// Each animation, played for three seconds, shows every frame of its pose and no other:
// "DoWalkSE" the frames "walk_se_00" to "walk_se_05", the bare "DoWalk" those facing south.
TEST_F(DemoAnims, EachAnimationShowsItsOwnPoseFrames)
{
    TSteppedTime time;
    for (const TDemoActor& actor : kActors) {
        std::shared_ptr<TAnimatedTexture> sheet = BestAnimatedRef(actor.file);
        ASSERT_NE(sheet, nullptr) << actor.file;
        ASSERT_EQ(sheet->GetNumFrames(), actor.frames) << actor.file;
        // Every frame was drawn: its middle is opaque.
        for (int f = 0; f < actor.frames; ++f) {
            const TAnimFrame* frame = sheet->GetFrame(f);
            const uint32_t middle = TexturePixel(sheet, frame->x + frame->regX, frame->y + frame->height / 2);
            EXPECT_EQ(middle >> 24, 0xFFu) << actor.file << " frame " << frame->name.c_str();
        }

        tAnimNames names;
        ASSERT_TRUE(RegisterAnimFile(names, actor.file));
        for (const tAnimNames::tAnimName& anim : names.GetNames()) {
            const std::string name = anim.name.c_str();
            const std::string verb = name.rfind("DoStand", 0) == 0 ? "stand" : Lower(name.substr(2, 4));
            const std::string dir = name.substr(2 + verb.size());
            const std::string pose = verb + "_" + (dir.empty() ? "s" : Lower(dir)) + "_";
            const size_t poseFrames = verb == "walk" ? 6 : verb == "talk" ? 3 : 1;

            auto sprite = TAnimatedSprite::Create(0);
            sprite->SetTexture(sheet);
            sprite->SetClock(&time.clock);
            sprite->Play(anim.name);
            std::set<std::string> shown;
            for (int step = 0; step < 60; ++step) {
                shown.insert(sheet->GetFrame(sprite->GetCurrentFrame())->name.c_str());
                time.Advance(50);
            }
            EXPECT_TRUE(sprite->IsPlaying(0)) << name << " should loop";
            EXPECT_EQ(shown.size(), poseFrames) << name;
            for (const std::string& frame : shown)
                EXPECT_TRUE(frame.rfind(pose, 0) == 0) << name << " shows " << frame;
        }
    }
}

}  // namespace
