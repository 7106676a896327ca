#include "core/lua/vm.h"

#include <cmath>
#include <cstddef>
#include <cstdio>

#include "core/lua/call.h"
#include "core/lua/closure.h"
#include "core/lua/debug_info.h"
#include "core/lua/gc.h"
#include "core/lua/metamethod.h"
#include "core/lua/opcodes.h"
#include "core/lua/str_table.h"
#include "core/lua/table.h"

namespace luai {

constexpr int kMaxTagLoop = 100;

const TValue* toNumber(const TValue* obj, TValue* n) {
  if (ttisnumber(obj)) return obj;
  lua_Number num;
  if (ttisstring(obj) && str2d(tsvalue(obj)->data(), &num)) {
    setnum(n, num);
    return n;
  }
  if (ttiswstring(obj) && wstr2d(tsvalue(obj)->wdata(), tsvalue(obj)->len, &num)) {
    setnum(n, num);
    return n;
  }
  return nullptr;
}

TString* numberToWide(lua_State* L, lua_Number n) {
  char s[32];
  int len = num2str(n, s);
  uint16_t w[32];
  // each character widened with sign extension
  for (int i = 0; i < len; i++) w[i] = static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(s[i])));
  return newLWStr(L, w, static_cast<size_t>(len));
}

bool toStringInPlace(lua_State* L, TValue* obj) {
  if (!ttisnumber(obj)) return false;
  char s[32];
  int len = num2str(nvalue(obj), s);
  setstr(obj, newLStr(L, s, static_cast<size_t>(len)));
  return true;
}

// Calls f(p1, p2) and stores its first result in the stack slot `res`.
static void callTMres(lua_State* L, const TValue* f, const TValue* p1, const TValue* p2, TValue* res) {
  ptrdiff_t result = savestack(L, res);
  TValue fv = *f, a = *p1, b = *p2;
  checkStack(L, 3);
  TValue* top = L->top;
  top[0] = fv;
  top[1] = a;
  top[2] = b;
  L->top = top + 3;
  callFunc(L, top, 1);
  res = restorestack(L, result);
  L->top--;
  *res = *L->top;
}

static void callTM(lua_State* L, const TValue* f, const TValue* p1, const TValue* p2, const TValue* p3) {
  TValue fv = *f, a = *p1, b = *p2, c = *p3;
  checkStack(L, 4);
  TValue* top = L->top;
  top[0] = fv;
  top[1] = a;
  top[2] = b;
  top[3] = c;
  L->top = top + 4;
  callFunc(L, top, 0);
}

void getTable(lua_State* L, const TValue* t0, const TValue* key0, TValue* val) {
  ptrdiff_t valr = savestack(L, val);
  TValue t = *t0, key = *key0;
  for (int loop = 0; loop < kMaxTagLoop; loop++) {
    const TValue* tm;
    if (ttistable(&t)) {
      Table* h = hvalue(&t);
      const TValue* res = tableGet(h, &key);
      if (!ttisnil(res) || (tm = fastTM(L, h->metatable, TM_INDEX)) == nullptr) {
        *restorestack(L, valr) = *res;
        return;
      }
    } else if (ttisuserdata(&t) && uvalue(&t)->metatable != nullptr) {
      // without __index the metatable itself is searched
      Table* mt = uvalue(&t)->metatable;
      tm = fastTM(L, mt, TM_INDEX);
      if (tm == nullptr) {
        settable(&t, mt);
        continue;
      }
    } else {
      tm = getTMbyObj(L, &t, TM_INDEX);
      if (ttisnil(tm)) typeError(L, loop == 0 ? t0 : &t, "index");
    }
    if (ttisfunction(tm)) {
      callTMres(L, tm, &t, &key, restorestack(L, valr));
      return;
    }
    t = *tm;
  }
  runError(L, "loop in gettable");
}

void setTable(lua_State* L, const TValue* t0, const TValue* key0, const TValue* val0) {
  TValue t = *t0, key = *key0, val = *val0;
  for (int loop = 0; loop < kMaxTagLoop; loop++) {
    const TValue* tm;
    if (ttistable(&t)) {
      Table* h = hvalue(&t);
      const TValue* old = tableGet(h, &key);
      if (!ttisnil(old) || (tm = fastTM(L, h->metatable, TM_NEWINDEX)) == nullptr) {
        *tableSet(L, h, &key) = val;
        return;
      }
    } else {
      tm = getTMbyObj(L, &t, TM_NEWINDEX);
      if (ttisnil(tm)) typeError(L, loop == 0 ? t0 : &t, "index");
    }
    if (ttisfunction(tm)) {
      callTM(L, tm, &t, &key, &val);
      return;
    }
    t = *tm;
  }
  runError(L, "loop in settable");
}

static bool callBinTM(lua_State* L, const TValue* p1, const TValue* p2, TValue* res, TMS event) {
  // a default metatable (a table) of the first operand must not hide the second's metamethod
  const TValue* tm = getTMbyObj(L, p1, event);
  if (!ttisfunction(tm)) tm = getTMbyObj(L, p2, event);
  if (!ttisfunction(tm)) return false;
  callTMres(L, tm, p1, p2, res);
  return true;
}

static const TValue* getCompTM(lua_State* L, Table* mt1, Table* mt2, TMS event) {
  const TValue* tm1 = fastTM(L, mt1, event);
  if (tm1 == nullptr) return nullptr;
  if (mt1 == mt2) return tm1;
  const TValue* tm2 = fastTM(L, mt2, event);
  if (tm2 == nullptr) return nullptr;
  return rawequalObj(tm1, tm2) ? tm1 : nullptr;
}

// Order metamethod: -1 when none applies, else 0 or 1.
static int callOrderTM(lua_State* L, const TValue* p1, const TValue* p2, TMS event) {
  const TValue* tm1 = getTMbyObj(L, p1, event);
  if (ttisnil(tm1)) return -1;
  const TValue* tm2 = getTMbyObj(L, p2, event);
  if (!rawequalObj(tm1, tm2)) return -1;
  checkStack(L, 1);
  TValue* res = L->top;
  setnil(res);
  L->top++;
  callTMres(L, tm1, p1, p2, res);
  res = L->top - 1;
  L->top--;
  return !isfalse(res);
}

static int strCmp(const TString* ls, const TString* rs) {
  size_t ll = ls->len, lr = rs->len;
  int r = std::memcmp(ls->data(), rs->data(), ll < lr ? ll : lr);
  if (r != 0) return r;
  return ll < lr ? -1 : (ll > lr ? 1 : 0);
}

bool lessThan(lua_State* L, const TValue* l, const TValue* r) {
  if (l->tt != r->tt) orderError(L, l, r);
  if (ttisnumber(l)) return nvalue(l) < nvalue(r);
  if (ttisstring(l)) return strCmp(tsvalue(l), tsvalue(r)) < 0;
  int res = callOrderTM(L, l, r, TM_LT);
  if (res == -1) orderError(L, l, r);
  return res != 0;
}

static bool lessEqual(lua_State* L, const TValue* l, const TValue* r) {
  if (l->tt != r->tt) orderError(L, l, r);
  if (ttisnumber(l)) return nvalue(l) <= nvalue(r);
  if (ttisstring(l)) return strCmp(tsvalue(l), tsvalue(r)) <= 0;
  int res = callOrderTM(L, l, r, TM_LE);
  if (res != -1) return res != 0;
  res = callOrderTM(L, r, l, TM_LT);
  if (res != -1) return res == 0;
  orderError(L, l, r);
}

bool equalObj(lua_State* L, const TValue* t1, const TValue* t2) {
  if (t1->tt != t2->tt) return false;
  const TValue* tm;
  switch (t1->tt) {
    case LUA_TNIL: return true;
    case LUA_TNUMBER: return nvalue(t1) == nvalue(t2);
    case LUA_TBOOLEAN: return t1->v.b == t2->v.b;
    case LUA_TLIGHTUSERDATA: return t1->v.p == t2->v.p;
    case LUA_TUSERDATA:
      if (uvalue(t1) == uvalue(t2)) return true;
      tm = getCompTM(L, uvalue(t1)->metatable, uvalue(t2)->metatable, TM_EQ);
      break;
    case LUA_TTABLE:
      if (hvalue(t1) == hvalue(t2)) return true;
      tm = getCompTM(L, hvalue(t1)->metatable, hvalue(t2)->metatable, TM_EQ);
      break;
    default: return t1->v.gc == t2->v.gc;
  }
  if (tm == nullptr || !ttisfunction(tm)) return false;
  checkStack(L, 1);
  TValue* res = L->top;
  setnil(res);
  L->top++;
  callTMres(L, tm, t1, t2, res);
  res = L->top - 1;
  L->top--;
  return !isfalse(res);
}

// Whether the run of `total` operands ending at `top` is wide: the string-like operand nearest
// its end decides.
static bool wideRun(const TValue* top, int total) {
  for (int i = 1; i <= total; i++) {
    if (ttiswstring(top - i)) return true;
    if (ttisstring(top - i)) return false;
  }
  return false;
}

static bool toWideInPlace(lua_State* L, TValue* obj) {
  if (ttiswstring(obj)) return true;
  if (!ttisnumber(obj)) return false;
  setwstr(obj, numberToWide(L, nvalue(obj)));
  return true;
}

static void concatWide(lua_State* L, int total, int last) {
  do {
    TValue* top = L->base + last + 1;
    int n = 2;
    if (!(ttiswstring(top - 2) || ttisnumber(top - 2)) || !(ttiswstring(top - 1) || ttisnumber(top - 1))) {
      if (!callBinTM(L, top - 2, top - 1, top - 2, TM_CONCAT)) concatError(L, top - 2, top - 1);
    } else {
      toWideInPlace(L, top - 1);
      size_t tl = tsvalue(top - 1)->len;
      for (n = 1; n < total && toWideInPlace(L, top - n - 1); n++) {
        size_t l = tsvalue(top - n - 1)->len;
        if (l >= (~size_t(0) >> 2) - tl) runError(L, "string size overflow");
        tl += l;
      }
      std::vector<char>& buff = L->g->buff;
      buff.resize(tl * sizeof(uint16_t) + 1);
      uint16_t* out = reinterpret_cast<uint16_t*>(buff.data());
      tl = 0;
      for (int i = n; i > 0; i--) {
        size_t l = tsvalue(top - i)->len;
        if (l) std::memcpy(out + tl, tsvalue(top - i)->wdata(), l * sizeof(uint16_t));
        tl += l;
      }
      setwstr(top - n, newLWStr(L, out, tl));
    }
    total -= n - 1;
    last -= n - 1;
  } while (total > 1);
}

void concat(lua_State* L, int total, int last) {
  if (wideRun(L->base + last + 1, total)) {
    concatWide(L, total, last);
    return;
  }
  do {
    TValue* top = L->base + last + 1;
    int n = 2;
    if (!(ttisstring(top - 2) || ttisnumber(top - 2)) || !(ttisstring(top - 1) || ttisnumber(top - 1))) {
      if (!callBinTM(L, top - 2, top - 1, top - 2, TM_CONCAT)) concatError(L, top - 2, top - 1);
    } else if (ttisstring(top - 1) && tsvalue(top - 1)->len == 0) {
      toStringInPlace(L, top - 2);
    } else {
      // numbers are written straight into the result: interning their text would cost a
      // string per operand that nothing keeps
      size_t tl = 0;
      for (n = 0; n < total && (ttisstring(top - n - 1) || ttisnumber(top - n - 1)); n++) {
        size_t l = ttisstring(top - n - 1) ? tsvalue(top - n - 1)->len : 32;
        if (l >= (~size_t(0) >> 1) - tl) runError(L, "string size overflow");
        tl += l;
      }
      std::vector<char>& buff = L->g->buff;
      if (buff.size() < tl + 1) buff.resize(tl + 1);
      tl = 0;
      for (int i = n; i > 0; i--) {
        const TValue* o = top - i;
        if (ttisnumber(o)) {
          tl += static_cast<size_t>(num2str(nvalue(o), buff.data() + tl));
        } else {
          size_t l = tsvalue(o)->len;
          std::memcpy(buff.data() + tl, tsvalue(o)->data(), l);
          tl += l;
        }
      }
      setstr(top - n, newLStr(L, buff.data(), tl));
    }
    total -= n - 1;
    last -= n - 1;
  } while (total > 1);
}

static void arith(lua_State* L, TValue* ra, const TValue* rb, const TValue* rc, TMS op) {
  TValue tempb, tempc;
  const TValue *b, *c;
  if ((b = toNumber(rb, &tempb)) != nullptr && (c = toNumber(rc, &tempc)) != nullptr) {
    switch (op) {
      case TM_ADD: setnum(ra, nvalue(b) + nvalue(c)); break;
      case TM_SUB: setnum(ra, nvalue(b) - nvalue(c)); break;
      case TM_MUL: setnum(ra, nvalue(b) * nvalue(c)); break;
      case TM_DIV: setnum(ra, nvalue(b) / nvalue(c)); break;
      case TM_UNM: setnum(ra, -nvalue(b)); break;
      case TM_POW: {
        const TValue* f = tableGetStr(gtable(L), newStr(L, "__pow"));
        if (!ttisfunction(f)) runError(L, "`__pow' (`^' operator) is not a function");
        callTMres(L, f, b, c, ra);
        break;
      }
      default: break;
    }
  } else if (!callBinTM(L, rb, rc, ra, op)) {
    arithError(L, rb, rc);
  }
}

static void traceExec(lua_State* L, const Instruction* pc) {
  uint8_t mask = L->hookmask;
  CallInfo* ci = L->ci;
  if (mask & LUA_MASKCOUNT) {
    if (--L->hookcount == 0) {
      L->hookcount = L->basehookcount;
      ci->savedpc = pc;
      callHook(L, LUA_HOOKCOUNT, -1);
      ci = L->ci;
    }
  }
  if (mask & LUA_MASKLINE) {
    Proto* p = lclvalue(ci->func)->p;
    int npc = static_cast<int>(pc - p->code.data()) - 1;
    int newline = getLine(p, npc);
    const Instruction* old = L->oldpc;
    bool sameFunc = old != nullptr && old >= p->code.data() && old < p->code.data() + p->code.size();
    if (npc == 0 || !sameFunc || pc <= old || newline != getLine(p, static_cast<int>(old - p->code.data()) - 1)) {
      ci->savedpc = pc;
      callHook(L, LUA_HOOKLINE, newline);
    }
    L->oldpc = pc;
  }
}

// A raw read, then a few steps through __index tables (how classes and their bases find
// their methods); false leaves the read to getTable, which starts again from the object.
static inline const TValue* lookUp(Table* h, const TValue* key) { return tableGet(h, key); }
static inline const TValue* lookUp(Table* h, TString* key) { return tableGetStr(h, key); }
// A constant text key of an instruction, which keeps the slot where it last found the key: in a
// table of some size that slot is tried before probing, which a crowded run of slots makes long.
struct HintedKey {
  TString* key;
  Proto* p;
  const Instruction* pc;  // just past the instruction
};
constexpr int kHintedLogSize = 3;
static inline const TValue* lookUp(Table* h, HintedKey k) {
  if (h->lsizenode < kHintedLogSize) return tableGetStr(h, k.key);
  uint32_t* hint = k.p->slotHints.data() + (k.pc - 1 - k.p->code.data());
  const Node* n = &h->node[*hint & ((1u << h->lsizenode) - 1)];
  if (n->key.tt == LUA_TSTRING && n->key.v.gc == k.key) return &n->val;
  const TValue* res = tableGetStr(h, k.key);
  if (res != &nilobject)
    *hint = static_cast<uint32_t>(reinterpret_cast<const Node*>(reinterpret_cast<const char*>(res) - offsetof(Node, val)) - h->node);
  return res;
}
constexpr int kFastIndexDepth = 4;
template <typename Key>
__attribute__((always_inline)) static inline bool fastGet(lua_State* L, Table* h, Key key, TValue* val) {
  const TValue* res = lookUp(h, key);
  for (int depth = 0; ttisnil(res); depth++) {
    const TValue* tm = fastTM(L, h->metatable, TM_INDEX);
    if (tm == nullptr) break;
    if (!ttistable(tm) || depth == kFastIndexDepth) return false;
    h = hvalue(tm);
    res = lookUp(h, key);
  }
  *val = *res;
  return true;
}

#define RK(x) (ISK(x) ? k + ((x) - MAXSTACK) : base + (x))
#define KC(x) (k + ((x) - MAXSTACK))
#define HINTED(key) (HintedKey{(key), cl->p, pc})
// Line and count hooks are looked for where they can have been set: on entering a function,
// after anything that may run other code (a call, a metamethod) and at every jump, so a hook
// armed from outside (a signal) is met within one stretch of straight code. While one is set,
// every operation goes through `hooked`.
#define WATCH() \
  disp = __builtin_expect(L->hookmask & (LUA_MASKLINE | LUA_MASKCOUNT), 0) ? kHooked : kDispatch
#define PROTECT(x)      \
  {                     \
    ci->savedpc = pc;   \
    x;                  \
    ci = L->ci;         \
    base = ci->base;    \
    WATCH();            \
  }
// Threaded dispatch: every operation ends by jumping straight to the next one's code, which
// spares a shared jump and lets the branch predictor learn each operation's successors.
#define DISPATCH()               \
  {                              \
    i = *pc++;                   \
    ra = base + GETARG_A(i);     \
    goto* disp[RAW_OP(i)];       \
  }
#define JUMP(offset) \
  {                  \
    pc += (offset);  \
    WATCH();         \
  }

void execute(lua_State* L) {
  // six bits of operation: the numbers no operation uses do nothing, as a damaged chunk may hold them
  static const void* const kDispatch[64] = {
      &&op_MOVE, &&op_LOADK, &&op_LOADBOOL, &&op_LOADNIL, &&op_GETUPVAL, &&op_GETGLOBAL,
      &&op_GETTABLE, &&op_SETGLOBAL, &&op_SETUPVAL, &&op_SETTABLE, &&op_NEWTABLE, &&op_SELF,
      &&op_ADD, &&op_SUB, &&op_MUL, &&op_DIV, &&op_BAND, &&op_BOR, &&op_SHL, &&op_SHR, &&op_POW,
      &&op_UNM, &&op_NOT, &&op_CONCAT, &&op_JMP, &&op_EQ, &&op_LT, &&op_LE, &&op_TEST, &&op_CALL,
      &&op_TAILCALL, &&op_RETURN, &&op_FORLOOP, &&op_TFORLOOP, &&op_TFORPREP, &&op_SETLIST,
      &&op_SETLISTO, &&op_CLOSE, &&op_CLOSURE, &&op_ADD_RR, &&op_ADD_RN, &&op_SUB_RR, &&op_SUB_RN,
      &&op_MUL_RR, &&op_MUL_RN, &&op_DIV_RR, &&op_DIV_RN, &&op_GETTABLE_RS, &&op_GETTABLE_RR,
      &&op_SETTABLE_S, &&op_SELF_S, &&op_EQ_RN, &&op_LT_RR, &&op_LT_RN, &&op_LT_NR, &&op_LE_RR,
      &&op_LE_RN, &&op_LE_NR, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE, &&op_NONE};
  static const void* const kHooked[64] = {
      &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked,
      &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked,
      &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked,
      &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked,
      &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked,
      &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked, &&hooked,
      &&hooked, &&hooked, &&hooked, &&hooked};
  static_assert(NUM_OPCODES == 39 && OP_CLOSURE == 38 && XOP_ADD_RR == 39 && NUM_VM_OPCODES == 58);
  const void* const* disp;
  CallInfo* ci;
  LClosure* cl;
  TValue* base;
  const TValue* k;
  const Instruction* pc;
  Instruction i;
  TValue* ra;
reentry:
  ci = L->ci;
  cl = lclvalue(ci->func);
  base = ci->base;
  k = cl->p->k.data();
  pc = ci->savedpc;
  WATCH();
  DISPATCH();
hooked:
  traceExec(L, pc);
  ci = L->ci;
  base = ci->base;
  ra = base + GETARG_A(i);
  WATCH();
  goto* kDispatch[RAW_OP(i)];

op_NONE:
  DISPATCH();
op_MOVE:
  *ra = base[GETARG_B(i)];
  DISPATCH();
op_LOADK:
  *ra = k[GETARG_Bx(i)];
  DISPATCH();
op_LOADBOOL:
  setbool(ra, GETARG_B(i));
  if (GETARG_C(i)) pc++;
  DISPATCH();
op_LOADNIL: {
  TValue* rb = base + GETARG_B(i);
  do {
    setnil(rb--);
  } while (rb >= ra);
  DISPATCH();
}
op_GETUPVAL:
  *ra = *cl->upvals[GETARG_B(i)]->v;
  DISPATCH();
op_GETGLOBAL: {
  const TValue* key = k + GETARG_Bx(i);
  Table* env = cl->env;
  const TValue* res = lookUp(env, HINTED(tsvalue(key)));
  if (!ttisnil(res) || fastTM(L, env->metatable, TM_INDEX) == nullptr) {
    *ra = *res;
  } else {
    TValue g;
    settable(&g, env);
    PROTECT(getTable(L, &g, key, ra));
  }
  DISPATCH();
}
#define GETTABLE_AS(OPC, RC, KEY)                                 \
  OPC: {                                                          \
    TValue* rb = base + GETARG_B(i);                              \
    const TValue* rc = RC;                                        \
    if (ttistable(rb) && fastGet(L, hvalue(rb), KEY, ra)) DISPATCH(); \
    PROTECT(getTable(L, rb, rc, ra));                             \
    DISPATCH();                                                   \
  }
  GETTABLE_AS(op_GETTABLE, RK(GETARG_C(i)), rc)
  GETTABLE_AS(op_GETTABLE_RR, base + GETARG_C(i), rc)
  GETTABLE_AS(op_GETTABLE_RS, KC(GETARG_C(i)), HINTED(tsvalue(rc)))
#undef GETTABLE_AS
op_SETGLOBAL: {
  Table* env = cl->env;
  const TValue* key = k + GETARG_Bx(i);
  TValue* slot = const_cast<TValue*>(lookUp(env, HINTED(tsvalue(key))));
  if (!ttisnil(slot)) {
    *slot = *ra;
  } else {
    TValue g;
    settable(&g, env);
    PROTECT(setTable(L, &g, key, ra));
  }
  DISPATCH();
}
op_SETUPVAL:
  *cl->upvals[GETARG_B(i)]->v = *ra;
  DISPATCH();
#define SETTABLE_AS(OPC, RB, KEY)                                 \
  OPC: {                                                          \
    const TValue* rb = RB;                                        \
    const TValue* rc = RK(GETARG_C(i));                           \
    if (ttistable(ra)) {                                          \
      Table* h = hvalue(ra);                                      \
      TValue* slot = const_cast<TValue*>(lookUp(h, KEY));         \
      if (!ttisnil(slot)) {                                       \
        *slot = *rc;                                              \
        DISPATCH();                                               \
      }                                                           \
      if (fastTM(L, h->metatable, TM_NEWINDEX) == nullptr) {      \
        if (slot != &nilobject) {                                 \
          h->flags = 0;                                           \
          *slot = *rc;                                            \
        } else {                                                  \
          ci->savedpc = pc;                                       \
          *tableSetAbsent(L, h, rb) = *rc;                        \
        }                                                         \
        DISPATCH();                                               \
      }                                                           \
    }                                                             \
    PROTECT(setTable(L, ra, rb, rc));                             \
    DISPATCH();                                                   \
  }
  SETTABLE_AS(op_SETTABLE, RK(GETARG_B(i)), rb)
  SETTABLE_AS(op_SETTABLE_S, KC(GETARG_B(i)), HINTED(tsvalue(rb)))
#undef SETTABLE_AS
op_NEWTABLE: {
  ci->savedpc = pc;
  settable(ra, newTable(L, fb2int(GETARG_B(i)), GETARG_C(i)));
  PROTECT(checkGC(L));
  DISPATCH();
}
#define SELF_AS(OPC, RC, KEY)                                          \
  OPC: {                                                               \
    const TValue* rc = RC;                                             \
    TValue obj = base[GETARG_B(i)];                                    \
    ra[1] = obj;                                                       \
    if (ttistable(&obj) && fastGet(L, hvalue(&obj), KEY, ra)) DISPATCH(); \
    PROTECT(getTable(L, &obj, rc, ra));                                \
    DISPATCH();                                                        \
  }
  SELF_AS(op_SELF, RK(GETARG_C(i)), rc)
  SELF_AS(op_SELF_S, KC(GETARG_C(i)), tsvalue(rc))
#undef SELF_AS
#define ARITH_AS(OPC, TMV, EXPR, RB, RC, NUMBERS)  \
  OPC: {                                           \
    const TValue* rb = RB;                         \
    const TValue* rc = RC;                         \
    if (__builtin_expect(NUMBERS, 1)) {            \
      lua_Number nb = nvalue(rb), nc = nvalue(rc); \
      setnum(ra, EXPR);                            \
    } else {                                       \
      PROTECT(arith(L, ra, rb, rc, TMV));          \
    }                                              \
    DISPATCH();                                    \
  }
#define ARITH(NAME, TMV, EXPR)                                                                          \
  ARITH_AS(op_##NAME, TMV, EXPR, RK(GETARG_B(i)), RK(GETARG_C(i)), ttisnumber(rb) && ttisnumber(rc))     \
  ARITH_AS(op_##NAME##_RR, TMV, EXPR, base + GETARG_B(i), base + GETARG_C(i), ttisnumber(rb) && ttisnumber(rc)) \
  ARITH_AS(op_##NAME##_RN, TMV, EXPR, base + GETARG_B(i), KC(GETARG_C(i)), ttisnumber(rb))
  ARITH(ADD, TM_ADD, nb + nc)
  ARITH(SUB, TM_SUB, nb - nc)
  ARITH(MUL, TM_MUL, nb * nc)
  ARITH(DIV, TM_DIV, nb / nc)
#undef ARITH
#undef ARITH_AS
#define BITOP(OPC, EXPR)                                          \
  OPC: {                                                          \
    const TValue* rb = RK(GETARG_B(i));                           \
    const TValue* rc = RK(GETARG_C(i));                           \
    if (!ttisnumber(rb) || !ttisnumber(rc)) {                     \
      ci->savedpc = pc;                                           \
      arithError(L, rb, rc);                                      \
    }                                                             \
    uint32_t ub = num2u32(nvalue(rb)), uc = num2u32(nvalue(rc));  \
    setnum(ra, static_cast<lua_Number>(EXPR));                    \
    DISPATCH();                                                   \
  }
  BITOP(op_BAND, ub & uc)
  BITOP(op_BOR, ub | uc)
  BITOP(op_SHL, static_cast<uint32_t>(ub << (uc & 31)))
  BITOP(op_SHR, ub >> (uc & 31))
#undef BITOP
op_POW: {
  // exclusive or of two numbers; the exponent path for anything else
  const TValue* rb = RK(GETARG_B(i));
  const TValue* rc = RK(GETARG_C(i));
  if (ttisnumber(rb) && ttisnumber(rc)) {
    setnum(ra, static_cast<lua_Number>(num2u32(nvalue(rb)) ^ num2u32(nvalue(rc))));
  } else {
    PROTECT(arith(L, ra, rb, rc, TM_POW));
  }
  DISPATCH();
}
op_UNM: {
  const TValue* rb = base + GETARG_B(i);
  if (ttisnumber(rb)) {
    setnum(ra, -nvalue(rb));
  } else {
    PROTECT(arith(L, ra, rb, rb, TM_UNM));
  }
  DISPATCH();
}
op_NOT: {
  int res = isfalse(base + GETARG_B(i));
  setbool(ra, res);
  DISPATCH();
}
op_CONCAT: {
  int b = GETARG_B(i), c = GETARG_C(i);
  PROTECT(concat(L, c - b + 1, c));
  ra = base + GETARG_A(i);
  *ra = base[b];
  PROTECT(checkGC(L));
  DISPATCH();
}
op_JMP:
  JUMP(GETARG_sBx(i));
  DISPATCH();
op_EQ: {
  const TValue* rb = RK(GETARG_B(i));
  const TValue* rc = RK(GETARG_C(i));
  bool eq;
  if (rb->tt != rc->tt) eq = false;
  else if (ttisnumber(rb)) eq = nvalue(rb) == nvalue(rc);
  else if (rb->tt == LUA_TTABLE || rb->tt == LUA_TUSERDATA) {
    PROTECT(eq = equalObj(L, rb, rc));
  } else eq = rawequalObj(rb, rc);
  if (eq != (GETARG_A(i) != 0)) pc++;
  else JUMP(GETARG_sBx(*pc) + 1);
  DISPATCH();
}
op_EQ_RN: {
  // a number constant equals only a number: no metamethod can take part
  const TValue* rb = base + GETARG_B(i);
  bool eq = ttisnumber(rb) && nvalue(rb) == nvalue(KC(GETARG_C(i)));
  if (eq != (GETARG_A(i) != 0)) pc++;
  else JUMP(GETARG_sBx(*pc) + 1);
  DISPATCH();
}
#define COMPARE_AS(OPC, OPR, SLOW, RB, RC, NUMBERS) \
  OPC: {                                            \
    const TValue* rb = RB;                          \
    const TValue* rc = RC;                          \
    bool res;                                       \
    if (__builtin_expect(NUMBERS, 1))               \
      res = nvalue(rb) OPR nvalue(rc);              \
    else                                            \
      PROTECT(res = SLOW(L, rb, rc));               \
    if (res != (GETARG_A(i) != 0)) pc++;            \
    else JUMP(GETARG_sBx(*pc) + 1);                 \
    DISPATCH();                                     \
  }
#define COMPARE(NAME, OPR, SLOW)                                                                              \
  COMPARE_AS(op_##NAME, OPR, SLOW, RK(GETARG_B(i)), RK(GETARG_C(i)), ttisnumber(rb) && ttisnumber(rc))         \
  COMPARE_AS(op_##NAME##_RR, OPR, SLOW, base + GETARG_B(i), base + GETARG_C(i), ttisnumber(rb) && ttisnumber(rc)) \
  COMPARE_AS(op_##NAME##_RN, OPR, SLOW, base + GETARG_B(i), KC(GETARG_C(i)), ttisnumber(rb))                   \
  COMPARE_AS(op_##NAME##_NR, OPR, SLOW, KC(GETARG_B(i)), base + GETARG_C(i), ttisnumber(rc))
  COMPARE(LT, <, lessThan)
  COMPARE(LE, <=, lessEqual)
#undef COMPARE
#undef COMPARE_AS
op_TEST: {
  TValue* rb = base + GETARG_B(i);
  if (isfalse(rb) != (GETARG_C(i) != 0)) {
    *ra = *rb;
    JUMP(GETARG_sBx(*pc) + 1);
  } else {
    pc++;
  }
  DISPATCH();
}
op_CALL: {
  int b = GETARG_B(i);
  int nresults = GETARG_C(i) - 1;
  if (b != 0) L->top = ra + b;
  ci->savedpc = pc;
  if (isLfunction(ra)) {
    const Proto* p = lclvalue(ra)->p;
    if (!p->is_vararg && !(L->hookmask & LUA_MASKCALL) && L->stack_last - L->top > p->maxstacksize) {
      enterLua(L, ra, p, nresults);
      goto reentry;
    }
  }
  switch (precall(L, ra, nresults)) {
    case PCR_LUA: goto reentry;
    case PCR_C:
      ci = L->ci;
      if (nresults >= 0) L->top = ci->top;
      base = ci->base;
      WATCH();
      break;
    case PCR_YIELD: return;
  }
  DISPATCH();
}
op_TAILCALL: {
  int b = GETARG_B(i);
  if (b != 0) L->top = ra + b;
  ci->savedpc = pc;
  if (!isLfunction(ra)) {
    // C functions and callable objects run above this frame; the RETURN that follows
    // hands back their results, so error messages still see the calling frame
    switch (precall(L, ra, LUA_MULTRET)) {
      case PCR_LUA: goto reentry;
      case PCR_C:
        ci = L->ci;
        base = ci->base;
        WATCH();
        break;
      case PCR_YIELD: return;
    }
    DISPATCH();
  }
  if (L->openupval) closeUpvals(L, base);
  if (__builtin_expect(L->hookmask & LUA_MASKCALL, 0)) {
    tailCallHooked(L, ra);
    goto reentry;
  }
  TValue* func = ci->func;
  int n = static_cast<int>(L->top - ra);
  for (int j = 0; j < n; j++) func[j] = ra[j];
  L->top = func + n;
  int nresults = ci->nresults;
  uint8_t fresh = ci->callstatus & CIST_FRESH;
  int tailcalls = ci->tailcalls;
  L->ci--;
  L->base = L->ci->base;
  const Proto* p = lclvalue(func)->p;
  if (!p->is_vararg && L->stack_last - L->top > p->maxstacksize) {
    enterLua(L, func, p, nresults);
    L->ci->callstatus |= static_cast<uint8_t>(fresh | CIST_TAIL);
    L->ci->tailcalls = tailcalls + 1;
    goto reentry;
  }
  switch (precall(L, func, nresults)) {
    case PCR_LUA:
      L->ci->callstatus |= static_cast<uint8_t>(fresh | CIST_TAIL);
      L->ci->tailcalls = tailcalls + 1;
      goto reentry;
    case PCR_C:
      if (fresh) return;
      if (nresults >= 0) L->top = L->ci->top;
      goto reentry;
    case PCR_YIELD: return;
  }
  DISPATCH();
}
op_RETURN: {
  int b = GETARG_B(i);
  if (b != 0) L->top = ra + b - 1;
  if (L->openupval) closeUpvals(L, base);
  ci->savedpc = pc;
  bool fresh = ci->callstatus & CIST_FRESH;
  int wanted = ci->nresults;
  postcall(L, ra);
  if (fresh) return;
  if (wanted >= 0) L->top = L->ci->top;
  goto reentry;
}
op_FORLOOP: {
  if (__builtin_expect(!(ttisnumber(ra) && ttisnumber(ra + 1) && ttisnumber(ra + 2)), 0)) {
    if (!ttisnumber(ra)) {
      ci->savedpc = pc;
      runError(L, "`for' initial value must be a number");
    }
    // limit and step may be strings that spell numbers: converted in place
    TValue tmp;
    const TValue* v = toNumber(ra + 1, &tmp);
    ci->savedpc = pc;
    if (v == nullptr) runError(L, "`for' limit must be a number");
    setnum(ra + 1, nvalue(v));
    v = toNumber(ra + 2, &tmp);
    if (v == nullptr) runError(L, "`for' step must be a number");
    setnum(ra + 2, nvalue(v));
  }
  lua_Number step = nvalue(ra + 2);
  lua_Number idx = nvalue(ra) + step;
  lua_Number limit = nvalue(ra + 1);
  if (step > 0 ? idx <= limit : idx >= limit) {
    JUMP(GETARG_sBx(i));
    setnum(ra, idx);
  }
  DISPATCH();
}
op_TFORLOOP: {
  int c = GETARG_C(i);
  TValue* cb = ra + c + 3;
  cb[0] = ra[0];
  cb[1] = ra[1];
  cb[2] = ra[2];
  L->top = cb + 3;
  PROTECT(callFunc(L, cb, c + 1));
  ra = base + GETARG_A(i);
  cb = ra + c + 3;
  L->top = ci->top;
  for (int j = 0; j <= c; j++) ra[2 + j] = cb[j];
  if (ttisnil(ra + 2)) pc++;
  DISPATCH();
}
op_TFORPREP: {
  if (ttistable(ra)) {
    ra[1] = ra[0];
    TString* nextname = newStr(L, "next");
    *ra = *tableGetStr(gtable(L), nextname);
  }
  pc += GETARG_sBx(i);
  DISPATCH();
}
op_SETLIST:
op_SETLISTO: {
  int bc = GETARG_Bx(i);
  int n;
  if (GET_OP(i) == OP_SETLIST) {
    n = (bc & (FIELDS_PER_FLUSH - 1)) + 1;
  } else {
    n = static_cast<int>(L->top - ra) - 1;
    L->top = ci->top;
  }
  bc &= ~(FIELDS_PER_FLUSH - 1);
  ci->savedpc = pc;
  if (!ttistable(ra)) runError(L, "bad list constructor");  // only a damaged chunk gets here
  Table* h = hvalue(ra);
  for (int j = 1; j <= n; j++) {
    TValue* slot = (bc + j <= h->sizearray) ? &h->array[bc + j - 1] : tableSetNum(L, h, bc + j);
    *slot = ra[j];
  }
  DISPATCH();
}
op_CLOSE:
  closeUpvals(L, ra);
  DISPATCH();
op_CLOSURE: {
  Proto* p = cl->p->p[GETARG_Bx(i)];
  int nup = p->nups;
  ci->savedpc = pc;
  LClosure* ncl = newLClosure(L, nup, cl->env);
  ncl->p = p;
  for (int j = 0; j < nup; j++, pc++) {
    if (GET_OP(*pc) == OP_GETUPVAL)
      ncl->upvals[j] = cl->upvals[GETARG_B(*pc)];
    else
      ncl->upvals[j] = findUpval(L, base + GETARG_B(*pc));
  }
  setclosure(ra, ncl);
  PROTECT(checkGC(L));
  DISPATCH();
}
}

}  // namespace luai

int luaV_towstring(lua_State* L, luai::TValue* obj) {
  if (!luai::ttisnumber(obj)) return 0;
  luai::setwstr(obj, luai::numberToWide(L, luai::nvalue(obj)));
  return 1;
}
