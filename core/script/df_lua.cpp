#include "core/script/df_lua.h"

#include <lauxlib.h>
#include <lualib.h>

#include "core/debug/debug_log.h"
#include "core/script/lua_number.h"

namespace {

void LogLuaError(dfLua&, const char* where, const str& message)
{
    WriteDbg("GLOBAL LUA ERROR:%s:%s", where, message.c_str());
}

TLuaErrorReport gErrorReport = &LogLuaError;

}  // namespace

dfLua::~dfLua()
{
    if (mOwned && mState)
        lua_close(mState);
}

void dfLua::open()
{
    assign(lua_open(), true);
}

void dfLua::close()
{
    assign(nullptr, false);
}

void dfLua::assign(lua_State* state, bool owned)
{
    if (mOwned && mState && mState != state)
        lua_close(mState);
    mState = state;
    mOwned = owned && state;
}

lua_State* dfLua::newthread()
{
    return lua_newthread(mState);
}

void dfLua::openlibs()
{
    luaL_openlibs(mState);
}

int dfLua::loadbuffer(const char* text, size_t length, const char* chunkName)
{
    return luaL_loadbuffer(mState, text, length, chunkName);
}

void dfLua::getglobal(const char* name)
{
    lua_getglobal(mState, name);
}

void dfLua::setglobal(const char* name)
{
    lua_setglobal(mState, name);
}

void* dfLua::newuserdata(size_t size, const void* bytes)
{
    void* block = lua_newuserdata(mState, size);
    if (bytes && size)
        std::memcpy(block, bytes, size);
    return block;
}

namespace {

// Pushes vtable[name]; the global "vtable" is made when missing.
void PushClassEntry(lua_State* L, const char* name)
{
    lua_getglobal(L, "vtable");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setglobal(L, "vtable");
    }
    lua_getfield(L, -1, name);
    lua_remove(L, -2);
}

}  // namespace

void dfLua::createvtable(const char* className, const char* parentName)
{
    lua_State* L = mState;
    PushClassEntry(L, className);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_getglobal(L, "vtable");
        lua_newtable(L);  // M
        lua_pushvalue(L, -1);
        lua_setfield(L, -3, className);  // vtable[name] = M
        lua_newtable(L);                 // I
        lua_pushvalue(L, -1);
        lua_setfield(L, -3, "__index");  // M.__index = I
        lua_replace(L, -3);              // I where vtable was
        lua_pop(L, 1);                   // M
    } else {
        lua_getfield(L, -1, "__index");
        lua_remove(L, -2);
        if (!lua_istable(L, -1)) {
            WriteDbg("Failed to get __index of mtable for %s", className);
            WriteDbg("ASSERT: %s", "false");
            dfDebugBreak();
        }
    }
    if (!parentName)
        return;
    createvtable(parentName, nullptr);
    lua_pop(L, 1);
    PushClassEntry(L, parentName);
    if (lua_isnil(L, -1)) {
        WriteDbg("Failed to find parent vtable [%s]", parentName);
        lua_pop(L, 1);
        return;
    }
    if (lua_istable(L, -2))
        lua_setmetatable(L, -2);
    else
        lua_pop(L, 1);
}

void dfLua::newcobject(const char* className, void* object)
{
    lua_State* L = mState;
    lua_newtable(L);
    PushClassEntry(L, className);
    if (!lua_istable(L, -1)) {
        WriteDbg("Failed to newcobject(%s)", className);
        WriteDbg("ASSERT: %s", "false");
        dfDebugBreak();
        lua_pop(L, 1);
        return;
    }
    lua_setmetatable(L, -2);
    lua_pushlightuserdata(L, object);
    lua_setfield(L, -2, "this");
}

int dfLua::tointeger(int index)
{
    if (lua_type(mState, index) == LUA_TBOOLEAN)
        return lua_toboolean(mState, index) ? 1 : 0;
    return LuaToInt(mState, index);
}

const char* dfLua::GetSecondUpValueAsString()
{
    if (lua_type(mState, lua_upvalueindex(2)) != LUA_TSTRING)
        return nullptr;
    return lua_tostring(mState, lua_upvalueindex(2));
}

void dfLua::stackdump(const char* label)
{
    const int top = lua_gettop(mState);
    WriteDbg("dfLua[%p:%p]::stackdump(%s) STACK = %d", static_cast<void*>(this), static_cast<void*>(mState),
             label ? label : "", top);
    for (int i = 1; i <= top; ++i) {
        lua_pushvalue(mState, i);
        const char* type = lua_typename(mState, lua_type(mState, -1));
        // Only strings and numbers have a text form; converting the copy leaves slot i alone.
        const int t = lua_type(mState, -1);
        if (t == LUA_TSTRING || t == LUA_TNUMBER)
            WriteDbg("\t#%d = %s : %s", i, type, lua_tostring(mState, -1));
        else
            WriteDbg("\t#%d = %s : %p", i, type, lua_topointer(mState, -1));
        lua_pop(mState, 1);
    }
}

void dfLua::PushCallable(const void* bytes, size_t size)
{
    void* block = lua_newuserdata(mState, size);
    std::memcpy(block, bytes, size);
}

void dfLua::PushClosure(lua_CFunction dispatcher, unsigned upvalues)
{
    lua_pushcclosure(mState, dispatcher, static_cast<int>(upvalues));
}

void dfDebugBreak() {}

void SetLuaErrorReport(TLuaErrorReport report)
{
    gErrorReport = report ? report : &LogLuaError;
}

void ReportLuaError(dfLua& lua, const char* where, const str& message)
{
    gErrorReport(lua, where, message);
}

int concentrate_this_error(dfLua& lua, const char* dispatcher)
{
    const char* name = lua.GetSecondUpValueAsString();
    ReportLuaError(lua, "Missing base object in Lua function call",
                   str::getFormatted("Called Function %s", name ? name : "(unnamed)"));
    WriteDbg("Called %s without a 'this' object", dispatcher);
    lua.stackdump("no this");
    return 0;
}

namespace lua_dispatch_detail {

int MissingCallable(lua_State*, const char* dispatcher)
{
    WriteDbg("%s: the closure holds no bound function", dispatcher);
    return 0;
}

}  // namespace lua_dispatch_detail

// ---- conversions ---------------------------------------------------------------------------

int Get(TypeWrapper<int>, dfLua& lua, int index)
{
    return lua.tointeger(index);
}

unsigned Get(TypeWrapper<unsigned>, dfLua& lua, int index)
{
    return static_cast<unsigned>(lua.tointeger(index));
}

float Get(TypeWrapper<float>, dfLua& lua, int index)
{
    return static_cast<float>(lua_tonumber(lua.GetState(), index));
}

double Get(TypeWrapper<double>, dfLua& lua, int index)
{
    return lua_tonumber(lua.GetState(), index);
}

bool Get(TypeWrapper<bool>, dfLua& lua, int index)
{
    return lua_toboolean(lua.GetState(), index) != 0;
}

const char* Get(TypeWrapper<const char*>, dfLua& lua, int index)
{
    const char* text = lua_tostring(lua.GetState(), index);
    return text ? text : "";
}

str Get(TypeWrapper<str>, dfLua& lua, int index)
{
    return str(lua_tostring(lua.GetState(), index));
}

TColor Get(TypeWrapper<TColor>, dfLua& lua, int index)
{
    TColor color(1, 1, 1, 1);
    lua_State* L = lua.GetState();
    if (lua_type(L, index) != LUA_TTABLE) {
        WriteDbg("LUA_GET(TColor) didn't get a table");
        return color;
    }
    const int table = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
    auto field = [&](const char* key, float& component) {
        lua_pushstring(L, key);
        lua_gettable(L, table);
        if (lua_type(L, -1) == LUA_TNUMBER)
            component = static_cast<float>(lua_tonumber(L, -1));
        lua_pop(L, 1);
    };
    field("r", color.red);
    field("g", color.green);
    field("b", color.blue);
    field("a", color.alpha);
    return color;
}

TRect Get(TypeWrapper<TRect>, dfLua& lua, int index)
{
    lua_State* L = lua.GetState();
    if (lua_type(L, index) != LUA_TTABLE) {
        WriteDbg("LUA_GET(TRect) didn't get a table");
        return TRect();
    }
    const int table = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
    auto field = [&](const char* key) {
        lua_pushstring(L, key);
        lua_gettable(L, table);
        const int value = lua.tointeger(-1);
        lua_pop(L, 1);
        return value;
    };
    const int x = field("x"), y = field("y"), w = field("w"), h = field("h");
    // Wrapping sums are undefined for int; a rectangle past the int range has no meaning anyway.
    const auto edge = [](int from, int extent) {
        return static_cast<int32_t>(static_cast<uint32_t>(from) + static_cast<uint32_t>(extent));
    };
    return TRect(x, y, edge(x, w), edge(y, h));
}

void Put(dfLua& lua, const str& value)
{
    lua_pushlstring(lua.GetState(), value.c_str(), value.length());
}

void Put(dfLua& lua, const char* value)
{
    lua_pushstring(lua.GetState(), value ? value : "");
}

void Put(dfLua& lua, bool value)
{
    lua_pushboolean(lua.GetState(), value ? 1 : 0);
}

void Put(dfLua& lua, int value)
{
    lua_pushnumber(lua.GetState(), value);
}

void Put(dfLua& lua, float value)
{
    lua_pushnumber(lua.GetState(), value);
}

void Put(dfLua& lua, double value)
{
    lua_pushnumber(lua.GetState(), value);
}

void Put(dfLua& lua, const std::optional<str>& value)
{
    if (value)
        Put(lua, *value);
    else
        lua_pushnil(lua.GetState());
}
