#include "render/anim/sprite_functions.h"

#include "core/script/lua_number.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/sprite_script.h"

#include "lua.h"

#include <cstring>

namespace {

// The sprite the state belongs to, held for the length of the call; empty once it is gone.
std::shared_ptr<TAnimatedSprite> Owner(lua_State* L)
{
    TSpriteLuaState* shared = GetSpriteLuaState(L);
    std::shared_ptr<TSprite> sprite = shared ? shared->owner.lock() : nullptr;
    if (!sprite || !sprite->IsKindOf(TAnimatedSprite::ClassId()))
        return nullptr;
    return std::static_pointer_cast<TAnimatedSprite>(sprite);
}

str StringArg(lua_State* L, int index)
{
    const char* text = lua_isstring(L, index) ? lua_tostring(L, index) : nullptr;
    return str(text ? text : "");
}

int SetCurrentFrame(lua_State* L)
{
    if (auto sprite = Owner(L))
        sprite->SetCurrentFrame(LuaToInt(L, 1));
    return 0;
}

// A yield is possible only from a Lua function of the running coroutine itself: not from
// another state, and not below a call made from compiled code (a protected call, say).
bool CanYield(lua_State* L, TSpriteScript* running)
{
    if (!running || running->GetState() != L)
        return false;
    lua_Debug ar;
    for (int level = 1; lua_getstack(L, level, &ar); ++level) {
        if (!lua_getinfo(L, "S", &ar))
            return false;
        if (ar.what && std::strcmp(ar.what, "C") == 0)
            return false;
    }
    return true;
}

int WaitLuaNextFrame(lua_State* L)
{
    TSpriteLuaState* shared = GetSpriteLuaState(L);
    TSpriteScript* running = shared ? shared->running : nullptr;
    if (running) {
        if (lua_isnumber(L, 1))
            running->SetDelay(static_cast<uint32_t>(LuaToInt(L, 1)), true, true, false);
        else
            running->Pause();
    }
    if (!CanYield(L, running))
        return 0;
    return lua_yield(L, 0);
}

int Die(lua_State* L)
{
    if (auto sprite = Owner(L))
        sprite->Die();
    return 0;
}

int Pause(lua_State* L)
{
    if (auto sprite = Owner(L))
        sprite->Pause(lua_toboolean(L, 1) != 0, LuaToInt(L, 2));
    return 0;
}

int IsPlaying(lua_State* L)
{
    auto sprite = Owner(L);
    lua_pushboolean(L, sprite && sprite->IsPlaying(LuaToInt(L, 1)));
    return 1;
}

int Load(lua_State* L)
{
    auto sprite = Owner(L);
    lua_pushboolean(L, sprite && sprite->Init(StringArg(L, 1), StringArg(L, 2), StringArg(L, 3)));
    return 1;
}

int GetScript(lua_State* L)
{
    auto sprite = Owner(L);
    const str text = sprite ? sprite->GetData()->GetScriptString() : str("");
    lua_pushlstring(L, text.c_str(), text.length());
    return 1;
}

int SetAlpha(lua_State* L)
{
    if (auto sprite = Owner(L))
        sprite->SetAlpha(static_cast<float>(lua_tonumber(L, 1)));
    return 0;
}

int SetLayer(lua_State* L)
{
    if (auto sprite = Owner(L))
        sprite->SetLayer(LuaToInt(L, 1));
    return 0;
}

int RemoveSprite(lua_State* L)
{
    if (auto sprite = Owner(L))
        sprite->RemoveSprite();
    return 0;
}

int Random(lua_State* L)
{
    const auto min = LuaToUnsigned(L, 1);
    const auto max = LuaToUnsigned(L, 2);
    lua_pushnumber(L, SpriteRandomRange(min, max));
    return 1;
}

}  // namespace

void RegisterSpriteFunctions(lua_State* L)
{
    static const struct
    {
        const char* name;
        lua_CFunction function;
    } kFunctions[] = {
        {"SetCurrentFrame", SetCurrentFrame},
        {"WaitLuaNextFrame", WaitLuaNextFrame},
        {"Die", Die},
        {"Pause", Pause},
        {"IsPlaying", IsPlaying},
        {"Load", Load},
        {"GetScript", GetScript},
        {"SetAlpha", SetAlpha},
        {"SetLayer", SetLayer},
        {"RemoveSprite", RemoveSprite},
        {"Random", Random},
    };
    for (const auto& f : kFunctions)
        lua_register(L, f.name, f.function);
}
