#include "game/world/sound/sfx_lua.h"

#include "../lua_run.h"
#include "game/world/sound/sfx_manager.h"

#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cstring>
#include <string>

namespace {

float gVolume = -1.0f;

TEST(SfxLua, MethodsReachTheSoundFront)
{
    lua_State* L = lua_open();
    tSFXManager sfx;
    tSFXSettings settings;
    settings.bgVoxVolume = [](float v) { gVolume = v; };
    sfx.SetSettings(settings);
    AddSFXToLua(sfx, L);
    const char* code = "sfx:PlayVox('nobody', 'Hi there.') sfx:SetMusic('m.ogg', true) sfx:AdjustBGVoxVolume(0.25) "
                       "sfx.KillAll()";
    const std::string text = RunLua(L, code);
    EXPECT_NE(text.find("PlayVox(audio/vox/nobody:Hi there.) No Vox file"), std::string::npos) << text;
    EXPECT_NE(text.find("SetMusic(m.ogg, 1)"), std::string::npos) << text;
    EXPECT_NE(text.find("Missing base object in Lua function call:Called Function KillAll"), std::string::npos) << text;
    EXPECT_EQ(std::string(sfx.GetCurrentMusic().c_str()), "m.ogg");
    EXPECT_EQ(gVolume, 0.25f);
    lua_close(L);
}

}  // namespace
