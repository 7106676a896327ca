#include <cmath>
#include <cstdio>

#include "core/lua/call.h"
#include "core/lua/closure.h"
#include "core/lua/debug_info.h"
#include "core/lua/dump.h"
#include "core/lua/opcodes.h"
#include "core/lua/str_table.h"

namespace luai {

namespace {

constexpr lua_Number kTestNumber = 3.14159265358979323846E7;
constexpr int kMaxCount = 1 << 24;  // far beyond any real function; stops absurd sizes early

struct Loader {
  lua_State* L = nullptr;
  ZIO* z = nullptr;
  const char* name = nullptr;
  bool swap = false;
  int sizeofSizeT = sizeof(size_t);
  std::string buff;

  [[noreturn]] void error(const char* fmt, const char* what = nullptr) {
    char msg[160];
    if (what)
      std::snprintf(msg, sizeof msg, fmt, what, name);
    else
      std::snprintf(msg, sizeof msg, fmt, name);
    pushFString(L, "%s", msg);
    throwError(L, LUA_ERRSYNTAX);
  }

  void block(void* b, size_t size) {
    char* out = static_cast<char*>(b);
    while (size > 0) {
      if (z->n == 0) {
        int c = z->fill();
        if (c == -1) error("unexpected end of file in %s");
        *out++ = static_cast<char>(c);
        size--;
        continue;
      }
      size_t m = size < z->n ? size : z->n;
      std::memcpy(out, z->p, m);
      z->p += m;
      z->n -= m;
      out += m;
      size -= m;
    }
  }
  void swapBytes(void* b, size_t size) {
    if (!swap) return;
    char* p = static_cast<char*>(b);
    for (size_t i = 0; i < size / 2; i++) std::swap(p[i], p[size - 1 - i]);
  }
  int byte() {
    unsigned char c;
    block(&c, 1);
    return c;
  }
  int integer() {
    int32_t x;
    block(&x, sizeof x);
    swapBytes(&x, sizeof x);
    return x;
  }
  int count() {
    int n = integer();
    if (n < 0 || n > kMaxCount) error("bad size in %s");
    return n;
  }
  size_t sizeT() {
    if (sizeofSizeT == 4) {
      uint32_t x;
      block(&x, sizeof x);
      swapBytes(&x, sizeof x);
      return x;
    }
    uint64_t x;
    block(&x, sizeof x);
    swapBytes(&x, sizeof x);
    return static_cast<size_t>(x);
  }
  lua_Number number() {
    lua_Number x;
    block(&x, sizeof x);
    swapBytes(&x, sizeof x);
    return x;
  }
  TString* string() {
    size_t size = sizeT();
    if (size == 0) return nullptr;
    if (size > (1u << 30)) error("bad string size in %s");
    buff.clear();
    // read in pieces so a damaged size fails at the end of input, not at allocation
    char piece[4096];
    size_t left = size;
    while (left > 0) {
      size_t m = left < sizeof piece ? left : sizeof piece;
      block(piece, m);
      buff.append(piece, m);
      left -= m;
    }
    return newLStr(L, buff.data(), size - 1);
  }

  // A count of units including the terminating zero, then the units in the chunk's byte order.
  TString* wideString() {
    size_t size = sizeT();
    if (size == 0) return nullptr;
    if (size > (1u << 29)) error("bad string size in %s");
    std::u16string units;
    char16_t piece[2048];
    size_t left = size;
    while (left > 0) {
      size_t m = left < 2048 ? left : 2048;
      block(piece, m * sizeof(char16_t));
      if (swap)
        for (size_t i = 0; i < m; i++) piece[i] = static_cast<char16_t>((piece[i] >> 8) | (piece[i] << 8));
      units.append(piece, m);
      left -= m;
    }
    return newLWStr(L, reinterpret_cast<const uint16_t*>(units.data()), size - 1);
  }

  Proto* function(TString* parentSource, int depth) {
    if (depth > 200) error("too deeply nested functions in %s");
    Proto* f = newProto(L);
    f->source = string();
    if (f->source == nullptr) f->source = parentSource;
    f->linedefined = integer();
    f->nups = static_cast<uint8_t>(byte());
    f->numparams = static_cast<uint8_t>(byte());
    f->is_vararg = static_cast<uint8_t>(byte());
    f->maxstacksize = static_cast<uint8_t>(byte());
    int n = count();
    for (int i = 0; i < n; i++) f->lineinfo.push_back(integer());
    n = count();
    for (int i = 0; i < n; i++) {
      LocVar lv;
      lv.varname = string();
      lv.startpc = integer();
      lv.endpc = integer();
      if (lv.varname == nullptr) error("bad local name in %s");
      f->locvars.push_back(lv);
    }
    n = count();
    for (int i = 0; i < n; i++) {
      TString* s = string();
      if (s == nullptr) error("bad upvalue name in %s");
      f->upvalues.push_back(s);
    }
    n = count();
    for (int i = 0; i < n; i++) {
      TValue o;
      int t = byte();
      switch (t) {
        case LUA_TNIL: setnil(&o); break;
        case LUA_TNUMBER: setnum(&o, number()); break;
        case LUA_TSTRING: {
          TString* s = string();
          if (s == nullptr) error("bad constant in %s");
          setstr(&o, s);
          break;
        }
        case LUA_TWSTRING: {
          TString* w = wideString();
          if (w == nullptr) error("bad constant in %s");
          setwstr(&o, w);
          break;
        }
        default: {
          char msg[64];
          std::snprintf(msg, sizeof msg, "bad constant type (%d) in %%s", t);
          error(msg);
        }
      }
      f->k.push_back(o);
    }
    n = count();
    for (int i = 0; i < n; i++) f->p.push_back(function(f->source, depth + 1));
    n = count();
    for (int i = 0; i < n; i++) {
      Instruction ins;
      block(&ins, sizeof ins);
      swapBytes(&ins, sizeof ins);
      f->code.push_back(ins);
    }
    return f;
  }

  void header() {
    char sig[4];
    block(sig, 4);
    if (std::memcmp(sig, "\033Lua", 4) != 0) error("bad signature in %s");
    int version = byte();
    if (version != 0x50) error("bad version in precompiled chunk %s");
    int little = byte();
    uint16_t probe = 1;
    swap = (little != *reinterpret_cast<uint8_t*>(&probe));
    if (byte() != 4) error("size of int mismatch in %s");
    sizeofSizeT = byte();
    if (sizeofSizeT != 4 && sizeofSizeT != 8) error("size of size_t mismatch in %s");
    if (byte() != 4) error("size of Instruction mismatch in %s");
    if (byte() != SIZE_OP || byte() != SIZE_A || byte() != SIZE_B || byte() != SIZE_C)
      error("instruction layout mismatch in %s");
    if (byte() != sizeof(lua_Number)) error("size of number mismatch in %s");
    lua_Number x = number();
    if (std::fabs(x - kTestNumber) > 1e-6) error("unknown number format in %s");
  }
};

}  // namespace

Proto* undump(lua_State* L, ZIO* z, const char* name) {
  const char* shown = name;
  if (*name == '@' || *name == '=') shown = name + 1;
  else if (*name == '\033') shown = "binary string";
  Loader loader;
  loader.L = L;
  loader.z = z;
  loader.name = shown;
  loader.header();
  Proto* f = loader.function(nullptr, 0);
  if (f->source == nullptr) f->source = newStr(L, name);
  if (!verifyCode(f)) loader.error("bad code in %s");
  specializeCode(f);
  return f;
}

}  // namespace luai
