#include "core/lua/gc.h"

#include <algorithm>
#include <cstdlib>

#include "core/lua/call.h"
#include "core/lua/closure.h"
#include "core/lua/metamethod.h"
#include "core/lua/str_table.h"
#include "core/lua/table.h"

namespace luai {

namespace {

constexpr uint8_t MARK = 1, FIXED = 2, FINALIZED = 4;

struct Collector {
  lua_State* L = nullptr;
  GlobalState* g = nullptr;
  GCObject* gray = nullptr;
  Table* weak = nullptr;
  std::vector<Udata*> pending;

  void markObject(GCObject* o) {
    if (o->marked & MARK) return;
    o->marked |= MARK;
    switch (o->tt) {
      case LUA_TSTRING:
      case LUA_TWSTRING: break;
      case LUA_TUSERDATA: {
        Udata* u = static_cast<Udata*>(o);
        if (u->metatable) markObject(u->metatable);
        break;
      }
      case TUPVAL: {
        UpVal* uv = static_cast<UpVal*>(o);
        markValue(uv->v);
        break;
      }
      case LUA_TTABLE: static_cast<Table*>(o)->gclist = gray; gray = o; break;
      case LUA_TFUNCTION: static_cast<Closure*>(o)->gclist = gray; gray = o; break;
      case LUA_TTHREAD: reinterpret_cast<lua_State*>(o)->gclist = gray; gray = o; break;
      case TPROTO: static_cast<Proto*>(o)->gclist = gray; gray = o; break;
      default: break;
    }
  }
  void markValue(const TValue* v) {
    // one test: the collectable tags run from strings up to just below dead keys
    static_assert(LUA_TSTRING < LUA_TWSTRING && LUA_TWSTRING < TDEADKEY && TUPVAL + 1 == TDEADKEY);
    if (static_cast<unsigned>(v->tt - LUA_TSTRING) >= unsigned{TDEADKEY - LUA_TSTRING}) return;
    // strings hold no references: marked here without a call, as they are the most common
    if (ttisanystring(v)) v->v.gc->marked |= MARK;
    else markObject(v->v.gc);
  }

  void traverseTable(Table* h) {
    if (h->metatable) markObject(h->metatable);
    bool wk = false, wv = false;
    if (h->metatable) {
      const TValue* mode = tableGetStr(h->metatable, g->tmname[TM_MODE]);
      if (ttisstring(mode)) {
        wk = std::strchr(tsvalue(mode)->data(), 'k') != nullptr;
        wv = std::strchr(tsvalue(mode)->data(), 'v') != nullptr;
      }
    }
    if (wk || wv) {
      h->gclist = weak;
      weak = h;
      h->marked = static_cast<uint8_t>((h->marked & ~(8 | 16)) | (wk ? 8 : 0) | (wv ? 16 : 0));
    }
    // locals: marking stores bytes, which would make the compiler reload the table's fields
    const TValue* array = h->array;
    const TValue* arrayEnd = array + h->sizearray;
    for (const TValue* v = array; v != arrayEnd; v++)
      if (!wv || ttisanystring(v)) markValue(v);
    Node* node = h->node;
    if (h->lsizenode == 0 && node[0].key.tt == LUA_TNIL && ttisnil(&node[0].val)) return;
    for (Node *n = node, *nodeEnd = node + sizenode(h); n != nodeEnd; n++) {
      if (ttisnil(&n->val)) {
        if (iscollectable(&n->key) && n->key.tt != TDEADKEY) n->key.tt = TDEADKEY;
        continue;
      }
      if (!wk || ttisanystring(&n->key)) markValue(&n->key);
      if (!wv || ttisanystring(&n->val)) markValue(&n->val);
    }
  }

  void traverseThread(lua_State* th) {
    markValue(&th->gt);
    // every live register of every frame lies below top; what is above is dead
    for (TValue* o = th->stack; o < th->top; o++) markValue(o);
    for (TValue* o = th->top; o < th->stack + th->stacksize; o++) setnil(o);
    for (UpVal* uv = th->openupval; uv; uv = uv->opennext) markObject(uv);
  }

  void traverseProto(Proto* p) {
    if (p->source) markObject(p->source);
    for (auto& k : p->k) markValue(&k);
    for (auto* sub : p->p)
      if (sub) markObject(sub);
    for (auto& lv : p->locvars)
      if (lv.varname) markObject(lv.varname);
    for (auto* s : p->upvalues)
      if (s) markObject(s);
  }

  void traverseClosure(Closure* c) {
    if (c->env) markObject(c->env);
    if (c->isC) {
      CClosure* cc = static_cast<CClosure*>(c);
      for (int i = 0; i < cc->nupvalues; i++) markValue(&cc->upvalue[i]);
    } else {
      LClosure* lc = static_cast<LClosure*>(c);
      if (lc->p) markObject(lc->p);
      for (int i = 0; i < lc->nupvalues; i++)
        if (lc->upvals[i]) markObject(lc->upvals[i]);
    }
  }

  void propagate() {
    while (gray) {
      GCObject* o = gray;
      switch (o->tt) {
        case LUA_TTABLE: gray = static_cast<Table*>(o)->gclist; traverseTable(static_cast<Table*>(o)); break;
        case LUA_TFUNCTION: gray = static_cast<Closure*>(o)->gclist; traverseClosure(static_cast<Closure*>(o)); break;
        case LUA_TTHREAD: gray = reinterpret_cast<lua_State*>(o)->gclist; traverseThread(reinterpret_cast<lua_State*>(o)); break;
        case TPROTO: gray = static_cast<Proto*>(o)->gclist; traverseProto(static_cast<Proto*>(o)); break;
        default: gray = nullptr; break;
      }
    }
  }

  static bool isCleared(const TValue* o) {
    if (!iscollectable(o) || o->tt == TDEADKEY) return false;
    return !(o->v.gc->marked & MARK);
  }

  void clearWeak() {
    for (Table* h = weak; h; h = static_cast<Table*>(h->gclist)) {
      bool wk = h->marked & 8, wv = h->marked & 16;
      if (wv)
        for (int i = 0; i < h->sizearray; i++)
          if (isCleared(&h->array[i])) setnil(&h->array[i]);
      if (h->lsizenode == 0 && h->node[0].key.tt == LUA_TNIL) continue;
      int ns = sizenode(h);
      for (int i = 0; i < ns; i++) {
        Node* n = &h->node[i];
        if (ttisnil(&n->val)) continue;
        if ((wk && isCleared(&n->key)) || (wv && isCleared(&n->val))) {
          setnil(&n->val);
          if (iscollectable(&n->key)) n->key.tt = TDEADKEY;
        }
      }
    }
  }

  void markRoots() {
    g->mainthread->marked &= static_cast<uint8_t>(~MARK);  // not in the swept list, so never unmarked there
    markObject(g->mainthread);
    markValue(&g->registry);
    for (int i = 0; i < NUM_TAGS; i++)
      if (g->mt[i]) markObject(g->mt[i]);
  }

  // Unreached userdata with a __gc metamethod are kept for one more cycle and finalised.
  void separateUdata() {
    for (GCObject* o = g->rootgc; o; o = o->gcnext) {
      if (o->tt != LUA_TUSERDATA || (o->marked & (MARK | FINALIZED))) continue;
      Udata* u = static_cast<Udata*>(o);
      if (fastTM(L, u->metatable, TM_GC) == nullptr) continue;
      u->marked |= FINALIZED;
      pending.push_back(u);
    }
    for (Udata* u : pending) markObject(u);
  }

  void closeDeadThreads() {
    for (GCObject* o = g->rootgc; o; o = o->gcnext)
      if (o->tt == LUA_TTHREAD && !(o->marked & MARK)) closeUpvals(reinterpret_cast<lua_State*>(o), reinterpret_cast<lua_State*>(o)->stack);
  }

  void sweep() {
    GCObject** p = &g->rootgc;
    while (GCObject* o = *p) {
      if (o->marked & MARK) {
        o->marked &= static_cast<uint8_t>(~(MARK | 8 | 16));
        p = &o->gcnext;
      } else {
        *p = o->gcnext;
        freeObject(L, o);
      }
    }
    StringTable& st = g->strt;
    for (TString **bucket = st.hash, **end = st.hash + st.size; bucket != end; ++bucket) {
      if (*bucket == nullptr) continue;  // most buckets: keep their test to one load
      TString** sp = bucket;
      while (TString* s = *sp) {
        if (s->marked & (MARK | FIXED)) {
          s->marked &= static_cast<uint8_t>(~MARK);
          sp = &s->hnext;
        } else {
          *sp = s->hnext;
          freeString(L, s);
        }
      }
    }
    if (st.nuse < st.size / 4 && st.size > 64) resizeStrTable(L, st.size / 2);
  }

  static void freeObject(lua_State* L, GCObject* o) {
    switch (o->tt) {
      case LUA_TTABLE: freeTable(L, static_cast<Table*>(o)); break;
      case LUA_TFUNCTION: freeClosure(L, static_cast<Closure*>(o)); break;
      case LUA_TUSERDATA: {
        Udata* u = static_cast<Udata*>(o);
        freeMem(L, u, Udata::payloadOffset() + u->len);
        break;
      }
      case LUA_TTHREAD: freeThread(L, reinterpret_cast<lua_State*>(o)); break;
      case TPROTO: freeProto(L, static_cast<Proto*>(o)); break;
      case TUPVAL: freeUpval(L, static_cast<UpVal*>(o)); break;
      default: break;
    }
  }
};

void runFinalizer(lua_State* L, Udata* u) {
  const TValue* tm = fastTM(L, u->metatable, TM_GC);
  if (tm == nullptr || !ttisfunction(tm)) return;
  checkStack(L, 3);
  TValue* top = L->top;
  setobj(top, tm);
  setudata(top + 1, u);
  L->top = top + 2;
  struct Arg {
    TValue* func;
  } arg{top};
  // Debug hooks stay out of finalizers, but a hook that stops runaway scripts must reach one
  // that never returns (LUA_MASKGC); a finalizer run from inside a hook runs without any.
  struct HookGuard {
    lua_State* L;
    uint8_t old;
    ~HookGuard() { L->allowhook = old; }
  } guard{L, L->allowhook};
  if (L->allowhook) L->allowhook = kFinalizerHooks;
  // The finalizer may grow the stack, which moves it: keep the place, not the pointer.
  const ptrdiff_t at = savestack(L, top);
  pcallRaw(L, [](lua_State* L1, void* ud) { callFunc(L1, static_cast<Arg*>(ud)->func, 0); }, &arg, at, 0);
  L->top = restorestack(L, at);
}

}  // namespace

void linkObject(lua_State* L, GCObject* o, int tt) {
  GlobalState* g = L->g;
  o->tt = static_cast<uint8_t>(tt);
  o->marked = 0;
  o->gcnext = g->rootgc;
  g->rootgc = o;
}

void setThreshold(lua_State* L) {
  GlobalState* g = L->g;
  g->gcthreshold = 2 * g->totalbytes;
  if (g->gcthreshold < 256 * 1024) g->gcthreshold = 256 * 1024;
  // Collect before a bound is reached, leaving room for what is made between two collection
  // points; a state that lives within a sixteenth of its bound may meet it early.
  if (size_t limit = g->memlimit) {
    size_t cap = std::max(limit - limit / 8, g->totalbytes + limit / 16);
    if (g->gcthreshold > cap) g->gcthreshold = cap;
  }
}

void fullGC(lua_State* L) {
  GlobalState* g = L->g;
  if (g->gcblock) return;
  GCBlock block(L);
  Collector c;
  c.L = L;
  c.g = g;
  c.markRoots();
  c.propagate();
  c.clearWeak();
  c.separateUdata();
  c.propagate();
  c.clearWeak();
  c.closeDeadThreads();
  c.sweep();
  setThreshold(L);
  for (Udata* u : c.pending) runFinalizer(L, u);
}

void callGCTM(lua_State* L) {
  GlobalState* g = L->g;
  GCBlock block(L);
  std::vector<Udata*> all;
  for (GCObject* o = g->rootgc; o; o = o->gcnext) {
    if (o->tt != LUA_TUSERDATA || (o->marked & FINALIZED)) continue;
    Udata* u = static_cast<Udata*>(o);
    if (fastTM(L, u->metatable, TM_GC) == nullptr) continue;
    u->marked |= FINALIZED;
    all.push_back(u);
  }
  for (Udata* u : all) runFinalizer(L, u);
}

void freeAll(lua_State* L) {
  GlobalState* g = L->g;
  lua_State* main = g->mainthread;
  for (GCObject* o = g->rootgc; o; o = o->gcnext)
    if (o->tt == LUA_TTHREAD) closeUpvals(reinterpret_cast<lua_State*>(o), reinterpret_cast<lua_State*>(o)->stack);
  while (GCObject* o = g->rootgc) {
    g->rootgc = o->gcnext;
    Collector::freeObject(main, o);
  }
  StringTable& st = g->strt;
  for (uint32_t i = 0; i < st.size; i++) {
    while (TString* s = st.hash[i]) {
      st.hash[i] = s->hnext;
      freeString(main, s);
    }
  }
  freeMem(main, st.hash, st.size * sizeof(TString*));
  if (main->base_ci) freeMem(main, main->base_ci, sizeof(CallInfo) * main->size_ci);
  if (main->stack) freeMem(main, main->stack, sizeof(TValue) * main->stacksize);
  lua_Alloc alloc = g->frealloc;
  void* ud = g->allocud;
  delete g;
  if (alloc) alloc(ud, main, sizeof(lua_State), 0);
  else std::free(main);
}

}  // namespace luai
