#include "render/anim/animated_sprite.h"

#include "core/script/script.h"
#include "core/time/clock.h"
#include "core/time/task.h"
#include "render/anim/sprite_script.h"
#include "tools/animpack/anim_pack.h"

#include "../support/render_test_support.h"
#include "../support/stepped_time.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class AnimatedSpriteTest : public ::testing::Test
{
protected:
    AnimatedSpriteTest() { UseGLDisplayHandler(); }

    // An animated texture of `frames` frames with the given script, read from XML (no sheet).
    std::shared_ptr<TAnimatedTexture> Texture(int frames, const std::string& script)
    {
        TAnimDescription d;
        d.sequenceName = "t";
        d.imageName = "t.png";
        for (int i = 0; i < frames; ++i) {
            TAnimFrame f;
            f.width = 10 + i;
            f.height = 10;
            f.regX = i;
            d.frames.push_back(f);
        }
        d.script = script.c_str();
        const std::string path = assets.Path("t.xml");
        std::ofstream(path, std::ios::binary) << AnimationXml(d);
        assets.Scan();
        auto t = std::make_shared<TAnimatedTexture>("t.xml");
        EXPECT_TRUE(t->ParseFromXML("t.xml"));
        return t;
    }

    std::shared_ptr<TAnimatedSprite> Sprite(int frames, const std::string& script)
    {
        auto s = TAnimatedSprite::Create(0);
        s->SetTexture(Texture(frames, script));
        s->SetClock(&clock);
        return s;
    }
    void Advance(uint32_t ms) { time.Advance(ms); }

    TTempAssets assets;
    TSteppedTime time;
    TTaskList& tasks = time.tasks;
    TClock& clock = time.clock;
};

TEST_F(AnimatedSpriteTest, FramesShowsEachFrameForTheFrameDelay)
{
    auto s = Sprite(3, "function Go() frames({1, 2, 3}) end");
    s->Play("Go");
    EXPECT_EQ(s->GetCurrentFrame(), 0);
    EXPECT_TRUE(s->IsPlaying(0));
    Advance(15);
    EXPECT_EQ(s->GetCurrentFrame(), 0);
    Advance(1);
    EXPECT_EQ(s->GetCurrentFrame(), 1);
    EXPECT_EQ(s->GetAnimatedTexture()->GetCurrentFrame(), 1);
    Advance(16);
    EXPECT_EQ(s->GetCurrentFrame(), 2);
    EXPECT_TRUE(s->IsPlaying(0));
    Advance(16);
    EXPECT_FALSE(s->IsPlaying(0));
    EXPECT_EQ(s->GetCurrentFrame(), 2);
}

TEST_F(AnimatedSpriteTest, DefaultScriptPlaysEveryFrameAtSixtyMilliseconds)
{
    auto t = Texture(4, "");
    t->SetDefaultScript();
    auto s = TAnimatedSprite::Create(0);
    s->SetTexture(t);
    s->SetClock(&clock);
    s->Play("DoAnim");
    EXPECT_EQ(s->GetCurrentFrame(), 0);
    Advance(59);
    EXPECT_EQ(s->GetCurrentFrame(), 0);
    Advance(1);
    EXPECT_EQ(s->GetCurrentFrame(), 1);
    Advance(120);
    EXPECT_EQ(s->GetCurrentFrame(), 3);
    Advance(60);
    EXPECT_FALSE(s->IsPlaying(0));
}

TEST_F(AnimatedSpriteTest, FadeoutLowersAlphaOverTheNextFrames)
{
    auto s = Sprite(1, "function F() delay(10); fadeout(4); frames({1, 1, 1, 1, 1, 1}) end");
    s->Play("F");
    EXPECT_FLOAT_EQ(s->mSpec.alpha, 0.75f);
    const float expected[] = {0.5f, 0.25f, 0.0f, 0.0f, 0.0f};
    for (float e : expected) {
        Advance(10);
        EXPECT_NEAR(s->mSpec.alpha, e, 1e-6) << e;
    }
}

TEST_F(AnimatedSpriteTest, LoopRepeatsItsList)
{
    auto s = Sprite(2, "function L() delay(5); loop(2, {1, 2}); SetCurrentFrame(-1) end");
    s->Play("L");
    std::vector<int> seen{s->GetCurrentFrame()};
    for (int i = 0; i < 4; ++i) {
        Advance(5);
        seen.push_back(s->GetCurrentFrame());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 0, 1, -1}));
}

TEST_F(AnimatedSpriteTest, DieInsideTheCoroutineStopsItForGood)
{
    auto s = Sprite(3, "function D() SetCurrentFrame(1); WaitLuaNextFrame(10); die(); "
                       "WaitLuaNextFrame(10); SetCurrentFrame(2) end");
    s->Play("D");
    Advance(10);
    EXPECT_FALSE(s->IsPlaying(0));
    EXPECT_EQ(s->GetData()->mScript, nullptr);
    Advance(50);
    EXPECT_EQ(s->GetCurrentFrame(), 1);
    // A new Play builds a fresh script.
    s->Play("D");
    EXPECT_TRUE(s->IsPlaying(0));
    EXPECT_NE(s->GetData()->mScript, nullptr);
}

TEST_F(AnimatedSpriteTest, PlayAgainRetiresTheRunningCoroutine)
{
    auto s = Sprite(3, "function A() frames({2, 2, 2, 2}) end function B() delay(5); frames({3, 1}) end");
    s->Play("A");
    EXPECT_EQ(s->GetCurrentFrame(), 1);
    s->Play("B");
    EXPECT_EQ(s->GetCurrentFrame(), 2);
    Advance(5);
    EXPECT_EQ(s->GetCurrentFrame(), 0);
    Advance(100);
    EXPECT_EQ(s->GetCurrentFrame(), 0);
}

TEST_F(AnimatedSpriteTest, PauseHoldsAndResumeContinues)
{
    auto s = Sprite(3, "function Go() frames({1, 2, 3}) end");
    s->Play("Go");
    s->Pause(true, 0);
    Advance(100);
    EXPECT_EQ(s->GetCurrentFrame(), 0);
    EXPECT_TRUE(s->IsPlaying(0));
    s->Pause(false, 0);
    Advance(1);
    EXPECT_EQ(s->GetCurrentFrame(), 1);
}

TEST_F(AnimatedSpriteTest, PauseAndIsPlayingReachChildrenByDepth)
{
    auto parent = Sprite(2, "function Idle() WaitLuaNextFrame(5) end");
    auto child = Sprite(2, "function Go() frames({1, 2}) end");
    parent->AddChild(child);

    // Never played: the parent has no coroutine, so nothing reaches the child.
    child->Play("Go");
    parent->Pause(true, -1);
    Advance(16);
    EXPECT_EQ(child->GetCurrentFrame(), 1);

    child->Play("Go");
    parent->Play("Idle");
    Advance(5);
    EXPECT_FALSE(parent->IsPlaying(0));
    EXPECT_TRUE(parent->IsPlaying(-1));
    EXPECT_TRUE(parent->IsPlaying(1));

    parent->Pause(true, -1);
    Advance(50);
    EXPECT_EQ(child->GetCurrentFrame(), 0);
    parent->Pause(false, 1);
    Advance(17);
    EXPECT_EQ(child->GetCurrentFrame(), 1);
}

TEST_F(AnimatedSpriteTest, SetCurrentFrameIgnoresBelowMinusOne)
{
    auto s = Sprite(2, "");
    s->SetCurrentFrame(1);
    s->SetCurrentFrame(-2);
    EXPECT_EQ(s->GetCurrentFrame(), 1);
    s->SetCurrentFrame(-1);
    EXPECT_EQ(s->GetCurrentFrame(), -1);
    EXPECT_EQ(s->GetAnimatedTexture()->GetCurrentFrame(), -1);
    // Past the texture's frames: stored, the texture keeps its own.
    s->SetCurrentFrame(7);
    EXPECT_EQ(s->GetCurrentFrame(), 7);
    EXPECT_EQ(s->GetAnimatedTexture()->GetCurrentFrame(), -1);
}

TEST_F(AnimatedSpriteTest, PlayWithoutTextureDoesNothingAndErrorsAreLogged)
{
    auto bare = TAnimatedSprite::Create(0);
    bare->Play("DoAnim");
    EXPECT_EQ(bare->GetData()->mScript, nullptr);
    EXPECT_FALSE(bare->IsPlaying(0));

    auto s = Sprite(1, "function Bad() error('boom') end");
    TLogCapture log;
    s->Play("Bad");
    s->Play("Missing");
    const std::string text = log.Text();
    EXPECT_NE(text.find("TAnimatedSprite::Play: lua_resume error: "), std::string::npos);
    EXPECT_NE(text.find("boom"), std::string::npos);
    EXPECT_FALSE(s->IsPlaying(0));
    EXPECT_NE(s->GetData()->mThread, nullptr);
}

TEST_F(AnimatedSpriteTest, RandomStaysInItsRange)
{
    EXPECT_EQ(SpriteRandomRange(5, 5), 5u);
    for (int i = 0; i < 50; ++i) {
        const unsigned r = SpriteRandomRange(3, 7);
        EXPECT_GE(r, 3u);
        EXPECT_LT(r, 7u);
    }
    auto s = Sprite(4, "function R() SetCurrentFrame(random(2, 3)); WaitLuaNextFrame(1); "
                       "SetCurrentFrame(random(1, 1)) end");
    s->Play("R");
    EXPECT_EQ(s->GetCurrentFrame(), 2);
    Advance(1);
    EXPECT_EQ(s->GetCurrentFrame(), 1);
}

TEST_F(AnimatedSpriteTest, ScriptRemovingItsOwnSpriteEndsSafely)
{
    auto parent = TSprite::Create(0, nullptr);
    std::weak_ptr<TAnimatedSprite> watch;
    {
        auto s = Sprite(2, "function Gone() WaitLuaNextFrame(5); RemoveSprite(); SetCurrentFrame(1); "
                           "WaitLuaNextFrame(5); SetCurrentFrame(0) end");
        parent->AddChild(s);
        s->Play("Gone");
        watch = s;
    }
    ASSERT_FALSE(watch.expired());
    Advance(5);
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(parent->GetChildren().empty());
    Advance(20);
    EXPECT_TRUE(tasks.Empty());
}

TEST_F(AnimatedSpriteTest, DestroyedSpriteLeavesNoTaskBehind)
{
    {
        auto s = Sprite(2, "function Go() frames({1, 2}) end");
        s->Play("Go");
        s->Play("Go");
        EXPECT_FALSE(tasks.Empty());
    }
    EXPECT_TRUE(tasks.Empty());
}

TEST_F(AnimatedSpriteTest, WaitInsideAProtectedCallReturnsWithoutYielding)
{
    auto s = Sprite(3, "function P() pcall(WaitLuaNextFrame, 10); SetCurrentFrame(2) end");
    s->Play("P");
    EXPECT_EQ(s->GetCurrentFrame(), 2);
    EXPECT_FALSE(s->IsPlaying(0));
}

TEST_F(AnimatedSpriteTest, GetRectCentresOnTheFrameRegistration)
{
    auto s = Sprite(2, "");
    s->SetCurrentFrame(1);  // 11 × 10, registered at (1, 0)
    s->mSpec.matrix[2] = TVec3(50, 50, 1);
    EXPECT_EQ(s->GetRect(TDrawSpec(), 0), TRect(49, 50, 60, 60));
    s->mSpec.flags = TDrawSpec::kFlipH;
    EXPECT_EQ(s->GetRect(TDrawSpec(), 0), TRect(40, 50, 51, 60));
    EXPECT_EQ(s->mSpec.flags, TDrawSpec::kFlipH);
}

class AnimatedSpriteRun : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        time = std::make_unique<TSteppedTime>();
    }
    void TearDown() override
    {
        time.reset();
        GLTest::TearDown();
    }

    void Pack(const std::string& name, int frames, const std::string& script, const std::string& folder = "anims")
    {
        std::vector<TPackFrame> list(static_cast<size_t>(frames));
        for (auto& f : list) {
            f.width = f.height = 4;
            f.pixels.assign(16, 0xFFFFFFFFu);
        }
        TPackOptions options;
        options.name = name;
        options.script = script;
        TPackedAnimation packed;
        std::string error;
        ASSERT_TRUE(PackAnimation(list, options, &packed, &error)) << error;
        const std::string dir = assets.Root() + "/assets/" + folder + "/";
        std::filesystem::create_directories(dir);
        ASSERT_TRUE(WritePackedAnimation(packed, dir, &error)) << error;
        assets.Scan();
    }
    void Advance(uint32_t ms) { time->Advance(ms); }

    TTempAssets assets;
    std::unique_ptr<TSteppedTime> time;
};

TEST_F(AnimatedSpriteRun, RunLoadsAnotherDescriptionAndCallsItsFunction)
{
    Pack("start", 1, "function Go() run{'anims/walk.xml', anim = 'Walk'} end");
    Pack("walk", 3, "function Walk() delay(8); frames{3, 1} end");
    auto s = TAnimatedSprite::Create(0);
    ASSERT_TRUE(s->Init("anims/start.xml", "", ""));
    s->SetClock(&time->clock);
    s->Play("Go");
    EXPECT_EQ(s->GetAnimatedTexture()->GetAssetName(), str("anims/walk.xml"));
    EXPECT_EQ(s->GetCurrentFrame(), 2);
    Advance(8);
    EXPECT_EQ(s->GetCurrentFrame(), 0);
    Advance(8);
    EXPECT_FALSE(s->IsPlaying(0));
}

// Animation scripts run on the script host: its globals are there, and the texture's folder
// reaches LUA_PATH as a value whatever characters its name holds.
TEST_F(AnimatedSpriteRun, ScriptsRunOnTheHostWithTheTexturesFolderInTheirPath)
{
    const str hostPath = TScript::mLuaPath;
    Pack("odd", 4,
         "function Go() if _ALERT and DebugOut and DumpTable then SetCurrentFrame(toparams({3})) end "
         "gPath = LUA_PATH end",
         "it's \"odd\"");
    auto s = TAnimatedSprite::Create(0);
    ASSERT_TRUE(s->Init("it's \"odd\"/odd.xml", "", ""));
    s->Play("Go");
    EXPECT_EQ(s->GetCurrentFrame(), 3);
    lua_State* L = s->GetScript()->GetState();
    lua_getglobal(L, "gPath");
    ASSERT_TRUE(lua_isstring(L, -1));
    EXPECT_STREQ(lua_tostring(L, -1), "?;?.lua;scripts/?;scripts/?.lua;it's \"odd\"/?;it's \"odd\"/?.lua");
    lua_pop(L, 1);
    EXPECT_EQ(TScript::mLuaPath, hostPath);
}

}  // namespace
