// string.pack and string.unpack: values to and from binary strings by one-letter codes.
#include <cstdint>
#include <cstring>
#include <string>

#include "core/lua/lib_support.h"
#include "lauxlib.h"

namespace tv_lua {

namespace {

enum class Order { kLittle, kBig };

Order NativeOrder() {
  const uint16_t probe = 1;
  return *reinterpret_cast<const uint8_t*>(&probe) ? Order::kLittle : Order::kBig;
}

// The format being read: a code, its optional "w" prefix and repeat count.
struct FormatReader {
  lua_State* L;
  const char* p;
  const char* end;

  bool Done() const { return p >= end; }
  int Digits(bool* present) {
    // saturates instead of overflowing: a huge count simply runs out of data or arguments
    long long n = 0;
    *present = false;
    while (p < end && *p >= '0' && *p <= '9') {
      *present = true;
      if (n < 100000000) n = n * 10 + (*p - '0');
      p++;
    }
    return static_cast<int>(n);
  }
  // The next code with its optional "w" prefix and count (0 or none means 1); codes outside
  // the printable range are refused here, unknown ones by the caller.
  char Next(bool* wide, int* count, bool* countGiven) {
    char code = *p++;
    *wide = false;
    if (code == 'w' && p < end) {
      *wide = true;
      code = *p++;
    }
    *count = Digits(countGiven);
    if (*count == 0) *count = 1;
    if (code < ' ' || code > 'z') BadCode(code);
    return code;
  }
  // Applies a spacing or byte-order code; false for any other code.
  bool Control(char code, Order* order) {
    switch (code) {
      case ' ': case ',': return true;
      case '<': *order = Order::kLittle; return true;
      case '>': *order = Order::kBig; return true;
      case '=': *order = NativeOrder(); return true;
      default: return false;
    }
  }
  [[noreturn]] void BadCode(char code) {
    char msg[32];
    std::snprintf(msg, sizeof msg, "bad code `%c'", code);
    luaL_argerror(L, 1, msg);
    __builtin_unreachable();
  }
};

bool IsStringCode(char c) { return c == 'A' || c == 'z' || c == 'p' || c == 'P' || c == 'a'; }

// Bytes of the length prefix of "p", "P" and "a".
int PrefixSize(char c) { return c == 'p' ? 1 : (c == 'P' ? 2 : 4); }

void PutUnsigned(std::string* out, uint64_t v, int size, Order order) {
  for (int i = 0; i < size; i++) {
    int shift = 8 * (order == Order::kLittle ? i : size - 1 - i);
    out->push_back(static_cast<char>((v >> shift) & 0xFF));
  }
}

uint64_t GetUnsigned(const unsigned char* s, int size, Order order) {
  uint64_t v = 0;
  for (int i = 0; i < size; i++) {
    int shift = 8 * (order == Order::kLittle ? i : size - 1 - i);
    v |= static_cast<uint64_t>(s[i]) << shift;
  }
  return v;
}

int FixedSize(char c) {
  switch (c) {
    case 'b': case 'c': case 'B': return 1;
    case 'h': case 'H': return 2;
    case 'i': case 'I': case 'l': case 'L': case 'f': return 4;
    case 'd': case 'n': return 8;
    default: return 0;
  }
}

void PackString(lua_State* L, std::string* out, int arg, char code, bool wide, Order order) {
  size_t len;
  const char* bytes = nullptr;
  const lua_WChar* units = nullptr;
  if (wide) {
    if (lua_type(L, arg) != LUA_TWSTRING && lua_type(L, arg) != LUA_TNUMBER) luaL_typerror(L, arg, "wstring");
    units = lua_towstring(L, arg);
    len = lua_wstrlen(L, arg);
  } else {
    bytes = luaL_checklstring(L, arg, &len);
  }
  if (code == 'p' || code == 'P' || code == 'a') {
    int prefix = PrefixSize(code);
    // a length that its prefix can't hold would be read back wrong
    if (prefix < 8 && len >= (uint64_t(1) << (8 * prefix))) luaL_argerror(L, arg, "string too long for its length prefix");
    PutUnsigned(out, len, prefix, order);
  }
  if (wide) {
    for (size_t i = 0; i < len; i++) PutUnsigned(out, units[i], 2, order);
    if (code == 'z') PutUnsigned(out, 0, 2, order);
  } else {
    out->append(bytes, len);
    if (code == 'z') out->push_back('\0');
  }
}

void PackFixed(lua_State* L, std::string* out, int arg, char code, Order order) {
  if (code == 'B') {
    if (!lua_isboolean(L, arg)) luaL_error(L, "expected a boolean");
    out->push_back(lua_toboolean(L, arg) ? 1 : 0);
    return;
  }
  lua_Number n = luaL_checknumber(L, arg);
  if (code == 'f') {
    float f = static_cast<float>(n);
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    PutUnsigned(out, bits, 4, order);
  } else if (code == 'd' || code == 'n') {
    uint64_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    PutUnsigned(out, bits, 8, order);
  } else {
    // integers keep their low bits; NaN gives 0 and huge values saturate first
    PutUnsigned(out, static_cast<uint64_t>(NumberToInteger(n)), FixedSize(code), order);
  }
}

}  // namespace

int StrPack(lua_State* L) {
  size_t flen;
  const char* fmt = luaL_checklstring(L, 1, &flen);
  FormatReader r{L, fmt, fmt + flen};
  std::string out;
  Order order = NativeOrder();
  int arg = 2;
  bool fieldOpen = false;
  size_t fieldStart = 0, fieldSize = 0;
  char fill = 0;
  while (!r.Done()) {
    char code = *r.p++;
    if (code == '@') {
      bool present, fillPresent = false;
      int size = r.Digits(&present);
      int f = 0;
      if (r.p < r.end && *r.p == ':') {
        r.p++;
        f = r.Digits(&fillPresent);
      }
      if (fieldOpen) {
        if (out.size() - fieldStart < fieldSize) out.append(fieldSize - (out.size() - fieldStart), fill);
        fieldOpen = false;
        continue;
      }
      if (fillPresent) fill = static_cast<char>(f & 0xFF);
      fieldStart = out.size();
      fieldSize = static_cast<size_t>(size);
      fieldOpen = size > 0;
      continue;
    }
    r.p--;
    bool wide, present;
    int count;
    code = r.Next(&wide, &count, &present);
    if (r.Control(code, &order)) continue;
    if (IsStringCode(code)) {
      for (int i = 0; i < count; i++) PackString(L, &out, arg++, code, wide, order);
    } else if (FixedSize(code) > 0) {
      for (int i = 0; i < count; i++) PackFixed(L, &out, arg++, code, order);
    } else {
      r.BadCode(code);
    }
  }
  lua_pushlstring(L, out.data(), out.size());
  return 1;
}

int StrUnpack(lua_State* L) {
  size_t len, flen;
  const unsigned char* data = reinterpret_cast<const unsigned char*>(luaL_checklstring(L, 1, &len));
  const char* fmt = luaL_checklstring(L, 2, &flen);
  lua_Number init = luaL_optnumber(L, 3, 1);
  size_t pos = init <= 1 ? 0 : (init > static_cast<lua_Number>(len) ? len : static_cast<size_t>(init) - 1);
  FormatReader r{L, fmt, fmt + flen};
  Order order = NativeOrder();
  int results = 0;
  lua_pushnil(L);  // stands for the position, set at the end
  auto left = [&]() { return len - pos; };
  bool stop = false;
  while (!r.Done() && !stop) {
    bool wide, present;
    int count;
    char code = r.Next(&wide, &count, &present);
    if (r.Control(code, &order)) continue;
    if (!IsStringCode(code) && FixedSize(code) == 0) r.BadCode(code);
    int unit = wide ? 2 : 1;
    if (code == 'A') {
      // the count is the length, in bytes or units
      size_t need = static_cast<size_t>(count) * unit;
      if (!present) need = unit;
      if (need > left()) break;
      luaL_checkstack(L, 1, "too many results to unpack");
      if (wide) {
        std::u16string w;
        for (size_t i = 0; i < need / 2; i++) w.push_back(static_cast<char16_t>(GetUnsigned(data + pos + 2 * i, 2, order)));
        lua_pushlwstring(L, reinterpret_cast<const lua_WChar*>(w.data()), w.size());
      } else {
        lua_pushlstring(L, reinterpret_cast<const char*>(data + pos), need);
      }
      pos += need;
      results++;
      continue;
    }
    for (int i = 0; i < count && !stop; i++) {
      luaL_checkstack(L, 1, "too many results to unpack");
      if (code == 'z') {
        size_t n = 0;  // units before the terminator
        while (pos + (n + 1) * unit <= len && GetUnsigned(data + pos + n * unit, unit, order) != 0) n++;
        if (pos + (n + 1) * unit > len) {
          stop = true;
          break;
        }
        if (wide) {
          std::u16string w;
          for (size_t k = 0; k < n; k++) w.push_back(static_cast<char16_t>(GetUnsigned(data + pos + 2 * k, 2, order)));
          lua_pushlwstring(L, reinterpret_cast<const lua_WChar*>(w.data()), w.size());
        } else {
          lua_pushlstring(L, reinterpret_cast<const char*>(data + pos), n);
        }
        pos += (n + 1) * unit;
      } else if (code == 'p' || code == 'P' || code == 'a') {
        size_t prefix = static_cast<size_t>(PrefixSize(code));
        if (prefix > left()) {
          stop = true;
          break;
        }
        uint64_t n = GetUnsigned(data + pos, static_cast<int>(prefix), order);
        if (n > (left() - prefix) / unit) {
          stop = true;
          break;
        }
        const unsigned char* s = data + pos + prefix;
        if (wide) {
          std::u16string w;
          for (uint64_t k = 0; k < n; k++) w.push_back(static_cast<char16_t>(GetUnsigned(s + 2 * k, 2, order)));
          lua_pushlwstring(L, reinterpret_cast<const lua_WChar*>(w.data()), w.size());
        } else {
          lua_pushlstring(L, reinterpret_cast<const char*>(s), static_cast<size_t>(n));
        }
        pos += prefix + static_cast<size_t>(n) * unit;
      } else {
        int size = FixedSize(code);
        if (static_cast<size_t>(size) > left()) {
          stop = true;
          break;
        }
        uint64_t v = GetUnsigned(data + pos, size, order);
        pos += static_cast<size_t>(size);
        switch (code) {
          case 'B': lua_pushboolean(L, v != 0); break;
          case 'b': case 'H': case 'I': case 'L': lua_pushnumber(L, static_cast<lua_Number>(v)); break;
          case 'c': lua_pushnumber(L, static_cast<int8_t>(v)); break;
          case 'h': lua_pushnumber(L, static_cast<int16_t>(v)); break;
          case 'i': case 'l': lua_pushnumber(L, static_cast<int32_t>(v)); break;
          case 'f': {
            uint32_t bits = static_cast<uint32_t>(v);
            float f;
            std::memcpy(&f, &bits, sizeof f);
            lua_pushnumber(L, f);
            break;
          }
          default: {
            lua_Number d;
            std::memcpy(&d, &v, sizeof d);
            lua_pushnumber(L, d);
            break;
          }
        }
      }
      results++;
    }
  }
  lua_pushnumber(L, static_cast<lua_Number>(pos + 1));
  lua_replace(L, -(results + 2));
  return results + 1;
}

}  // namespace tv_lua
