// The game's Lua environment: what every scene state (and the window manager's, and an
// animation script's) sees of the game, and the report of a script that failed.

#include "core/config/config.h"
#include "core/files/file.h"
#include "game/script/class_info.h"
#include "game/script/df_log.h"
#include "game/script/lua_error.h"
#include "game/script/script_enums.h"
#include "game/world/scene/scene.h"
#include "game/world/sound/sfx_lua.h"
#include "game/world/sound/sfx_manager.h"
#include "game/world/state/gamestate.h"
#include "game/world/state/gamestate_lua.h"
#include "game/world/state/interface_settings.h"

#include <vector>

namespace {

bool IsCheatMode()
{
    return TConfig::IsEnabled(TConfig::kCheatMode);
}

bool IsOrlanvue()
{
    return TConfig::IsEnabled(TConfig::kOrlanvue);
}

// The Lua message on the top of the stack (popped).
str PopMessage(lua_State* L)
{
    const char* text = lua_tostring(L, -1);
    str message(text ? text : "(no message)");
    lua_pop(L, 1);
    return message;
}

}  // namespace

void PrepareLuaEnvironment(dfLua& lua)
{
    lua_State* L = lua.GetState();
    if (!L)
        return;
    tClassInfo::AddAllClassInfoToLua(lua);
    AddEnumsToLua(lua);
    AddInstanceToLua(gGamestate, L);
    AddSFXToLua(g_SFXManager, L);
    if (tScene* scene = TheScene()) {
        lua.newcobject(tScene::civ.name, scene);
        lua.setglobal("scene");
    }
    lua.bindfunction(static_cast<void (*)(const char*, const str&)>(&GlobalLuaError), "GlobalLuaError");
    lua.bindfunction(&IsCheatMode, "IsCheatMode");
    lua.bindfunction(&IsOrlanvue, "IsOrlanvue");
    BindInterfaceSettingsToLua(lua);
}

void ValidateLua(dfLua& lua, const str& path)
{
    lua_State* L = lua.GetState();
    TFile file;
    if (!L)
        return;
    // A script that does not open is reported as one that fails: the player is told either way.
    if (!file.Open(path)) {
        LOGIT("Couldn't open %s\n", path.c_str());
        GlobalLuaError("script load", str("cannot open ") + path + ": it is missing or not a regular file");
        return;
    }
    const long size = file.Size();
    std::vector<char> bytes(size_t(size > 0 ? size : 0));
    if (size < 0 || file.Read(bytes.data(), bytes.size()) < bytes.size()) {
        LOGIT("Couldn't read %s\n", path.c_str());
        return;
    }
    if (lua.loadbuffer(bytes.data(), bytes.size(), path.c_str()) != 0) {
        GlobalLuaError("script load", PopMessage(L));
        return;
    }
    if (lua_pcall(L, 0, 0, 0) != 0)
        GlobalLuaError("script execute", PopMessage(L));
}
