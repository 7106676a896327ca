#pragma once
// The settings on a private user folder, a script state of their own, a sound manager whose
// volumes can be read back, and a display that records what it was asked.

#include "common/command_output.h"
#include "core/prefs/prefs.h"
#include "core/script/df_lua.h"
#include "core/script/game_state.h"
#include "game/screens/settings/settings.h"
#include "game/world/prefs_fixture.h"
#include "sound/manager/sound_manager.h"

#include <lauxlib.h>
#include <lua.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

class SettingsTest : public WorldPrefsTest
{
public:
    void SetUp() override
    {
        WorldPrefsTest::SetUp();
        lua.open();
        lua.openlibs();
        sound = std::make_unique<TSoundManager>(TSoundManager::eDevice::kLoopback);
        TGameState::SetPlatformQuery([] { return true; });
    }
    void TearDown() override
    {
        TSettings::DeleteSettings();
        TGameState::DestroyInstance();
        TGameState::SetPlatformQuery(nullptr);
        sound.reset();
        lua.close();
        WorldPrefsTest::TearDown();
    }

    TSettingsServices Services()
    {
        TSettingsServices s;
        s.script = lua.GetState();
        s.setDisplay = [this](unsigned w, unsigned h, bool full) {
            display = std::to_string(w) + "x" + std::to_string(h) + (full ? " full" : " window");
            fullscreen = full;
        };
        s.setFullscreen = [this](bool on) {
            if (switchFails)
                return false;
            fullscreen = on;
            return true;
        };
        s.isFullscreen = [this] { return fullscreen; };
        return s;
    }
    TSettings* Make() { return TSettings::CreateSettings(Services()); }

    // Runs code in the settings' state; the first result as text ("nil" when none).
    std::string Run(const std::string& code)
    {
        lua_State* L = lua.GetState();
        if (luaL_loadbuffer(L, code.data(), code.size(), "t") || lua_pcall(L, 0, 1, 0)) {
            const char* error = lua_tostring(L, -1);
            lua_pop(L, 1);
            return std::string("error: ") + (error ? error : "");
        }
        const char* text = lua_isnil(L, -1) ? nullptr : lua_tostring(L, -1);
        if (!text && lua_isboolean(L, -1))
            text = lua_toboolean(L, -1) ? "true" : "false";
        std::string result = text ? text : "nil";
        lua_pop(L, 1);
        return result;
    }

    // The saved file as the dump tool shows it.
    std::string Dump() const
    {
        return CommandOutput(std::string(TV_PREFSDUMP_PATH) + " " + Path("prefs.dat") + " 2>&1");
    }

    dfLua lua;
    std::unique_ptr<TSoundManager> sound;
    std::string display;
    bool fullscreen = false;
    bool switchFails = false;
};
