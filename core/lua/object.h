#pragma once
// Values and heap objects of the script language.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lua.h"

namespace luai {

using Instruction = uint32_t;

// Internal type tags beyond the public ones.
enum : int {
  TPROTO = 10,
  TUPVAL = 11,
  TDEADKEY = 12,
  NUM_TAGS = 11  // tags with a default metatable slot (0..10)
};

struct GCObject;
struct TString;
struct Table;
struct Proto;
struct UpVal;
struct Udata;
struct LClosure;
struct CClosure;
struct Closure;

struct TValue {
  union {
    GCObject* gc;
    void* p;
    lua_Number n;
    int b;
  } v;
  int tt;
};

struct GCObject {
  GCObject* gcnext;
  uint8_t tt;
  uint8_t marked;
};

struct TString : GCObject {
  uint8_t reserved;  // keyword index + 1, 0 for ordinary strings
  uint32_t hash;
  size_t len;
  TString* hnext;  // chain in the string table
  // Narrow strings hold bytes; wide strings (tt LUA_TWSTRING) hold `len` 16-bit units. Both end
  // in a zero element.
  char* data() { return reinterpret_cast<char*>(this + 1); }
  const char* data() const { return reinterpret_cast<const char*>(this + 1); }
  uint16_t* wdata() { return reinterpret_cast<uint16_t*>(this + 1); }
  const uint16_t* wdata() const { return reinterpret_cast<const uint16_t*>(this + 1); }
};

struct Node {
  TValue key;
  TValue val;
};

// Cached absence of the fast metamethods (bit set: absent).
enum TMS : int {
  TM_INDEX,
  TM_NEWINDEX,
  TM_GC,
  TM_MODE,
  TM_EQ,  // last event with a fast-access flag
  TM_ADD,
  TM_SUB,
  TM_MUL,
  TM_DIV,
  TM_POW,
  TM_UNM,
  TM_LT,
  TM_LE,
  TM_CONCAT,
  TM_CALL,
  TM_N
};

struct Table : GCObject {
  uint8_t flags;
  uint8_t lsizenode;  // log2 of the hash size (0 with no hash part: one dummy node)
  Table* metatable;
  TValue* array;
  int sizearray;
  int nodeused;  // hash slots whose key is not nil (dead keys included)
  Node* node;
  GCObject* gclist;
};

struct Udata : GCObject {
  uint8_t isbox;
  Table* metatable;
  void* boxed;
  size_t len;
  void* payload() { return reinterpret_cast<char*>(this) + payloadOffset(); }
  static constexpr size_t payloadOffset() { return (sizeof(Udata) + 15) & ~size_t(15); }
};

struct LocVar {
  TString* varname;
  int startpc;
  int endpc;
};

struct Proto : GCObject {
  std::vector<TValue> k;
  std::vector<Instruction> code;
  // Per instruction: the hash slot where its constant text key was last found.
  std::vector<uint32_t> slotHints;
  std::vector<Proto*> p;
  std::vector<int> lineinfo;
  std::vector<LocVar> locvars;
  std::vector<TString*> upvalues;
  TString* source = nullptr;
  int linedefined = 0;
  uint8_t nups = 0;
  uint8_t numparams = 0;
  uint8_t is_vararg = 0;
  uint8_t maxstacksize = 0;
  GCObject* gclist = nullptr;
};

struct UpVal : GCObject {
  TValue* v;       // points into a stack while open, to `value` once closed
  TValue value;
  UpVal* opennext;  // open list of the owning thread, highest level first
};

struct Closure : GCObject {
  uint8_t isC;
  uint8_t nupvalues;
  Table* env;
  GCObject* gclist;
};

struct CClosure : Closure {
  lua_CFunction f;
  TValue upvalue[1];
};

struct LClosure : Closure {
  Proto* p;
  UpVal* upvals[1];
};

// Value helpers.
inline bool ttisnil(const TValue* o) { return o->tt == LUA_TNIL; }
inline bool ttisnumber(const TValue* o) { return o->tt == LUA_TNUMBER; }
inline bool ttisstring(const TValue* o) { return o->tt == LUA_TSTRING; }
inline bool ttiswstring(const TValue* o) { return o->tt == LUA_TWSTRING; }
// Either kind of interned text: never cleared from weak tables, hashed by content.
inline bool ttisanystring(const TValue* o) { return o->tt == LUA_TSTRING || o->tt == LUA_TWSTRING; }
inline bool ttistable(const TValue* o) { return o->tt == LUA_TTABLE; }
inline bool ttisfunction(const TValue* o) { return o->tt == LUA_TFUNCTION; }
inline bool ttisboolean(const TValue* o) { return o->tt == LUA_TBOOLEAN; }
inline bool ttisuserdata(const TValue* o) { return o->tt == LUA_TUSERDATA; }
inline bool ttisthread(const TValue* o) { return o->tt == LUA_TTHREAD; }
inline bool iscollectable(const TValue* o) { return o->tt >= LUA_TSTRING; }
inline bool isfalse(const TValue* o) { return o->tt == LUA_TNIL || (o->tt == LUA_TBOOLEAN && o->v.b == 0); }

inline lua_Number nvalue(const TValue* o) { return o->v.n; }
inline TString* tsvalue(const TValue* o) { return static_cast<TString*>(o->v.gc); }
inline Table* hvalue(const TValue* o) { return static_cast<Table*>(o->v.gc); }
inline Closure* clvalue(const TValue* o) { return static_cast<Closure*>(o->v.gc); }
inline LClosure* lclvalue(const TValue* o) { return static_cast<LClosure*>(o->v.gc); }
inline CClosure* cclvalue(const TValue* o) { return static_cast<CClosure*>(o->v.gc); }
inline Udata* uvalue(const TValue* o) { return static_cast<Udata*>(o->v.gc); }
inline lua_State* thvalue(const TValue* o) { return reinterpret_cast<lua_State*>(o->v.gc); }
inline bool isLfunction(const TValue* o) { return o->tt == LUA_TFUNCTION && !clvalue(o)->isC; }

inline void setnil(TValue* o) { o->tt = LUA_TNIL; }
inline void setnum(TValue* o, lua_Number n) {
  o->v.n = n;
  o->tt = LUA_TNUMBER;
}
inline void setbool(TValue* o, int b) {
  o->v.b = b != 0;
  o->tt = LUA_TBOOLEAN;
}
inline void setpvalue(TValue* o, void* p) {
  o->v.p = p;
  o->tt = LUA_TLIGHTUSERDATA;
}
inline void setgc(TValue* o, GCObject* g, int tt) {
  o->v.gc = g;
  o->tt = tt;
}
inline void setstr(TValue* o, TString* s) { setgc(o, s, LUA_TSTRING); }
inline void setwstr(TValue* o, TString* s) { setgc(o, s, LUA_TWSTRING); }
inline void settable(TValue* o, Table* t) { setgc(o, t, LUA_TTABLE); }
inline void setclosure(TValue* o, Closure* c) { setgc(o, c, LUA_TFUNCTION); }
inline void setudata(TValue* o, Udata* u) { setgc(o, u, LUA_TUSERDATA); }
inline void setthread(TValue* o, lua_State* th) { setgc(o, reinterpret_cast<GCObject*>(th), LUA_TTHREAD); }
inline void setobj(TValue* d, const TValue* s) { *d = *s; }

// Whether two values are primitively equal (no metamethods).
bool rawequalObj(const TValue* a, const TValue* b);
// String to number as the language converts it; false when the text is not a number.
bool str2d(const char* s, lua_Number* result);
// The same for 16-bit text of `len` units.
bool wstr2d(const uint16_t* s, size_t len, lua_Number* result);
// Number to text with the "%.14g" format, independent of the process locale; returns length.
// The buffer needs 32 bytes.
int num2str(lua_Number n, char* buf);
// Conversion to an unsigned 32-bit integer: truncation toward zero, NaN and negatives give 0,
// values beyond the range saturate.
inline uint32_t num2u32(lua_Number n) {
  if (!(n > 0)) return 0;
  if (n >= 4294967295.0) return 4294967295u;
  return static_cast<uint32_t>(n);
}
// Conversion to a signed 32-bit integer with the same rules (NaN gives 0).
inline int32_t num2i32(lua_Number n) {
  if (n != n) return 0;
  if (n >= 2147483647.0) return 2147483647;
  if (n <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(n);
}
// Readable source name for messages.
void chunkid(char* out, const char* source, size_t bufflen);
int log2i(unsigned int x);
int int2fb(unsigned int x);
int fb2int(int x);

extern const char* const typenames[];
extern const TValue nilobject;

}  // namespace luai
