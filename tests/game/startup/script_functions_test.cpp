#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/config/config.h"
#include "core/script/game_state.h"
#include "core/script/message.h"
#include "game/startup/game_steps.h"
#include "game/startup/script_functions.h"
#include "game/startup/world_steps.h"
#include "game/world/clock/pause.h"
#include "game/world/scene/scene.h"
#include "game/world/sound/sfx_manager.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

namespace {

class TRecorder : public TGameStateHandler
{
public:
    bool OnSetState(const str& key, const str& value) override
    {
        seen.push_back(std::string(key.c_str()) + "=" + value.c_str());
        return false;
    }
    std::vector<std::string> seen;
};

class GameScriptFunctions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        lua.open();
        lua.openlibs();
        BindPushModal(lua);
        BindGameScriptFunctions(lua.GetState());
        TGameState::SetPlatformQuery([] { return true; });
        TGameState::GetInstance()->AddHandler(&recorder);
    }
    void TearDown() override
    {
        GameSteps() = TGameSteps();
        TConfig::SetConfig("voiceoveractive", "");
        TGameState::DestroyInstance();
        TGameState::SetPlatformQuery(nullptr);
    }
    std::string Run(const char* code)
    {
        lua_State* L = lua.GetState();
        if (luaL_loadbuffer(L, code, std::strlen(code), "t") || lua_pcall(L, 0, 1, 0)) {
            ADD_FAILURE() << lua_tostring(L, -1);
            lua_pop(L, 1);
            return "";
        }
        const char* text = lua_tostring(L, -1);
        std::string result = text ? text : "nil";
        lua_pop(L, 1);
        return result;
    }
    dfLua lua;
    TRecorder recorder;
};

}  // namespace

TEST_F(GameScriptFunctions, QueriesAnswerFromTheGame)
{
    EXPECT_EQ(Run("return tostring(IsVoiceEnabled())"), "true");  // unset reads as "1"
    TConfig::SetConfig("voiceoveractive", "0");
    EXPECT_EQ(Run("return tostring(IsVoiceEnabled())"), "false");
    EXPECT_EQ(Run("return tostring(IsGameRunning()) .. tostring(IsPaused())"), "falsefalse");
    TWindow root;
    bool paused = false;
    std::vector<int> choices;
    GameSteps().gameRoot = [&root] { return &root; };
    GameSteps().isPaused = [&paused] { return paused; };
    GameSteps().enterPause = [&paused] { paused = true; };
    GameSteps().exitPause = [&paused] { paused = false; };
    GameSteps().choiceClicked = [&choices](int index) { choices.push_back(index); };
    EXPECT_EQ(Run("EnterPause() return tostring(IsGameRunning()) .. tostring(IsPaused())"), "truetrue");
    EXPECT_EQ(Run("ExitPause() ChoiceClicked(2.8) ChoiceClicked('x') return tostring(IsPaused())"), "false");
    EXPECT_EQ(choices, (std::vector<int>{2, 0}));
}

// The game's own pause and sound front behind the script globals.
TEST_F(GameScriptFunctions, PauseAndMusicReachTheGame)
{
    InstallWorldSteps();
    PrepareLuaEnvironment(lua);
    EXPECT_EQ(Run("EnterPause() return tostring(IsPaused())"), "true");
    EXPECT_TRUE(IsPaused());
    EXPECT_EQ(Run("ExitPause() return tostring(IsPaused())"), "false");
    EXPECT_FALSE(IsPaused());
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"PlayTime=0", "PauseTime=1"}));
    Run("sfx:SetMusic('audio/music/absent.ogg', true) return nil");
    EXPECT_STREQ(g_SFXManager.GetCurrentMusic().c_str(), "audio/music/absent.ogg");
    g_SFXManager.KillAll();
}

TEST_F(GameScriptFunctions, StatusIsRelayedToTheMetrics)
{
    Run("dfSetStatus('intro_seen')");
    EXPECT_EQ(recorder.seen, std::vector<std::string>{"intro_seen=0"});
}

TEST_F(GameScriptFunctions, PushModalAnswersTheIdPopModalTakes)
{
    TWindowManager manager;
    auto* screen = new TModalWindow;
    manager.PushModal(screen);
    const std::string id = Run("return PushModal('inventory')");
    TModalWindow* top = manager.GetTopModalWindow();
    ASSERT_NE(top, screen);
    EXPECT_EQ(top->GetName(), str("inventory"));
    EXPECT_EQ(id, WindowIdText(top->GetId()).c_str());
    EXPECT_EQ(id.size(), 8u);
    manager.PopModal(id.c_str());
    EXPECT_EQ(manager.GetTopModalWindow(), screen);

    // The game's modal window comes from the interface's step.
    TModalWindow* made = nullptr;
    GameSteps().newModalWindow = [&made] { return made = new TModalWindow; };
    Run("return PushModal('pause')");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(manager.GetTopModalWindow(), made);
    EXPECT_EQ(made->GetName(), str("pause"));
    manager.PopModal(WindowIdText(made->GetId()));
    EXPECT_EQ(manager.GetTopModalWindow(), screen);
}
