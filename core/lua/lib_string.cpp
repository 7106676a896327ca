// String library: byte-string functions, formatting and pattern matching.
#include <array>
#include <cctype>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/lua/lib_support.h"
#include "lauxlib.h"
#include "lualib.h"

namespace {

using tv_lua::FormatInCLocale;
using tv_lua::NumberToInteger;

// A position argument: negative counts from the end (-1 is the last byte).
long RelativePosition(long pos, size_t len) {
  if (pos >= 0) return pos;
  if (static_cast<size_t>(-pos) > len) return 0;
  return static_cast<long>(len) + pos + 1;
}

long CheckLong(lua_State* L, int narg) {
  return static_cast<long>(NumberToInteger(luaL_checknumber(L, narg)));
}

// Any number but 0 answers from the first look at the argument.
long OptLong(lua_State* L, int narg, long def) {
  lua_Number d = lua_tonumber(L, narg);
  if (d != 0) return static_cast<long>(NumberToInteger(d));
  return lua_isnoneornil(L, narg) ? def : CheckLong(L, narg);
}

// ---- character classes -------------------------------------------------------------------

enum ClassBit : uint16_t {
  kAlpha = 1 << 0,
  kCntrl = 1 << 1,
  kDigit = 1 << 2,
  kLower = 1 << 3,
  kPunct = 1 << 4,
  kSpace = 1 << 5,
  kUpper = 1 << 6,
  kAlnum = 1 << 7,
  kXdigit = 1 << 8,
  kZero = 1 << 9,
};
constexpr uint16_t kNegated = 1 << 15;

// Class membership and case mapping of every byte under one LC_CTYPE locale.
struct CharTables {
  uint16_t cls[256];
  unsigned char lower[256];
  unsigned char upper[256];
};

void BuildTables(CharTables* t) {
  for (int c = 0; c < 256; c++) {
    uint16_t b = 0;
    if (std::isalpha(c)) b |= kAlpha;
    if (std::iscntrl(c)) b |= kCntrl;
    if (std::isdigit(c)) b |= kDigit;
    if (std::islower(c)) b |= kLower;
    if (std::ispunct(c)) b |= kPunct;
    if (std::isspace(c)) b |= kSpace;
    if (std::isupper(c)) b |= kUpper;
    if (std::isalnum(c)) b |= kAlnum;
    if (std::isxdigit(c)) b |= kXdigit;
    if (c == 0) b |= kZero;
    t->cls[c] = b;
    t->lower[c] = static_cast<unsigned char>(std::tolower(c));
    t->upper[c] = static_cast<unsigned char>(std::toupper(c));
  }
}

// The tables of the current LC_CTYPE, which a script may change with os.setlocale; the usual
// C locale's are built once and found without comparing names.
const CharTables& CurrentCharTables() {
  const char* name = std::setlocale(LC_CTYPE, nullptr);
  if (name != nullptr && ((name[0] == 'C' && name[1] == '\0') || std::strcmp(name, "POSIX") == 0)) {
    static const CharTables cTables = [] {
      CharTables t;
      BuildTables(&t);
      return t;
    }();
    return cTables;
  }
  thread_local CharTables tables;
  thread_local std::string built_for;
  if (name == nullptr || built_for.empty() || built_for != name) {
    BuildTables(&tables);
    built_for = name ? name : "";
  }
  return tables;
}

// What a class letter after '%' asks for; 0 for letters that stand for themselves.
constexpr std::array<uint16_t, 256> MakeClassLetters() {
  std::array<uint16_t, 256> t{};
  const char letters[] = "acdlpsuwxz";
  const uint16_t bits[] = {kAlpha, kCntrl, kDigit, kLower, kPunct, kSpace, kUpper, kAlnum, kXdigit, kZero};
  for (int i = 0; letters[i] != '\0'; i++) {
    t[static_cast<unsigned char>(letters[i])] = bits[i];
    t[static_cast<unsigned char>(letters[i] - ('a' - 'A'))] = bits[i] | kNegated;
  }
  return t;
}

constexpr std::array<uint16_t, 256> kClassLetters = MakeClassLetters();

bool ClassHit(const CharTables* ct, int c, uint16_t k) {
  return ((ct->cls[c] & k) != 0) != ((k & kNegated) != 0);
}

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// ---- byte strings ------------------------------------------------------------------------

int StrLen(lua_State* L) {
  size_t l;
  luaL_checklstring(L, 1, &l);
  lua_pushnumber(L, static_cast<lua_Number>(l));
  return 1;
}

int StrSub(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  long start = RelativePosition(CheckLong(L, 2), l);
  long end = RelativePosition(OptLong(L, 3, -1), l);
  if (start < 1) start = 1;
  if (end > static_cast<long>(l)) end = static_cast<long>(l);
  if (start <= end) lua_pushlstring(L, s + start - 1, static_cast<size_t>(end - start + 1));
  else lua_pushliteral(L, "");
  return 1;
}

// Maps every byte through a table, a buffer-sized chunk at a time.
template <bool kUpper>
int StrCase(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  const CharTables& ct = CurrentCharTables();
  const unsigned char* map = kUpper ? ct.upper : ct.lower;
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  while (l > 0) {
    size_t n = l < LUAL_BUFFERSIZE ? l : LUAL_BUFFERSIZE;
    char* out = luaL_prepbuffer(&b);
    for (size_t i = 0; i < n; i++) out[i] = static_cast<char>(map[static_cast<unsigned char>(s[i])]);
    luaL_addsize(&b, n);
    s += n;
    l -= n;
  }
  luaL_pushresult(&b);
  return 1;
}

constexpr size_t kMaxRepResult = 0x7fffffff;

int StrRep(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  long n = CheckLong(L, 2);
  if (n <= 0 || l == 0) {
    lua_pushliteral(L, "");
    return 1;
  }
  // A script asking for gigabytes gets an error rather than taking the process down.
  if (static_cast<unsigned long>(n) > kMaxRepResult / l) return luaL_error(L, "resulting string too large");
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  for (long i = 0; i < n; i++) luaL_addlstring(&b, s, l);
  luaL_pushresult(&b);
  return 1;
}

int StrByte(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  long pos = RelativePosition(OptLong(L, 2, 1), l);
  if (pos <= 0 || static_cast<size_t>(pos) > l) return 0;
  lua_pushnumber(L, static_cast<unsigned char>(s[pos - 1]));
  return 1;
}

int StrChar(lua_State* L) {
  int n = lua_gettop(L);
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  for (int i = 1; i <= n; i++) {
    int c = luaL_checkint(L, i);
    luaL_argcheck(L, static_cast<unsigned char>(c) == c, i, "invalid value");
    luaL_putchar(&b, static_cast<unsigned char>(c));
  }
  luaL_pushresult(&b);
  return 1;
}

int WriteToString(lua_State*, const void* p, size_t size, void* ud) {
  static_cast<std::string*>(ud)->append(static_cast<const char*>(p), size);
  return 0;
}

int StrDump(lua_State* L) {
  luaL_checktype(L, 1, LUA_TFUNCTION);
  lua_settop(L, 1);
  if (lua_iscfunction(L, 1)) return luaL_error(L, "unable to dump given function");
  std::string bytes;
  lua_dump(L, WriteToString, &bytes);
  if (bytes.empty()) return luaL_error(L, "unable to dump given function");
  lua_pushlstring(L, bytes.data(), bytes.size());
  return 1;
}

// ---- escapes ----

// Replaces escape sequences. Wide mode reads and writes 16-bit units, low byte first, and
// takes up to four hexadecimal digits after "\\x"; narrow mode works on bytes and takes two.
// A hexadecimal escape always yields a 16-bit unit, low byte first, in either mode.
int StrLualex(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  bool wide = luaL_optnumber(L, 2, 0) != 0;
  std::vector<unsigned> in;
  if (wide) {
    for (size_t i = 0; i + 1 < l; i += 2)
      in.push_back(static_cast<unsigned char>(s[i]) | (static_cast<unsigned>(static_cast<unsigned char>(s[i + 1])) << 8));
  } else {
    for (size_t i = 0; i < l; i++) in.push_back(static_cast<unsigned char>(s[i]));
  }
  std::string out;
  auto put = [&](unsigned c) {
    out.push_back(static_cast<char>(c & 0xFF));
    if (wide) out.push_back(static_cast<char>((c >> 8) & 0xFF));
  };
  auto isDigit = [](unsigned c) { return c >= '0' && c <= '9'; };
  auto isHex = [&](unsigned c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
  size_t n = in.size();
  for (size_t i = 0; i < n;) {
    unsigned c = in[i++];
    if (c != '\\' || i >= n) {
      put(c);
      continue;
    }
    c = in[i++];
    switch (c) {
      case 'a': put(7); break;
      case 'b': put(8); break;
      case 'f': put(12); break;
      case 'n': put(10); break;
      case 'r': put(13); break;
      case 't': put(9); break;
      case 'v': put(11); break;
      case 'x': {
        if (i >= n || !isHex(in[i])) {
          put('x');
          break;
        }
        unsigned v = 0;
        for (int k = 0; k < (wide ? 4 : 2) && i < n && isHex(in[i]); k++, i++)
          v = (v << 4) | (isDigit(in[i]) ? in[i] - '0' : (in[i] | 0x20) - 'a' + 10);
        put(v);
        if (!wide) out.push_back(0);
        break;
      }
      default:
        if (isDigit(c)) {
          unsigned v = c - '0';
          for (int k = 1; k < 3 && i < n && isDigit(in[i]); k++, i++) v = v * 10 + (in[i] - '0');
          put(v & 0xFF);
        } else {
          put(c);
        }
    }
  }
  lua_pushlstring(L, out.data(), out.size());
  return 1;
}

// ---- pattern matching ---------------------------------------------------------------------

constexpr char kEscape = '%';
constexpr char kSpecials[] = "^$*+?.([%-";
constexpr int kMaxCaptures = 32;
constexpr long kCapUnfinished = -1;
constexpr long kCapPosition = -2;

struct MatchState {
  const char* src_init;  // start of the subject
  const char* src_end;   // end of the subject
  lua_State* L;
  const CharTables* ct;
  int level;  // captures in use
  struct {
    const char* init;
    long len;
  } capture[kMaxCaptures];
};

int CaptureToClose(MatchState* ms) {
  for (int level = ms->level - 1; level >= 0; level--)
    if (ms->capture[level].len == kCapUnfinished) return level;
  return luaL_error(ms->L, "invalid pattern capture");
}

int CheckCaptureIndex(MatchState* ms, int digit) {
  int l = digit - '1';
  if (l < 0 || l >= ms->level || ms->capture[l].len == kCapUnfinished)
    return luaL_error(ms->L, "invalid capture index");
  return l;
}

// End of the single-character class starting at p, or null when it is malformed.
const char* FindClassEnd(const char* p) {
  char c = *p++;
  if (c == kEscape) return *p == '\0' ? nullptr : p + 1;
  if (c == '[') {
    if (*p == '^') p++;
    do {  // the first ']' right after '[' or '[^' is a member, not the end
      if (*p == '\0') return nullptr;
      if (*(p++) == kEscape && *p != '\0') p++;
    } while (*p != ']');
    return p + 1;
  }
  return p;
}

[[gnu::always_inline]] inline const char* ClassEnd(MatchState* ms, const char* p) {
  if (*p != kEscape && *p != '[') return p + 1;
  const char* ep = FindClassEnd(p);
  if (ep == nullptr) {
    if (*p == kEscape) luaL_error(ms->L, "malformed pattern (ends with `%%')");
    luaL_error(ms->L, "malformed pattern (missing `]')");
  }
  return ep;
}

bool MatchClass(const CharTables* ct, int c, int cl) {
  uint16_t k = kClassLetters[static_cast<size_t>(cl)];
  return k == 0 ? cl == c : ClassHit(ct, c, k);
}

// p points at '[', ec at its closing ']'.
bool MatchBracketClass(const CharTables* ct, int c, const char* p, const char* ec) {
  bool want = true;
  if (*(p + 1) == '^') {
    want = false;
    p++;
  }
  while (++p < ec) {
    if (*p == kEscape) {
      p++;
      if (MatchClass(ct, c, static_cast<unsigned char>(*p))) return want;
    } else if (*(p + 1) == '-' && p + 2 < ec) {
      if (static_cast<unsigned char>(*p) <= c && c <= static_cast<unsigned char>(*(p + 2)))
        return want;
      p += 2;
    } else if (static_cast<unsigned char>(*p) == c) {
      return want;
    }
  }
  return !want;
}

bool SingleMatch(const CharTables* ct, int c, const char* p, const char* ep) {
  switch (*p) {
    case '.': return true;
    case kEscape: return MatchClass(ct, c, static_cast<unsigned char>(*(p + 1)));
    case '[': return MatchBracketClass(ct, c, p, ep - 1);
    default: return static_cast<unsigned char>(*p) == c;
  }
}

// The byte any match of p must start with, or -1: p starts with a plain character that is
// not optional.
[[gnu::always_inline]] inline int RequiredLiteral(const char* p) {
  switch (*p) {
    case '\0': case '(': case ')': case kEscape: case '[': case '.': return -1;
    case '$':
      if (*(p + 1) == '\0') return -1;
      break;
    default: break;
  }
  char q = *(p + 1);
  if (q == '?' || q == '*' || q == '-') return -1;
  return static_cast<unsigned char>(*p);
}

const char* DoMatch(MatchState* ms, const char* s, const char* p);

// DoMatch, skipped where the rest of the pattern needs a byte that s does not hold.
const char* MatchRest(MatchState* ms, const char* s, const char* p, int literal) {
  if (literal >= 0 && (s >= ms->src_end || static_cast<unsigned char>(*s) != literal)) return nullptr;
  return DoMatch(ms, s, p);
}

const char* MatchBalance(MatchState* ms, const char* s, const char* p) {
  if (*p == '\0' || *(p + 1) == '\0') luaL_error(ms->L, "unbalanced pattern");
  if (s >= ms->src_end || *s != *p) return nullptr;
  char open = *p, close = *(p + 1);
  int depth = 1;
  while (++s < ms->src_end) {
    if (*s == close) {
      if (--depth == 0) return s + 1;
    } else if (*s == open) {
      depth++;
    }
  }
  return nullptr;
}

// The end of the longest run from s of bytes that the single class p..ep matches.
const char* LongestRun(const MatchState* ms, const char* s, const char* p, const char* ep) {
  const char* end = ms->src_end;
  switch (*p) {
    case '.':
      return end;
    case kEscape: {
      int cl = static_cast<unsigned char>(*(p + 1));
      uint16_t k = kClassLetters[static_cast<size_t>(cl)];
      if (k == 0) {
        while (s < end && static_cast<unsigned char>(*s) == cl) s++;
      } else {
        while (s < end && ClassHit(ms->ct, static_cast<unsigned char>(*s), k)) s++;
      }
      return s;
    }
    case '[':
      while (s < end && MatchBracketClass(ms->ct, static_cast<unsigned char>(*s), p, ep - 1)) s++;
      return s;
    default:
      while (s < end && *s == *p) s++;
      return s;
  }
}

const char* MaxExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
  const char* q = LongestRun(ms, s, p, ep);
  const char* rest = ep + 1;
  if (*rest == '\0') return q;  // nothing follows: the longest run is the match
  int literal = RequiredLiteral(rest);
  for (;; q--) {  // give back one repetition at a time
    const char* res = MatchRest(ms, q, rest, literal);
    if (res) return res;
    if (q == s) return nullptr;
  }
}

const char* MinExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
  int literal = RequiredLiteral(ep + 1);
  for (;;) {
    const char* res = MatchRest(ms, s, ep + 1, literal);
    if (res) return res;
    if (s < ms->src_end && SingleMatch(ms->ct, static_cast<unsigned char>(*s), p, ep)) s++;
    else return nullptr;
  }
}

const char* StartCapture(MatchState* ms, const char* s, const char* p, long what) {
  if (ms->level >= kMaxCaptures) luaL_error(ms->L, "too many captures");
  ms->capture[ms->level].init = s;
  ms->capture[ms->level].len = what;
  ms->level++;
  const char* res = DoMatch(ms, s, p);
  if (res == nullptr) ms->level--;
  return res;
}

const char* EndCapture(MatchState* ms, const char* s, const char* p) {
  int l = CaptureToClose(ms);
  ms->capture[l].len = s - ms->capture[l].init;
  const char* res = DoMatch(ms, s, p);
  if (res == nullptr) ms->capture[l].len = kCapUnfinished;
  return res;
}

const char* MatchCapture(MatchState* ms, const char* s, int digit) {
  int l = CheckCaptureIndex(ms, digit);
  size_t len = static_cast<size_t>(ms->capture[l].len);
  if (static_cast<size_t>(ms->src_end - s) >= len && std::memcmp(ms->capture[l].init, s, len) == 0)
    return s + len;
  return nullptr;
}

// Matches pattern p against the subject at s; the end of the match, or null.
const char* DoMatch(MatchState* ms, const char* s, const char* p) {
  for (;;) {
    switch (*p) {
      case '\0':
        return s;
      case '(':
        if (*(p + 1) == ')') return StartCapture(ms, s, p + 2, kCapPosition);
        return StartCapture(ms, s, p + 1, kCapUnfinished);
      case ')':
        return EndCapture(ms, s, p + 1);
      case kEscape:
        if (*(p + 1) == 'b') {
          s = MatchBalance(ms, s, p + 2);
          if (s == nullptr) return nullptr;
          p += 4;
          continue;
        }
        if (IsDigit(static_cast<unsigned char>(*(p + 1)))) {
          s = MatchCapture(ms, s, static_cast<unsigned char>(*(p + 1)));
          if (s == nullptr) return nullptr;
          p += 2;
          continue;
        }
        break;  // an ordinary escaped class
      case '$':
        if (*(p + 1) == '\0') return (s == ms->src_end) ? s : nullptr;
        break;  // '$' elsewhere is a plain character
      default:
        break;
    }
    const char* ep = ClassEnd(ms, p);
    bool m = s < ms->src_end && SingleMatch(ms->ct, static_cast<unsigned char>(*s), p, ep);
    switch (*ep) {
      case '?': {
        if (m) {
          const char* res = DoMatch(ms, s + 1, ep + 1);
          if (res) return res;
        }
        p = ep + 1;
        continue;
      }
      case '*':
        return MaxExpand(ms, s, p, ep);
      case '+':
        return m ? MaxExpand(ms, s + 1, p, ep) : nullptr;
      case '-':
        return MinExpand(ms, s, p, ep);
      default:
        if (!m) return nullptr;
        s++;
        p = ep;
        continue;
    }
  }
}

// What the first item of an unanchored pattern asks of the byte a match starts at, so that
// the places that cannot start one are passed over without trying a match there.
struct FirstItem {
  enum Kind { kAny, kLiteral, kClass, kSet } kind = kAny;
  int literal = 0;
  uint16_t cls = 0;
  const char* p = nullptr;  // the item
  const char* ep = nullptr;
  // The pattern starts with "x+" and no capture: a try that fails at s has tried the rest of
  // the pattern at every place a try inside the same run of x would, so those fail too.
  bool run = false;
};

FirstItem AnalyseFirstItem(const char* p) {
  FirstItem f;
  int opens = 0;  // captures opened before the item, which match nothing themselves
  f.p = p;
  while (*p == '(') {
    opens++;
    p += *(p + 1) == ')' ? 2 : 1;
  }
  // Too many captures, a malformed item, a back reference or a balance must still raise
  // their errors or be tried as before.
  if (opens > kMaxCaptures || *p == '\0' || *p == ')') return f;
  const char* ep = FindClassEnd(p);
  if (ep == nullptr || *ep == '?' || *ep == '*' || *ep == '-') return f;
  f.run = *ep == '+' && f.p == p;
  f.p = p;
  f.ep = ep;
  switch (*p) {
    case '.':
      return f;
    case '$':
      if (*(p + 1) == '\0') return f;
      break;
    case kEscape: {
      int cl = static_cast<unsigned char>(*(p + 1));
      if (cl == 'b' || IsDigit(cl)) {
        f.run = false;
        return f;
      }
      f.cls = kClassLetters[static_cast<size_t>(cl)];
      f.kind = f.cls == 0 ? FirstItem::kLiteral : FirstItem::kClass;
      f.literal = cl;
      return f;
    }
    case '[':
      f.kind = FirstItem::kSet;
      return f;
    default:
      break;
  }
  f.kind = FirstItem::kLiteral;
  f.literal = static_cast<unsigned char>(*p);
  return f;
}

// The first place from s where the first item matches, or null when there is none before the
// end (where an item that needs a byte cannot match either).
const char* NextStart(const MatchState* ms, const FirstItem& f, const char* s) {
  const char* end = ms->src_end;
  switch (f.kind) {
    case FirstItem::kAny:
      return s;
    case FirstItem::kLiteral:
      return s < end ? static_cast<const char*>(std::memchr(s, f.literal, static_cast<size_t>(end - s))) : nullptr;
    case FirstItem::kClass:
      while (s < end && !ClassHit(ms->ct, static_cast<unsigned char>(*s), f.cls)) s++;
      break;
    case FirstItem::kSet:
      while (s < end && !MatchBracketClass(ms->ct, static_cast<unsigned char>(*s), f.p, f.ep - 1)) s++;
      break;
  }
  return s < end ? s : nullptr;
}

// The next place worth a try after one failed at s (before the end); always past s.
const char* NextTry(const MatchState* ms, const FirstItem& f, const char* s) {
  const char* next = f.run ? LongestRun(ms, s, f.p, f.ep) : s + 1;
  return NextStart(ms, f, next > s ? next : s + 1);
}

// Pushes capture i; with no captures at all, "capture 0" is the whole match s..e.
void PushOneCapture(MatchState* ms, int i, const char* s, const char* e) {
  if (i >= ms->level) {
    if (i == 0) lua_pushlstring(ms->L, s, static_cast<size_t>(e - s));
    else luaL_error(ms->L, "invalid capture index");
    return;
  }
  long len = ms->capture[i].len;
  if (len == kCapUnfinished) luaL_error(ms->L, "unfinished capture");
  if (len == kCapPosition)
    lua_pushnumber(ms->L, static_cast<lua_Number>(ms->capture[i].init - ms->src_init + 1));
  else
    lua_pushlstring(ms->L, ms->capture[i].init, static_cast<size_t>(len));
}

int PushCaptures(MatchState* ms, const char* s, const char* e) {
  int n = (ms->level == 0 && s) ? 1 : ms->level;
  if (n == 0) return 0;
  luaL_checkstack(ms->L, n, "too many captures");
  for (int i = 0; i < n; i++) PushOneCapture(ms, i, s, e);
  return n;
}

const char* FindPlain(const char* s, size_t ls, const char* p, size_t lp) {
  if (lp == 0) return s;
  if (lp > ls) return nullptr;
  const char* last = s + (ls - lp);
  for (; s <= last; s++) {
    const void* hit = std::memchr(s, p[0], static_cast<size_t>(last - s) + 1);
    if (hit == nullptr) return nullptr;
    s = static_cast<const char*>(hit);
    if (std::memcmp(s, p, lp) == 0) return s;
  }
  return nullptr;
}

void InitMatch(MatchState* ms, lua_State* L, const char* s, size_t ls) {
  ms->L = L;
  ms->src_init = s;
  ms->src_end = s + ls;
  ms->ct = &CurrentCharTables();
  ms->level = 0;
}

int StrFind(lua_State* L) {
  size_t ls, lp;
  const char* s = luaL_checklstring(L, 1, &ls);
  const char* p = luaL_checklstring(L, 2, &lp);
  long init = RelativePosition(OptLong(L, 3, 1), ls) - 1;
  if (init < 0) init = 0;
  else if (static_cast<size_t>(init) > ls) init = static_cast<long>(ls);
  if (lua_toboolean(L, 4) || std::strpbrk(p, kSpecials) == nullptr) {
    const char* hit = FindPlain(s + init, ls - static_cast<size_t>(init), p, lp);
    if (hit) {
      lua_pushnumber(L, static_cast<lua_Number>(hit - s + 1));
      lua_pushnumber(L, static_cast<lua_Number>(hit - s + lp));
      return 2;
    }
  } else {
    MatchState ms;
    bool anchor = (*p == '^');
    if (anchor) p++;
    FirstItem first = anchor ? FirstItem{} : AnalyseFirstItem(p);
    InitMatch(&ms, L, s, ls);
    const char* s1 = NextStart(&ms, first, s + init);
    while (s1 != nullptr) {
      ms.level = 0;
      const char* e = DoMatch(&ms, s1, p);
      if (e) {
        lua_pushnumber(L, static_cast<lua_Number>(s1 - s + 1));
        lua_pushnumber(L, static_cast<lua_Number>(e - s));
        return PushCaptures(&ms, nullptr, nullptr) + 2;
      }
      if (anchor || s1 == ms.src_end) break;
      s1 = NextTry(&ms, first, s1);
    }
  }
  lua_pushnil(L);
  return 1;
}

// The iterator of gfind: upvalues are the subject, the pattern and the next start offset.
int GfindStep(lua_State* L) {
  size_t ls;
  const char* s = lua_tostring(L, lua_upvalueindex(1));
  ls = lua_strlen(L, lua_upvalueindex(1));
  const char* p = lua_tostring(L, lua_upvalueindex(2));
  MatchState ms;
  InitMatch(&ms, L, s, ls);
  FirstItem first = AnalyseFirstItem(p);
  const char* src = s + static_cast<size_t>(lua_tonumber(L, lua_upvalueindex(3)));
  for (src = src <= ms.src_end ? NextStart(&ms, first, src) : nullptr; src != nullptr;
       src = src < ms.src_end ? NextTry(&ms, first, src) : nullptr) {
    ms.level = 0;
    const char* e = DoMatch(&ms, src, p);
    if (e) {
      long next = e - s;
      if (e == src) next++;  // an empty match must not repeat at the same place
      lua_pushnumber(L, static_cast<lua_Number>(next));
      lua_replace(L, lua_upvalueindex(3));
      return PushCaptures(&ms, src, e);
    }
  }
  return 0;
}

int StrGfind(lua_State* L) {
  luaL_checkstring(L, 1);
  luaL_checkstring(L, 2);
  lua_settop(L, 2);
  lua_pushnumber(L, 0);
  lua_pushcclosure(L, GfindStep, 3);
  return 1;
}

// gsub's third argument, read once: a string (its text, and whether it holds any '%'), or
// anything else, which is called.
struct Replacement {
  const char* text = nullptr;
  size_t len = 0;
  bool escapes = false;
};

Replacement ReadReplacement(lua_State* L) {
  Replacement r;
  if (lua_isstring(L, 3)) {
    r.text = lua_tostring(L, 3);
    r.len = lua_strlen(L, 3);
    r.escapes = std::memchr(r.text, kEscape, r.len) != nullptr;
  }
  return r;
}

void AddReplacement(MatchState* ms, luaL_Buffer* b, const Replacement& r, const char* s, const char* e) {
  lua_State* L = ms->L;
  if (r.text != nullptr && !r.escapes) {
    luaL_addlstring(b, r.text, r.len);
    return;
  }
  if (r.text != nullptr) {
    const char* news = r.text;
    size_t l = r.len;
    for (size_t i = 0; i < l; i++) {
      if (news[i] != kEscape || i + 1 == l) {
        luaL_putchar(b, news[i]);
        continue;
      }
      i++;
      if (!IsDigit(static_cast<unsigned char>(news[i]))) {
        luaL_putchar(b, news[i]);
        continue;
      }
      if (ms->level == 0 && news[i] == '1') {
        luaL_addlstring(b, s, static_cast<size_t>(e - s));  // no captures: %1 is the match
        continue;
      }
      PushOneCapture(ms, CheckCaptureIndex(ms, static_cast<unsigned char>(news[i])), s, e);
      luaL_addvalue(b);
    }
    return;
  }
  // A function: its string (or number) result replaces the match; anything else removes it.
  lua_pushvalue(L, 3);
  int n = PushCaptures(ms, s, e);
  lua_call(L, n, 1);
  if (lua_isstring(L, -1)) luaL_addvalue(b);
  else lua_pop(L, 1);
}

int StrGsub(lua_State* L) {
  size_t srcl;
  const char* src = luaL_checklstring(L, 1, &srcl);
  const char* p = luaL_checkstring(L, 2);
  long max_s = OptLong(L, 4, static_cast<long>(srcl) + 1);
  luaL_argcheck(L, lua_gettop(L) >= 3 && (lua_isstring(L, 3) || lua_isfunction(L, 3)), 3,
                "string or function expected");
  Replacement repl = ReadReplacement(L);
  bool anchor = (*p == '^');
  if (anchor) p++;
  FirstItem first = anchor ? FirstItem{} : AnalyseFirstItem(p);
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  MatchState ms;
  InitMatch(&ms, L, src, srcl);
  long n = 0;
  while (n < max_s) {
    const char* next = NextStart(&ms, first, src);
    if (next == nullptr) break;  // no match in the rest: it is copied whole below
    if (next != src) {
      luaL_addlstring(&b, src, static_cast<size_t>(next - src));
      src = next;
    }
    ms.level = 0;
    const char* e = DoMatch(&ms, src, p);
    if (e) {
      n++;
      AddReplacement(&ms, &b, repl, src, e);
    }
    if (e && e > src) {
      src = e;
    } else if (src < ms.src_end) {
      // after an empty match only one byte is passed; after a failure, what cannot match
      const char* skipTo = e ? src + 1 : NextTry(&ms, first, src);
      if (skipTo == nullptr) skipTo = ms.src_end;
      luaL_addlstring(&b, src, static_cast<size_t>(skipTo - src));
      src = skipTo;
    } else {
      break;
    }
    if (anchor) break;
  }
  luaL_addlstring(&b, src, static_cast<size_t>(ms.src_end - src));
  luaL_pushresult(&b);
  lua_pushnumber(L, static_cast<lua_Number>(n));
  return 2;
}

// ---- format -------------------------------------------------------------------------------

constexpr char kFormatFlags[] = "-+ #0";
constexpr size_t kMaxFormat = 20;
constexpr size_t kMaxItem = 512;

void AddQuoted(lua_State* L, luaL_Buffer* b, int arg) {
  size_t l;
  const char* s = luaL_checklstring(L, arg, &l);
  luaL_putchar(b, '"');
  for (size_t i = 0; i < l; i++) {
    switch (s[i]) {
      case '"':
      case '\\':
      case '\n':
        luaL_putchar(b, '\\');
        luaL_putchar(b, s[i]);
        break;
      case '\r':
        luaL_addlstring(b, "\\r", 2);
        break;
      case '\0':
        luaL_addlstring(b, "\\000", 4);
        break;
      default:
        luaL_putchar(b, s[i]);
    }
  }
  luaL_putchar(b, '"');
}

bool PrintableByte(unsigned c) { return c >= 32 && c < 127; }

// One byte or unit of a "%Q" literal; wide units beyond a byte are written as four hex digits.
void AddQuotedUnit(luaL_Buffer* b, unsigned c, bool wide) {
  static const char kEscapes[] = "abtnvfr";  // for the codes 7 to 13
  if (c >= 7 && c <= 13) {
    luaL_putchar(b, '\\');
    luaL_putchar(b, kEscapes[c - 7]);
  } else if (c == '"' || c == '\\') {
    luaL_putchar(b, '\\');
    luaL_putchar(b, static_cast<char>(c));
  } else if (PrintableByte(c)) {
    luaL_putchar(b, static_cast<char>(c));
  } else {
    char hex[12];
    int n = std::snprintf(hex, sizeof hex, wide ? "\\x%04x" : "\\x%02x", c);
    luaL_addlstring(b, hex, static_cast<size_t>(n));
  }
}

void AddQuotedLiteral(lua_State* L, luaL_Buffer* b, int arg) {
  if (lua_type(L, arg) == LUA_TWSTRING) {
    const lua_WChar* w = lua_towstring(L, arg);
    size_t n = lua_wstrlen(L, arg);
    luaL_addlstring(b, "L\"", 2);
    for (size_t i = 0; i < n; i++) AddQuotedUnit(b, w[i], true);
  } else {
    size_t l;
    const char* s = luaL_checklstring(L, arg, &l);
    luaL_putchar(b, '"');
    for (size_t i = 0; i < l; i++) AddQuotedUnit(b, static_cast<unsigned char>(s[i]), false);
  }
  luaL_putchar(b, '"');
}

// "%b" and a size letter: the number in binary, in the machine's byte order.
void AddBinary(lua_State* L, luaL_Buffer* b, int arg, char size) {
  lua_Number n = luaL_checknumber(L, arg);
  int32_t i = static_cast<int32_t>(NumberToInteger(n) > INT32_MAX ? INT32_MAX
                                   : NumberToInteger(n) < INT32_MIN ? INT32_MIN
                                                                    : NumberToInteger(n));
  switch (size) {
    case 'b': {
      int8_t v = static_cast<int8_t>(i);
      luaL_addlstring(b, reinterpret_cast<const char*>(&v), 1);
      break;
    }
    case 'w': {
      int16_t v = static_cast<int16_t>(i);
      luaL_addlstring(b, reinterpret_cast<const char*>(&v), 2);
      break;
    }
    case 'd': luaL_addlstring(b, reinterpret_cast<const char*>(&i), 4); break;
    case 'f': {
      float f = static_cast<float>(n);
      luaL_addlstring(b, reinterpret_cast<const char*>(&f), 4);
      break;
    }
    case 'F': luaL_addlstring(b, reinterpret_cast<const char*>(&n), 8); break;
    default: break;
  }
}

// Copies one conversion spec ("%-5.2f") into form; returns the conversion letter's position.
const char* ScanFormat(lua_State* L, const char* strfrmt, char* form) {
  const char* p = strfrmt;
  while (*p != '\0' && std::strchr(kFormatFlags, *p) != nullptr) p++;
  if (static_cast<size_t>(p - strfrmt) >= sizeof(kFormatFlags))
    luaL_error(L, "invalid format (repeated flags)");
  if (std::isdigit(static_cast<unsigned char>(*p))) p++;
  if (std::isdigit(static_cast<unsigned char>(*p))) p++;  // at most two width digits
  if (*p == '.') {
    p++;
    if (std::isdigit(static_cast<unsigned char>(*p))) p++;
    if (std::isdigit(static_cast<unsigned char>(*p))) p++;
  }
  if (std::isdigit(static_cast<unsigned char>(*p)))
    luaL_error(L, "invalid format (width or precision too long)");
  *(form++) = '%';
  std::memcpy(form, strfrmt, static_cast<size_t>(p - strfrmt) + 1);
  form[p - strfrmt + 1] = '\0';
  return p;
}

// Inserts a length modifier before the conversion letter at the end of form.
void AddLengthModifier(char* form, const char* mod) {
  size_t l = std::strlen(form);
  char conv = form[l - 1];
  size_t lm = std::strlen(mod);
  std::memcpy(form + l - 1, mod, lm);
  form[l - 1 + lm] = conv;
  form[l + lm] = '\0';
}

// A conversion with no flags: its width, and its precision or -1.
struct PlainSpec {
  int width = 0;
  int precision = -1;
};

// form is "%" and a spec that ScanFormat accepted; false when it has flags.
bool ReadPlainSpec(const char* form, PlainSpec* spec) {
  const char* q = form + 1;
  if (*q != '\0' && std::strchr(kFormatFlags, *q) != nullptr) return false;
  while (IsDigit(static_cast<unsigned char>(*q))) spec->width = spec->width * 10 + (*q++ - '0');
  if (*q == '.') {
    q++;
    spec->precision = 0;
    while (IsDigit(static_cast<unsigned char>(*q))) spec->precision = spec->precision * 10 + (*q++ - '0');
  }
  return true;
}

// Writes the decimal digits of u backwards, ending at end; returns where they start.
char* DigitsBackwards(char* end, unsigned long long u) {
  do {
    *--end = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  return end;
}

// Right-justifies the text first..end in width columns at out; returns its length.
int PadLeft(char* out, const char* first, const char* end, int width) {
  int len = static_cast<int>(end - first), pad = width > len ? width - len : 0;
  std::memset(out, ' ', static_cast<size_t>(pad));
  std::memcpy(out + pad, first, static_cast<size_t>(len));
  return pad + len;
}

// "%<width>d" without printf.
int FormatInteger(char* out, long long v, int width) {
  char tmp[24];
  char* end = tmp + sizeof tmp;
  unsigned long long u = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  char* first = DigitsBackwards(end, u);
  if (v < 0) *--first = '-';
  return PadLeft(out, first, end, width);
}

constexpr int kMaxFastPrecision = 9;
constexpr uint32_t kPowersOf5[] = {1, 5, 25, 125, 625, 3125, 15625, 78125, 390625, 1953125};
constexpr uint32_t kPowersOf10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// "%<width>.<precision>f" without printf: x * 10^precision computed exactly in integers and
// rounded to nearest, ties to even, as printf rounds. -1 for what it leaves to printf: values
// not finite or from 2^53 up, and long precisions or results.
int FormatFixed(char* out, double x, int width, int precision) {
  if (precision > kMaxFastPrecision || !std::isfinite(x)) return -1;
  double a = std::fabs(x);
  if (a >= 9007199254740992.0) return -1;
  int e;
  double m = std::frexp(a, &e);  // a = m * 2^e, m in [0.5, 1)
  auto mant = static_cast<unsigned __int128>(static_cast<uint64_t>(std::ldexp(m, 53)));
  unsigned __int128 v = mant * kPowersOf5[precision];  // a * 10^p = v * 2^(e - 53 + p)
  int shift = 53 - e - precision;
  unsigned __int128 r;
  if (shift <= 0) {
    r = v << -shift;  // a < 2^53 keeps this shift small
  } else if (shift >= 128) {
    r = 0;  // below one half
  } else {
    r = v >> shift;
    unsigned __int128 rem = v - (r << shift), half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (rem > half || (rem == half && (r & 1) != 0)) r++;
  }
  if (r > UINT64_MAX) return -1;
  auto n = static_cast<uint64_t>(r);
  char tmp[40];
  char* end = tmp + sizeof tmp;
  char* first = end;
  if (precision > 0) {
    uint64_t frac = n % kPowersOf10[precision];
    n /= kPowersOf10[precision];
    char* digits = DigitsBackwards(end, frac);
    while (end - digits < precision) *--digits = '0';
    first = digits;
    *--first = '.';
  }
  first = DigitsBackwards(first, n);
  if (std::signbit(x)) *--first = '-';
  return PadLeft(out, first, end, width);
}

int StrFormat(lua_State* L) {
  int arg = 1;
  size_t sfl;
  const char* strfrmt = luaL_checklstring(L, arg, &sfl);
  const char* strfrmt_end = strfrmt + sfl;
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  while (strfrmt < strfrmt_end) {
    if (*strfrmt != '%') {
      luaL_putchar(&b, *strfrmt++);
      continue;
    }
    if (*++strfrmt == '%') {
      luaL_putchar(&b, *strfrmt++);
      continue;
    }
    char form[kMaxFormat + 4];
    char buff[kMaxItem];
    arg++;
    strfrmt = ScanFormat(L, strfrmt, form);
    int n = 0;
    switch (*strfrmt++) {
      case 'c':
        n = FormatInCLocale(buff, sizeof buff, form, static_cast<int>(NumberToInteger(luaL_checknumber(L, arg))));
        break;
      case 'd':
      case 'i':
        if (PlainSpec spec; ReadPlainSpec(form, &spec) && spec.precision < 0) {
          n = FormatInteger(buff, NumberToInteger(luaL_checknumber(L, arg)), spec.width);
          break;
        }
        AddLengthModifier(form, "ll");
        n = FormatInCLocale(buff, sizeof buff, form, NumberToInteger(luaL_checknumber(L, arg)));
        break;
      case 'o':
      case 'u':
      case 'x':
      case 'X': {
        double d = luaL_checknumber(L, arg);
        // Negative values wrap as 32-bit unsigned numbers, as scripts written for 32 bits expect.
        unsigned long long u = d < 0 ? static_cast<unsigned int>(NumberToInteger(d))
                                     : static_cast<unsigned long long>(NumberToInteger(d));
        AddLengthModifier(form, "ll");
        n = FormatInCLocale(buff, sizeof buff, form, u);
        break;
      }
      case 'f': {
        double d = luaL_checknumber(L, arg);
        PlainSpec spec;
        n = ReadPlainSpec(form, &spec) ? FormatFixed(buff, d, spec.width, spec.precision < 0 ? 6 : spec.precision) : -1;
        if (n < 0) n = FormatInCLocale(buff, sizeof buff, form, d);
        break;
      }
      case 'e':
      case 'E':
      case 'g':
      case 'G':
        n = FormatInCLocale(buff, sizeof buff, form, static_cast<double>(luaL_checknumber(L, arg)));
        break;
      case 'q':
        AddQuoted(L, &b, arg);
        continue;
      case 'Q':
        AddQuotedLiteral(L, &b, arg);
        continue;
      case 'B':
        if (!lua_isnoneornil(L, arg) && !lua_isboolean(L, arg)) luaL_typerror(L, arg, "boolean");
        luaL_addstring(&b, lua_toboolean(L, arg) ? "true" : "false");
        continue;
      case 'b': {
        char size = strfrmt < strfrmt_end ? *strfrmt++ : '\0';
        AddBinary(L, &b, arg, size);
        continue;
      }
      case 's': {
        size_t l;
        const char* s = luaL_checklstring(L, arg, &l);
        if (std::strchr(form, '.') == nullptr && l >= 100) {
          lua_pushvalue(L, arg);  // long and unformatted: keep it whole
          luaL_addvalue(&b);
          continue;
        }
        n = FormatInCLocale(buff, sizeof buff, form, s);
        break;
      }
      default:
        return luaL_error(L, "invalid option to `format'");
    }
    if (n > 0) luaL_addlstring(&b, buff, static_cast<size_t>(n) < sizeof buff ? n : sizeof buff - 1);
  }
  luaL_pushresult(&b);
  return 1;
}

const luaL_reg kStringFuncs[] = {
    {"len", StrLen},
    {"sub", StrSub},
    {"lower", StrCase<false>},
    {"upper", StrCase<true>},
    {"char", StrChar},
    {"rep", StrRep},
    {"byte", StrByte},
    {"format", StrFormat},
    {"dump", StrDump},
    {"find", StrFind},
    {"gfind", StrGfind},
    {"gsub", StrGsub},
    {"lualex", StrLualex},
    {nullptr, nullptr},
};

const luaL_reg kStringBinaryFuncs[] = {
    {"pack", tv_lua::StrPack},
    {"unpack", tv_lua::StrUnpack},
    {nullptr, nullptr},
};

}  // namespace

LUALIB_API int luaopen_string(lua_State* L) {
  luaL_openlib(L, LUA_STRLIBNAME, kStringFuncs, 0);
  // strings find their methods in this table: ("x"):upper()
  lua_pushvalue(L, -1);
  lua_setdefaultmetatable(L, LUA_TSTRING);
  luaL_openlib(L, LUA_STRLIBNAME, kStringBinaryFuncs, 0);
  return 1;
}
