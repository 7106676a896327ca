#include "core/lua/table.h"

#include <cmath>

#include "core/lua/call.h"
#include "core/lua/debug_info.h"
#include "core/lua/gc.h"

namespace luai {

namespace {

Node dummynode_ = {{{nullptr}, LUA_TNIL}, {{nullptr}, LUA_TNIL}};
Node* const dummynode = &dummynode_;
constexpr int kMaxBits = 26;

inline uint32_t mix(uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  return static_cast<uint32_t>(x);
}

inline uint32_t hashNum(lua_Number n) {
  n += 0;  // -0 and 0 are one key
  uint64_t bits;
  std::memcpy(&bits, &n, sizeof bits);
  return mix(bits);
}

inline uint32_t hashValue(const TValue* k) {
  switch (k->tt) {
    case LUA_TNUMBER: return hashNum(k->v.n);
    case LUA_TSTRING:
    case LUA_TWSTRING: return strSlotHash(tsvalue(k)->hash);
    case LUA_TBOOLEAN: return static_cast<uint32_t>(k->v.b);
    case LUA_TLIGHTUSERDATA: return mix(reinterpret_cast<uintptr_t>(k->v.p));
    default: return mix(reinterpret_cast<uintptr_t>(k->v.gc));
  }
}

inline int nodeCount(const Table* t) { return t->node == dummynode ? 0 : sizenode(t); }

// Whether n is an integer usable as an array index (1..2^kMaxBits).
inline int arrayIndex(lua_Number n) {
  if (!(n >= 1 && n <= static_cast<lua_Number>(1 << kMaxBits))) return -1;
  int k = static_cast<int>(n);
  return static_cast<lua_Number>(k) == n ? k : -1;
}

void setNodeVector(lua_State* L, Table* t, int lsize) {
  if (lsize < 0) {
    t->node = dummynode;
    t->lsizenode = 0;
  } else {
    if (lsize > kMaxBits) runError(L, "table overflow");
    int size = 1 << lsize;
    t->node = static_cast<Node*>(allocMem(L, sizeof(Node) * size));
    for (int i = 0; i < size; i++) {
      setnil(&t->node[i].key);
      setnil(&t->node[i].val);
    }
    t->lsizenode = static_cast<uint8_t>(lsize);
  }
  t->nodeused = 0;
}

// Probes for a key; returns the node holding it or null.
inline Node* findNode(const Table* t, const TValue* key, uint32_t h) {
  uint32_t mask = (1u << t->lsizenode) - 1;
  Node* node = t->node;
  for (uint32_t i = h & mask;; i = (i + 1) & mask) {
    Node* n = &node[i];
    if (n->key.tt == key->tt) {
      // interned text and every object compare by address
      bool same = key->tt == LUA_TNUMBER    ? n->key.v.n == key->v.n
                  : key->tt == LUA_TBOOLEAN ? n->key.v.b == key->v.b
                                            : n->key.v.p == key->v.p;
      if (same) return n;
    } else if (n->key.tt == LUA_TNIL) {
      return nullptr;
    }
  }
}

// Inserts a key known to be absent into a hash part with room; returns the value slot.
TValue* rawInsert(Table* t, const TValue* key) {
  uint32_t mask = (1u << t->lsizenode) - 1;
  uint32_t i = hashValue(key) & mask;
  for (;; i = (i + 1) & mask) {
    Node* n = &t->node[i];
    if (n->key.tt == LUA_TNIL) {
      t->nodeused++;
      break;
    }
    if (ttisnil(&n->val)) break;  // reuse a removed entry
  }
  Node* n = &t->node[i];
  n->key = *key;
  setnil(&n->val);
  return &n->val;
}

void countInt(const TValue* key, int* nums) {
  if (key->tt != LUA_TNUMBER) return;
  int k = arrayIndex(key->v.n);
  if (k > 0) nums[log2i(static_cast<unsigned>(k - 1)) + 1]++;
}

// Chooses the array size: the largest power of two n with more than n/2 of 1..n in use.
int computeArraySize(int* nums, int total, int* narray) {
  int a = 0, na = 0, n = 0;
  for (int i = 0, twotoi = 1; twotoi / 2 < total && i <= kMaxBits; i++, twotoi *= 2) {
    a += nums[i];
    if (a > twotoi / 2) {
      n = twotoi;
      na = a;
    }
  }
  *narray = n;
  return na;
}

void resize(lua_State* L, Table* t, int nasize, int nhsize);

void rehash(lua_State* L, Table* t, const TValue* extra) {
  int nums[kMaxBits + 2] = {0};
  int totaluse = 0, intuse = 0;
  // array part
  for (int i = 1, lg = 0, ttlg = 1; lg <= kMaxBits; lg++, ttlg *= 2) {
    int lim = ttlg < t->sizearray ? ttlg : t->sizearray;
    int c = 0;
    for (; i <= lim; i++)
      if (!ttisnil(&t->array[i - 1])) c++;
    nums[lg] += c;
    intuse += c;
    if (lim >= t->sizearray) break;
  }
  totaluse = intuse;
  int ns = nodeCount(t);
  for (int i = 0; i < ns; i++) {
    Node* n = &t->node[i];
    if (!ttisnil(&n->val)) {
      totaluse++;
      if (n->key.tt == LUA_TNUMBER && arrayIndex(n->key.v.n) > 0) intuse++;
      countInt(&n->key, nums);
    }
  }
  totaluse++;
  if (extra->tt == LUA_TNUMBER && arrayIndex(extra->v.n) > 0) intuse++;
  countInt(extra, nums);
  int na;
  int inarray = computeArraySize(nums, intuse, &na);
  resize(L, t, na, totaluse - inarray);
}

void resize(lua_State* L, Table* t, int nasize, int nhsize) {
  int oldasize = t->sizearray;
  int oldhsize = nodeCount(t);
  Node* oldnode = t->node;
  int lsize = -1;
  if (nhsize > 0) {
    int need = nhsize + nhsize / 3 + 1;
    lsize = log2i(static_cast<unsigned>(need - 1)) + 1;
    if (lsize < 2) lsize = 2;
  }
  if (nasize > oldasize) {
    TValue* na = static_cast<TValue*>(allocMem(L, sizeof(TValue) * nasize));
    for (int i = 0; i < oldasize; i++) na[i] = t->array[i];
    for (int i = oldasize; i < nasize; i++) setnil(&na[i]);
    freeMem(L, t->array, sizeof(TValue) * oldasize);
    t->array = na;
    t->sizearray = nasize;
  }
  setNodeVector(L, t, lsize);
  TValue* oldarray = t->array;
  if (nasize < oldasize) {
    // move the tail of the array part into the hash part
    t->sizearray = nasize;
    for (int i = nasize; i < oldasize; i++) {
      if (!ttisnil(&oldarray[i])) {
        TValue k;
        setnum(&k, i + 1);
        *tableSet(L, t, &k) = oldarray[i];
      }
    }
    TValue* na = nasize ? static_cast<TValue*>(allocMem(L, sizeof(TValue) * nasize)) : nullptr;
    for (int i = 0; i < nasize; i++) na[i] = oldarray[i];
    freeMem(L, oldarray, sizeof(TValue) * oldasize);
    t->array = na;
  }
  for (int i = 0; i < oldhsize; i++) {
    Node* old = &oldnode[i];
    if (!ttisnil(&old->val)) *tableSet(L, t, &old->key) = old->val;
  }
  if (oldnode != dummynode) freeMem(L, oldnode, sizeof(Node) * oldhsize);
}

TValue* newKey(lua_State* L, Table* t, const TValue* key) {
  int ns = nodeCount(t);
  if (t->nodeused + 1 > ns - ns / 4) {
    rehash(L, t, key);
    return tableSet(L, t, key);
  }
  return rawInsert(t, key);
}

}  // namespace

Table* newTable(lua_State* L, int narray, int lnhash) {
  Table* t = static_cast<Table*>(allocMem(L, sizeof(Table)));
  t->flags = 0xFF;
  t->metatable = nullptr;
  t->array = nullptr;
  t->sizearray = 0;
  t->node = dummynode;
  t->lsizenode = 0;
  t->nodeused = 0;
  t->gclist = nullptr;
  linkObject(L, t, LUA_TTABLE);
  if (narray > 0) {
    t->array = static_cast<TValue*>(allocMem(L, sizeof(TValue) * narray));
    for (int i = 0; i < narray; i++) setnil(&t->array[i]);
    t->sizearray = narray;
  }
  if (lnhash > 0) setNodeVector(L, t, lnhash < 2 ? 2 : lnhash);
  return t;
}

size_t tableBytes(const Table* t) {
  return sizeof(Table) + sizeof(TValue) * t->sizearray + sizeof(Node) * nodeCount(t);
}

void freeTable(lua_State* L, Table* t) {
  if (t->node != dummynode) freeMem(L, t->node, sizeof(Node) * sizenode(t));
  freeMem(L, t->array, sizeof(TValue) * t->sizearray);
  freeMem(L, t, sizeof(Table));
}

const TValue* tableGetNumHashed(Table* t, int key) {
  if (t->node == dummynode) return &nilobject;
  TValue k;
  setnum(&k, key);
  Node* n = findNode(t, &k, hashNum(k.v.n));
  return n ? &n->val : &nilobject;
}

const TValue* tableGetOther(Table* t, const TValue* key) {
  switch (key->tt) {
    case LUA_TNIL: return &nilobject;
    case LUA_TSTRING: return tableGetStr(t, tsvalue(key));
    case LUA_TNUMBER: {
      lua_Number n = key->v.n;
      if (t->node == dummynode) return &nilobject;
      Node* nd = findNode(t, key, hashNum(n));
      return nd ? &nd->val : &nilobject;
    }
    default: {
      if (t->node == dummynode) return &nilobject;
      Node* nd = findNode(t, key, hashValue(key));
      return nd ? &nd->val : &nilobject;
    }
  }
}

TValue* tableSet(lua_State* L, Table* t, const TValue* key) {
  const TValue* p = tableGet(t, key);
  if (p != &nilobject) {
    t->flags = 0;
    return const_cast<TValue*>(p);
  }
  return tableSetAbsent(L, t, key);
}

TValue* tableSetAbsent(lua_State* L, Table* t, const TValue* key) {
  t->flags = 0;
  if (ttisnil(key)) runError(L, "table index is nil");
  if (ttisnumber(key) && std::isnan(key->v.n)) runError(L, "table index is NaN");
  return newKey(L, t, key);
}

TValue* tableSetNum(lua_State* L, Table* t, int key) {
  TValue k;
  setnum(&k, key);
  return tableSet(L, t, &k);
}

TValue* tableSetStr(lua_State* L, Table* t, TString* key) {
  TValue k;
  setstr(&k, key);
  return tableSet(L, t, &k);
}

bool tableNext(lua_State* L, Table* t, TValue* key) {
  int i;  // index of the entry after the given key
  if (ttisnil(key)) {
    i = 0;
  } else {
    i = -1;
    if (ttisnumber(key)) {
      int k = arrayIndex(key->v.n);
      if (k > 0 && k <= t->sizearray) i = k;
    }
    if (i < 0) {
      int ns = nodeCount(t);
      if (ns > 0) {
        uint32_t mask = static_cast<uint32_t>(ns - 1);
        for (uint32_t j = hashValue(key) & mask;; j = (j + 1) & mask) {
          Node* n = &t->node[j];
          if (n->key.tt == LUA_TNIL) break;
          bool same = rawequalObj(&n->key, key) ||
                      (n->key.tt == TDEADKEY && iscollectable(key) && n->key.v.gc == key->v.gc);
          if (same) {
            i = static_cast<int>(j) + 1 + t->sizearray;
            break;
          }
        }
      }
      if (i < 0) runError(L, "invalid key to `next'");
    }
  }
  for (; i < t->sizearray; i++) {
    if (!ttisnil(&t->array[i])) {
      setnum(key, i + 1);
      key[1] = t->array[i];
      return true;
    }
  }
  int ns = nodeCount(t);
  for (i -= t->sizearray; i < ns; i++) {
    Node* n = &t->node[i];
    if (!ttisnil(&n->val)) {
      key[0] = n->key;
      key[1] = n->val;
      return true;
    }
  }
  return false;
}

int tableCountRun(Table* t) {
  int n = 0;
  while (n < t->sizearray && !ttisnil(&t->array[n])) n++;
  if (n < t->sizearray) return n;
  while (!ttisnil(tableGetNum(t, n + 1))) n++;
  return n;
}

int tableGetN(Table* t) {
  int j = t->sizearray;
  if (j > 0 && ttisnil(&t->array[j - 1])) {
    int i = 0;
    while (j - i > 1) {
      int m = (i + j) / 2;
      if (ttisnil(&t->array[m - 1])) j = m;
      else i = m;
    }
    return i;
  }
  if (t->node == dummynode) return j;
  while (j < (1 << kMaxBits) && !ttisnil(tableGetNum(t, j + 1))) j++;
  return j;
}

}  // namespace luai
