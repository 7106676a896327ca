#include "game/startup/interface_bindings.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "sound/manager/sound.h"

#include <lua.h>

#include <memory>

namespace {

// The music's group, apart from the interface sounds'.
constexpr int kMusicGroup = 1;

std::shared_ptr<TSound>& CurrentMusic()
{
    static std::shared_ptr<TSound> music;
    return music;
}

int LuaPlayMusic(lua_State* L)
{
    const char* name = lua_tostring(L, 1);
    StopMusic();
    if (!name || !*name) {
        WriteDbg("PlayMusic: no music file named");
        return 0;
    }
    if (!TFile::Exists(name)) {
        WriteDbg("PlayMusic: %s is not there", name);
        return 0;
    }
    std::shared_ptr<TSound> music = TSound::Get(name, false, kMusicGroup);
    if (music && music->Play(true))
        CurrentMusic() = music;
    return 0;
}

int LuaStopMusic(lua_State*)
{
    StopMusic();
    return 0;
}

int LuaWriteLog(lua_State* L)
{
    const char* text = lua_tostring(L, 1);
    WriteDbg("%s", text ? text : "(nil)");
    return 0;
}

}  // namespace

void BindInterfaceFunctions(lua_State* L)
{
    if (!L)
        return;
    lua_pushcfunction(L, &LuaPlayMusic);
    lua_setglobal(L, "PlayMusic");
    lua_pushcfunction(L, &LuaStopMusic);
    lua_setglobal(L, "StopMusic");
    lua_pushcfunction(L, &LuaWriteLog);
    lua_setglobal(L, "WriteLog");
}

void StopMusic()
{
    if (CurrentMusic()) {
        CurrentMusic()->Kill();
        CurrentMusic().reset();
    }
}
