// Auxiliary library: the helpers every library and host uses to check arguments, raise errors,
// build strings and load chunks.
#include "lauxlib.h"

#include "core/lua/lib_support.h"
#include "core/lua/state.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The argument at a positive index below the top, read in place; null for any other index,
// which the public calls then handle.
inline const luai::TValue* ArgSlot(lua_State* L, int narg) {
  if (narg <= 0) return nullptr;
  const luai::TValue* o = L->base + (narg - 1);
  return o < L->top ? o : nullptr;
}

// Pseudo-indices and upvalue indices are already absolute; stack-relative ones are made so.
int AbsIndex(lua_State* L, int i) {
  return (i > 0 || i <= LUA_REGISTRYINDEX) ? i : lua_gettop(L) + i + 1;
}

// Free-list head of a reference table lives at integer key 0.
constexpr int kFreeListRef = 0;

}  // namespace

// ---- errors and argument checks -----------------------------------------------------------

LUALIB_API int luaL_argerror(lua_State* L, int narg, const char* extramsg) {
  lua_Debug ar;
  if (!lua_getstack(L, 0, &ar)) return luaL_error(L, "bad argument #%d (%s)", narg, extramsg);
  lua_getinfo(L, "n", &ar);
  if (ar.namewhat != nullptr && std::strcmp(ar.namewhat, "method") == 0) {
    narg--;  // the receiver is not counted as an argument
    if (narg == 0)
      return luaL_error(L, "calling `%s' on bad self (%s)", ar.name ? ar.name : "?", extramsg);
  }
  return luaL_error(L, "bad argument #%d to `%s' (%s)", narg, ar.name ? ar.name : "?", extramsg);
}

LUALIB_API int luaL_typerror(lua_State* L, int narg, const char* tname) {
  const char* msg =
      lua_pushfstring(L, "%s expected, got %s", tname, lua_typename(L, lua_type(L, narg)));
  return luaL_argerror(L, narg, msg);
}

LUALIB_API void luaL_where(lua_State* L, int level) {
  lua_Debug ar;
  if (lua_getstack(L, level, &ar)) {
    lua_getinfo(L, "Sl", &ar);
    if (ar.currentline > 0) {
      lua_pushfstring(L, "%s:%d: ", ar.short_src, ar.currentline);
      return;
    }
  }
  lua_pushstring(L, "");
}

LUALIB_API int luaL_error(lua_State* L, const char* fmt, ...) {
  va_list argp;
  va_start(argp, fmt);
  luaL_where(L, 1);
  lua_pushvfstring(L, fmt, argp);
  va_end(argp);
  lua_concat(L, 2);
  return lua_error(L);
}

LUALIB_API void luaL_checkstack(lua_State* L, int space, const char* mes) {
  if (!lua_checkstack(L, space)) luaL_error(L, "stack overflow (%s)", mes);
}

LUALIB_API void luaL_checktype(lua_State* L, int narg, int t) {
  const luai::TValue* o = ArgSlot(L, narg);
  if (o != nullptr && o->tt == t) return;
  if (lua_type(L, narg) != t) luaL_typerror(L, narg, lua_typename(L, t));
}

LUALIB_API void luaL_checkany(lua_State* L, int narg) {
  if (ArgSlot(L, narg) != nullptr) return;
  if (lua_type(L, narg) == LUA_TNONE) luaL_argerror(L, narg, "value expected");
}

namespace {

// The slow halves of the checks below: any index, conversions and errors. Kept out of line so
// that the common case (a value of the right type at a positive index) needs no stack frame.
[[gnu::noinline]] const char* CheckStringSlow(lua_State* L, int narg, size_t* len) {
  const char* s = lua_tostring(L, narg);
  if (s == nullptr) {
    luaL_typerror(L, narg, "string");
    return nullptr;
  }
  if (len) *len = lua_strlen(L, narg);
  return s;
}

[[gnu::noinline]] lua_Number CheckNumberSlow(lua_State* L, int narg) {
  lua_Number d = lua_tonumber(L, narg);
  if (d == 0 && !lua_isnumber(L, narg)) luaL_typerror(L, narg, "number");
  return d;
}

}  // namespace

LUALIB_API const char* luaL_checklstring(lua_State* L, int narg, size_t* len) {
  const luai::TValue* o = ArgSlot(L, narg);
  if (o == nullptr || !luai::ttisstring(o)) return CheckStringSlow(L, narg, len);
  if (len) *len = luai::tsvalue(o)->len;
  return luai::tsvalue(o)->data();
}

LUALIB_API const char* luaL_optlstring(lua_State* L, int narg, const char* def, size_t* len) {
  const luai::TValue* o = ArgSlot(L, narg);
  if (o != nullptr ? luai::ttisnil(o) : lua_isnoneornil(L, narg)) {
    if (len) *len = def ? std::strlen(def) : 0;
    return def;
  }
  return luaL_checklstring(L, narg, len);
}

LUALIB_API lua_Number luaL_checknumber(lua_State* L, int narg) {
  const luai::TValue* o = ArgSlot(L, narg);
  if (o != nullptr && luai::ttisnumber(o)) return luai::nvalue(o);
  return CheckNumberSlow(L, narg);
}

LUALIB_API lua_Number luaL_optnumber(lua_State* L, int narg, lua_Number def) {
  const luai::TValue* o = ArgSlot(L, narg);
  if (o != nullptr && luai::ttisnumber(o)) return luai::nvalue(o);
  if (lua_isnoneornil(L, narg)) return def;
  return CheckNumberSlow(L, narg);
}

LUALIB_API int luaL_findstring(const char* name, const char* const list[]) {
  for (int i = 0; list[i] != nullptr; i++)
    if (std::strcmp(list[i], name) == 0) return i;
  return -1;
}

// ---- metatables ---------------------------------------------------------------------------

LUALIB_API int luaL_newmetatable(lua_State* L, const char* tname) {
  lua_pushstring(L, tname);
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (!lua_isnil(L, -1)) return 0;  // already made: leave it on the stack
  lua_pop(L, 1);
  lua_newtable(L);
  lua_pushstring(L, tname);
  lua_pushvalue(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);  // registry[tname] = mt
  lua_pushvalue(L, -1);
  lua_pushstring(L, tname);
  lua_rawset(L, LUA_REGISTRYINDEX);  // registry[mt] = tname
  return 1;
}

LUALIB_API void luaL_getmetatable(lua_State* L, const char* tname) {
  lua_pushstring(L, tname);
  lua_rawget(L, LUA_REGISTRYINDEX);
}

LUALIB_API void* luaL_checkudata(lua_State* L, int ud, const char* tname) {
  ud = AbsIndex(L, ud);
  if (!lua_getmetatable(L, ud)) return nullptr;
  lua_rawget(L, LUA_REGISTRYINDEX);  // the name the metatable was registered under
  const char* name = lua_tostring(L, -1);
  bool same = name != nullptr && std::strcmp(name, tname) == 0;
  lua_pop(L, 1);
  return same ? lua_touserdata(L, ud) : nullptr;
}

LUALIB_API int luaL_getmetafield(lua_State* L, int obj, const char* event) {
  if (!lua_getmetatable(L, obj)) return 0;
  lua_pushstring(L, event);
  lua_rawget(L, -2);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 2);
    return 0;
  }
  lua_remove(L, -2);
  return 1;
}

LUALIB_API int luaL_callmeta(lua_State* L, int obj, const char* event) {
  obj = AbsIndex(L, obj);
  if (!luaL_getmetafield(L, obj, event)) return 0;
  lua_pushvalue(L, obj);
  lua_call(L, 1, 1);
  return 1;
}

LUALIB_API void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup) {
  if (libname) {
    lua_pushstring(L, libname);
    lua_gettable(L, LUA_GLOBALSINDEX);
    if (lua_isnil(L, -1)) {
      lua_pop(L, 1);
      lua_newtable(L);
      lua_pushstring(L, libname);
      lua_pushvalue(L, -2);
      lua_settable(L, LUA_GLOBALSINDEX);
    }
    lua_insert(L, -(nup + 1));  // library table goes below the upvalues
  }
  for (; l->name; l++) {
    lua_pushstring(L, l->name);
    for (int i = 0; i < nup; i++) lua_pushvalue(L, -(nup + 1));
    lua_pushcclosure(L, l->func, nup);
    lua_settable(L, -(nup + 3));
  }
  lua_pop(L, nup);
}

// ---- table sizes --------------------------------------------------------------------------

LUALIB_API int luaL_getn(lua_State* L, int t) {
  t = AbsIndex(L, t);
  int n = tv_lua::TableSize(L, t);
  // No recorded size: count the elements up to the first nil.
  return n >= 0 ? n : tv_lua::CountToFirstNil(L, t);
}

LUALIB_API void luaL_setn(lua_State* L, int t, int n) {
  t = AbsIndex(L, t);
  if (tv_lua::SetTableSize(L, t, n)) return;
  // Neither an "n" field nor a sizes table: the first size recorded makes the table, with
  // weak keys so that sized tables can still be collected.
  tv_lua::PushRegistryTable(L, tv_lua::kSizesKey, "k");
  lua_pushvalue(L, t);
  lua_pushnumber(L, static_cast<lua_Number>(n));
  lua_rawset(L, -3);
  lua_pop(L, 1);
}

// ---- references ---------------------------------------------------------------------------

LUALIB_API int luaL_ref(lua_State* L, int t) {
  t = AbsIndex(L, t);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return LUA_REFNIL;
  }
  lua_rawgeti(L, t, kFreeListRef);
  int ref = static_cast<int>(lua_tonumber(L, -1));
  lua_pop(L, 1);
  if (ref > 0) {  // reuse a freed slot: unlink it from the free list
    lua_rawgeti(L, t, ref);
    lua_rawseti(L, t, kFreeListRef);
  } else {
    ref = luaL_getn(L, t) + 1;
    luaL_setn(L, t, ref);
  }
  lua_rawseti(L, t, ref);
  return ref;
}

LUALIB_API void luaL_unref(lua_State* L, int t, int ref) {
  if (ref < 0) return;
  t = AbsIndex(L, t);
  lua_rawgeti(L, t, kFreeListRef);
  lua_rawseti(L, t, ref);  // t[ref] = old free-list head
  lua_pushnumber(L, static_cast<lua_Number>(ref));
  lua_rawseti(L, t, kFreeListRef);
}

// ---- string buffers -----------------------------------------------------------------------

namespace {

constexpr int kBufferMaxPieces = 16;

size_t BufferUsed(const luaL_Buffer* B) { return static_cast<size_t>(B->p - B->buffer); }

// Pushes what the buffer holds as a new piece; false when it was empty.
bool FlushBuffer(luaL_Buffer* B) {
  size_t n = BufferUsed(B);
  if (n == 0) return false;
  lua_pushlstring(B->L, B->buffer, n);
  B->p = B->buffer;
  B->lvl++;
  return true;
}

// Keeps the pieces on the stack few: a piece is merged into the one below while that one is
// not longer, and everything is merged when there are too many.
void MergePieces(luaL_Buffer* B) {
  lua_State* L = B->L;
  while (B->lvl > 1) {
    size_t top = lua_strlen(L, -1);
    size_t below = lua_strlen(L, -2);
    if (B->lvl <= kBufferMaxPieces && below > top) break;
    int merge = B->lvl > kBufferMaxPieces ? B->lvl : 2;
    lua_concat(L, merge);
    B->lvl -= merge - 1;
  }
}

}  // namespace

LUALIB_API void luaL_buffinit(lua_State* L, luaL_Buffer* B) {
  B->L = L;
  B->p = B->buffer;
  B->lvl = 0;
}

LUALIB_API char* luaL_prepbuffer(luaL_Buffer* B) {
  if (FlushBuffer(B)) MergePieces(B);
  return B->buffer;
}

LUALIB_API void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l) {
  while (l > 0) {
    size_t room = LUAL_BUFFERSIZE - BufferUsed(B);
    if (room == 0) {
      luaL_prepbuffer(B);
      continue;
    }
    size_t n = l < room ? l : room;
    std::memcpy(B->p, s, n);
    B->p += n;
    s += n;
    l -= n;
  }
}

LUALIB_API void luaL_addstring(luaL_Buffer* B, const char* s) { luaL_addlstring(B, s, std::strlen(s)); }

LUALIB_API void luaL_pushresult(luaL_Buffer* B) {
  FlushBuffer(B);
  if (B->lvl == 0) {
    lua_pushlstring(B->L, "", 0);
    return;
  }
  lua_concat(B->L, B->lvl);
  B->lvl = 1;
}

LUALIB_API void luaL_addvalue(luaL_Buffer* B) {
  lua_State* L = B->L;
  size_t vl = 0;
  const char* s = lua_tostring(L, -1);
  if (s) vl = lua_strlen(L, -1);
  if (s && vl <= LUAL_BUFFERSIZE - BufferUsed(B)) {
    std::memcpy(B->p, s, vl);
    B->p += vl;
    lua_pop(L, 1);
    return;
  }
  // Too long for the buffer: the buffered bytes go below the value, which becomes a piece.
  if (FlushBuffer(B)) lua_insert(L, -2);
  B->lvl++;
  MergePieces(B);
}

// ---- loading ------------------------------------------------------------------------------

namespace {

struct MemoryReader {
  const char* data;
  size_t size;
};

const char* ReadMemory(lua_State*, void* ud, size_t* size) {
  auto* r = static_cast<MemoryReader*>(ud);
  if (r->size == 0) return nullptr;
  *size = r->size;
  r->size = 0;
  return r->data;
}

bool ReadWholeFile(std::FILE* f, std::string& out) {
  char chunk[8192];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, n);
  return !std::ferror(f);
}

}  // namespace

LUALIB_API int luaL_loadbuffer(lua_State* L, const char* buff, size_t size, const char* name) {
  MemoryReader r{buff, size};
  return lua_load(L, ReadMemory, &r, name);
}

namespace {

const char kFileFuncsKey[] = "tv.filefuncs";

const luaL_FileFuncs* FileFuncs(lua_State* L) {
  lua_pushstring(L, kFileFuncsKey);
  lua_rawget(L, LUA_REGISTRYINDEX);
  const void* p = lua_touserdata(L, -1);
  lua_pop(L, 1);
  return static_cast<const luaL_FileFuncs*>(p);
}

// A first line starting with '#' is a shell line; keep its newline so line numbers hold.
int LoadText(lua_State* L, const std::string& text, const std::string& chunkname) {
  size_t start = 0;
  if (!text.empty() && text[0] == '#') {
    start = text.find('\n');
    if (start == std::string::npos) start = text.size();
  }
  return luaL_loadbuffer(L, text.data() + start, text.size() - start, chunkname.c_str());
}

}  // namespace

LUALIB_API void luaL_setfilefuncs(lua_State* L, const luaL_FileFuncs* funcs) {
  lua_pushstring(L, kFileFuncsKey);
  if (funcs) lua_pushlightuserdata(L, const_cast<luaL_FileFuncs*>(funcs));
  else lua_pushnil(L);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

LUALIB_API int luaL_loadfile(lua_State* L, const char* filename) {
  const luaL_FileFuncs* funcs = filename ? FileFuncs(L) : nullptr;
  if (funcs) {
    std::string chunkname = std::string("@") + filename;
    void* file = funcs->open(filename);
    if (file == nullptr) {
      lua_pushfstring(L, "cannot open %s", filename);
      return LUA_ERRFILE;
    }
    std::string text;
    char piece[8192];
    size_t n;
    while ((n = funcs->read(file, piece, sizeof piece)) > 0) text.append(piece, n < sizeof piece ? n : sizeof piece);
    funcs->close(file);
    return LoadText(L, text, chunkname);
  }
  std::FILE* f = filename ? std::fopen(filename, "rb") : stdin;
  std::string chunkname = filename ? std::string("@") + filename : std::string("=stdin");
  if (f == nullptr) {
    lua_pushfstring(L, "cannot open %s: %s", filename, std::strerror(errno));
    return LUA_ERRFILE;
  }
  std::string text;
  bool ok = ReadWholeFile(f, text);
  int err = errno;
  if (f != stdin) std::fclose(f);
  if (!ok) {
    lua_pushfstring(L, "cannot read %s: %s", chunkname.c_str() + 1, std::strerror(err));
    return LUA_ERRFILE;
  }
  return LoadText(L, text, chunkname);
}

// ---- running ------------------------------------------------------------------------------

namespace {

// Hands an error message to the global _ALERT, or to stderr when there is none.
void ReportError(lua_State* L, int status) {
  if (status == 0) return;
  lua_pushstring(L, "_ALERT");
  lua_gettable(L, LUA_GLOBALSINDEX);
  if (lua_isfunction(L, -1)) {
    lua_insert(L, -2);
    lua_call(L, 1, 0);
  } else {
    const char* msg = lua_tostring(L, -2);
    std::fprintf(stderr, "%s\n", msg ? msg : "(error object is not a string)");
    lua_pop(L, 2);
  }
}

int LoadAndRun(lua_State* L, int status) {
  if (status == 0) status = lua_pcall(L, 0, LUA_MULTRET, 0);
  ReportError(L, status);
  return status;
}

}  // namespace

LUALIB_API int lua_dofile(lua_State* L, const char* filename) {
  return LoadAndRun(L, luaL_loadfile(L, filename));
}

LUALIB_API int lua_dobuffer(lua_State* L, const char* buff, size_t size, const char* name) {
  return LoadAndRun(L, luaL_loadbuffer(L, buff, size, name));
}

LUALIB_API int lua_dostring(lua_State* L, const char* str) {
  return lua_dobuffer(L, str, std::strlen(str), str);
}
