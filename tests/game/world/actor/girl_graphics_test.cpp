// The actor's animations chosen from its files, motion and facing; its depth and sprite holders.

#include "stage_fixture.h"

#include "common/log_capture.h"
#include "core/files/file.h"
#include "game/script/best_ref.h"
#include "game/world/lua_run.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/sprite_script.h"
#include "render/texture/texture.h"
#include "support/render_test_support.h"
#include "tools/animpack/anim_pack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

std::map<std::string, std::shared_ptr<TAnimatedTexture>>& Served()
{
    static std::map<std::string, std::shared_ptr<TAnimatedTexture>> served;
    return served;
}

std::shared_ptr<TAnimatedTexture> ServedAnimation(const str& name, const str&, const str&)
{
    auto it = Served().find(name.c_str());
    return it == Served().end() ? nullptr : it->second;
}

class ActorGraphics : public ::testing::Test
{
protected:
    ActorGraphics()
    {
        UseGLDisplayHandler();
        TBestRefSource source;
        source.animated = &ServedAnimation;
        SetBestRefSource(source);
    }
    ~ActorGraphics() override
    {
        SetBestRefSource(TBestRefSource());
        Served().clear();
    }

    // Serves the animation file `file` (".xml"): one 10 x 20 frame and a script in which each
    // animation records its name in the global "played".
    void Animation(const std::string& file, const std::vector<std::string>& names)
    {
        TAnimDescription d;
        d.sequenceName = "t";
        d.imageName = "t.png";
        TAnimFrame frame;
        frame.width = 10;
        frame.height = 20;
        d.frames.push_back(frame);
        std::string script;
        for (const std::string& n : names)
            script += "function " + n + "() played = '" + n + "' end\n";
        d.script = script.c_str();
        std::ofstream(assets.Path(file), std::ios::binary) << AnimationXml(d);
        assets.Scan();
        auto texture = std::make_shared<TAnimatedTexture>(file.c_str());
        ASSERT_TRUE(texture->ParseFromXML(file.c_str()));
        Served()[file.substr(0, file.size() - 4)] = texture;
    }

    // The animation last played on the actor's sprite; "nil" for none.
    static std::string Played(tGirl* girl)
    {
        TAnimatedSprite* sprite = girl->GetAnimatedSprite();
        if (!sprite)
            return "no sprite";
        lua_State* L = sprite->GetScript()->GetState();
        lua_getglobal(L, "played");
        const char* s = lua_tostring(L, -1);
        const std::string out = s ? s : "nil";
        lua_pop(L, 1);
        return out;
    }

    TTempAssets assets;
    TestScene scene;
};

TEST_F(ActorGraphics, MotionAndFacingPickTheAnimationAndAMirrorStandsInForAMissingSide)
{
    const float swBySouth = kPi / 4 + 0.1f;
    const struct
    {
        std::vector<std::string> defined;
        DIR facing;
        float angle;
        uint32_t flags;
        MOTION motion;
        bool conversation;
        const char* played;
        bool flipped;
    } cases[] = {
        {{"DoWalkSE", "DoWalk"}, DIR_SW, swBySouth, AFLAG_X_FLIPPABLE, MOTION_WALK, false, "DoWalkSE", true},
        {{"DoWalkSE", "DoWalk"}, DIR_SW, swBySouth, 0, MOTION_WALK, false, "DoWalk", false},
        {{"DoStandS"}, DIR_S, kPi / 2, 0, MOTION_SPECIAL, false, "nil", false},
        {{"DoTalkS", "DoStandS"}, DIR_S, kPi / 2, AFLAG_TALKING, MOTION_STAND, true, "DoStandS", false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("expecting ") + c.played);
        const std::string name = "a" + std::to_string(n++);
        Animation("anims/" + name + ".xml", c.defined);
        TestGirl* g = scene.Add(name.c_str());
        g->RegisterAnimFile(str(("anims/" + name + ".xml").c_str()));
        g->CreateAnimatedSprite();
        if (c.flags)
            g->AddFlag(c.flags);
        scene.SetConversationMode(c.conversation, nullptr);
        g->Pose(c.facing, c.angle, c.motion);
        g->SetAppropriateAnim();
        g->UpdateImage();
        EXPECT_EQ(Played(g), c.played);
        EXPECT_EQ(g->IsXFlipped(), c.flipped);
        EXPECT_EQ((g->GetAnimatedSprite()->mSpec.flags & TDrawSpec::kFlipH) != 0, c.flipped);
    }
}

TEST_F(ActorGraphics, AFacingGivenByDirectionShowsThatSideNotTheLastWalksAngle)
{
    Animation("anims/four.xml", {"DoStandN", "DoStandE", "DoStandS", "DoStandW"});
    TestGirl* g = scene.Add("NELKA");
    g->RegisterAnimFile("anims/four.xml");
    g->CreateAnimatedSprite();
    g->Pose(DIR_W, 0, MOTION_STAND);  // she walked west
    const struct
    {
        DIR face;
        const char* played;
    } turns[] = {{DIR_NE, "DoStandN"}, {DIR_SE, "DoStandE"}, {DIR_E, "DoStandE"}, {DIR_SW, "DoStandS"}};
    for (const auto& t : turns) {
        g->SetFacingImmediate(t.face);
        EXPECT_EQ(Played(g), t.played) << DIR_NAME(t.face);
    }
}

TEST_F(ActorGraphics, ALaterFileTakesOverANameUntilItIsDumped)
{
    Animation("anims/walk.xml", {"DoStandS", "DoWalkS"});
    Animation("anims/stand.xml", {"DoStandS"});
    TestGirl* g = scene.Add("NELKA");
    const struct
    {
        const char* action;  // "load", "dump" or "play"
        const char* what;
        bool played;
        const char* file;  // the file the sprite shows afterwards
    } steps[] = {
        {"load", "anims/walk.xml", false, ""},
        {"play", "DoStandS", true, "anims/walk.xml"},
        {"load", "anims/stand.xml", false, ""},
        {"play", "DoStandS", true, "anims/stand.xml"},
        {"play", "DoWalkS", true, "anims/walk.xml"},
        // The file showing defines it too: it plays there.
        {"play", "DoStandS", true, "anims/walk.xml"},
        {"dump", "anims/walk.xml", false, ""},
        {"play", "DoStandS", true, "anims/stand.xml"},
        {"play", "DoWalkS", false, "anims/stand.xml"},
        {"play", "DoSomersault", false, "anims/stand.xml"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.action) + " " + s.what);
        const std::string action = s.action;
        if (action == "load")
            g->RegisterAnimFile(s.what);
        else if (action == "dump")
            g->UnregisterAnimFile(s.what);
        else
            EXPECT_EQ(g->PlayAnim(s.what), s.played);
        EXPECT_EQ(std::string(g->CurrentAnimFile().c_str()), s.file);
        if (s.played) {
            EXPECT_EQ(Played(g), s.what);
        }
    }
    EXPECT_TRUE(g->HasGraphics());
    EXPECT_EQ(g->GetImageSize(), tVector2<float>(10, 20));

    // From a script: a list of files ends at the first empty name.
    TestGirl* h = scene.Add("GARDENER");
    RunLua(scene.L(), "files = {'anims/walk.xml', '', 'anims/stand.xml'}");
    lua_getglobal(scene.L(), "files");
    h->RegisterAnimFileFromLua(scene.GetLua());
    EXPECT_EQ(lua_gettop(scene.L()), 0);
    ASSERT_EQ(h->PlayAnim("DoStandS"), true);
    EXPECT_EQ(std::string(h->CurrentAnimFile().c_str()), "anims/walk.xml");
}

TEST_F(ActorGraphics, DepthModesSetTheDepthAndTheHolderAndAnUnknownOneIsKept)
{
    TestGirl* g = scene.Add("NELKA");
    g->CreateAnimatedSprite();
    TSprite* world = scene.GetWorldHolder().get();
    TSprite* overHud = scene.GetOverHudHolder().get();
    const struct
    {
        int mode;
        int depth;
        TSprite* holder;
        bool logged;
    } steps[] = {
        {DEPTH_BACKMOST, 0, world, false},     {DEPTH_FRONTMOST, 600, world, false},
        {DEPTH_OVER_HUD, 600, overHud, false}, {5, 600, world, true},
        {DEPTH_BACKMOST, 0, world, false},     {DEPTH_BY_Y, 0, world, false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.mode);
        TLogCapture log;
        g->SetDepthMode(s.mode);
        EXPECT_EQ(log.Text().find("Unknown depthmode " + std::to_string(s.mode)) != std::string::npos, s.logged);
        EXPECT_EQ(g->GetDepthMode(), s.mode);
        EXPECT_EQ(g->GetDepthValue(), s.depth);
        EXPECT_EQ(g->GetAnimatedSprite()->GetLayer(), s.depth);
        EXPECT_EQ(g->GetAnimatedSprite()->GetParent(), s.holder);
    }
    scene.Remove(g);
    EXPECT_TRUE(world->GetChildren().empty());
    EXPECT_TRUE(overHud->GetChildren().empty());
}

// An effect drawn at a depth hangs under the sprite the actor shows: replacing that sprite
// must not leave the running effect with nothing to draw it.
TEST_F(ActorGraphics, AnEffectWithADepthMovesToEachSpriteTheActorShows)
{
    Animation("anims/walk.xml", {"DoStandS"});
    TBestRefSource source;
    source.animated = &ServedAnimation;
    source.plain = [](const str& name) {
        return name == "party_still" ? TTexture::Create(4, 4, true) : std::shared_ptr<TTexture>();
    };
    source.merged = [](const str&, const str&) { return std::shared_ptr<TTexture>(); };
    SetBestRefSource(source);
    ForgetBestRefs();
    const char* const effect = "SetNumParticles(1)\n";
    TFile::AddMemoryFile("fx/glow.lua", effect, unsigned(std::strlen(effect)));
    TestGirl* g = scene.Add("NELKA");
    g->LoadPartyDepth("fx/glow.lua", 5);
    ASSERT_TRUE(g->HasParty());
    const auto anim = [&] { return static_cast<TSprite*>(g->GetAnimatedSprite()); };
    const auto image = [&] { return g->GetImageSprite(); };
    const auto world = [&] { return scene.GetWorldHolder().get(); };
    const struct
    {
        const char* step;
        std::function<void()> run;
        std::function<TSprite*()> holder;
    } steps[] = {
        {"no sprite yet", [] {}, world},
        {"animation", [&] { g->SelectAnimFile("anims/walk.xml"); }, anim},
        {"another animation", [&] { g->SelectAnimFile("anims/walk.xml"); }, anim},
        {"still image", [&] { g->LoadImage("party_still"); }, image},
        {"image again", [&] { g->LoadImage("party_still"); }, image},
        {"image removed", [&] { g->LoadImage(""); }, anim},
        {"animation removed", [&] { g->SelectAnimFile(""); }, world},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.run();
        ASSERT_NE(s.holder(), nullptr);
        EXPECT_EQ(g->PartyHolder(), s.holder());
    }
    TFile::AddMemoryFile("fx/glow.lua", nullptr, 0);
}

}  // namespace
