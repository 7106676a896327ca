#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

#include <memory>

#include "core/script/game_state.h"
#include "sound/manager/sound_manager.h"

namespace {

bool gPlatform = false;
lua_State* gBindState = nullptr;

const TMasterVolume kSoundVolume = {
    [] { return TSoundManager::GetInstance() != nullptr; },
    [] { return TSoundManager::GetInstance()->GetVolume(-1); },
    [](float v) { TSoundManager::GetInstance()->SetVolume(v); },
};

class GameState : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gPlatform = true;
        gBindState = nullptr;
        TGameState::SetPlatformQuery([] { return gPlatform; });
        TGameState::SetMasterVolume(&kSoundVolume);
    }
    void TearDown() override
    {
        TGameState::DestroyInstance();
        TGameState::SetPlatformQuery(nullptr);
        TGameState::SetScriptStateQuery(nullptr);
        TGameState::SetMasterVolume(nullptr);
    }
};

TEST_F(GameState, NothingBeforeThePlatformExists)
{
    gPlatform = false;
    EXPECT_EQ(TGameState::GetInstance(), nullptr);
    SetState("key", "value");   // does nothing
    gPlatform = true;
    TGameState* state = TGameState::GetInstance();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->GetState("key"), str());
    EXPECT_EQ(TGameState::GetInstance(), state);
    SetState("key", "value");
    EXPECT_EQ(state->GetState("key"), str("value"));
}

TEST_F(GameState, ValuesCountersAndQueries)
{
    TGameState* state = TGameState::GetInstance();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->GetState("never"), str());
    state->SetState("++visits", "ignored");
    EXPECT_EQ(state->GetState("visits"), str("1"));
    state->SetState("++visits", "");
    EXPECT_EQ(state->GetState("visits"), str("2"));
    state->SetState("word", "abc");
    state->SetState("++word", "");
    EXPECT_EQ(state->GetState("word"), str("1"));
    state->SetState("score", -42);
    EXPECT_EQ(state->GetState("score"), str("-42"));

    EXPECT_FALSE(state->QueryMuteGame());
    state->SetState(TGameState::kMute, "0");
    EXPECT_FALSE(state->QueryMuteGame());
    EXPECT_FALSE(state->QueryRestartMode());
    EXPECT_FALSE(state->QueryJumpToMenu());
}

TEST_F(GameState, MuteSavesAndRestoresTheMasterVolume)
{
    TSoundManager sound(TSoundManager::eDevice::kLoopback);
    ASSERT_EQ(TSoundManager::GetInstance(), &sound);
    sound.SetVolume(0.7f);
    TGameState* state = TGameState::GetInstance();
    state->SetState("mute", "1");
    EXPECT_TRUE(state->QueryMuteGame());
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0);
    state->SetState("mute", "1");   // already muted: the saved volume stays
    state->SetState("mute", 1);
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0);
    state->SetState("mute", "0");
    EXPECT_FALSE(state->QueryMuteGame());
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0.7f);
    state->SetState("mute", "0");
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0.7f);
    state->SetState("++mute", "");
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0);
    state->SetState("mute", "");
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0.7f);
}

TEST_F(GameState, UnmutingNeverSilencesASoundManagerMadeLater)
{
    ASSERT_EQ(TSoundManager::GetInstance(), nullptr);
    TGameState* state = TGameState::GetInstance();
    state->SetState("mute", "1");
    TSoundManager sound(TSoundManager::eDevice::kLoopback);
    sound.SetVolume(0.4f);
    state->SetState("mute", "0");
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0.4f);
}

TEST_F(GameState, LuaGlobals)
{
    lua_State* L = lua_open();
    luaopen_base(L);
    lua_settop(L, 0);
    gBindState = L;
    TGameState::SetScriptStateQuery([] { return gBindState; });
    TGameState* state = TGameState::GetInstance();   // binds itself into L
    ASSERT_NE(state, nullptr);
    const char* code = "_SetState('door', 'open')\n"
                       "_SetState('++count', '')\n"
                       "door, count, none = GetState('door'), GetState('count'), GetState('none')\n"
                       "muted = QueryMuteGame()\n"
                       "_SetState('mute', 1)\n"
                       "mutedNow = QueryMuteGame()\n"
                       "restart, jump = QueryRestartMode(), QueryJumpToMenu()\n";
    ASSERT_EQ(luaL_loadbuffer(L, code, strlen(code), "test"), 0) << lua_tostring(L, -1);
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    EXPECT_EQ(state->GetState("door"), str("open"));
    auto global = [&](const char* name) {
        lua_getglobal(L, name);
        std::string v = lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                                             : (lua_tostring(L, -1) ? lua_tostring(L, -1) : "<nil>");
        lua_pop(L, 1);
        return v;
    };
    EXPECT_EQ(global("door"), "open");
    EXPECT_EQ(global("count"), "1");
    EXPECT_EQ(global("none"), "");
    EXPECT_EQ(global("muted"), "false");
    EXPECT_EQ(global("mutedNow"), "true");
    EXPECT_EQ(global("restart"), "false");
    EXPECT_EQ(global("jump"), "false");
    TGameState::DestroyInstance();
    lua_close(L);
}

} // namespace
