// The C API over the core.
#include <cstdio>

#include "core/lua/call.h"
#include "core/lua/closure.h"
#include "core/lua/debug_info.h"
#include "core/lua/dump.h"
#include "core/lua/gc.h"
#include "core/lua/lib_support.h"
#include "core/lua/metamethod.h"
#include "core/lua/parser.h"
#include "core/lua/str_table.h"
#include "core/lua/table.h"
#include "core/lua/vm.h"
#include "lauxlib.h"

using namespace luai;

namespace {

// Upvalue n of the running C function, or null.
TValue* upvalueSlot(lua_State* L, int n) {
  TValue* func = L->ci->func;
  if (L->ci == L->base_ci || !ttisfunction(func) || !clvalue(func)->isC) return nullptr;
  CClosure* cl = cclvalue(func);
  return n <= cl->nupvalues ? &cl->upvalue[n - 1] : nullptr;
}

// Address of an acceptable index, or null when the index is not valid.
inline TValue* index2adrOrNull(lua_State* L, int idx) {
  if (idx > 0) {
    TValue* o = L->base + (idx - 1);
    return o >= L->top ? nullptr : o;
  }
  if (idx > LUA_REGISTRYINDEX) return L->top + idx;
  if (idx < LUA_GLOBALSINDEX) return upvalueSlot(L, LUA_GLOBALSINDEX - idx);
  return idx == LUA_REGISTRYINDEX ? &L->g->registry : &L->gt;
}

inline TValue* index2adr(lua_State* L, int idx) {
  TValue* o = index2adrOrNull(L, idx);
  return o ? o : const_cast<TValue*>(&nilobject);
}

[[gnu::noinline]] TValue* pushSlotGrowing(lua_State* L) {
  growStack(L, 1);
  return L->top++;
}

inline TValue* pushSlot(lua_State* L) {
  if (__builtin_expect(L->top >= L->stack_last, 0)) return pushSlotGrowing(L);
  return L->top++;
}

Table* currentEnv(lua_State* L) {
  if (L->ci == L->base_ci) return gtable(L);
  TValue* func = L->ci->func;
  if (ttisfunction(func) && clvalue(func)->env) return clvalue(func)->env;
  return gtable(L);
}

void adjustResults(lua_State* L, int nres) {
  if (nres == LUA_MULTRET && L->top >= L->ci->top) L->ci->top = L->top;
}

}  // namespace

LUA_API lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf) {
  lua_CFunction old = L->g->panic;
  L->g->panic = panicf;
  return old;
}

LUA_API lua_CFunction lua_atexit(lua_State* L, lua_CFunction exitf) {
  lua_CFunction old = L->g->exitf;
  L->g->exitf = exitf;
  return old;
}

LUA_API lua_State* lua_newthread(lua_State* L) {
  lua_State* L1 = newThread(L);
  setthread(pushSlot(L), L1);
  checkGC(L);
  return L1;
}

LUA_API int lua_gettop(lua_State* L) { return static_cast<int>(L->top - L->base); }

LUA_API void lua_settop(lua_State* L, int idx) {
  if (idx >= 0) {
    TValue* target = L->base + idx;
    if (target > L->stack_last) {
      checkStack(L, static_cast<int>(target - L->top));
      target = L->base + idx;
    }
    while (L->top < target) setnil(L->top++);
    L->top = target;
  } else {
    L->top += idx + 1;
  }
}

LUA_API void lua_remove(lua_State* L, int idx) {
  TValue* p = index2adr(L, idx);
  while (++p < L->top) p[-1] = *p;
  L->top--;
}

LUA_API void lua_insert(lua_State* L, int idx) {
  TValue* p = index2adr(L, idx);
  for (TValue* q = L->top; q > p; q--) *q = q[-1];
  *p = *L->top;
}

LUA_API void lua_replace(lua_State* L, int idx) {
  if (idx == LUA_GLOBALSINDEX) {
    if (ttistable(L->top - 1)) L->gt = L->top[-1];
  } else {
    *index2adr(L, idx) = L->top[-1];
  }
  L->top--;
}

LUA_API void lua_pushvalue(lua_State* L, int idx) {
  TValue v = *index2adr(L, idx);
  *pushSlot(L) = v;
}

namespace {

// The growing half of lua_checkstack, kept out of line so the common case stays small.
[[gnu::noinline]] int growForCheck(lua_State* L, int size) {
  if (size < 0 || (L->top - L->base) + size > kMaxStack - 1000) return 0;
  try {
    checkStack(L, size);
  } catch (const LuaError&) {
    return 0;
  }
  if (L->ci->top < L->top + size) L->ci->top = L->top + size;
  return 1;
}

inline int checkStackRoom(lua_State* L, int size) {
  if (size >= 0 && size < L->stack_last - L->top && (L->top - L->base) + size <= kMaxStack - 1000) {
    if (L->ci->top < L->top + size) L->ci->top = L->top + size;
    return 1;
  }
  return growForCheck(L, size);
}

}  // namespace

LUA_API int lua_checkstack(lua_State* L, int size) { return checkStackRoom(L, size); }

namespace {
// Moves n values from the top of `from` to the top of `to`, which has room for them.
inline void moveValues(lua_State* from, lua_State* to, int n) {
  TValue* src = from->top - n;
  TValue* dst = to->top;
  for (int i = 0; i < n; i++) dst[i] = src[i];
  from->top = src;
  to->top = dst + n;
}
}  // namespace

LUA_API void lua_xmove(lua_State* from, lua_State* to, int n) {
  if (from == to || n <= 0) return;
  checkStack(to, n);
  moveValues(from, to, n);
}

LUA_API int lua_type(lua_State* L, int idx) {
  TValue* o = index2adrOrNull(L, idx);
  return o ? o->tt : LUA_TNONE;
}

LUA_API const char* lua_typename(lua_State*, int t) {
  if (t == LUA_TNONE) return "no value";
  if (t < 0 || t > LUA_TWSTRING) return "?";
  return typenames[t];
}

LUA_API int lua_iscfunction(lua_State* L, int idx) {
  TValue* o = index2adrOrNull(L, idx);
  return o && ttisfunction(o) && clvalue(o)->isC;
}

LUA_API int lua_isnumber(lua_State* L, int idx) {
  TValue n;
  TValue* o = index2adrOrNull(L, idx);
  return o && toNumber(o, &n) != nullptr;
}

LUA_API int lua_isstring(lua_State* L, int idx) {
  int t = lua_type(L, idx);
  return t == LUA_TSTRING || t == LUA_TNUMBER;
}

LUA_API int lua_isuserdata(lua_State* L, int idx) {
  int t = lua_type(L, idx);
  return t == LUA_TUSERDATA || t == LUA_TLIGHTUSERDATA;
}

LUA_API int lua_rawequal(lua_State* L, int index1, int index2) {
  TValue* o1 = index2adrOrNull(L, index1);
  TValue* o2 = index2adrOrNull(L, index2);
  return o1 && o2 && rawequalObj(o1, o2);
}

LUA_API int lua_equal(lua_State* L, int index1, int index2) {
  TValue* o1 = index2adrOrNull(L, index1);
  TValue* o2 = index2adrOrNull(L, index2);
  if (!o1 || !o2) return 0;
  TValue a = *o1, b = *o2;
  return equalObj(L, &a, &b);
}

LUA_API int lua_lessthan(lua_State* L, int index1, int index2) {
  TValue* o1 = index2adrOrNull(L, index1);
  TValue* o2 = index2adrOrNull(L, index2);
  if (!o1 || !o2) return 0;
  if (ttisnumber(o1) && ttisnumber(o2)) return nvalue(o1) < nvalue(o2);
  TValue a = *o1, b = *o2;
  return lessThan(L, &a, &b);
}

LUA_API lua_Number lua_tonumber(lua_State* L, int idx) {
  TValue n;
  const TValue* o = toNumber(index2adr(L, idx), &n);
  return o ? nvalue(o) : 0;
}

LUA_API int lua_toboolean(lua_State* L, int idx) { return !isfalse(index2adr(L, idx)); }

LUA_API const char* lua_tostring(lua_State* L, int idx) {
  TValue* o = index2adrOrNull(L, idx);
  if (o == nullptr) return nullptr;
  if (ttisstring(o)) return tsvalue(o)->data();
  if (toStringInPlace(L, o)) return tsvalue(o)->data();
  return nullptr;
}

LUA_API size_t lua_strlen(lua_State* L, int idx) {
  TValue* o = index2adrOrNull(L, idx);
  if (o == nullptr) return 0;
  if (ttisstring(o)) return tsvalue(o)->len;
  if (toStringInPlace(L, o)) return tsvalue(o)->len;
  return 0;
}

LUA_API lua_CFunction lua_tocfunction(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  return (ttisfunction(o) && clvalue(o)->isC) ? cclvalue(o)->f : nullptr;
}

LUA_API void* lua_touserdata(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  switch (o->tt) {
    case LUA_TUSERDATA: return uvalue(o)->isbox ? uvalue(o)->boxed : uvalue(o)->payload();
    case LUA_TLIGHTUSERDATA: return o->v.p;
    default: return nullptr;
  }
}

LUA_API lua_State* lua_tothread(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  return ttisthread(o) ? thvalue(o) : nullptr;
}

LUA_API const void* lua_topointer(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  switch (o->tt) {
    case LUA_TTABLE:
    case LUA_TFUNCTION:
    case LUA_TTHREAD: return o->v.gc;
    case LUA_TUSERDATA:
    case LUA_TLIGHTUSERDATA: return lua_touserdata(L, idx);
    default: return nullptr;
  }
}

LUA_API void lua_pushnil(lua_State* L) { setnil(pushSlot(L)); }

LUA_API void lua_pushnumber(lua_State* L, lua_Number n) { setnum(pushSlot(L), n); }

LUA_API void lua_pushlstring(lua_State* L, const char* s, size_t len) {
  TString* ts = newLStr(L, s, len);
  setstr(pushSlot(L), ts);
  checkGC(L);
}

LUA_API void lua_pushstring(lua_State* L, const char* s) {
  if (s == nullptr)
    lua_pushnil(L);
  else
    lua_pushlstring(L, s, std::strlen(s));
}

LUA_API const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp) {
  const char* ret = pushVFString(L, fmt, argp);
  checkGC(L);
  return ret;
}

LUA_API const char* lua_pushfstring(lua_State* L, const char* fmt, ...) {
  va_list argp;
  va_start(argp, fmt);
  const char* ret = pushVFString(L, fmt, argp);
  va_end(argp);
  checkGC(L);
  return ret;
}

LUA_API void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n) {
  CClosure* cl = newCClosure(L, n, currentEnv(L));
  cl->f = fn;
  L->top -= n;
  for (int i = 0; i < n; i++) cl->upvalue[i] = L->top[i];
  setclosure(pushSlot(L), cl);
  checkGC(L);
}

LUA_API void lua_pushboolean(lua_State* L, int b) { setbool(pushSlot(L), b != 0); }

LUA_API void lua_pushlightuserdata(lua_State* L, void* p) { setpvalue(pushSlot(L), p); }

LUA_API void lua_gettable(lua_State* L, int idx) {
  TValue t = *index2adr(L, idx);
  getTable(L, &t, L->top - 1, L->top - 1);
}

LUA_API void lua_getfield(lua_State* L, int idx, const char* k) {
  TValue t = *index2adr(L, idx);
  TString* key = newStr(L, k);
  setstr(pushSlot(L), key);
  getTable(L, &t, L->top - 1, L->top - 1);
}

LUA_API void lua_rawget(lua_State* L, int idx) {
  TValue* t = index2adr(L, idx);
  L->top[-1] = *tableGet(hvalue(t), L->top - 1);
}

LUA_API void lua_rawgeti(lua_State* L, int idx, int n) {
  TValue* t = index2adr(L, idx);
  TValue v = *tableGetNum(hvalue(t), n);
  *pushSlot(L) = v;
}

int tv_lua::CountToFirstNil(lua_State* L, int idx) { return tableCountRun(hvalue(index2adr(L, idx))); }

namespace {
// The raw field "n" of t when it is a number (saturated to int), else -1.
int rawFieldN(lua_State* L, Table* t) {
  const TValue* v = tableGetStr(t, L->g->fixedtext[static_cast<int>(tv_lua::FixedText::kN)]);
  if (!ttisnumber(v)) return -1;
  lua_Number d = nvalue(v);
  return (d >= 0 && d < 2147483647.0) ? static_cast<int>(d) : (d < 0 ? -1 : 2147483647);
}

Table* sizesTable(lua_State* L) {
  const TValue* v = tableGetStr(registry(L), L->g->fixedtext[static_cast<int>(tv_lua::FixedText::kSizesKey)]);
  return ttistable(v) ? hvalue(v) : nullptr;
}
}  // namespace

int tv_lua::TableSize(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  Table* t = hvalue(o);
  int n = rawFieldN(L, t);
  if (n >= 0) return n;
  Table* sizes = sizesTable(L);
  if (sizes == nullptr) return -1;
  const TValue* v = tableGet(sizes, o);
  return ttisnumber(v) ? static_cast<int>(nvalue(v)) : -1;
}

bool tv_lua::SetTableSize(lua_State* L, int idx, int n) {
  TValue* o = index2adr(L, idx);
  Table* t = hvalue(o);
  if (rawFieldN(L, t) >= 0) {
    setnum(tableSetStr(L, t, L->g->fixedtext[static_cast<int>(tv_lua::FixedText::kN)]), n);
    return true;
  }
  Table* sizes = sizesTable(L);
  if (sizes == nullptr) return false;
  TValue key = *o;
  setnum(tableSet(L, sizes, &key), n);
  return true;
}

LUA_API void lua_newtable(lua_State* L) {
  settable(pushSlot(L), newTable(L, 0, 0));
  checkGC(L);
}

LUA_API void* lua_newuserdata(lua_State* L, size_t size) {
  Udata* u = newUdata(L, size);
  setudata(pushSlot(L), u);
  checkGC(L);
  return u->payload();
}

LUA_API int lua_getmetatable(lua_State* L, int objindex) {
  Table* mt = metatableOf(L, index2adr(L, objindex));
  if (mt == nullptr) return 0;
  settable(pushSlot(L), mt);
  return 1;
}

LUA_API void lua_getfenv(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  Table* env = isLfunction(o) ? clvalue(o)->env : gtable(L);
  settable(pushSlot(L), env);
}

LUA_API void lua_settable(lua_State* L, int idx) {
  TValue t = *index2adr(L, idx);
  setTable(L, &t, L->top - 2, L->top - 1);
  L->top -= 2;
}

LUA_API void lua_setfield(lua_State* L, int idx, const char* k) {
  TValue t = *index2adr(L, idx);
  TString* key = newStr(L, k);
  setstr(pushSlot(L), key);
  setTable(L, &t, L->top - 1, L->top - 2);
  L->top -= 2;
}

LUA_API void lua_rawset(lua_State* L, int idx) {
  TValue* t = index2adr(L, idx);
  *tableSet(L, hvalue(t), L->top - 2) = L->top[-1];
  L->top -= 2;
}

LUA_API void lua_rawseti(lua_State* L, int idx, int n) {
  TValue* t = index2adr(L, idx);
  *tableSetNum(L, hvalue(t), n) = L->top[-1];
  L->top--;
}

LUA_API int lua_setmetatable(lua_State* L, int objindex) {
  TValue* obj = index2adr(L, objindex);
  TValue* mt = L->top - 1;
  Table* m = ttisnil(mt) ? nullptr : (ttistable(mt) ? hvalue(mt) : nullptr);
  int res = 1;
  if (!ttisnil(mt) && !ttistable(mt)) {
    res = 0;
  } else {
    switch (obj->tt) {
      case LUA_TTABLE: hvalue(obj)->metatable = m; break;
      case LUA_TUSERDATA: uvalue(obj)->metatable = m; break;
      default: res = 0; break;
    }
  }
  L->top--;
  return res;
}

LUA_API int lua_setfenv(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  int res = 0;
  if (isLfunction(o) && ttistable(L->top - 1)) {
    clvalue(o)->env = hvalue(L->top - 1);
    res = 1;
  }
  L->top--;
  return res;
}

LUA_API void lua_call(lua_State* L, int nargs, int nresults) {
  TValue* func = L->top - (nargs + 1);
  callFunc(L, func, nresults);
  adjustResults(L, nresults);
}

namespace {
struct CallS {
  TValue* func;
  int nresults;
};
void fCall(lua_State* L, void* ud) {
  CallS* c = static_cast<CallS*>(ud);
  callFunc(L, c->func, c->nresults);
}
}  // namespace

LUA_API int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc) {
  ptrdiff_t func = 0;
  if (errfunc != 0) {
    TValue* o = index2adr(L, errfunc);
    func = savestack(L, o);
  }
  CallS c;
  c.func = L->top - (nargs + 1);
  c.nresults = nresults;
  int status = pcallRaw(L, fCall, &c, savestack(L, c.func), func);
  adjustResults(L, nresults);
  return status;
}

namespace {
struct CCallS {
  lua_CFunction func;
  void* ud;
};
void fCCall(lua_State* L, void* ud) {
  CCallS* c = static_cast<CCallS*>(ud);
  CClosure* cl = newCClosure(L, 0, gtable(L));
  cl->f = c->func;
  setclosure(pushSlot(L), cl);
  setpvalue(pushSlot(L), c->ud);
  callFunc(L, L->top - 2, 0);
}
}  // namespace

LUA_API int lua_cpcall(lua_State* L, lua_CFunction func, void* ud) {
  CCallS c{func, ud};
  return pcallRaw(L, fCCall, &c, savestack(L, L->top), 0);
}

namespace {
struct LoadS {
  ZIO* z;
  const char* name;
};
void fParser(lua_State* L, void* ud) {
  LoadS* p = static_cast<LoadS*>(ud);
  Proto* f;
  {
    GCBlock block(L);
    int c = p->z->lookahead();
    f = (c == '\033') ? undump(L, p->z, p->name) : parseChunk(L, p->z, p->name);
    LClosure* cl = newLClosure(L, f->nups, gtable(L));
    cl->p = f;
    for (int i = 0; i < f->nups; i++) {
      UpVal* uv = static_cast<UpVal*>(allocMem(L, sizeof(UpVal)));
      setnil(&uv->value);
      uv->v = &uv->value;
      uv->opennext = nullptr;
      linkObject(L, uv, TUPVAL);
      cl->upvals[i] = uv;
    }
    setclosure(pushSlot(L), cl);
  }
  checkGC(L);
}
}  // namespace

namespace luai {
int ZIO::lookahead() {
  if (n == 0) {
    int c = fill();
    if (c == -1) return -1;
    n++;
    p--;
  }
  return static_cast<unsigned char>(*p);
}
}  // namespace luai

LUA_API int lua_load(lua_State* L, lua_Chunkreader reader, void* data, const char* chunkname) {
  ZIO z{L, reader, data};
  LoadS p{&z, chunkname ? chunkname : "?"};
  return pcallRaw(L, fParser, &p, savestack(L, L->top), L->errfunc);
}

LUA_API int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data) {
  // 1 for a script function, 0 for anything else; the writer's results are not looked at
  TValue* o = L->top - 1;
  if (!isLfunction(o)) return 0;
  luaU_dump(L, lclvalue(o)->p, writer, data);
  return 1;
}

LUA_API int lua_yield(lua_State* L, int nresults) {
  if (L->nCcalls > L->baseCcalls || L->ci == L->base_ci)
    runError(L, "attempt to yield across metamethod/C-call boundary");
  L->base = L->top - nresults;
  L->suspended = 1;
  L->ci->callstatus |= CIST_YIELD;
  return -1;
}

LUA_API int lua_resume(lua_State* L, int nargs) {
  const char* msg = nullptr;
  // A state whose last run failed is dead, unless the caller has set up a new function on it
  // (a host that reuses its main state for the next script).
  if (L->errored && !L->suspended && L->ci == L->base_ci && nargs < L->top - L->base &&
      ttisfunction(L->top - nargs - 1))
    L->errored = 0;
  if (L->errored) {
    msg = "cannot resume dead coroutine";
  } else if (!L->suspended) {
    if (L->ci != L->base_ci)
      msg = "cannot resume non-suspended coroutine";
    else if (nargs >= L->top - L->base)
      msg = "cannot resume dead coroutine";
  }
  if (msg) {
    L->top -= nargs;
    setstr(pushSlot(L), newStr(L, msg));
    return LUA_ERRRUN;
  }
  return resumeThread(L, nargs);
}

int tv_lua::ResumeCoroutine(lua_State* L, lua_State* co, int narg) {
  bool dead = co->errored || (co->ci == co->base_ci && co->top == co->base);
  if (dead || co == L) {
    lua_pushstring(L, dead ? "cannot resume dead coroutine" : "cannot resume non-suspended coroutine");
    return -1;
  }
  if (!checkStackRoom(co, narg)) luaL_error(L, "too many arguments to resume");
  moveValues(L, co, narg);
  // lua_resume still refuses a coroutine that is resuming another
  int status = lua_resume(co, narg);
  if (status == 0) {
    int nres = static_cast<int>(co->top - co->base);
    if (!checkStackRoom(L, nres)) luaL_error(L, "too many results to resume");
    moveValues(co, L, nres);
    return nres;
  }
  checkStack(L, 1);
  moveValues(co, L, 1);
  return -1;
}

int tv_lua::ResumeWrapped(lua_State* L) {
  lua_State* co = thvalue(&cclvalue(L->ci->func)->upvalue[0]);
  return ResumeCoroutine(L, co, static_cast<int>(L->top - L->base));
}

LUA_API int lua_getgcthreshold(lua_State* L) { return static_cast<int>(L->g->gcthreshold >> 10); }

LUA_API int lua_getgccount(lua_State* L) { return static_cast<int>(L->g->totalbytes >> 10); }

LUA_API void lua_setgcthreshold(lua_State* L, int newthreshold) {
  if (newthreshold < 0) newthreshold = 0;
  L->g->gcthreshold = static_cast<size_t>(newthreshold) << 10;
  checkGC(L);
}

LUA_API const char* lua_version(void) { return LUA_VERSION; }

LUA_API int lua_error(lua_State* L) { errorMsg(L); }

LUA_API int lua_next(lua_State* L, int idx) {
  TValue* t = index2adr(L, idx);
  Table* h = hvalue(t);
  checkStack(L, 1);
  bool more = tableNext(L, h, L->top - 1);
  if (more)
    L->top++;
  else
    L->top--;
  return more;
}

LUA_API void lua_concat(lua_State* L, int n) {
  if (n >= 2) {
    concat(L, n, static_cast<int>(L->top - L->base) - 1);
    L->top -= (n - 1);
    checkGC(L);
  } else if (n == 0) {
    setstr(pushSlot(L), newLStr(L, "", 0));
    checkGC(L);
  }
}

LUA_API int lua_pushupvalues(lua_State* L) {
  TValue* func = L->ci->func;
  if (L->ci == L->base_ci || !ttisfunction(func) || !clvalue(func)->isC) return 0;
  CClosure* cl = cclvalue(func);
  int n = cl->nupvalues;
  checkStack(L, n + LUA_MINSTACK);
  cl = cclvalue(L->ci->func);
  for (int i = 0; i < n; i++) *L->top++ = cl->upvalue[i];
  return n;
}

LUA_API int lua_isyielded(lua_State* L) { return L->suspended != 0 && L->ci != L->base_ci; }

LUA_API int lua_diedinerror(lua_State* L) { return L->errored != 0; }

LUA_API const lua_WChar* lua_towstring(lua_State* L, int idx) {
  TValue* o = index2adrOrNull(L, idx);
  if (o == nullptr) return nullptr;
  if (ttiswstring(o) || luaV_towstring(L, o)) return tsvalue(o)->wdata();
  return nullptr;
}

LUA_API size_t lua_wstrlen(lua_State* L, int idx) {
  TValue* o = index2adrOrNull(L, idx);
  if (o == nullptr) return 0;
  if (ttiswstring(o) || luaV_towstring(L, o)) return tsvalue(o)->len;
  return 0;
}

LUA_API void lua_pushlwstring(lua_State* L, const lua_WChar* s, size_t len) {
  static_assert(sizeof(lua_WChar) == sizeof(uint16_t));
  TString* ts = newLWStr(L, reinterpret_cast<const uint16_t*>(s), len);
  setwstr(pushSlot(L), ts);
  checkGC(L);
}

LUA_API void lua_pushwstring(lua_State* L, const lua_WChar* s) {
  if (s == nullptr) {
    lua_pushnil(L);
    return;
  }
  size_t len = 0;
  while (s[len]) len++;
  lua_pushlwstring(L, s, len);
}

LUA_API void lua_newuserdatabox(lua_State* L, void* p) {
  Udata* u = newUdata(L, 0);
  u->isbox = 1;
  u->boxed = p;
  setudata(pushSlot(L), u);
  checkGC(L);
}

LUA_API void lua_getdefaultmetatable(lua_State* L, int type) {
  if (type < 0 || type >= NUM_TAGS) {
    lua_pushnil(L);
    return;
  }
  *pushSlot(L) = L->g->mtv[type];
}

LUA_API void lua_setdefaultmetatable(lua_State* L, int type) {
  TValue* v = L->top - 1;
  if (ttistable(v) && type > 0 && type < NUM_TAGS) setDefaultMT(L->g, type, hvalue(v));
  L->top--;
}

LUA_API int lua_getn(lua_State* L, int idx) {
  TValue* o = index2adr(L, idx);
  if (!ttistable(o)) return 0;
  Table* t = hvalue(o);
  const TValue* n = tableGetStr(t, newStr(L, "n"));
  if (ttisnumber(n)) return num2i32(nvalue(n));
  lua_Number best = 0;
  for (int i = t->sizearray; i > 0; i--) {
    if (!ttisnil(&t->array[i - 1])) {
      best = i;
      break;
    }
  }
  if (t->lsizenode > 0 || !ttisnil(&t->node[0].key)) {
    for (int i = 0; i < sizenode(t); i++) {
      const Node* nd = &t->node[i];
      if (ttisnumber(&nd->key) && !ttisnil(&nd->val) && nvalue(&nd->key) > best) best = nvalue(&nd->key);
    }
  }
  return num2i32(best);
}
