// Debug library: introspection of the call stack, locals, upvalues and hooks.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/lua/lib_support.h"
#include "lauxlib.h"
#include "lualib.h"

namespace {

void SetString(lua_State* L, const char* key, const char* value) {
  lua_pushstring(L, key);
  lua_pushstring(L, value);
  lua_rawset(L, -3);
}

void SetNumber(lua_State* L, const char* key, int value) {
  lua_pushstring(L, key);
  lua_pushnumber(L, value);
  lua_rawset(L, -3);
}

int DbGetInfo(lua_State* L) {
  lua_Debug ar;
  std::string options = luaL_optstring(L, 2, "flnSu");
  if (lua_isnumber(L, 1)) {
    if (!lua_getstack(L, luaL_checkint(L, 1), &ar)) {
      lua_pushnil(L);  // level out of range
      return 1;
    }
  } else if (lua_isfunction(L, 1)) {
    options = ">" + options;
    lua_pushvalue(L, 1);
  } else {
    return luaL_argerror(L, 1, "function or level expected");
  }
  if (!lua_getinfo(L, options.c_str(), &ar)) return luaL_argerror(L, 2, "invalid option");
  bool has_func = options.find('f') != std::string::npos;
  lua_newtable(L);
  for (char c : options) {
    switch (c) {
      case 'S':
        SetString(L, "source", ar.source);
        SetString(L, "short_src", ar.short_src);
        SetNumber(L, "linedefined", ar.linedefined);
        SetString(L, "what", ar.what);
        break;
      case 'l':
        SetNumber(L, "currentline", ar.currentline);
        break;
      case 'u':
        SetNumber(L, "nups", ar.nups);
        break;
      case 'n':
        if (ar.name) SetString(L, "name", ar.name);
        SetString(L, "namewhat", ar.namewhat ? ar.namewhat : "");
        break;
      default:
        break;
    }
  }
  if (has_func) {  // lua_getinfo left the function below the new table
    lua_pushliteral(L, "func");
    lua_pushvalue(L, -3);
    lua_rawset(L, -3);
  }
  return 1;
}

int DbGetLocal(lua_State* L) {
  lua_Debug ar;
  if (!lua_getstack(L, luaL_checkint(L, 1), &ar)) return luaL_argerror(L, 1, "level out of range");
  const char* name = lua_getlocal(L, &ar, luaL_checkint(L, 2));
  if (name == nullptr) {
    lua_pushnil(L);
    return 1;
  }
  lua_pushstring(L, name);
  lua_pushvalue(L, -2);
  return 2;
}

int DbSetLocal(lua_State* L) {
  lua_Debug ar;
  if (!lua_getstack(L, luaL_checkint(L, 1), &ar)) return luaL_argerror(L, 1, "level out of range");
  luaL_checkany(L, 3);
  lua_settop(L, 3);
  const char* name = lua_setlocal(L, &ar, luaL_checkint(L, 2));
  if (name == nullptr) lua_pushnil(L);
  else lua_pushstring(L, name);
  return 1;
}

int UpvalueAccess(lua_State* L, bool get) {
  int n = luaL_checkint(L, 2);
  luaL_checktype(L, 1, LUA_TFUNCTION);
  if (lua_iscfunction(L, 1)) return 0;  // C upvalues are not exposed
  const char* name = get ? lua_getupvalue(L, 1, n) : lua_setupvalue(L, 1, n);
  if (name == nullptr) return 0;
  lua_pushstring(L, name);
  lua_insert(L, -(get ? 2 : 1));
  return get ? 2 : 1;
}

int DbGetUpvalue(lua_State* L) { return UpvalueAccess(L, true); }

int DbSetUpvalue(lua_State* L) {
  luaL_checkany(L, 3);
  lua_settop(L, 3);
  return UpvalueAccess(L, false);
}

// ---- hooks --------------------------------------------------------------------------------

// The registry holds a table mapping each thread to its Lua hook function.
const char kHookTable[] = "tv.debug.hooks";

void PushHookTable(lua_State* L) { tv_lua::PushRegistryTable(L, kHookTable, nullptr); }

void PushThreadKey(lua_State* L) { lua_pushlightuserdata(L, L); }

void CallLuaHook(lua_State* L, lua_Debug* ar) {
  static const char* const kEvents[] = {"call", "return", "line", "count", "tail return"};
  PushHookTable(L);
  PushThreadKey(L);
  lua_rawget(L, -2);
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 2);
    return;
  }
  lua_pushstring(L, (ar->event >= 0 && ar->event <= 4) ? kEvents[ar->event] : "?");
  if (ar->currentline >= 0 && ar->event == LUA_HOOKLINE) lua_pushnumber(L, ar->currentline);
  else lua_pushnil(L);
  lua_call(L, 2, 0);
  lua_pop(L, 1);
}

int MaskFromString(const char* smask, int count) {
  int mask = 0;
  if (std::strchr(smask, 'c')) mask |= LUA_MASKCALL;
  if (std::strchr(smask, 'r')) mask |= LUA_MASKRET;
  if (std::strchr(smask, 'l')) mask |= LUA_MASKLINE;
  if (count > 0) mask |= LUA_MASKCOUNT;
  return mask;
}

std::string MaskToString(int mask) {
  std::string s;
  if (mask & LUA_MASKCALL) s += 'c';
  if (mask & LUA_MASKRET) s += 'r';
  if (mask & LUA_MASKLINE) s += 'l';
  return s;
}

int DbSetHook(lua_State* L) {
  if (lua_isnoneornil(L, 1)) {
    lua_settop(L, 1);
    lua_sethook(L, nullptr, 0, 0);
  } else {
    const char* smask = luaL_checkstring(L, 2);
    int count = luaL_optint(L, 3, 0);
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_sethook(L, CallLuaHook, MaskFromString(smask, count), count);
  }
  PushHookTable(L);
  PushThreadKey(L);
  lua_pushvalue(L, 1);
  lua_rawset(L, -3);
  return 0;
}

int DbGetHook(lua_State* L) {
  lua_Hook hook = lua_gethook(L);
  int mask = lua_gethookmask(L);
  if (hook == nullptr) {
    lua_pushnil(L);
  } else if (hook != CallLuaHook) {
    lua_pushliteral(L, "external hook");
  } else {
    PushHookTable(L);
    PushThreadKey(L);
    lua_rawget(L, -2);
    lua_remove(L, -2);
  }
  lua_pushstring(L, MaskToString(mask).c_str());
  lua_pushnumber(L, lua_gethookcount(L));
  return 3;
}

// ---- interactive debugging and tracebacks -------------------------------------------------

int DbDebug(lua_State* L) {
  for (;;) {
    char buffer[250];
    std::fputs("lua_debug> ", stderr);
    if (std::fgets(buffer, sizeof buffer, stdin) == nullptr || std::strcmp(buffer, "cont\n") == 0)
      return 0;
    if (luaL_loadbuffer(L, buffer, std::strlen(buffer), "=(debug command)") != 0 ||
        lua_pcall(L, 0, 0, 0) != 0) {
      const char* msg = lua_tostring(L, -1);
      std::fprintf(stderr, "%s\n", msg ? msg : "(error object is not a string)");
    }
    lua_settop(L, 0);
  }
}

constexpr int kTracebackHead = 12;  // levels shown before the gap
constexpr int kTracebackTail = 10;  // levels shown after it

int DbTraceback(lua_State* L) {
  lua_Debug ar;
  int level = 1;
  bool first_gap = true;
  if (lua_gettop(L) == 0) lua_pushliteral(L, "");
  else if (!lua_isstring(L, 1)) return 1;  // a non-string message is passed through untouched
  else lua_pushliteral(L, "\n");
  lua_pushliteral(L, "stack traceback:");
  while (lua_getstack(L, level++, &ar)) {
    if (level > kTracebackHead && first_gap) {
      if (!lua_getstack(L, level + kTracebackTail, &ar)) {
        level--;  // few levels left: show them all
      } else {
        lua_pushliteral(L, "\n\t...");
        while (lua_getstack(L, level + kTracebackTail, &ar)) level++;
      }
      first_gap = false;
      continue;
    }
    lua_pushliteral(L, "\n\t");
    lua_getinfo(L, "Snl", &ar);
    lua_pushfstring(L, "%s:", ar.short_src);
    if (ar.currentline > 0) lua_pushfstring(L, "%d:", ar.currentline);
    if (ar.namewhat && *ar.namewhat != '\0') {
      lua_pushfstring(L, " in function `%s'", ar.name ? ar.name : "?");
    } else if (*ar.what == 'm') {
      lua_pushliteral(L, " in main chunk");
    } else if (*ar.what == 'C' || *ar.what == 't') {
      lua_pushliteral(L, " ?");
    } else {
      lua_pushfstring(L, " in function <%s:%d>", ar.short_src, ar.linedefined);
    }
    lua_concat(L, lua_gettop(L));
  }
  lua_concat(L, lua_gettop(L));
  return 1;
}

const luaL_reg kDebugFuncs[] = {
    {"getlocal", DbGetLocal},
    {"getinfo", DbGetInfo},
    {"gethook", DbGetHook},
    {"getupvalue", DbGetUpvalue},
    {"sethook", DbSetHook},
    {"setlocal", DbSetLocal},
    {"setupvalue", DbSetUpvalue},
    {"debug", DbDebug},
    {"traceback", DbTraceback},
    {nullptr, nullptr},
};

}  // namespace

LUALIB_API int luaopen_debug(lua_State* L) {
  luaL_openlib(L, LUA_DBLIBNAME, kDebugFuncs, 0);
  lua_pushliteral(L, "_TRACEBACK");
  lua_pushcfunction(L, DbTraceback);
  lua_settable(L, LUA_GLOBALSINDEX);
  return 1;
}
