#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

#include <memory>
#include <string>
#include <vector>

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
    SetState("key", "value");  // does nothing
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
    state->SetState("mute", "1");  // already muted: the saved volume stays
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

// Notes what it is offered; answers "handled" for its own key and rewrites reads of "live".
class TRecordingHandler : public TGameStateHandler
{
public:
    TRecordingHandler(std::string name, std::vector<std::string>& log, const char* owns)
        : mName(std::move(name)), mLog(log), mOwns(owns)
    {
    }
    bool OnSetState(const str& key, const str& value) override
    {
        mLog.push_back(mName + " set " + key.c_str() + "=" + value.c_str());
        if (removeOnSet)
            TGameState::GetInstance()->RemoveHandler(removeOnSet);
        return key == str(mOwns);
    }
    bool OnGetState(const str& key, str& value) override
    {
        mLog.push_back(mName + " get " + key.c_str());
        if (key == str("live"))
            value = str("fresh");
        return key == str(mOwns);
    }
    TGameStateHandler* removeOnSet = nullptr;

private:
    std::string mName;
    std::vector<std::string>& mLog;
    const char* mOwns;
};

TEST_F(GameState, WritesAndReadsAreOfferedToTheHandlersInOrderUntilOneHandlesThem)
{
    TSoundManager sound(TSoundManager::eDevice::kLoopback);
    sound.SetVolume(0.5f);
    TGameState* state = TGameState::GetInstance();
    std::vector<std::string> log;
    TRecordingHandler first("first", log, "mine"), second("second", log, "");
    state->AddHandler(&first);
    state->AddHandler(&second);

    struct
    {
        const char* key;
        const char* value;
        std::vector<std::string> offered;
    } writes[] = {
        {"door", "open", {"first set door=open", "second set door=open"}},
        {"mine", "x", {"first set mine=x"}},
        {"++visits", "", {"first get visits", "second get visits", "first set visits=1", "second set visits=1"}},
        {"mute", "1", {}},  // the volume handler comes first and handles it
    };
    for (const auto& w : writes) {
        log.clear();
        state->SetState(w.key, w.value);
        EXPECT_EQ(log, w.offered) << w.key;
    }
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0);
    log.clear();
    EXPECT_EQ(state->GetState("mine"), str("x"));  // stored although handled

    log.clear();
    EXPECT_EQ(state->GetState("live"), str("fresh"));
    EXPECT_EQ(log, (std::vector<std::string>{"first get live", "second get live"}));
    log.clear();
    state->GetState("mine");
    EXPECT_EQ(log, (std::vector<std::string>{"first get mine"}));

    // A handler taken out while the chain runs is not asked again.
    first.removeOnSet = &second;
    log.clear();
    state->SetState("door", "shut");
    EXPECT_EQ(log, (std::vector<std::string>{"first set door=shut"}));
    state->RemoveHandler(&first);
    log.clear();
    state->SetState("door", "open");
    EXPECT_TRUE(log.empty());
    state->SetState("mute", "0");
    EXPECT_FLOAT_EQ(sound.GetVolume(-1), 0.5f);
}

TEST_F(GameState, LuaGlobals)
{
    lua_State* L = lua_open();
    luaopen_base(L);
    lua_settop(L, 0);
    gBindState = L;
    TGameState::SetScriptStateQuery([] { return gBindState; });
    TGameState* state = TGameState::GetInstance();  // binds itself into L
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

}  // namespace
