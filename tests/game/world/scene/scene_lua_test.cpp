// The scene as scripts reach it: its methods on the global "scene", the actor handles some
// of them take, and the game environment every scene state is given.

#include "scene_load_fixture.h"

#include "core/config/config.h"
#include "game/world/state/gamestate.h"
#include "game/world/state/interface_settings.h"

#include <cstdio>
#include <functional>

namespace {

using ::testing::HasSubstr;

// Lua's text for a number.
std::string LuaNumber(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.14g", value);
    return text;
}

class SceneLua : public SceneFiles
{
protected:
    void SetUp() override
    {
        SceneFiles::SetUp();
        ASSERT_TRUE(scene.LoadSceneByName("test", false));
        nelka = scene.GetActorByName("NELKA");
        gardener = scene.GetActorByName("GARDENER");
        ASSERT_TRUE(nelka && gardener);
    }

    TestScene scene;
    tGirl* nelka = nullptr;
    tGirl* gardener = nullptr;
};

TEST_F(SceneLua, EveryMethodIsBound)
{
    const char* const methods[] = {
        "AdjustBGVoxAlpha",
        "GetClickedAtWorld",
        "GetClickedAtScreen",
        "SetMusicVolumeSpeed",
        "SetMusicVolumeCurrent",
        "SetMusicVolumeTarget",
        "IsMusicVolumeFadeDone",
        "SetFadeOverHud",
        "SetFadeSpeed",
        "SetFadeColor",
        "SetFadeTarget",
        "IsFadeDone",
        "SetTextBounds",
        "SetTextBoundsXY",
        "SetSaySpec",
        "ModifySaySpec",
        "SetRoomScale",
        "Spawn",
        "SetMode",
        "GetMode",
        "ZapZone",
        "ChainTo",
        "ChainToSubScene",
        "GameOver",
        "ReturnFromScene",
        "DoPopup",
        "DoInvAdd",
        "LoadLightmap",
        "LoadMesh",
        "LoadVerts",
        "LoadGround",
        "DisplayFlash",
        "ConversationMode",
        "IsBGConversationAborted",
        "AbortBGConversation",
        "grabspeechline",
        "grabstring",
        "grabformattedstring",
        "SetScreenSize",
        "SetScreenPosition",
        "SetCameraFollowActor",
        "SetCameraPosition",
        "GetCameraPosition",
        "SetCameraMargin",
        "GetCameraMargin",
        "ComputeRoomScale",
    };
    for (const char* method : methods)
        EXPECT_EQ(scene.Run((std::string("return type(vtable.tScene.__index.") + method + ")").c_str()), "function")
            << method;
}

// Each call's arguments arrive converted and its result comes back; the loaders' results and
// the actor-taking methods have tests of their own.
TEST_F(SceneLua, MethodsReachTheScene)
{
    using S = TestScene;
    const struct
    {
        const char* code;
        const char* result;  // null: any result but an error
        std::function<bool(S&)> effect;
    } cases[] = {
        {"scene:SetMusicVolumeTarget(0.25) scene:SetMusicVolumeSpeed(0.05) scene:SetMusicVolumeCurrent(0.75) "
         "return tostring(scene:IsMusicVolumeFadeDone())",
         "false", [](S& s) { return s.GetMusicVolume() == 0.75f; }},
        {"scene:SetFadeOverHud(true) scene:SetFadeSpeed(0.5) scene:SetFadeColor({ r = 0.5 }) "
         "scene:SetFadeTarget({ r = 0, g = 0, b = 0, a = 0.5 })",
         "nil",
         [](S& s) {
             return s.mFadeOverHud && s.mFadeSpeed == 0.5f && s.mFadeColor == TColor(0.5f, 1, 1, 1) &&
                    s.mFadeTarget == TColor(0, 0, 0, 0.5f);
         }},
        {"scene:SetTextBounds({ x = 10, y = 20, w = 5, h = 6 }) scene:SetSaySpec({ x = 12, y = 34, w = 200, h = 50 })",
         "nil",
         [](S& s) {
             return s.GetTextBounds() == TRect(10, 20, 15, 26) && s.GetSaySpec().box == TRect(12, 34, 212, 84);
         }},
        {"scene:SetRoomScale(100, 500, 1.5, 0.5)", "nil",
         [](S& s) {
             return s.mRoomNearY == 100 && s.mRoomFarY == 500 && s.mRoomNearScale == 1.5f && s.mRoomFarScale == 0.5f;
         }},
        {"scene:SetMode(MODE.FOLLOWCLICKS) return scene:GetMode()", "2", nullptr},
        {"scene:ChainTo('garden') scene:ChainToSubScene('shed') scene:GameOver() scene:DoPopup('pic', 'Title', 'Body')",
         "nil",
         [](S& s) {
             return s.mChainTo == str("garden") && s.mChainToSubScene == str("shed") && s.mGameOver &&
                    s.mPopupPending && s.mPopup.image == str("pic") && s.mPopup.title == str("Title") &&
                    s.mPopup.body == str("Body");
         }},
        {"scene:AbortBGConversation(true) return tostring(scene:IsBGConversationAborted())", "true", nullptr},
        {"scene:SetScreenSize({ x = 640, y = 480 }) scene:SetScreenPosition({ x = 80, y = 60 })", "nil",
         [](S& s) {
             return s.mScreenSize == tVector2<float>(640, 480) && s.mScreenPosition == tVector2<float>(80, 60);
         }},
        {"scene:SetCameraMargin({ x = 30, y = 40 }) local m = scene:GetCameraMargin() return m.x .. ',' .. m.y",
         "30,40", nullptr},
        {"scene:SetCameraPosition({ x = 100, y = 50 }) local p = scene:GetCameraPosition() return p.x * 1000 + p.y",
         nullptr,
         [](S& s) {
             const tVector2<float> p = s.GetCameraPosition();
             return s.Run("local p = scene:GetCameraPosition() return p.x * 1000 + p.y") == LuaNumber(p.x * 1000 + p.y);
         }},
        {"return scene:ComputeRoomScale(300)", nullptr,
         [](S& s) { return s.Run("return scene:ComputeRoomScale(300)") == LuaNumber(s.ComputeRoomScale(300)); }},
        {"local p, q = scene:GetClickedAtWorld(), scene:GetClickedAtScreen() return p.x + p.y + q.x + q.y", "0",
         nullptr},
        {"return scene:grabstring('sign') .. tostring(scene:grabstring('absent') == nil)", "Keep outtrue", nullptr},
        {"return scene:grabformattedstring('coins', { 3, 7 })", "3 of 7", nullptr},
        {"local who, line = scene:grabspeechline('speech') return who .. '|' .. line", "Nelka|Look\nthere", nullptr},
        {"local a = scene:Spawn({ name = 'LATE' }) return a.name .. tostring(scene.LATE == a)", "LATEtrue",
         [](S& s) { return s.GetActorByName("LATE") != nullptr; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string result = scene.Run(c.code);
        if (c.result) {
            EXPECT_EQ(result, c.result);
        } else {
            EXPECT_EQ(result.rfind("error", 0), std::string::npos) << result;
        }
        if (c.effect) {
            EXPECT_TRUE(c.effect(scene));
        }
    }
}

// Actor arguments: the actor's table, its bare handle when it is an actor of this scene, and
// the other values each method takes.
TEST_F(SceneLua, ActorHandlesMustBeLiveActorsOfThisScene)
{
    TestScene other;
    tGirl stranger;
    lua_State* L = scene.GetLua().GetState();
    for (const auto& [name, pointer] : {std::pair<const char*, void*>{"nelka_handle", nelka},
                                        {"stranger_handle", &stranger},
                                        {"scene_handle", &other}}) {
        lua_pushlightuserdata(L, pointer);
        lua_setglobal(L, name);
    }
    const char* const refused = "no actor of this scene";
    const struct
    {
        const char* call;
        bool on;
        tGirl* partner;
        const char* logged;
    } conversation[] = {
        {"scene:ConversationMode(scene.GARDENER)", true, gardener, nullptr},
        {"scene:ConversationMode(false)", false, nullptr, nullptr},
        {"scene:ConversationMode(nelka_handle)", true, nelka, nullptr},
        {"scene:ConversationMode(0)", false, nullptr, nullptr},
        {"scene:ConversationMode(1)", true, nullptr, nullptr},
        {"scene:ConversationMode('NELKA')", true, nullptr, nullptr},  // a name is no actor: no change
        {"scene:ConversationMode(stranger_handle)", true, nullptr, refused},
        {"scene:ConversationMode(scene_handle)", true, nullptr, refused},
        {"scene:ConversationMode({ this = stranger_handle })", true, nullptr, refused},
    };
    for (const auto& c : conversation) {
        SCOPED_TRACE(c.call);
        TLogCapture log;
        EXPECT_EQ(scene.Run(c.call), "nil");
        EXPECT_EQ(scene.IsConversationMode(), c.on);
        EXPECT_EQ(scene.GetConversationPartner(), c.partner);
        EXPECT_THAT(log.Text(), HasSubstr(c.logged ? c.logged : ""));
    }
    const struct
    {
        const char* call;
        tGirl* camera;
        const char* logged;
    } camera[] = {
        {"scene:SetCameraFollowActor(scene.GARDENER)", gardener, nullptr},
        {"scene:SetCameraFollowActor(stranger_handle)", gardener, refused},
        {"scene:SetCameraFollowActor(nelka_handle)", nelka, nullptr},
        {"scene:SetCameraFollowActor('GARDENER')", nelka, "oops. Unimplemented lf_SetCameraFollowActor!!"},
        {"scene:SetCameraFollowActor(nil)", nullptr, nullptr},
    };
    for (const auto& c : camera) {
        SCOPED_TRACE(c.call);
        TLogCapture log;
        EXPECT_EQ(scene.Run(c.call), "nil");
        EXPECT_EQ(scene.GetCameraActor(), c.camera);
        EXPECT_THAT(log.Text(), HasSubstr(c.logged ? c.logged : ""));
    }
}

TEST_F(SceneLua, EveryStateGetsTheGameEnvironment)
{
    dfLua lua;
    lua.open();
    lua.openlibs();
    PrepareLuaEnvironment(lua);
    lua_State* L = lua.GetState();
    EXPECT_EQ(LuaResult(L, "return type(vtable.tScene) .. type(vtable.tGirl) .. type(Factory)"), "tabletablefunction");
    EXPECT_EQ(LuaResult(L, "return DIR.NE .. RESUME.ON_DELAY .. BLENDMODE.BLENDMODE_ADD .. DEPTH.DEPTH_FRONTMOST"),
              "222-1");
    EXPECT_EQ(LuaResult(L, "return type(game) .. type(BAG_INV) .. type(BOOK_EDU) .. type(quest) .. type(sfx)"),
              "tabletabletabletabletable");
    EXPECT_EQ(LuaResult(L, "return tostring(scene)"), "nil");  // no main scene yet
    TConfig::SetConfig(TConfig::kCheatMode, "1");
    EXPECT_EQ(LuaResult(L, "return tostring(IsCheatMode()) .. tostring(IsOrlanvue())"), "truefalse");
    TConfig::SetConfig(TConfig::kCheatMode, "0");
    EXPECT_EQ(LuaResult(L, "return tostring(IsCheatMode())"), "false");
    TLogCapture log;
    LuaResult(L, "GlobalLuaError('shed', 'the key is missing')");
    EXPECT_THAT(log.Text(), HasSubstr("GLOBAL LUA ERROR:shed:the key is missing"));

    // The main scene object as "scene", a table of its own in every state.
    TheScene() = &scene;
    dfLua second;
    second.open();
    PrepareLuaEnvironment(second);
    lua_getglobal(second.GetState(), "scene");
    lua_pushstring(second.GetState(), "this");
    lua_gettable(second.GetState(), -2);
    EXPECT_EQ(lua_touserdata(second.GetState(), -1), static_cast<void*>(&scene));
}

TEST_F(SceneLua, InterfaceSettingsReachTheGameWindow)
{
    static std::vector<std::string> switched;
    switched.clear();
    SetInterfaceWindowHook(
        [](const char* child, bool on) { switched.push_back(std::string(child) + (on ? "+" : "-")); });
    EXPECT_EQ(scene.Run("SetHUDEnable(false) SetDiaryEnable(false) SetDefaultInventoryWindowText('obj_key') "
                        "return tostring(IsHUDEnabled()) .. tostring(IsDiaryEnabled())"),
              "falsefalse");
    EXPECT_EQ(switched, (std::vector<std::string>{"INTERCEPTSPEC-", "HUDBG-", "DiaryButton-"}));
    EXPECT_EQ(g_DefaultInventoryWindowText, str("obj_key"));
    EXPECT_EQ(
        scene.Run("SetHUDEnable(true) SetDiaryEnable(1) return tostring(IsHUDEnabled()) .. tostring(IsDiaryEnabled())"),
        "truetrue");
    SetInterfaceWindowHook(nullptr);
    g_DefaultInventoryWindowText = "obj_nelka";
}

}  // namespace
