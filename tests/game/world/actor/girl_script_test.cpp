// Actor coroutines: what they wait on, what wakes them, and how they end.

#include "stage_fixture.h"

#include "game/world/actor/object_lua.h"
#include "render/anim/animated_sprite.h"

#include <functional>

namespace {

using Arrange = std::function<void(TestScene&, TestGirl&)>;

void GiveAnimation(TestScene&, TestGirl& hero)
{
    hero.mAnimSprite = TAnimatedSprite::Create(0);
}

// The tick (counted from the yield) at which the script woke, and the reason it was given.
struct Waking
{
    int tick = 0;
    std::string reason;
};

Waking RunWait(const std::string& waits, const Arrange& before, const Arrange& after)
{
    TestScene scene;
    TestGirl& hero = *scene.Add("hero", {5, 5});
    TheScene() = &scene;
    if (before)
        before(scene, hero);
    scene.Run(("got = 'waiting'\n"
               "hero:StartProc(function(self) got = coroutine.yield(" +
               waits + ") coroutine.yield(RESUME.NONE) end)")
                  .c_str());
    if (after)
        after(scene, hero);
    Waking woke;
    for (int t = 1; t <= 6 && !woke.tick; ++t) {
        hero.Tick();
        if (scene.Global("got") != "waiting")
            woke = {t, scene.Global("got")};
    }
    TheScene() = nullptr;
    return woke;
}

TEST(ActorScript, EachWaitWakesOnItsEventOnly)
{
    const struct
    {
        const char* name;
        const char* waits;
        Arrange before, after;
        int tick;  // 0: never
        const char* reason;
    } cases[] = {
        {"a delay of 0 ends at the next update", "RESUME.ON_DELAY, 0", {}, {}, 1, "2"},
        {"a delay of 3", "RESUME.ON_DELAY, 3", {}, {}, 3, "2"},
        {"a signal while waiting for one", "RESUME.ON_SIGNAL", {}, [](TestScene&, TestGirl& g) { g.Signal(); }, 1, "3"},
        {"no signal", "RESUME.ON_SIGNAL", {}, {}, 0, ""},
        {"a signal nobody waits for", "RESUME.ON_DELAY, 4", {}, [](TestScene&, TestGirl& g) { g.Signal(); }, 4, "2"},
        {"a click after the wait began",
         "RESUME.ON_CLICK",
         {},
         [](TestScene&, TestGirl& g) { g.mClicked = true; },
         1,
         "4"},
        {"a click before the wait began",
         "RESUME.ON_CLICK",
         [](TestScene&, TestGirl& g) { g.mClicked = true; },
         {},
         0,
         ""},
        {"an ended animation", "RESUME.ON_ANIM", GiveAnimation, {}, 1, "8"},
        {"no animated sprite", "RESUME.ON_ANIM", {}, {}, 0, ""},
        {"no particle effect", "RESUME.ON_PARTY", {}, {}, 1, "9"},
        {"an aborted background talk",
         "RESUME.ON_BGABORT",
         {},
         [](TestScene& s, TestGirl&) { s.AbortBGConversation(true); },
         1,
         "7"},
        {"the choice is done", "RESUME.ON_CHOICE", {}, {}, 1, "11"},
        {"no voice line", "RESUME.ON_VOXQUITEDONE", {}, {}, 1, "13"},
        {"another actor at its target, named by its table",
         "RESUME.ON_OTHER_WALKTO, {name = 'gardener'}",
         [](TestScene& s, TestGirl&) {
             s.Add("gardener", {9, 9});
         },
         {},
         1,
         "16"},
        {"an actor not in the scene", "RESUME.ON_OTHER_WALKTO, 'nobody'", {}, {}, 0, ""},
        {"an actor removed while watched", "RESUME.ON_OTHER_ANIM, 'gardener'",
         [](TestScene& s, TestGirl&) { GiveAnimation(s, *s.Add("gardener")); },
         [](TestScene& s, TestGirl&) { s.Remove(s.GetActorByName("gardener")); }, 0, ""},
        {"values outside the mask are ignored", "40, -3, RESUME.ON_DELAY, 2", {}, {}, 2, "2"},
    };
    for (const auto& c : cases) {
        const Waking woke = RunWait(c.waits, c.before, c.after);
        EXPECT_EQ(woke.tick, c.tick) << c.name;
        if (c.tick) {
            EXPECT_EQ(woke.reason, c.reason) << c.name;
        }
    }
}

TEST(ActorScript, WhenSeveralWaitsHoldTheEarlierInTheFixedOrderWins)
{
    const Arrange abortAndAnimate = [](TestScene& s, TestGirl& g) {
        GiveAnimation(s, g);
        s.AbortBGConversation(true);
    };
    const struct
    {
        const char* waits;
        const char* reason;
    } cases[] = {
        {"RESUME.ON_DELAY, 0, RESUME.ON_ANIM, RESUME.ON_WALKTO", "1"},
        {"RESUME.ON_DELAY, 0, RESUME.ON_ANIM", "8"},
        {"RESUME.ON_PARTY, RESUME.ON_BGABORT", "7"},
        {"RESUME.NOW, RESUME.ON_DELAY, 0", "2"},
        {"RESUME.ON_CHOICE, RESUME.NOW", "3"},
        {"RESUME.ON_OTHER_WALKTO, 'hero', RESUME.ON_CHOICE", "11"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunWait(c.waits, abortAndAnimate, {}).reason, c.reason) << c.waits;
}

TEST(ActorScript, AFinishedScriptIsNeverResumedWhateverItReturned)
{
    const char* bodies[] = {
        "",
        "return RESUME.NOW",
        "return RESUME.ON_DELAY, 0",
        "coroutine.yield(RESUME.NOW) return RESUME.NOW",
    };
    for (const char* body : bodies) {
        TestScene scene;
        TestGirl& hero = *scene.Add("hero");
        std::string log =
            scene.Run((std::string("runs = 0\nhero:StartProc(function() runs = runs + 1 ") + body + " end)").c_str());
        TLogCapture ticks;
        for (int t = 0; t < 4; ++t)
            hero.Tick();
        log += ticks.Text();
        EXPECT_EQ(hero.mWaitMask, 0u) << body;
        EXPECT_FALSE(hero.IsExpired()) << body;
        EXPECT_EQ(scene.Global("runs"), "1") << body;
        EXPECT_EQ(log.find("lua_resume returned"), std::string::npos) << body;
    }
}

TEST(ActorScript, AScriptErrorIsReportedOnceAndExpiresTheActor)
{
    TestScene scene;
    TestGirl& hero = *scene.Add("hero");
    scene.Run("hero:StartProc(function() coroutine.yield(RESUME.NOW) error('boom') end)");
    TLogCapture log;
    hero.Tick();
    hero.Tick();
    const std::string text = log.Text();
    EXPECT_TRUE(hero.IsExpired());
    EXPECT_EQ(hero.mWaitMask, 0u);
    EXPECT_NE(text.find("tGirl[hero]::lua_resume returned(1)"), std::string::npos) << text;
    EXPECT_NE(text.find("GLOBAL LUA ERROR:ResumeHelper:"), std::string::npos) << text;
    EXPECT_NE(text.find("boom"), std::string::npos) << text;
    EXPECT_EQ(text.find("lua_resume returned"), text.rfind("lua_resume returned")) << text;
}

TEST(ActorScript, AScriptCanReplaceItselfAndOnlyTheNewOneWaits)
{
    TestScene scene;
    TestGirl& hero = *scene.Add("hero");
    scene.Run("trace = ''\n"
              "hero:StartProc(function(self)\n"
              "  trace = trace .. 'a1 '\n"
              "  coroutine.yield(RESUME.NOW)\n"
              "  self:StartProc(function(me)\n"
              "    trace = trace .. 'b1 '\n"
              "    collectgarbage()\n"
              "    local r = coroutine.yield(RESUME.ON_DELAY, 2)\n"
              "    trace = trace .. 'b2:' .. r .. ' '\n"
              "    coroutine.yield(RESUME.NONE)\n"
              "  end)\n"
              "  collectgarbage()\n"
              "  trace = trace .. 'a2 '\n"
              "  coroutine.yield(RESUME.NOW)\n"
              "  trace = trace .. 'a3 '\n"
              "end)\n");
    for (int t = 0; t < 5; ++t)
        hero.Tick();
    EXPECT_EQ(scene.Global("trace"), "a1 b1 a2 b2:2 ");
    EXPECT_FALSE(hero.IsRunningScript());
}

TEST(ActorScript, ScriptsReachOnlyLiveActorsOfTheirOwnScene)
{
    TestScene scene, elsewhere;
    TestGirl& hero = *scene.Add("hero");
    TestGirl& stranger = *elsewhere.Add("stranger");
    static int notAnActor;
    const struct
    {
        const char* name;
        std::function<void(lua_State*)> push;
        const tGirl* want;
        const char* logged;
    } cases[] = {
        {"its table", [&](lua_State*) { hero.GetLuaObj()->PushSelfOnto(scene.GetLua()); }, &hero, ""},
        {"a bare address", [&](lua_State* L) { lua_pushlightuserdata(L, static_cast<baseObj*>(&hero)); }, &hero,
         "untabled object pointer"},
        {"another scene's actor",
         [&](lua_State* L) {
             lua_newtable(L);
             lua_pushstring(L, "this");
             lua_pushlightuserdata(L, static_cast<baseObj*>(&stranger));
             lua_settable(L, -3);
         },
         nullptr, "is not an actor of this scene"},
        {"a forged address",
         [](lua_State* L) {
             lua_newtable(L);
             lua_pushstring(L, "this");
             lua_pushlightuserdata(L, &notAnActor);
             lua_settable(L, -3);
         },
         nullptr, "is not an actor of this scene"},
        {"a table without this", [](lua_State* L) { lua_newtable(L); }, nullptr, "object.this was not userdata"},
    };
    for (const auto& c : cases) {
        c.push(scene.L());
        TLogCapture log;
        EXPECT_EQ(GetSceneActor(&scene, scene.GetLua(), -1), c.want) << c.name;
        EXPECT_NE(log.Text().find(c.logged), std::string::npos) << c.name;
        lua_settop(scene.L(), 0);
    }
}

TEST(ActorLua, EveryMethodIsBoundOnTheActorClass)
{
    const char* names[] = {
        "GetPartyOffset",   "SetPartyOffset", "LoadParty",     "LoadPartyDepth", "DumpParty",    "IsPartyDone",
        "SetWalkSpeed",     "GetWalkSpeed",   "SetTint",       "SetAlpha",       "SetScale",     "SetScaleX",
        "SetScaleY",        "LoadImage",      "HasGraphics",   "GetImageSize",   "LoadAnimFile", "DumpAnimFile",
        "PlayAnim_LL",      "PlayAnim",       "SetMode",       "GetMode",        "Signal",       "Expire",
        "AddFlag",          "ClearFlag",      "TestFlag",      "LoadZone",       "DumpZone",     "GetZoneWalkToPoint",
        "SetPointAtCursor", "AtTarget",       "Face",          "FaceNow",        "FaceActor",    "SetDesiredAngle",
        "SetDepthMode",     "SetDepthValue",  "GetPosition",   "SetPositionXY",  "SetPosition",  "JumpToNamedPoint",
        "JumpToPoint",      "GetPolyName",    "WalkTo",        "StopWalking",    "WalkToXY",     "Spawn",
        "StartProc",        "SetSaySpec",     "ModifySaySpec", "StopMouth",      "Say",          "SayRawEx",
        "SayRaw",           "SayRawBG",       "OfferChoices",  "WasClicked",     "GetBGScale",
    };
    TestScene scene;
    scene.Add("hero");
    for (const char* name : names) {
        scene.Run((std::string("kind = type(hero.") + name + ")").c_str());
        EXPECT_EQ(scene.Global("kind"), "function") << name;
    }
}

TEST(ActorLua, ArgumentsAndResultsCrossInTheirScriptForms)
{
    const struct
    {
        const char* code;
        const char* out;
    } cases[] = {
        {"hero:SetPosition({x = 3, y = 4}) local p = hero:GetPosition() out = p.x .. ',' .. p.y", "3,4"},
        {"hero:AddFlag(AFLAG.AFLAG_NO_VOX) out = tostring(hero:TestFlag(AFLAG.AFLAG_NO_VOX))", "true"},
        {"hero:SetPartyOffset({x = 0, y = -50}) out = hero:GetPartyOffset().y", "-50"},
        {"hero:SetMode(MODE.CUTSCENE) out = hero:GetMode()", "1"},
        {"out = tostring(hero:GetPolyName())", "nil"},
    };
    for (const auto& c : cases) {
        TestScene scene;
        scene.Add("hero");
        scene.Run(c.code);
        EXPECT_EQ(scene.Global("out"), c.out) << c.code;
    }
}

// The methods whose effect no other test reaches from a script: each call, then the actor.
TEST(ActorLua, MethodsReachTheActor)
{
    using G = TestGirl;
    const struct
    {
        const char* code;
        const char* out;  // the global "out" afterwards
        std::function<bool(G&, TestScene&)> effect;
    } cases[] = {
        {"hero:SetWalkSpeed(-2) out = hero:GetWalkSpeed() hero:SetWalkSpeed(1.5) out = out .. ',' .. "
         "hero:GetWalkSpeed()",
         "0,1.5", nullptr},
        {"hero:SetTint({ r = 0.5, g = 0.25, b = 1, a = 1 }) hero:SetAlpha(0.5) hero:SetScale(2) hero:SetScaleY(3)",
         "nil",
         [](G& g, TestScene&) {
             return g.mTint == TColor(0.5f, 0.25f, 1, 1) && g.mAlpha == 0.5f &&
                    g.GetEffectiveScale() == tVector2<float>(2, 3);
         }},
        {"hero:SetScaleX(4) out = hero:GetBGScale()", "1",
         [](G& g, TestScene&) { return g.GetEffectiveScale().x == 4; }},
        {"hero:AddFlag(AFLAG.AFLAG_NO_VOX) hero:ClearFlag(AFLAG.AFLAG_NO_VOX) "
         "out = tostring(hero:TestFlag(AFLAG.AFLAG_NO_VOX))",
         "false", nullptr},
        {"hero:SetPositionXY(10, 20) out = tostring(hero:AtTarget()) hero:JumpToPoint({ x = 5, y = 6 }) "
         "out = out .. tostring(hero:AtTarget())",
         "falsetrue", [](G& g, TestScene&) { return g.GetPosition() == tVector2<float>(5, 6); }},
        {"hero:JumpToPoint({ x = 7, y = 8 }) hero:WalkToXY({ x = 50, y = 8 }) hero:StopWalking() "
         "local p = hero:GetZoneWalkToPoint() out = tostring(hero:AtTarget()) .. p.x .. ',' .. p.y",
         "true7,8", nullptr},
        {"hero:JumpToPoint({ x = 7, y = 8 }) hero:JumpToNamedPoint('nowhere') local p = hero:GetPosition() "
         "out = p.x .. ',' .. p.y",
         "0,0", nullptr},
        {"hero:FaceNow(DIR.E) other:SetPosition({ x = -10, y = 0 }) hero:FaceActor(other)", "nil",
         [](G& g, TestScene&) { return g.GetAngle() == 0; }},  // looking west
        {"hero:FaceNow(DIR.E) other:SetPosition({ x = -10, y = 0 }) "
         "hero:FaceActor(setmetatable({}, { __index = other }))",
         "nil", [](G& g, TestScene&) { return g.GetAngle() == 0; }},  // an object's table inherited
        {"hero:SetDesiredAngle(math.pi / 2) hero:FaceNow(DIR.W)", "nil",
         [](G& g, TestScene&) { return g.GetFacing() == DIR_W; }},
        {"hero:SetDepthMode(DEPTH.DEPTH_BACKMOST) out = 'mode' hero:SetDepthValue(42)", "mode",
         [](G& g, TestScene&) { return g.GetDepthMode() == DEPTH_BACKMOST && g.GetDepthValue() == 42; }},
        {"hero:SayRawBG('psst', -1)", "nil", [](G& g, TestScene&) { return g.HasText() && g.mBackgroundSpeech; }},
        {"hero:SayRawEx('Hello', 10, false) hero:StopMouth()", "nil",
         [](G& g, TestScene&) { return g.HasText() && !g.mBackgroundSpeech && !g.TestFlag(AFLAG_TALKING); }},
        {"out = tostring(hero:WasClicked())", "false", nullptr},
        {"out = tostring(hero:HasGraphics()) .. hero:GetImageSize().x .. tostring(hero:PlayAnim_LL('DoStandS')) "
         "hero:DumpAnimFile('anims/none.xml')",
         "false0false", nullptr},
        {"hero:DumpParty() hero:DumpZone() out = tostring(hero:IsPartyDone())", "true", nullptr},
        {"hero:SetPointAtCursor('cursor_talk', { x = 12, y = 12 })", "nil",
         [](G& g, TestScene&) { return g.GetPointAtCursor() == str("cursor_talk"); }},
        {"hero:JumpToPoint({ x = 30, y = 40 }) local child = hero:Spawn({ name = 'CHILD' }) "
         "out = child.name .. tostring(child ~= hero)",
         "CHILDtrue",
         [](G&, TestScene& scene) {
             const tGirl* child = scene.GetActorByName("CHILD");
             return child && child->GetPosition() == tVector2<float>(30, 40);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        TestScene scene;
        TestGirl& hero = *scene.Add("hero");
        scene.Add("other");
        scene.Run(c.code);
        EXPECT_EQ(scene.Global("out"), c.out);
        if (c.effect) {
            EXPECT_TRUE(c.effect(hero, scene));
        }
    }
}

}  // namespace
