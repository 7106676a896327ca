#include "core/lua/object.h"

#include <locale.h>

#include <cctype>
#include <charconv>
#include <string>
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

namespace {

locale_t cLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

bool isSpaceAscii(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

bool str2d(const char* s, lua_Number* result) {
  char* endptr;
  locale_t c = cLocale();
  lua_Number res = c ? strtod_l(s, &endptr, c) : std::strtod(s, &endptr);
  if (endptr == s) return false;
  if (*endptr == 'x' || *endptr == 'X') res = static_cast<lua_Number>(std::strtoul(s, &endptr, 16));
  while (isSpaceAscii(static_cast<unsigned char>(*endptr))) endptr++;
  if (*endptr != '\0') return false;
  *result = res;
  return true;
}

bool wstr2d(const uint16_t* s, size_t len, lua_Number* result) {
  // Checked against a strict grammar on the units themselves, then read as ASCII.
  size_t i = 0;
  auto at = [&](size_t k) -> int { return k < len ? s[k] : -1; };
  auto isDigit = [](int c) { return c >= '0' && c <= '9'; };
  auto isHex = [&](int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
  while (i < len && isSpaceAscii(s[i])) i++;
  size_t start = i;
  bool negative = false;
  if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
  lua_Number value;
  if (at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X') && isHex(at(i + 2))) {
    i += 2;
    value = 0;
    while (isHex(at(i))) {
      int c = at(i++);
      value = value * 16 + (isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    if (negative) value = -value;
  } else {
    size_t digits = 0;
    while (isDigit(at(i))) i++, digits++;
    if (at(i) == '.') {
      i++;
      while (isDigit(at(i))) i++, digits++;
    }
    if (digits == 0) return false;
    if (at(i) == 'e' || at(i) == 'E') {
      size_t e = i + 1;
      if (at(e) == '+' || at(e) == '-') e++;
      if (!isDigit(at(e))) return false;
      while (isDigit(at(e))) e++;
      i = e;
    }
    std::string ascii(s + start, s + i);
    locale_t c = cLocale();
    value = c ? strtod_l(ascii.c_str(), nullptr, c) : std::strtod(ascii.c_str(), nullptr);
  }
  while (i < len && isSpaceAscii(s[i])) i++;
  if (i != len) return false;
  *result = value;
  return true;
}

int num2str(lua_Number n, char* buf) {
  // whole numbers of up to 14 digits print as integers; -0 keeps its sign through to_chars
  if (n > -1e14 && n < 1e14 && n != 0 && n == static_cast<lua_Number>(static_cast<long long>(n))) {
    auto r = std::to_chars(buf, buf + 31, static_cast<long long>(n));
    *r.ptr = '\0';
    return static_cast<int>(r.ptr - buf);
  }
  auto r = std::to_chars(buf, buf + 31, n, std::chars_format::general, 14);
  *r.ptr = '\0';
  return static_cast<int>(r.ptr - buf);
}

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
