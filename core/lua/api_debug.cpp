// The debug part of the C API: stack levels, function information, locals, upvalues and hooks.
#include <cstdio>

#include "core/lua/call.h"
#include "core/lua/closure.h"
#include "core/lua/debug_info.h"
#include "core/lua/str_table.h"
#include "core/lua/table.h"

namespace luai {
const char* funcNameFromCall(lua_State* L, CallInfo* ci, const char** name);
}

using namespace luai;

namespace {

// The name of a global holding the function, for calls whose site names nothing (from C).
const char* globalNameOf(lua_State* L, const TValue* func) {
  Table* g = gtable(L);
  for (int i = sizenode(g) - 1; i >= 0; i--) {
    const Node* n = &g->node[i];
    if (ttisstring(&n->key) && rawequalObj(&n->val, func)) return tsvalue(&n->key)->data();
  }
  return nullptr;
}

}  // namespace

LUA_API int lua_sethook(lua_State* L, lua_Hook func, int mask, int count) {
  if (func == nullptr || mask == 0) {
    mask = 0;
    func = nullptr;
  }
  L->hook = func;
  L->basehookcount = count;
  L->hookcount = count;
  L->hookmask = static_cast<uint8_t>(mask);
  L->oldpc = nullptr;
  return 1;
}

LUA_API lua_Hook lua_gethook(lua_State* L) { return L->hook; }
LUA_API int lua_gethookmask(lua_State* L) { return L->hookmask; }
LUA_API int lua_gethookcount(lua_State* L) { return L->basehookcount; }

LUA_API int lua_getstack(lua_State* L, int level, lua_Debug* ar) {
  CallInfo* ci;
  for (ci = L->ci; level > 0 && ci > L->base_ci; ci--) {
    level--;
    if (ci->callstatus & CIST_LUA) level -= ci->tailcalls;
  }
  if (level > 0 || ci == L->base_ci) return 0;
  ar->i_ci = level < 0 ? 0 : static_cast<int>(ci - L->base_ci);
  return 1;
}

static CallInfo* ciOf(lua_State* L, const lua_Debug* ar) {
  if (ar->i_ci <= 0 || ar->i_ci > L->ci - L->base_ci) return nullptr;
  return L->base_ci + ar->i_ci;
}

static void funcInfo(lua_Debug* ar, const TValue* func) {
  Closure* cl = clvalue(func);
  if (cl->isC) {
    ar->source = "=[C]";
    ar->linedefined = -1;
    ar->what = "C";
  } else {
    const Proto* p = static_cast<LClosure*>(cl)->p;
    ar->source = p->source ? p->source->data() : "=?";
    ar->linedefined = p->linedefined;
    ar->what = (ar->linedefined == 0) ? "main" : "Lua";
  }
  chunkid(ar->short_src, ar->source, LUA_IDSIZE);
}

LUA_API int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar) {
  TValue func;
  CallInfo* ci = nullptr;
  if (*what == '>') {
    func = L->top[-1];
    L->top--;
    what++;
  } else {
    ci = ciOf(L, ar);
    if (ci) func = *ci->func;
    else setnil(&func);
  }
  int status = 1;
  bool tail = ci == nullptr && ttisnil(&func);
  for (; *what; what++) {
    switch (*what) {
      case 'S':
        if (tail) {
          ar->source = "=(tail call)";
          ar->linedefined = -1;
          ar->what = "tail";
          chunkid(ar->short_src, ar->source, LUA_IDSIZE);
        } else if (ttisfunction(&func)) {
          funcInfo(ar, &func);
        }
        break;
      case 'l': ar->currentline = ci ? currentLine(L, ci) : -1; break;
      case 'u': ar->nups = ttisfunction(&func) ? clvalue(&func)->nupvalues : 0; break;
      case 'n': {
        const char* name = nullptr;
        const char* kind = ci ? funcNameFromCall(L, ci, &name) : nullptr;
        if (kind == nullptr && ttisfunction(&func) && (name = globalNameOf(L, &func)) != nullptr) kind = "global";
        ar->namewhat = kind ? kind : "";
        ar->name = kind ? name : nullptr;
        break;
      }
      case 'f':
        checkStack(L, 1);
        *L->top++ = func;
        break;
      default: status = 0;
    }
  }
  return status;
}

LUA_API const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n) {
  CallInfo* ci = ciOf(L, ar);
  if (ci == nullptr || !(ci->callstatus & CIST_LUA)) return nullptr;
  const Proto* p = lclvalue(ci->func)->p;
  const char* name = getLocalName(p, n, currentPC(L, ci));
  if (name) {
    checkStack(L, 1);
    ci = ciOf(L, ar);
    *L->top++ = ci->base[n - 1];
  }
  return name;
}

LUA_API const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n) {
  CallInfo* ci = ciOf(L, ar);
  L->top--;
  if (ci == nullptr || !(ci->callstatus & CIST_LUA)) return nullptr;
  const Proto* p = lclvalue(ci->func)->p;
  const char* name = getLocalName(p, n, currentPC(L, ci));
  if (name) ci->base[n - 1] = *L->top;
  return name;
}

static const char* auxUpvalue(lua_State* L, int funcindex, int n, TValue** val) {
  lua_pushvalue(L, funcindex);
  TValue fi = L->top[-1];
  L->top--;
  if (!ttisfunction(&fi)) return nullptr;
  Closure* f = clvalue(&fi);
  if (f->isC) {
    CClosure* c = static_cast<CClosure*>(f);
    if (n < 1 || n > c->nupvalues) return nullptr;
    *val = &c->upvalue[n - 1];
    return "";
  }
  LClosure* l = static_cast<LClosure*>(f);
  const Proto* p = l->p;
  if (n < 1 || n > l->nupvalues) return nullptr;
  *val = l->upvals[n - 1]->v;
  if (static_cast<size_t>(n) <= p->upvalues.size() && p->upvalues[static_cast<size_t>(n - 1)])
    return p->upvalues[static_cast<size_t>(n - 1)]->data();
  return "";
}

LUA_API const char* lua_getupvalue(lua_State* L, int funcindex, int n) {
  TValue* val = nullptr;
  const char* name = auxUpvalue(L, funcindex, n, &val);
  if (name) {
    TValue v = *val;
    checkStack(L, 1);
    *L->top++ = v;
  }
  return name;
}

LUA_API const char* lua_setupvalue(lua_State* L, int funcindex, int n) {
  TValue* val = nullptr;
  const char* name = auxUpvalue(L, funcindex, n, &val);
  if (name) {
    L->top--;
    *val = *L->top;
  }
  return name;
}
