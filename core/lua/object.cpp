#include "core/lua/object.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace luai {

const char* const typenames[] = {"nil", "boolean", "userdata", "number", "string", "table",
                                 "function", "userdata", "thread", "wstring", "proto", "upval"};

const TValue nilobject = {{nullptr}, LUA_TNIL};

bool rawequalObj(const TValue* a, const TValue* b) {
  if (a->tt != b->tt) return false;
  switch (a->tt) {
    case LUA_TNIL: return true;
    case LUA_TNUMBER: return a->v.n == b->v.n;
    case LUA_TBOOLEAN: return a->v.b == b->v.b;
    case LUA_TLIGHTUSERDATA: return a->v.p == b->v.p;
    default: return a->v.gc == b->v.gc;
  }
}

bool str2d(const char* s, lua_Number* result) {
  char* endptr;
  lua_Number res = std::strtod(s, &endptr);
  if (endptr == s) return false;
  if (*endptr == 'x' || *endptr == 'X') res = static_cast<lua_Number>(std::strtoul(s, &endptr, 16));
  if (*endptr == '\0') {
    *result = res;
    return true;
  }
  while (std::isspace(static_cast<unsigned char>(*endptr))) endptr++;
  if (*endptr != '\0') return false;
  *result = res;
  return true;
}

int num2str(lua_Number n, char* buf) { return std::snprintf(buf, 32, LUA_NUMBER_FMT, n); }

void chunkid(char* out, const char* source, size_t bufflen) {
  if (*source == '=') {
    std::snprintf(out, bufflen, "%s", source + 1);
  } else if (*source == '@') {
    source++;
    size_t l = std::strlen(source);
    size_t room = bufflen - 4;
    if (l > room)
      std::snprintf(out, bufflen, "...%s", source + (l - room));
    else
      std::snprintf(out, bufflen, "%s", source);
  } else {
    size_t len = std::strcspn(source, "\n");
    size_t room = bufflen - sizeof(" [string \"...\"] ");
    bool cut = source[len] != '\0';
    if (len > room) {
      len = room;
      cut = true;
    }
    std::snprintf(out, bufflen, cut ? "[string \"%.*s...\"]" : "[string \"%.*s\"]", static_cast<int>(len), source);
  }
}

int log2i(unsigned int x) {
  int l = -1;
  while (x) {
    l++;
    x >>= 1;
  }
  return l;
}

// Encodes a size as a floating-point byte (eeeeexxx): (1xxx) * 2^(eeeee - 1), or xxx when eeeee is 0.
int int2fb(unsigned int x) {
  int e = 0;
  if (x < 8) return static_cast<int>(x);
  while (x >= 16) {
    x = (x + 1) >> 1;
    e++;
  }
  return ((e + 1) << 3) | (static_cast<int>(x) - 8);
}

int fb2int(int x) {
  int e = (x >> 3) & 31;
  if (e == 0) return x;
  return ((x & 7) + 8) << (e - 1);
}

}  // namespace luai
