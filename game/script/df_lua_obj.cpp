#include "game/script/df_lua_obj.h"

#include <lauxlib.h>

#include "game/script/df_log.h"

namespace {

unsigned gNextId = 0xDDDF00;

char kWeakAnchorsKey;

// The registry, or for a weak reference the registry's table of weak anchors (made on first
// use), on top of the stack.
void PushAnchors(lua_State* L, bool weak)
{
    if (!weak) {
        lua_pushvalue(L, LUA_REGISTRYINDEX);
        return;
    }
    lua_pushlightuserdata(L, &kWeakAnchorsKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (lua_istable(L, -1))
        return;
    lua_pop(L, 1);
    lua_newtable(L);
    lua_newtable(L);
    lua_pushstring(L, "__mode");
    lua_pushstring(L, "v");
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
    lua_pushlightuserdata(L, &kWeakAnchorsKey);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

}  // namespace

dfLuaObj::dfLuaObj(dfLua& lua, const char* name) : mId(gNextId++), mName(name), mLua(lua.GetState())
{
    lua_State* L = mLua.GetState();
    if (!L || lua_gettop(L) < 1) {
        LOGIT("ASSERT: %s\n", "dfL.gettop() >= 1");
        dfDebugBreak();
        return;
    }
    lua_pushlightuserdata(L, this);
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

dfLuaObj::~dfLuaObj()
{
    lua_State* L = mLua.GetState();
    if (!L)
        return;
    PushAnchors(L, mWeak);
    lua_pushlightuserdata(L, this);
    lua_pushnil(L);
    lua_rawset(L, -3);
    lua_pop(L, 1);
}

void dfLuaObj::MakeWeak()
{
    lua_State* L = mLua.GetState();
    if (!L || mWeak)
        return;
    PushAnchors(L, true);
    lua_pushlightuserdata(L, this);
    push();
    lua_rawset(L, -3);
    lua_pop(L, 1);
    lua_pushlightuserdata(L, this);
    lua_pushnil(L);
    lua_rawset(L, LUA_REGISTRYINDEX);
    mWeak = true;
}

void dfLuaObj::push()
{
    PushSelfOnto(mLua);
}

void dfLuaObj::PushSelfOnto(dfLua& lua)
{
    lua_State* L = lua.GetState();
    PushAnchors(L, mWeak);
    lua_pushlightuserdata(L, this);
    lua_rawget(L, -2);
    lua_remove(L, -2);
}

bool dfLuaObj::isfunction()
{
    push();
    const bool result = lua_isfunction(mLua.GetState(), -1);
    lua_pop(mLua.GetState(), 1);
    return result;
}

bool dfLuaObj::istable()
{
    push();
    const bool result = lua_istable(mLua.GetState(), -1);
    lua_pop(mLua.GetState(), 1);
    return result;
}

// ---- dfLuaTable ---------------------------------------------------------------------------

bool dfLuaTable::PushTable()
{
    lua_State* L = mLua.GetState();
    push();
    if (lua_istable(L, -1))
        return true;
    // A reference whose value is no table reads nil everywhere.
    lua_pop(L, 1);
    lua_pushnil(L);
    return false;
}

void dfLuaTable::getfield(const char* key)
{
    lua_State* L = mLua.GetState();
    if (!PushTable())
        return;
    lua_pushstring(L, key);
    lua_gettable(L, -2);
    lua_remove(L, -2);
}

void dfLuaTable::getfield(int index)
{
    lua_State* L = mLua.GetState();
    if (!PushTable())
        return;
    lua_pushnumber(L, index);
    lua_gettable(L, -2);
    lua_remove(L, -2);
}

namespace {

str PopText(lua_State* L)
{
    const int type = lua_type(L, -1);
    str result = type == LUA_TSTRING || type == LUA_TNUMBER ? str(lua_tostring(L, -1)) : str();
    lua_pop(L, 1);
    return result;
}

float PopNumber(lua_State* L)
{
    const float result = static_cast<float>(lua_tonumber(L, -1));
    lua_pop(L, 1);
    return result;
}

bool PopNotNil(lua_State* L)
{
    const bool result = !lua_isnil(L, -1);
    lua_pop(L, 1);
    return result;
}

}  // namespace

str dfLuaTable::getfield_as_string(const char* key)
{
    getfield(key);
    return PopText(mLua.GetState());
}

str dfLuaTable::getfield_as_string(int index)
{
    getfield(index);
    return PopText(mLua.GetState());
}

int dfLuaTable::getfield_as_integer(const char* key)
{
    getfield(key);
    const int result = mLua.tointeger(-1);
    lua_pop(mLua.GetState(), 1);
    return result;
}

float dfLuaTable::getfield_as_number(const char* key)
{
    getfield(key);
    return PopNumber(mLua.GetState());
}

float dfLuaTable::getfield_as_number(int index)
{
    getfield(index);
    return PopNumber(mLua.GetState());
}

std::unique_ptr<dfLuaObj> dfLuaTable::getfield_as_obj(const char* key)
{
    getfield(key);
    return std::make_unique<dfLuaObj>(mLua, key);
}

std::unique_ptr<dfLuaTable> dfLuaTable::getfield_as_table(const char* key)
{
    getfield(key);
    if (!lua_istable(mLua.GetState(), -1)) {
        lua_pop(mLua.GetState(), 1);
        return nullptr;
    }
    return std::make_unique<dfLuaTable>(mLua, key);
}

bool dfLuaTable::hasfield(const char* key)
{
    getfield(key);
    return PopNotNil(mLua.GetState());
}

bool dfLuaTable::hasfield(int index)
{
    getfield(index);
    return PopNotNil(mLua.GetState());
}

int dfLuaTable::getn()
{
    lua_State* L = mLua.GetState();
    if (!PushTable()) {
        lua_pop(L, 1);
        return 0;
    }
    const int n = luaL_getn(L, -1);
    lua_pop(L, 1);
    return n;
}

void dfLuaTable::setfield(const char* key, dfLuaObj* value)
{
    lua_State* L = mLua.GetState();
    if (!PushTable()) {
        lua_pop(L, 1);
        return;
    }
    lua_pushstring(L, key);
    if (value)
        value->PushSelfOnto(mLua);
    else
        lua_pushnil(L);
    lua_settable(L, -3);
    lua_pop(L, 1);
}

void dfLuaTable::setenumvalue(const char* key, int value)
{
    lua_State* L = mLua.GetState();
    if (!PushTable()) {
        lua_pop(L, 1);
        return;
    }
    lua_pushstring(L, key);
    lua_pushnumber(L, value);
    lua_settable(L, -3);
    lua_pop(L, 1);
}

void dfLuaTable::zapfield(const char* key)
{
    setfield(key, nullptr);
}
