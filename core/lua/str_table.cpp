#include "core/lua/str_table.h"

#include <cstdlib>
#include <new>

#include "core/lua/call.h"
#include "core/lua/debug_info.h"
#include "core/lua/gc.h"
#include "core/lua/mem_limit.h"

namespace luai {

void* rawAlloc(GlobalState* g, void* p, size_t osize, size_t nsize) {
  if (g->frealloc) return g->frealloc(g->allocud, p, osize, nsize);
  if (nsize == 0) {
    std::free(p);
    return nullptr;
  }
  return std::realloc(p, nsize);
}

static void* acquire(GlobalState* g, size_t size) {
  return g->usePool && size <= SmallBlockPool::kMaxBlock ? g->pool.alloc(size) : rawAlloc(g, nullptr, 0, size);
}

void* allocMemSlow(lua_State* L, size_t size) {
  GlobalState* g = L->g;
  if (size == 0) size = 1;
  if (passesMemLimit(g, size)) memLimitReached(L);
  // No collection here: a caller may hold a new object that nothing anchors yet.
  void* p = acquire(g, size);
  if (p == nullptr) throwError(L, LUA_ERRMEM);
  g->totalbytes += size;
  return p;
}

void freeMemSlow(lua_State* L, void* p, size_t size) {
  if (p == nullptr) return;
  if (size == 0) size = 1;
  GlobalState* g = L->g;
  g->totalbytes -= size;
  if (g->usePool && size <= SmallBlockPool::kMaxBlock) g->pool.free(p, size);
  else rawAlloc(g, p, size, 0);
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

static uint32_t hashUnits(const uint16_t* str, size_t l) {
  uint32_t h = static_cast<uint32_t>(l);
  size_t step = (l >> 5) + 1;
  for (size_t l1 = l; l1 >= step; l1 -= step) h = h ^ ((h << 5) + (h >> 2) + str[l1 - 1]);
  return h;
}

size_t stringBytes(const TString* ts) {
  return sizeof(TString) + (ts->tt == LUA_TWSTRING ? (ts->len + 1) * sizeof(uint16_t) : ts->len + 1);
}

// Links a new string of either kind into the table; the caller fills in its content.
static TString* linkNewString(lua_State* L, int tt, uint32_t h, size_t l) {
  StringTable& tb = L->g->strt;
  size_t unit = tt == LUA_TWSTRING ? sizeof(uint16_t) : 1;
  if (l >= (~size_t(0) - sizeof(TString)) / unit - 1) runError(L, "string size overflow");
  TString* ts = static_cast<TString*>(allocMem(L, sizeof(TString) + (l + 1) * unit));
  ts->gcnext = nullptr;
  ts->tt = static_cast<uint8_t>(tt);
  ts->marked = 0;
  ts->reserved = 0;
  ts->hash = h;
  ts->len = l;
  uint32_t idx = h & (tb.size - 1);
  ts->hnext = tb.hash[idx];
  tb.hash[idx] = ts;
  tb.nuse++;
  return ts;
}

static void growIfFull(lua_State* L) {
  StringTable& tb = L->g->strt;
  if (tb.nuse > tb.size && tb.size <= (1u << 30)) resizeStrTable(L, tb.size * 2);
}

TString* newLWStr(lua_State* L, const uint16_t* str, size_t l) {
  uint32_t h = hashUnits(str, l);
  StringTable& tb = L->g->strt;
  for (TString* ts = tb.hash[h & (tb.size - 1)]; ts != nullptr; ts = ts->hnext) {
    if (ts->tt == LUA_TWSTRING && ts->len == l && ts->hash == h &&
        (l == 0 || std::memcmp(str, ts->wdata(), l * sizeof(uint16_t)) == 0))
      return ts;
  }
  TString* ts = linkNewString(L, LUA_TWSTRING, h, l);
  if (l) std::memcpy(ts->wdata(), str, l * sizeof(uint16_t));
  ts->wdata()[l] = 0;
  growIfFull(L);
  return ts;
}

TString* newLStr(lua_State* L, const char* str, size_t l) {
  uint32_t h = hashBytes(str, l);
  StringTable& tb = L->g->strt;
  for (TString* ts = tb.hash[h & (tb.size - 1)]; ts != nullptr; ts = ts->hnext) {
    if (ts->len == l && ts->hash == h && ts->tt == LUA_TSTRING && std::memcmp(str, ts->data(), l) == 0) {
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
  freeMem(L, ts, stringBytes(ts));
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
