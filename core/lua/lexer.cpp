#include "core/lua/lexer.h"

#include <cctype>
#include <cstdio>

#include "core/lua/call.h"
#include "core/lua/debug_info.h"
#include "core/lua/str_table.h"

namespace luai {

namespace {
const char* const tokenNames[] = {
    "and", "break", "continue", "do", "else", "elseif", "end", "false", "for", "function", "if",
    "in", "local", "nil", "not", "or", "repeat", "return", "then", "true", "until", "while",
    "*name", "..", "...", "==", ">=", "<=", "~=", "*number", "*string", "*wstring", "<<", ">>",
    "<eof>"};
constexpr int EOZ = -1;

// Character classes of the source: ASCII only, safe for any code (wide units and end of input).
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isAlpha(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAlnum(int c) { return isDigit(c) || isAlpha(c); }
bool isHexDigit(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hexValue(int c) { return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }
bool isControl(int c) { return (c >= 0 && c < 32) || c == 127; }
}  // namespace

void startLexer(LexState* ls) {
  int c = ls->z->getc();
  if (c == 0xFF && ls->z->lookahead() == 0xFE) {
    ls->z->getc();
    ls->utf16 = true;
    ls->current = 0;
    ls->advance();
    return;
  }
  ls->current = c;
}

int ZIO::fill() {
  size_t size = 0;
  const char* buf = reader(L, data, &size);
  if (buf == nullptr || size == 0) return EOZ;
  n = size - 1;
  p = buf + 1;
  return static_cast<unsigned char>(buf[0]);
}

void initLexer(lua_State* L) {
  for (int i = 0; i < NUM_RESERVED; i++) {
    TString* ts = newStr(L, tokenNames[i]);
    ts->marked |= 2;
    ts->reserved = static_cast<uint8_t>(i + 1);
  }
}

std::string token2str(int token) {
  if (token < FIRST_RESERVED) {
    if (isControl(token) || token > 255) {
      char buf[24];
      std::snprintf(buf, sizeof buf, "char(%d)", token);
      return buf;
    }
    return std::string(1, static_cast<char>(token));
  }
  return tokenNames[token - FIRST_RESERVED];
}

std::string LexState::tokenText(int token) const {
  switch (token) {
    case TK_NAME:
    case TK_STRING:
    case TK_WSTRING:
    case TK_NUMBER: return buff;
    default: return token2str(token);
  }
}

void LexState::errorAt(const char* msg, int token) {
  char src[LUA_IDSIZE];
  chunkid(src, source->data(), LUA_IDSIZE);
  std::string near = tokenText(token);
  pushFString(L, "%s:%d: %s near `%s'", src, linenumber, msg, near.c_str());
  throwError(L, LUA_ERRSYNTAX);
}

void LexState::lexError(const char* msg, int token) { errorAt(msg, token); }

void LexState::syntaxError(const char* msg) { errorAt(msg, t.token); }

void LexState::checkLimit(int v, int l, const char* what) {
  if (v > l) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "too many %s (limit=%d)", what, l);
    syntaxError(buf);
  }
}

TString* LexState::newString(const char* s, size_t l) { return newLStr(L, s, l); }

void LexState::incLine() {
  int old = current;
  advance();
  if ((current == '\n' || current == '\r') && current != old) advance();
  ++linenumber;
  if (linenumber >= 0x7fffff00) syntaxError("chunk has too many lines");
}

void LexState::next() {
  lastline = linenumber;
  if (lookahead.token != TK_EOS) {
    t = lookahead;
    lookahead.token = TK_EOS;
  } else {
    t.token = lex(&t.seminfo);
  }
}

void LexState::lookaheadToken() { lookahead.token = lex(&lookahead.seminfo); }

// `prefix` holds what was consumed already: "", "0" or ".".
void LexState::readNumeral(SemInfo* seminfo, const char* prefix) {
  buff = prefix;
  bool integer = *prefix != '.';
  while (isDigit(current)) saveAndNext();
  if (current == '.') {
    integer = false;
    saveAndNext();
    if (current == '.') {
      saveAndNext();
      lexError("ambiguous syntax (decimal point x string concatenation)", TK_NUMBER);
    }
  }
  while (isDigit(current)) saveAndNext();
  bool valid = true;
  if (current == 'e' || current == 'E') {
    integer = false;
    saveAndNext();
    if (current == '+' || current == '-') saveAndNext();
    valid = isDigit(current);
    while (isDigit(current)) saveAndNext();
  }
  // a letter or another dot right after the numeral makes it malformed
  while (isAlnum(current) || current == '_' || current == '.') {
    valid = false;
    saveAndNext();
  }
  if (!valid || !str2d(buff.c_str(), &seminfo->r)) lexError(integer ? "malformed integer" : "malformed number", TK_NUMBER);
}

// "0x" and up to 8 hexadecimal digits: their unsigned 32-bit value.
void LexState::readHexNumeral(SemInfo* seminfo) {
  buff = "0x";
  advance();  // the 'x'
  uint32_t value = 0;
  int digits = 0;
  while (digits < 8 && isHexDigit(current)) {
    value = (value << 4) | static_cast<uint32_t>(hexValue(current));
    saveAndNext();
    digits++;
  }
  if (digits == 0) lexError("malformed number", TK_NUMBER);
  seminfo->r = static_cast<lua_Number>(value);
}

void LexState::readLongString(SemInfo* seminfo) {
  int cont = 0;
  buff.clear();
  save('[');
  saveAndNext();  // second '['
  if (current == '\r' || current == '\n') incLine();
  for (;;) {
    switch (current) {
      case EOZ:
        buff += "<eof>";
        lexError(seminfo ? "unfinished long string" : "unfinished long comment", TK_EOS);
      case '[':
        saveAndNext();
        if (current == '[') {
          cont++;
          saveAndNext();
        }
        continue;
      case ']':
        saveAndNext();
        if (current == ']') {
          if (cont == 0) goto endloop;
          cont--;
          saveAndNext();
        }
        continue;
      case '\n':
      case '\r':
        save('\n');
        incLine();
        if (!seminfo) buff.clear();
        continue;
      default:
        if (seminfo) saveAndNext();
        else advance();
    }
  }
endloop:
  saveAndNext();  // closing second ']'
  if (seminfo) seminfo->ts = newString(buff.data() + 2, buff.size() - 4);
}

void LexState::readString(int del, SemInfo* seminfo) {
  buff.clear();
  saveAndNext();
  while (current != del) {
    switch (current) {
      case EOZ: lexError("unfinished string", TK_EOS);
      case '\n':
      case '\r': lexError("unfinished string", TK_STRING);
      case '\\': {
        advance();
        int c = readEscape(2, TK_STRING);
        if (c >= 0) save(c);
        continue;
      }
      default: saveAndNext();
    }
  }
  saveAndNext();
  seminfo->ts = newString(buff.data() + 1, buff.size() - 2);
}

// Hexadecimal digits (at least one present) after "\\x", at most maxDigits of them.
int LexState::readHexEscape(int maxDigits) {
  int value = 0;
  for (int i = 0; i < maxDigits && isHexDigit(current); i++) {
    value = (value << 4) | hexValue(current);
    advance();
  }
  return value;
}

// The escape after a backslash in a literal; -1 when it adds nothing (end of input, which
// the caller reports). Leaves `current` after the escape.
int LexState::readEscape(int maxHexDigits, int token) {
  int c = current;
  switch (c) {
    case 'a': c = '\a'; break;
    case 'b': c = '\b'; break;
    case 'f': c = '\f'; break;
    case 'n': c = '\n'; break;
    case 'r': c = '\r'; break;
    case 't': c = '\t'; break;
    case 'v': c = '\v'; break;
    case '\n':
    case '\r':
      incLine();
      return '\n';
    case EOZ: return -1;
    case 'x':
      advance();
      return isHexDigit(current) ? readHexEscape(maxHexDigits) : 'x';
    default: {
      if (!isDigit(c)) break;
      c = 0;
      int i = 0;
      do {
        c = 10 * c + (current - '0');
        advance();
      } while (++i < 3 && isDigit(current));
      if (c > 255) lexError("escape sequence too large", token);
      return c;
    }
  }
  advance();
  return c;
}

// A wide literal after L: 16-bit units; the narrow copy in buff serves error messages.
void LexState::readWideString(SemInfo* seminfo) {
  buff = "L";
  wbuff.clear();
  auto put = [&](int c) {
    wbuff.push_back(static_cast<char16_t>(c));
    save(c);
  };
  save('"');
  advance();
  while (current != '"') {
    switch (current) {
      case EOZ: lexError("unfinished string", TK_EOS);
      case '\n':
      case '\r': lexError("unfinished string", TK_WSTRING);
      case '\\': {
        advance();
        int c = readEscape(4, TK_WSTRING);
        if (c >= 0) put(c);
        continue;
      }
      default:
        put(current);
        advance();
    }
  }
  save('"');
  advance();
  static_assert(sizeof(char16_t) == sizeof(uint16_t));
  seminfo->ts = newLWStr(L, reinterpret_cast<const uint16_t*>(wbuff.data()), wbuff.size());
}

int LexState::lex(SemInfo* seminfo) {
  for (;;) {
    switch (current) {
      case '\n':
      case '\r': incLine(); continue;
      case '-':
        advance();
        if (current != '-') return '-';
        advance();
        if (current == '[') {
          advance();
          if (current == '[') {
            readLongString(nullptr);
            buff.clear();
            continue;
          }
        }
        while (current != '\n' && current != '\r' && current != EOZ) advance();
        continue;
      case '[':
        advance();
        if (current != '[') return '[';
        readLongString(seminfo);
        return TK_STRING;
      case '=':
        advance();
        if (current != '=') return '=';
        advance();
        return TK_EQ;
      case '<':
        advance();
        if (current == '<') {
          advance();
          return TK_SHL;
        }
        if (current != '=') return '<';
        advance();
        return TK_LE;
      case '>':
        advance();
        if (current == '>') {
          advance();
          return TK_SHR;
        }
        if (current != '=') return '>';
        advance();
        return TK_GE;
      case '~':
        advance();
        if (current != '=') return '~';
        advance();
        return TK_NE;
      case '"':
      case '\'': readString(current, seminfo); return TK_STRING;
      case '.':
        advance();
        if (current == '.') {
          advance();
          if (current == '.') {
            advance();
            return TK_DOTS;
          }
          return TK_CONCAT;
        }
        if (!isDigit(current)) return '.';
        readNumeral(seminfo, ".");
        return TK_NUMBER;
      case EOZ: return TK_EOS;
      default: {
        if (current == ' ' || current == '\t' || current == '\f' || current == '\v') {
          advance();
          continue;
        }
        if (isDigit(current)) {
          if (current == '0') {
            advance();
            if (current == 'x') {
              readHexNumeral(seminfo);
              return TK_NUMBER;
            }
            readNumeral(seminfo, "0");
            return TK_NUMBER;
          }
          readNumeral(seminfo, "");
          return TK_NUMBER;
        }
        if (isAlpha(current) || current == '_') {
          buff.clear();
          do {
            saveAndNext();
          } while (isAlnum(current) || current == '_');
          if (current == '"' && buff == "L") {
            readWideString(seminfo);
            return TK_WSTRING;
          }
          TString* ts = newString(buff.data(), buff.size());
          if (ts->reserved > 0) return ts->reserved - 1 + FIRST_RESERVED;
          seminfo->ts = ts;
          return TK_NAME;
        }
        int c = current;
        if (isControl(c) || c > 254) {
          char msg[32];
          std::snprintf(msg, sizeof msg, "char(%d)", c);
          buff = msg;
          lexError(c > 254 ? "invalid wide char" : "invalid control char", TK_STRING);
        }
        advance();
        return c;
      }
    }
  }
}

}  // namespace luai
