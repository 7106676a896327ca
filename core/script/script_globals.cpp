// The globals every script state holds: _ALERT, DebugOut, toparams and DumpTable.
#include <lauxlib.h>
#include <lualib.h>

#include "core/debug/debug_log.h"
#include "core/script/df_lua.h"
#include "core/script/lua_stack_guard.h"
#include "core/script/lua_value_text.h"
#include "core/script/script.h"

namespace {

const char kDumpTableSource[] =
    "function DumpTable(t)\n"
    "  DebugOut(\"Dump Table: \\n\" .. _Internal_DumpTable(t, 2))\n"
    "  _accumulated_table_data = \"\"\n"
    "end\n"
    "function _Internal_DumpTable(t, indent)\n"
    "  indent = indent or 0\n"
    "  if indent > 10 then return string.rep(\" \", indent) .. \"...\\n\" end\n"
    "  local text = \"\"\n"
    "  table.foreach(t, function(k, v) text = text .. _Internal_DumpEntry(k, v, indent) end)\n"
    "  return text\n"
    "end\n"
    "function _Internal_DumpEntry(key, value, indent)\n"
    "  local pad = string.rep(\" \", indent)\n"
    "  local text = pad .. tostring(key) .. \" -> \"\n"
    "  if type(value) == \"table\" then\n"
    "    return text .. \"{\\n\" .. _Internal_DumpTable(value, indent + 2) .. pad .. \"}\\n\"\n"
    "  end\n"
    "  return text .. tostring(value) .. \"\\n\\n\"\n"
    "end\n";

}  // namespace

int LuaError(lua_State* L)
{
    WriteDbg("Lua error: %s", LuaValueText(L, -1).c_str());
    // As the error handler of a protected call, what it returns becomes the error object, so
    // the object is handed back for the caller's own report.
    return lua_gettop(L) > 0 ? 1 : 0;
}

void LuaDebugOut(str) {}

int ParamsFromTable(lua_State* L)
{
    if (lua_type(L, 1) != LUA_TTABLE) {
        WriteDbg("toparams: expected a table, got %s", lua_typename(L, lua_type(L, 1)));
        return 0;
    }
    // The dialect's element count: the "n" field, else the largest numeric key.
    const int n = lua_getn(L, 1);
    if (n <= 0)
        return 0;
    luaL_checkstack(L, n, "too many elements for toparams");
    for (int i = 1; i <= n; ++i)
        lua_rawgeti(L, 1, i);
    return n;
}

void TScript::LuaInit()
{
    lua_State* L = mLuaState;
    TLuaStackGuard guard(L);
    luaopen_base(L);
    lua_settop(L, guard.Height());
    luaopen_string(L);
    lua_settop(L, guard.Height());
    luaopen_table(L);
    lua_settop(L, guard.Height());

    lua_pushcfunction(L, &LuaError);
    lua_setglobal(L, "_ALERT");
    dfLua(L).bindfunction(&LuaDebugOut, "DebugOut");
    lua_pushcfunction(L, &ParamsFromTable);
    lua_setglobal(L, "toparams");

    int status = luaL_loadbuffer(L, kDumpTableSource, sizeof kDumpTableSource - 1, "DumpTable");
    if (status == 0)
        status = lua_pcall(L, 0, 0, 0);
    if (status != 0)
        WriteDbg("Lua error: %s", LuaValueText(L, -1).c_str());
}
