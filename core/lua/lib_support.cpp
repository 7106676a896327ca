#include "core/lua/lib_support.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tv_lua {

namespace {

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

}  // namespace

int FormatInCLocale(char* buf, std::size_t size, const char* fmt, ...) {
  locale_t c = CLocale();
  locale_t old = c ? uselocale(c) : static_cast<locale_t>(0);
  va_list ap;
  va_start(ap, fmt);
  int n = std::vsnprintf(buf, size, fmt, ap);
  va_end(ap);
  if (c) uselocale(old);
  return n;
}

bool ScanNumberInCLocale(std::FILE* f, double* d) {
  locale_t c = CLocale();
  locale_t old = c ? uselocale(c) : static_cast<locale_t>(0);
  int n = std::fscanf(f, "%lf", d);
  if (c) uselocale(old);
  return n == 1;
}

long long NumberToInteger(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 9.2233720368547758e18) return 9223372036854775807LL;
  if (d <= -9.2233720368547758e18) return -9223372036854775807LL - 1;
  return static_cast<long long>(d);
}

void PushRegistryTable(lua_State* L, const char* key, const char* mode) {
  lua_pushstring(L, key);
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (lua_istable(L, -1)) return;
  lua_pop(L, 1);
  lua_newtable(L);
  if (mode) {
    lua_newtable(L);
    lua_pushliteral(L, "__mode");
    lua_pushstring(L, mode);
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
  }
  lua_pushstring(L, key);
  lua_pushvalue(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

int PushSystemResult(lua_State* L, bool ok, const char* name) {
  if (ok) {
    lua_pushboolean(L, 1);
    return 1;
  }
  int err = errno;
  lua_pushnil(L);
  if (name) lua_pushfstring(L, "%s: %s", name, std::strerror(err));
  else lua_pushstring(L, std::strerror(err));
  lua_pushnumber(L, err);
  return 3;
}

}  // namespace tv_lua
