// Base library: the global functions, and the coroutine table.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/lua/lib_support.h"
#include "lauxlib.h"
#include "lualib.h"

namespace {

// ---- printing and conversion --------------------------------------------------------------

int BasePrint(lua_State* L) {
  int n = lua_gettop(L);
  lua_getglobal(L, "tostring");
  for (int i = 1; i <= n; i++) {
    lua_pushvalue(L, -1);
    lua_pushvalue(L, i);
    lua_call(L, 1, 1);
    const char* s = lua_tostring(L, -1);
    if (s == nullptr) return luaL_error(L, "`tostring' must return a string to `print'");
    if (i > 1) std::fputs("\t", stdout);
    std::fwrite(s, 1, lua_strlen(L, -1), stdout);
    lua_pop(L, 1);
  }
  std::fputs("\n", stdout);
  return 0;
}

int BaseToString(lua_State* L) {
  luaL_checkany(L, 1);
  if (luaL_callmeta(L, 1, "__tostring")) return 1;
  switch (lua_type(L, 1)) {
    case LUA_TNUMBER:
      lua_pushstring(L, lua_tostring(L, 1));
      return 1;
    case LUA_TSTRING:
      lua_pushvalue(L, 1);
      return 1;
    case LUA_TBOOLEAN:
      lua_pushstring(L, lua_toboolean(L, 1) ? "true" : "false");
      return 1;
    case LUA_TNIL:
      lua_pushliteral(L, "nil");
      return 1;
    case LUA_TWSTRING: {
      // the low 8 bits of each unit
      const lua_WChar* w = lua_towstring(L, 1);
      size_t n = lua_wstrlen(L, 1);
      std::string narrow(n, '\0');
      for (size_t i = 0; i < n; i++) narrow[i] = static_cast<char>(w[i] & 0xFF);
      lua_pushlstring(L, narrow.data(), n);
      return 1;
    }
    default: {
      char address[32];
      std::snprintf(address, sizeof address, "%p", lua_topointer(L, 1));
      lua_pushfstring(L, "%s: %s", lua_typename(L, lua_type(L, 1)), address);
      return 1;
    }
  }
}

// A wide string whose units are all ASCII, as a narrow string; false otherwise.
bool NarrowWide(lua_State* L, int idx, std::string* out) {
  const lua_WChar* w = lua_towstring(L, idx);
  size_t n = lua_wstrlen(L, idx);
  out->clear();
  for (size_t i = 0; i < n; i++) {
    if (w[i] == 0 || w[i] > 0x7F) return false;
    out->push_back(static_cast<char>(w[i]));
  }
  return true;
}

int BaseToNumber(lua_State* L) {
  int base = luaL_optint(L, 2, 10);
  if (base == 10) {
    luaL_checkany(L, 1);
    if (lua_isnumber(L, 1)) {
      lua_pushnumber(L, lua_tonumber(L, 1));
      return 1;
    }
  } else {
    std::string narrowed;
    const char* s;
    if (lua_type(L, 1) == LUA_TWSTRING) {
      luaL_argcheck(L, 2 <= base && base <= 36, 2, "base out of range");
      if (!NarrowWide(L, 1, &narrowed)) {
        lua_pushnil(L);
        return 1;
      }
      s = narrowed.c_str();
    } else {
      s = luaL_checkstring(L, 1);
    }
    luaL_argcheck(L, 2 <= base && base <= 36, 2, "base out of range");
    // strtoul would wrap "-10" around to a huge number; take the sign apart instead.
    while (std::isspace(static_cast<unsigned char>(*s))) s++;
    bool negative = (*s == '-');
    if (negative) s++;
    char* end;
    unsigned long n = std::isalnum(static_cast<unsigned char>(*s)) ? std::strtoul(s, &end, base) : 0;
    if (std::isalnum(static_cast<unsigned char>(*s)) && end != s) {
      while (std::isspace(static_cast<unsigned char>(*end))) end++;
      if (*end == '\0') {
        lua_Number v = static_cast<lua_Number>(n);
        lua_pushnumber(L, negative ? -v : v);
        return 1;
      }
    }
  }
  lua_pushnil(L);
  return 1;
}

// A descriptive text widened to one unit per character.
void PushWidened(lua_State* L, const char* text, bool signExtend) {
  std::u16string w;
  for (const char* p = text; *p; p++)
    w.push_back(static_cast<char16_t>(signExtend ? static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(*p)))
                                                 : static_cast<unsigned char>(*p)));
  lua_pushlwstring(L, reinterpret_cast<const lua_WChar*>(w.data()), w.size());
}

int BaseToWString(lua_State* L) {
  luaL_checkany(L, 1);
  switch (lua_type(L, 1)) {
    case LUA_TWSTRING:
      lua_settop(L, 1);
      return 1;
    case LUA_TNUMBER:
      lua_settop(L, 1);
      lua_towstring(L, 1);
      return 1;
    case LUA_TSTRING: {
      size_t n;
      const char* s = lua_tostring(L, 1);
      n = lua_strlen(L, 1);
      std::u16string w(n, u'\0');
      for (size_t i = 0; i < n; i++) w[i] = static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(s[i])));
      lua_pushlwstring(L, reinterpret_cast<const lua_WChar*>(w.data()), n);
      return 1;
    }
    case LUA_TNIL:
      lua_pushliteral(L, "nil");
      return 1;
    case LUA_TTABLE:
    case LUA_TFUNCTION:
    case LUA_TUSERDATA:
    case LUA_TTHREAD: {
      char text[96];
      const void* p = lua_type(L, 1) == LUA_TUSERDATA ? lua_touserdata(L, 1) : lua_topointer(L, 1);
      if (lua_type(L, 1) == LUA_TTABLE)
        std::snprintf(text, sizeof text, "%.40s: %p", lua_typename(L, LUA_TTABLE), p);
      else
        std::snprintf(text, sizeof text, "%s: %p", lua_typename(L, lua_type(L, 1)), p);
      PushWidened(L, text, true);
      return 1;
    }
    default:
      return luaL_argerror(L, 1, "value expected");
  }
}

int BaseType(lua_State* L) {
  luaL_checkany(L, 1);
  lua_pushstring(L, lua_typename(L, lua_type(L, 1)));
  return 1;
}

// ---- errors -------------------------------------------------------------------------------

int BaseError(lua_State* L) {
  int level = luaL_optint(L, 2, 1);
  luaL_checkany(L, 1);
  lua_settop(L, 1);  // the message is what gets raised
  if (lua_isstring(L, 1) && level > 0) {
    luaL_where(L, level);
    lua_pushvalue(L, 1);
    lua_concat(L, 2);
  }
  return lua_error(L);
}

int BaseAssert(lua_State* L) {
  luaL_checkany(L, 1);
  if (!lua_toboolean(L, 1)) return luaL_error(L, "%s", luaL_optstring(L, 2, "assertion failed!"));
  lua_settop(L, 1);
  return 1;
}

int BasePcall(lua_State* L) {
  luaL_checkany(L, 1);
  int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
  lua_pushboolean(L, status == 0);
  lua_insert(L, 1);
  return lua_gettop(L);
}

int BaseXpcall(lua_State* L) {
  luaL_checkany(L, 2);
  lua_settop(L, 2);
  lua_insert(L, 1);  // the handler goes below the function
  int status = lua_pcall(L, 0, LUA_MULTRET, 1);
  lua_pushboolean(L, status == 0);
  lua_replace(L, 1);
  return lua_gettop(L);
}

// ---- tables -------------------------------------------------------------------------------

int BaseNext(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_settop(L, 2);
  if (lua_next(L, 1)) return 2;
  lua_pushnil(L);
  return 1;
}

int BasePairs(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_pushvalue(L, lua_upvalueindex(1));  // next
  lua_pushvalue(L, 1);
  lua_pushnil(L);
  return 3;
}

int IpairsStep(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  int i = luaL_checkint(L, 2) + 1;
  lua_pushnumber(L, i);
  lua_rawgeti(L, 1, i);
  return lua_isnil(L, -1) ? 0 : 2;
}

int BaseIpairs(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_pushvalue(L, lua_upvalueindex(1));  // the step function
  lua_pushvalue(L, 1);
  lua_pushnumber(L, 0);
  return 3;
}

int BaseUnpack(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  int n = luaL_getn(L, 1);
  luaL_checkstack(L, n, "table too big to unpack");
  for (int i = 1; i <= n; i++) lua_rawgeti(L, 1, i);
  return n;
}

int BaseRawEqual(lua_State* L) {
  luaL_checkany(L, 1);
  luaL_checkany(L, 2);
  lua_pushboolean(L, lua_rawequal(L, 1, 2));
  return 1;
}

int BaseRawGet(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checkany(L, 2);
  lua_settop(L, 2);
  lua_rawget(L, 1);
  return 1;
}

int BaseRawSet(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checkany(L, 2);
  luaL_checkany(L, 3);
  lua_settop(L, 3);
  lua_rawset(L, 1);
  return 1;
}

int BaseGetMetatable(lua_State* L) {
  luaL_checkany(L, 1);
  if (!lua_getmetatable(L, 1)) {
    lua_pushnil(L);
    return 1;
  }
  luaL_getmetafield(L, 1, "__metatable");  // a protected metatable shows its stand-in
  return 1;
}

int BaseSetMetatable(lua_State* L) {
  int t = lua_type(L, 2);
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_argcheck(L, t == LUA_TNIL || t == LUA_TTABLE, 2, "nil or table expected");
  if (luaL_getmetafield(L, 1, "__metatable")) luaL_error(L, "cannot change a protected metatable");
  lua_settop(L, 2);
  lua_setmetatable(L, 1);
  return 1;
}

// ---- environments -------------------------------------------------------------------------

// Pushes the function named by argument 1: itself, or the one running at the given level.
void PushFunctionArg(lua_State* L) {
  if (lua_isfunction(L, 1)) {
    lua_pushvalue(L, 1);
    return;
  }
  lua_Debug ar;
  int level = luaL_optint(L, 1, 1);
  luaL_argcheck(L, level >= 0, 1, "level must be non-negative");
  if (lua_getstack(L, level, &ar) == 0) luaL_argerror(L, 1, "invalid level");
  lua_getinfo(L, "f", &ar);
  if (lua_isnil(L, -1))
    luaL_error(L, "no function environment for tail call at level %d", level);
}

// A table whose metatable has "__fenv" shows that value instead of itself.
void ShowProtectedEnv(lua_State* L) {
  if (luaL_getmetafield(L, -1, "__fenv")) lua_remove(L, -2);
}

int BaseGetfenv(lua_State* L) {
  if (lua_isnumber(L, 1) && lua_tonumber(L, 1) == 0) {
    lua_pushvalue(L, LUA_GLOBALSINDEX);  // level 0: the running thread's globals
    return 1;
  }
  PushFunctionArg(L);
  lua_getfenv(L, -1);
  ShowProtectedEnv(L);
  return 1;
}

int BaseSetfenv(lua_State* L) {
  luaL_checktype(L, 2, LUA_TTABLE);
  PushFunctionArg(L);
  lua_getfenv(L, -1);
  if (luaL_getmetafield(L, -1, "__fenv")) luaL_error(L, "`setfenv' cannot change a protected environment");
  lua_pop(L, 1);  // the old environment
  lua_pushvalue(L, 2);
  if (lua_isnumber(L, 1) && lua_tonumber(L, 1) == 0) {
    lua_replace(L, LUA_GLOBALSINDEX);  // level 0: the running thread's globals
    return 0;
  }
  if (lua_setfenv(L, -2) == 0) luaL_error(L, "`setfenv' cannot change environment of given function");
  return 0;
}

// ---- loading ------------------------------------------------------------------------------

int LoadResult(lua_State* L, int status) {
  if (status == 0) return 1;
  lua_pushnil(L);
  lua_insert(L, -2);
  return 2;
}

int BaseLoadString(lua_State* L) {
  size_t len;
  const char* s = luaL_checklstring(L, 1, &len);
  const char* chunkname = luaL_optstring(L, 2, s);
  return LoadResult(L, luaL_loadbuffer(L, s, len, chunkname));
}

int BaseLoadFile(lua_State* L) {
  const char* fname = luaL_optstring(L, 1, nullptr);
  return LoadResult(L, luaL_loadfile(L, fname));
}

int BaseDofile(lua_State* L) {
  const char* fname = luaL_optstring(L, 1, nullptr);
  int top = lua_gettop(L);
  if (luaL_loadfile(L, fname) != 0) lua_error(L);
  lua_call(L, 0, LUA_MULTRET);
  return lua_gettop(L) - top;
}

// ---- require ------------------------------------------------------------------------------

const char kLoadedTable[] = "_LOADED";
const char kDefaultPath[] = "?;?.lua";

void PushLoadedTable(lua_State* L) {
  lua_getglobal(L, kLoadedTable);
  if (lua_istable(L, -1)) return;
  lua_pop(L, 1);
  lua_newtable(L);
  lua_pushvalue(L, -1);
  lua_setglobal(L, kLoadedTable);
}

std::string RequirePath(lua_State* L) {
  lua_getglobal(L, "LUA_PATH");
  std::string path;
  if (lua_isstring(L, -1)) {
    path = lua_tostring(L, -1);
  } else if (const char* env = std::getenv("LUA_PATH")) {
    path = env;
  } else {
    path = kDefaultPath;
  }
  lua_pop(L, 1);
  return path;
}

int BaseRequire(lua_State* L) {
  std::string name = luaL_checkstring(L, 1);
  lua_settop(L, 1);
  PushLoadedTable(L);  // index 2
  lua_pushvalue(L, 1);
  lua_rawget(L, 2);
  if (lua_toboolean(L, -1)) return 1;  // already loaded
  lua_pop(L, 1);
  std::string path = RequirePath(L);
  int status = LUA_ERRFILE;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t semi = path.find(';', pos);
    if (semi == std::string::npos) semi = path.size();
    std::string templ = path.substr(pos, semi - pos);
    pos = semi + 1;
    if (templ.empty()) continue;
    std::string file;
    for (char c : templ) {
      if (c == '?') file += name;
      else file += c;
    }
    status = luaL_loadfile(L, file.c_str());
    if (status != LUA_ERRFILE) break;
    lua_pop(L, 1);  // not there: try the next template
  }
  if (status == LUA_ERRFILE)
    return luaL_error(L, "could not load package `%s' from path `%s'", name.c_str(), path.c_str());
  if (status != 0)
    return luaL_error(L, "error loading package `%s' (%s)", name.c_str(), lua_tostring(L, -1));
  lua_getglobal(L, "_REQUIREDNAME");  // kept to restore afterwards
  lua_insert(L, -2);
  lua_pushvalue(L, 1);
  lua_setglobal(L, "_REQUIREDNAME");
  lua_call(L, 0, 1);
  lua_insert(L, -2);
  lua_setglobal(L, "_REQUIREDNAME");
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    lua_pushboolean(L, 1);
  }
  lua_pushvalue(L, 1);
  lua_pushvalue(L, -2);
  lua_rawset(L, 2);  // _LOADED[name] = result
  return 1;
}

// ---- memory -------------------------------------------------------------------------------

int BaseCollectGarbage(lua_State* L) {
  lua_setgcthreshold(L, luaL_optint(L, 1, 0));
  return 0;
}

int BaseGcInfo(lua_State* L) {
  lua_pushnumber(L, lua_getgccount(L));
  lua_pushnumber(L, lua_getgcthreshold(L));
  return 2;
}

// Upvalue 1 is a weak set of the metatables made by newproxy(true).
int BaseNewProxy(lua_State* L) {
  lua_settop(L, 1);
  lua_newuserdata(L, 0);
  if (lua_toboolean(L, 1) == 0) return 1;  // no metatable
  if (lua_isboolean(L, 1)) {
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_pushboolean(L, 1);
    lua_rawset(L, lua_upvalueindex(1));
  } else {
    bool valid = false;
    if (lua_getmetatable(L, 1)) {
      lua_rawget(L, lua_upvalueindex(1));
      valid = lua_toboolean(L, -1);
      lua_pop(L, 1);
    }
    luaL_argcheck(L, valid, 1, "boolean or proxy expected");
    lua_getmetatable(L, 1);
  }
  lua_setmetatable(L, 2);
  return 1;
}

// ---- coroutines ---------------------------------------------------------------------------

bool CoroutineDead(lua_State* co) {
  if (lua_diedinerror(co)) return true;
  lua_Debug ar;
  return lua_getstack(co, 0, &ar) == 0 && lua_gettop(co) == 0;
}

int CoCreate(lua_State* L) {
  luaL_argcheck(L, lua_isfunction(L, 1) && !lua_iscfunction(L, 1), 1, "Lua function expected");
  lua_State* co = lua_newthread(L);
  lua_pushvalue(L, 1);
  lua_xmove(L, co, 1);
  return 1;
}

int CoResume(lua_State* L) {
  lua_State* co = lua_tothread(L, 1);
  luaL_argcheck(L, co, 1, "coroutine expected");
  int r = tv_lua::ResumeCoroutine(L, co, lua_gettop(L) - 1);
  if (r < 0) {
    lua_pushboolean(L, 0);
    lua_insert(L, -2);
    return 2;
  }
  lua_pushboolean(L, 1);
  lua_insert(L, -(r + 1));
  return r + 1;
}

int CoWrapCall(lua_State* L) {
  int r = tv_lua::ResumeWrapped(L);
  if (r < 0) {
    if (lua_isstring(L, -1)) {  // add where the wrapper was called
      luaL_where(L, 1);
      lua_insert(L, -2);
      lua_concat(L, 2);
    }
    lua_error(L);
  }
  return r;
}

int CoWrap(lua_State* L) {
  CoCreate(L);
  lua_pushcclosure(L, CoWrapCall, 1);
  return 1;
}

int CoYield(lua_State* L) { return lua_yield(L, lua_gettop(L)); }

int CoStatus(lua_State* L) {
  lua_State* co = lua_tothread(L, 1);
  luaL_argcheck(L, co, 1, "coroutine expected");
  if (co == L) lua_pushliteral(L, "running");
  else if (CoroutineDead(co)) lua_pushliteral(L, "dead");
  else lua_pushliteral(L, "suspended");
  return 1;
}

const luaL_reg kBaseFuncs[] = {
    {"error", BaseError},
    {"getmetatable", BaseGetMetatable},
    {"setmetatable", BaseSetMetatable},
    {"getfenv", BaseGetfenv},
    {"setfenv", BaseSetfenv},
    {"next", BaseNext},
    {"rawequal", BaseRawEqual},
    {"rawget", BaseRawGet},
    {"rawset", BaseRawSet},
    {"loadfile", BaseLoadFile},
    {"dofile", BaseDofile},
    {"loadstring", BaseLoadString},
    {"print", BasePrint},
    {"tonumber", BaseToNumber},
    {"tostring", BaseToString},
    {"towstring", BaseToWString},
    {"type", BaseType},
    {"assert", BaseAssert},
    {"unpack", BaseUnpack},
    {"pcall", BasePcall},
    {"xpcall", BaseXpcall},
    {"collectgarbage", BaseCollectGarbage},
    {"gcinfo", BaseGcInfo},
    {"require", BaseRequire},
    {nullptr, nullptr},
};

const luaL_reg kCoFuncs[] = {
    {"create", CoCreate},
    {"wrap", CoWrap},
    {"resume", CoResume},
    {"yield", CoYield},
    {"status", CoStatus},
    {nullptr, nullptr},
};

}  // namespace

LUALIB_API int luaopen_base(lua_State* L) {
  lua_pushliteral(L, "_G");
  lua_pushvalue(L, LUA_GLOBALSINDEX);
  luaL_openlib(L, nullptr, kBaseFuncs, 0);  // fills the globals table just pushed
  lua_pushliteral(L, "_VERSION");
  lua_pushliteral(L, "Lua 5.0.2");
  lua_rawset(L, -3);
  // pairs and ipairs keep their iterators as upvalues, so redefining `next' does not break them
  lua_pushliteral(L, "pairs");
  lua_pushliteral(L, "next");
  lua_rawget(L, -3);
  lua_pushcclosure(L, BasePairs, 1);
  lua_rawset(L, -3);
  lua_pushliteral(L, "ipairs");
  lua_pushcfunction(L, IpairsStep);
  lua_pushcclosure(L, BaseIpairs, 1);
  lua_rawset(L, -3);
  lua_pushliteral(L, "newproxy");
  lua_newtable(L);
  lua_pushvalue(L, -1);
  lua_setmetatable(L, -2);
  lua_pushliteral(L, "__mode");
  lua_pushliteral(L, "k");
  lua_rawset(L, -3);  // the set is its own metatable, with weak keys
  lua_pushcclosure(L, BaseNewProxy, 1);
  lua_rawset(L, -3);
  lua_rawset(L, LUA_GLOBALSINDEX);  // _G = globals
  PushLoadedTable(L);
  lua_pop(L, 1);
  luaL_openlib(L, LUA_COLIBNAME, kCoFuncs, 0);
  lua_pop(L, 1);
  // the default metatables, reachable by name from the registry
  static const char* const kDefaultNames[] = {"_boolean", "_lightuserdata", "_number", "_string", "_table",
                                              "_function", "_userdata", "_thread", "_wstring"};
  for (int t = LUA_TBOOLEAN; t <= LUA_TWSTRING; t++) {
    lua_pushstring(L, kDefaultNames[t - 1]);
    lua_getdefaultmetatable(L, t);
    lua_rawset(L, LUA_REGISTRYINDEX);
  }
  lua_pushvalue(L, LUA_GLOBALSINDEX);
  return 1;
}
