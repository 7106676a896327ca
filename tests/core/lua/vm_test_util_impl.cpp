#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/lua/vm_test_util.h"

namespace vmtest {

namespace {

struct PieceReader {
  const std::string* text;
  size_t pos = 0;
};

const char* ReadPiece(lua_State*, void* ud, size_t* size) {
  PieceReader* r = static_cast<PieceReader*>(ud);
  if (r->pos >= r->text->size()) {
    *size = 0;
    return nullptr;
  }
  size_t n = std::min<size_t>(7, r->text->size() - r->pos);  // small pieces exercise refills
  const char* p = r->text->data() + r->pos;
  r->pos += n;
  *size = n;
  return p;
}

std::string ToText(lua_State* L, int idx) {
  switch (lua_type(L, idx)) {
    case LUA_TNIL: return "nil";
    case LUA_TBOOLEAN: return lua_toboolean(L, idx) ? "true" : "false";
    case LUA_TNUMBER: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.14g", lua_tonumber(L, idx));
      return buf;
    }
    case LUA_TSTRING: return std::string(lua_tostring(L, idx), lua_strlen(L, idx));
    default: return lua_typename(L, lua_type(L, idx));
  }
}

int Check(lua_State* L) {
  if (!lua_toboolean(L, 1)) {
    lua_pushstring(L, lua_isstring(L, 2) ? lua_tostring(L, 2) : "check failed");
    return lua_error(L);
  }
  return 0;
}

int Yield(lua_State* L) { return lua_yield(L, lua_gettop(L)); }

int GetMeta(lua_State* L) {
  if (!lua_getmetatable(L, 1)) lua_pushnil(L);
  return 1;
}

int SetMeta(lua_State* L) {
  lua_settop(L, 2);
  lua_setmetatable(L, 1);
  lua_settop(L, 1);
  return 1;
}

int Collect(lua_State* L) {
  lua_setgcthreshold(L, 0);
  return 0;
}

int Next(lua_State* L) {
  lua_settop(L, 2);
  if (lua_next(L, 1)) return 2;
  lua_pushnil(L);
  return 1;
}

int PCall(lua_State* L) {
  int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
  lua_pushboolean(L, status == 0);
  lua_insert(L, 1);
  return lua_gettop(L);
}

int ToStr(lua_State* L) {
  std::string s = ToText(L, 1);
  lua_pushlstring(L, s.data(), s.size());
  return 1;
}

int Error(lua_State* L) {
  lua_settop(L, 1);
  return lua_error(L);
}

int RawLen(lua_State* L) {
  int n = 0;
  while (true) {
    lua_rawgeti(L, 1, n + 1);
    bool nil = lua_isnil(L, -1);
    lua_pop(L, 1);
    if (nil) break;
    n++;
  }
  lua_pushnumber(L, n);
  return 1;
}

int Pow(lua_State* L) {
  double r = 1, b = lua_tonumber(L, 1);
  for (int i = 0; i < static_cast<int>(lua_tonumber(L, 2)); i++) r *= b;
  lua_pushnumber(L, r);
  return 1;
}

}  // namespace

lua_State* OpenState() {
  lua_State* L = lua_open();
  lua_register(L, "check", Check);
  lua_register(L, "yield", Yield);
  lua_register(L, "getmeta", GetMeta);
  lua_register(L, "setmeta", SetMeta);
  lua_register(L, "collect", Collect);
  lua_register(L, "next", Next);
  lua_register(L, "pcall", PCall);
  lua_register(L, "tostr", ToStr);
  lua_register(L, "error", Error);
  lua_register(L, "len", RawLen);
  lua_register(L, "__pow", Pow);
  return L;
}

int LoadString(lua_State* L, const std::string& code, const char* name) {
  PieceReader r{&code};
  return lua_load(L, ReadPiece, &r, name);
}

std::string Run(lua_State* L, const std::string& code) {
  int top = lua_gettop(L);
  int status = LoadString(L, code);
  if (status == 0) status = lua_pcall(L, 0, 0, 0);
  std::string msg;
  if (status != 0) msg = lua_isstring(L, -1) ? lua_tostring(L, -1) : "(error object)";
  lua_settop(L, top);
  return msg;
}

std::string Eval(lua_State* L, const std::string& code) {
  int top = lua_gettop(L);
  int status = LoadString(L, code);
  if (status == 0) status = lua_pcall(L, 0, 1, 0);
  std::string out = status == 0 ? ToText(L, -1) : std::string("error: ") + ToText(L, -1);
  lua_settop(L, top);
  return out;
}

static int WriteChunk(lua_State*, const void* p, size_t sz, void* ud) {
  static_cast<std::string*>(ud)->append(static_cast<const char*>(p), sz);
  return 0;
}

std::string Dump(lua_State* L) {
  std::string out;
  lua_dump(L, WriteChunk, &out);
  return out;
}

void* CountingAlloc(void* ud, void* p, size_t osize, size_t nsize) {
  AllocCount* c = static_cast<AllocCount*>(ud);
  c->calls++;
  c->liveBytes += nsize;
  if (p) c->liveBytes -= osize;
  if (nsize == 0) {
    if (p) c->liveBlocks--;
    std::free(p);
    return nullptr;
  }
  if (!p) c->liveBlocks++;
  return std::realloc(p, nsize);
}

}  // namespace vmtest
