#include "core/lua/closure.h"

#include <new>

#include "core/lua/gc.h"

namespace luai {

Proto* newProto(lua_State* L) {
  void* mem = allocMem(L, sizeof(Proto));
  Proto* p = new (mem) Proto();
  linkObject(L, p, TPROTO);
  return p;
}

void freeProto(lua_State* L, Proto* p) {
  p->~Proto();
  freeMem(L, p, sizeof(Proto));
}

CClosure* newCClosure(lua_State* L, int nup, Table* env) {
  CClosure* c = static_cast<CClosure*>(allocMem(L, cclosureSize(nup)));
  c->isC = 1;
  c->nupvalues = static_cast<uint8_t>(nup);
  c->env = env;
  c->gclist = nullptr;
  c->f = nullptr;
  for (int i = 0; i < nup; i++) setnil(&c->upvalue[i]);
  linkObject(L, c, LUA_TFUNCTION);
  return c;
}

LClosure* newLClosure(lua_State* L, int nup, Table* env) {
  LClosure* c = static_cast<LClosure*>(allocMem(L, lclosureSize(nup)));
  c->isC = 0;
  c->nupvalues = static_cast<uint8_t>(nup);
  c->env = env;
  c->gclist = nullptr;
  c->p = nullptr;
  for (int i = 0; i < nup; i++) c->upvals[i] = nullptr;
  linkObject(L, c, LUA_TFUNCTION);
  return c;
}

void freeClosure(lua_State* L, Closure* c) {
  if (c->isC)
    freeMem(L, c, cclosureSize(c->nupvalues));
  else
    freeMem(L, c, lclosureSize(c->nupvalues));
}

UpVal* findUpval(lua_State* L, TValue* level) {
  UpVal** pp = &L->openupval;
  UpVal* p;
  while ((p = *pp) != nullptr && p->v >= level) {
    if (p->v == level) return p;
    pp = &p->opennext;
  }
  UpVal* uv = static_cast<UpVal*>(allocMem(L, sizeof(UpVal)));
  uv->v = level;
  setnil(&uv->value);
  uv->opennext = *pp;
  *pp = uv;
  linkObject(L, uv, TUPVAL);
  return uv;
}

void closeUpvals(lua_State* L, TValue* level) {
  UpVal* p;
  while ((p = L->openupval) != nullptr && p->v >= level) {
    p->value = *p->v;
    p->v = &p->value;
    L->openupval = p->opennext;
    p->opennext = nullptr;
  }
}

void freeUpval(lua_State* L, UpVal* uv) { freeMem(L, uv, sizeof(UpVal)); }

const char* getLocalName(const Proto* f, int local_number, int pc) {
  for (size_t i = 0; i < f->locvars.size() && f->locvars[i].startpc <= pc; i++) {
    if (pc < f->locvars[i].endpc) {
      local_number--;
      if (local_number == 0) return f->locvars[i].varname->data();
    }
  }
  return nullptr;
}

}  // namespace luai
