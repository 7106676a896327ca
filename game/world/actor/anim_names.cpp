#include "game/world/actor/anim_names.h"

#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "render/anim/animated_texture.h"

#include <lauxlib.h>
#include <lua.h>

#include <algorithm>

bool tAnimNames::Register(const str& file, const str& script)
{
    lua_State* L = lua_open();
    if (!L)
        return false;
    if (luaL_loadbuffer(L, script.c_str(), script.length(), file.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
        const char* message = lua_tostring(L, -1);
        LOGIT("Animation script of %s failed: %s\n", file.c_str(), message ? message : "");
        lua_close(L);
        return false;
    }
    lua_pushnil(L);
    while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
        if (lua_type(L, -2) == LUA_TSTRING && lua_isfunction(L, -1)) {
            const str name(lua_tostring(L, -2));
            auto known = std::find_if(mNames.begin(), mNames.end(), [&](const tAnimName& n) { return n.name == name; });
            if (known != mNames.end())
                known->file = file;
            else
                mNames.push_back({name, file});
        }
        lua_pop(L, 1);
    }
    lua_close(L);
    return true;
}

void tAnimNames::Keep(const str& file, std::shared_ptr<TAnimatedTexture> texture)
{
    mKept[file] = std::move(texture);
}

void tAnimNames::Unregister(const str& file)
{
    std::erase_if(mNames, [&](const tAnimName& n) { return n.file == file; });
    mKept.erase(file);
}

const str* tAnimNames::FileOf(const str& name) const
{
    for (const tAnimName& n : mNames)
        if (n.name == name)
            return &n.file;
    return nullptr;
}

bool RegisterAnimFile(tAnimNames& names, const str& file)
{
    std::shared_ptr<TAnimatedTexture> texture = BestAnimatedRef(file);
    if (!texture) {
        LOGIT("tGirl::RegisterAnimFile(%s) failed\n", file.c_str());
        return false;
    }
    if (!names.Register(file, texture->GetScript()))
        return false;
    names.Keep(file, std::move(texture));
    return true;
}
