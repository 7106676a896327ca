#include "core/lua/str_table.h"

#include <cstdlib>
#include <new>

#include "core/lua/call.h"
#include "core/lua/gc.h"

namespace luai {

void* allocMem(lua_State* L, size_t size) {
  void* p = std::malloc(size);
  if (p == nullptr) {
    fullGC(L);
    p = std::malloc(size);
    if (p == nullptr) throwError(L, LUA_ERRMEM);
  }
  L->g->totalbytes += size;
  return p;
}

void freeMem(lua_State* L, void* p, size_t size) {
  if (p == nullptr) return;
  L->g->totalbytes -= size;
  std::free(p);
}

static uint32_t hashBytes(const char* str, size_t l) {
  uint32_t h = static_cast<uint32_t>(l);
  size_t step = (l >> 5) + 1;
  for (size_t l1 = l; l1 >= step; l1 -= step)
    h = h ^ ((h << 5) + (h >> 2) + static_cast<unsigned char>(str[l1 - 1]));
  return h;
}

void resizeStrTable(lua_State* L, uint32_t newsize) {
  StringTable& tb = L->g->strt;
  TString** newhash = static_cast<TString**>(allocMem(L, newsize * sizeof(TString*)));
  for (uint32_t i = 0; i < newsize; i++) newhash[i] = nullptr;
  for (uint32_t i = 0; i < tb.size; i++) {
    TString* p = tb.hash[i];
    while (p) {
      TString* next = p->hnext;
      uint32_t h1 = p->hash & (newsize - 1);
      p->hnext = newhash[h1];
      newhash[h1] = p;
      p = next;
    }
  }
  freeMem(L, tb.hash, tb.size * sizeof(TString*));
  tb.size = newsize;
  tb.hash = newhash;
}

TString* newLStr(lua_State* L, const char* str, size_t l) {
  uint32_t h = hashBytes(str, l);
  StringTable& tb = L->g->strt;
  for (TString* ts = tb.hash[h & (tb.size - 1)]; ts != nullptr; ts = ts->hnext) {
    if (ts->len == l && ts->hash == h && std::memcmp(str, ts->data(), l) == 0) {
      return ts;
    }
  }
  void* mem = allocMem(L, sizeof(TString) + l + 1);
  TString* ts = static_cast<TString*>(mem);
  ts->gcnext = nullptr;
  ts->tt = LUA_TSTRING;
  ts->marked = 0;
  ts->reserved = 0;
  ts->hash = h;
  ts->len = l;
  std::memcpy(ts->data(), str, l);
  ts->data()[l] = '\0';
  uint32_t idx = h & (tb.size - 1);
  ts->hnext = tb.hash[idx];
  tb.hash[idx] = ts;
  tb.nuse++;
  if (tb.nuse > tb.size && tb.size <= (1u << 30)) resizeStrTable(L, tb.size * 2);
  return ts;
}

void freeString(lua_State* L, TString* ts) {
  L->g->strt.nuse--;
  freeMem(L, ts, sizeof(TString) + ts->len + 1);
}

Udata* newUdata(lua_State* L, size_t size) {
  if (size > (~size_t(0)) - Udata::payloadOffset() - 16) throwError(L, LUA_ERRMEM);
  void* mem = allocMem(L, Udata::payloadOffset() + size);
  Udata* u = static_cast<Udata*>(mem);
  u->isbox = 0;
  u->metatable = nullptr;
  u->boxed = nullptr;
  u->len = size;
  linkObject(L, u, LUA_TUSERDATA);
  return u;
}

}  // namespace luai
