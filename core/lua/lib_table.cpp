// Table library: array manipulation over the element count of luaL_getn.
#include "lauxlib.h"
#include "lualib.h"

namespace {

int TabForeachi(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checktype(L, 2, LUA_TFUNCTION);
  int n = luaL_getn(L, 1);
  for (int i = 1; i <= n; i++) {
    lua_pushvalue(L, 2);
    lua_pushnumber(L, i);
    lua_rawgeti(L, 1, i);
    lua_call(L, 2, 1);
    if (!lua_isnil(L, -1)) return 1;
    lua_pop(L, 1);
  }
  return 0;
}

int TabForeach(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_checktype(L, 2, LUA_TFUNCTION);
  lua_pushnil(L);
  while (lua_next(L, 1)) {
    lua_pushvalue(L, 2);
    lua_pushvalue(L, -3);
    lua_pushvalue(L, -3);
    lua_call(L, 2, 1);
    if (!lua_isnil(L, -1)) return 1;
    lua_pop(L, 2);  // result and value; the key stays for lua_next
  }
  return 0;
}

int TabGetn(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  lua_pushnumber(L, luaL_getn(L, 1));
  return 1;
}

int TabSetn(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  luaL_setn(L, 1, luaL_checkint(L, 2));
  return 0;
}

int TabInsert(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  int v = lua_gettop(L);
  int n = luaL_getn(L, 1) + 1;
  int pos;
  if (v == 2) {
    pos = n;  // append
  } else {
    pos = luaL_checkint(L, 2);
    if (pos > n) n = pos;  // growing to a position beyond the end
    v = 3;
  }
  luaL_setn(L, 1, n);
  for (int i = n; i > pos; i--) {
    lua_rawgeti(L, 1, i - 1);
    lua_rawseti(L, 1, i);
  }
  lua_pushvalue(L, v);
  lua_rawseti(L, 1, pos);
  return 0;
}

int TabRemove(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  int n = luaL_getn(L, 1);
  int pos = luaL_optint(L, 2, n);
  if (n <= 0) return 0;
  luaL_setn(L, 1, n - 1);
  lua_rawgeti(L, 1, pos);  // the result
  for (; pos < n; pos++) {
    lua_rawgeti(L, 1, pos + 1);
    lua_rawseti(L, 1, pos);
  }
  lua_pushnil(L);
  lua_rawseti(L, 1, n);
  return 1;
}

int TabConcat(lua_State* L) {
  size_t lsep;
  const char* sep = luaL_optlstring(L, 2, "", &lsep);
  luaL_checktype(L, 1, LUA_TTABLE);
  int i = luaL_optint(L, 3, 1);
  int last = luaL_optint(L, 4, luaL_getn(L, 1));
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  for (; i <= last; i++) {
    lua_rawgeti(L, 1, i);
    luaL_argcheck(L, lua_isstring(L, -1), 1, "table contains non-strings");
    luaL_addvalue(&b);
    if (i != last) luaL_addlstring(&b, sep, lsep);
  }
  luaL_pushresult(&b);
  return 1;
}

// ---- sort ---------------------------------------------------------------------------------
// Quicksort on the table itself, so a failing comparison leaves a permutation, never a loss.

// Compares the values at stack indices a and b with the user's function (index 2) or '<'.
bool SortLess(lua_State* L, int a, int b) {
  if (!lua_isnil(L, 2)) {
    lua_pushvalue(L, 2);
    lua_pushvalue(L, a - 1);  // both indices are negative and shift by the pushed function
    lua_pushvalue(L, b - 2);
    lua_call(L, 2, 1);
    bool r = lua_toboolean(L, -1);
    lua_pop(L, 1);
    return r;
  }
  return lua_lessthan(L, a, b);
}

void SwapSet(lua_State* L, int i, int j) {
  lua_rawseti(L, 1, i);
  lua_rawseti(L, 1, j);
}

void SortRange(lua_State* L, int lo, int up) {
  while (lo < up) {
    // order lo, mid, up; the median becomes the pivot
    lua_rawgeti(L, 1, lo);
    lua_rawgeti(L, 1, up);
    if (SortLess(L, -1, -2)) SwapSet(L, lo, up);
    else lua_pop(L, 2);
    if (up - lo == 1) return;
    int mid = lo + (up - lo) / 2;
    lua_rawgeti(L, 1, mid);
    lua_rawgeti(L, 1, lo);
    if (SortLess(L, -2, -1)) {
      SwapSet(L, mid, lo);
    } else {
      lua_pop(L, 1);
      lua_rawgeti(L, 1, up);
      if (SortLess(L, -1, -2)) SwapSet(L, mid, up);
      else lua_pop(L, 2);
    }
    if (up - lo == 2) return;
    lua_rawgeti(L, 1, mid);  // pivot P
    lua_pushvalue(L, -1);
    lua_rawgeti(L, 1, up - 1);
    SwapSet(L, mid, up - 1);  // the pivot waits at up-1
    int i = lo, j = up - 1;
    for (;;) {
      // a[i] < P and P < a[j] move the cursors; running past the ends means the order
      // function is inconsistent
      while (lua_rawgeti(L, 1, ++i), SortLess(L, -1, -2)) {
        if (i >= up) luaL_error(L, "invalid order function for sorting");
        lua_pop(L, 1);
      }
      while (lua_rawgeti(L, 1, --j), SortLess(L, -3, -1)) {
        if (j <= lo) luaL_error(L, "invalid order function for sorting");
        lua_pop(L, 1);
      }
      if (j < i) {
        lua_pop(L, 3);  // a[i], a[j] and the pivot
        lua_rawgeti(L, 1, up - 1);
        lua_rawgeti(L, 1, i);
        SwapSet(L, up - 1, i);
        break;
      }
      SwapSet(L, i, j);
    }
    // recurse into the smaller part, loop on the larger
    if (i - lo < up - i) {
      SortRange(L, lo, i - 1);
      lo = i + 1;
    } else {
      SortRange(L, i + 1, up);
      up = i - 1;
    }
  }
}

int TabSort(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  int n = luaL_getn(L, 1);
  luaL_checkstack(L, 40, "");
  if (!lua_isnoneornil(L, 2)) luaL_checktype(L, 2, LUA_TFUNCTION);
  lua_settop(L, 2);
  SortRange(L, 1, n);
  return 0;
}

const luaL_reg kTableFuncs[] = {
    {"concat", TabConcat},
    {"foreach", TabForeach},
    {"foreachi", TabForeachi},
    {"getn", TabGetn},
    {"setn", TabSetn},
    {"sort", TabSort},
    {"insert", TabInsert},
    {"remove", TabRemove},
    {nullptr, nullptr},
};

}  // namespace

LUALIB_API int luaopen_table(lua_State* L) {
  luaL_openlib(L, LUA_TABLIBNAME, kTableFuncs, 0);
  return 1;
}
