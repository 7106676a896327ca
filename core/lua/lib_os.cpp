// OS library: time, environment, files by name and the process.
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/lua/lib_support.h"
#include "lauxlib.h"
#include "lualib.h"

namespace {

using tv_lua::PushSystemResult;

int OsExecute(lua_State* L) {
  lua_pushnumber(L, std::system(luaL_optstring(L, 1, nullptr)));
  return 1;
}

int OsRemove(lua_State* L) {
  const char* filename = luaL_checkstring(L, 1);
  return PushSystemResult(L, std::remove(filename) == 0, filename);
}

int OsRename(lua_State* L) {
  const char* from = luaL_checkstring(L, 1);
  const char* to = luaL_checkstring(L, 2);
  return PushSystemResult(L, std::rename(from, to) == 0, from);
}

int OsTmpname(lua_State* L) {
  // mkstemp makes the name ours; the empty file stays for the script to use
  char name[] = "/tmp/lua_XXXXXX";
  int fd = mkstemp(name);
  if (fd == -1) return luaL_error(L, "unable to generate a unique filename");
  close(fd);
  lua_pushstring(L, name);
  return 1;
}

int OsGetenv(lua_State* L) {
  const char* v = std::getenv(luaL_checkstring(L, 1));
  if (v) lua_pushstring(L, v);
  else lua_pushnil(L);
  return 1;
}

int OsClock(lua_State* L) {
  lua_pushnumber(L, static_cast<lua_Number>(std::clock()) / CLOCKS_PER_SEC);
  return 1;
}

void SetField(lua_State* L, const char* key, int value) {
  lua_pushstring(L, key);
  lua_pushnumber(L, value);
  lua_rawset(L, -3);
}

void SetBoolField(lua_State* L, const char* key, int value) {
  if (value < 0) return;  // unknown
  lua_pushstring(L, key);
  lua_pushboolean(L, value);
  lua_rawset(L, -3);
}

int GetBoolField(lua_State* L, const char* key) {
  lua_pushstring(L, key);
  lua_gettable(L, -2);
  int res = lua_isnil(L, -1) ? -1 : lua_toboolean(L, -1);
  lua_pop(L, 1);
  return res;
}

int GetField(lua_State* L, const char* key, int def) {
  lua_pushstring(L, key);
  lua_gettable(L, -2);
  int res;
  if (lua_isnumber(L, -1)) {
    res = luaL_numbertoint(lua_tonumber(L, -1));
  } else {
    if (def < 0) return luaL_error(L, "field `%s' missing in date table", key);
    res = def;
  }
  lua_pop(L, 1);
  return res;
}

int OsDate(lua_State* L) {
  const char* s = luaL_optstring(L, 1, "%c");
  std::time_t t = lua_isnoneornil(L, 2) ? std::time(nullptr)
                                        : static_cast<std::time_t>(luaL_numbertolong(luaL_checknumber(L, 2)));
  std::tm stm;
  std::tm* st;
  if (*s == '!') {  // UTC
    st = gmtime_r(&t, &stm);
    s++;
  } else {
    st = localtime_r(&t, &stm);
  }
  if (st == nullptr) {
    lua_pushnil(L);
    return 1;
  }
  if (std::strcmp(s, "*t") == 0) {
    lua_newtable(L);
    SetField(L, "sec", st->tm_sec);
    SetField(L, "min", st->tm_min);
    SetField(L, "hour", st->tm_hour);
    SetField(L, "day", st->tm_mday);
    SetField(L, "month", st->tm_mon + 1);
    SetField(L, "year", st->tm_year + 1900);
    SetField(L, "wday", st->tm_wday + 1);
    SetField(L, "yday", st->tm_yday + 1);
    SetBoolField(L, "isdst", st->tm_isdst);
    return 1;
  }
  char b[256];
  if (std::strftime(b, sizeof b, s, st)) lua_pushstring(L, b);
  else lua_pushliteral(L, "");  // too long, or legitimately empty
  return 1;
}

int OsTime(lua_State* L) {
  std::time_t t;
  if (lua_isnoneornil(L, 1)) {
    t = std::time(nullptr);
  } else {
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_settop(L, 1);
    std::tm ts{};
    ts.tm_sec = GetField(L, "sec", 0);
    ts.tm_min = GetField(L, "min", 0);
    ts.tm_hour = GetField(L, "hour", 12);
    ts.tm_mday = GetField(L, "day", -1);
    ts.tm_mon = GetField(L, "month", -1) - 1;
    ts.tm_year = GetField(L, "year", -1) - 1900;
    ts.tm_isdst = GetBoolField(L, "isdst");
    t = std::mktime(&ts);
  }
  if (t == static_cast<std::time_t>(-1)) lua_pushnil(L);
  else lua_pushnumber(L, static_cast<lua_Number>(t));
  return 1;
}

int OsDifftime(lua_State* L) {
  auto t1 = static_cast<std::time_t>(luaL_numbertolong(luaL_checknumber(L, 1)));
  auto t2 = static_cast<std::time_t>(luaL_numbertolong(luaL_optnumber(L, 2, 0)));
  lua_pushnumber(L, std::difftime(t1, t2));
  return 1;
}

int OsSetlocale(lua_State* L) {
  static const int kCategories[] = {LC_ALL, LC_COLLATE, LC_CTYPE, LC_MONETARY, LC_NUMERIC, LC_TIME};
  static const char* const kNames[] = {"all", "collate", "ctype", "monetary", "numeric", "time", nullptr};
  const char* l = lua_tostring(L, 1);
  int op = luaL_findstring(luaL_optstring(L, 2, "all"), kNames);
  luaL_argcheck(L, l || lua_isnoneornil(L, 1), 1, "string expected");
  luaL_argcheck(L, op != -1, 2, "invalid option");
  const char* r = std::setlocale(kCategories[op], l);
  if (r) lua_pushstring(L, r);
  else lua_pushnil(L);
  return 1;
}

int OsExit(lua_State* L) {
  lua_CFunction host = lua_atexit(L, nullptr);  // read without a getter of its own
  lua_atexit(L, host);
  if (host) return host(L);
  std::fflush(nullptr);
  std::exit(luaL_optint(L, 1, EXIT_SUCCESS));
}

const luaL_reg kOsFuncs[] = {
    {"clock", OsClock},
    {"date", OsDate},
    {"difftime", OsDifftime},
    {"execute", OsExecute},
    {"exit", OsExit},
    {"getenv", OsGetenv},
    {"remove", OsRemove},
    {"rename", OsRename},
    {"setlocale", OsSetlocale},
    {"time", OsTime},
    {"tmpname", OsTmpname},
    {nullptr, nullptr},
};

}  // namespace

LUALIB_API int luaopen_os(lua_State* L) {
  luaL_openlib(L, LUA_OSLIBNAME, kOsFuncs, 0);
  return 1;
}
