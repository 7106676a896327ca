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
}  // namespace

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
    if (i + FIRST_RESERVED == TK_CONTINUE) continue;  // an ordinary name in this language level
    TString* ts = newStr(L, tokenNames[i]);
    ts->marked |= 2;
    ts->reserved = static_cast<uint8_t>(i + 1);
  }
}

std::string token2str(int token) {
  if (token < FIRST_RESERVED) {
    if (std::iscntrl(token)) {
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

void LexState::readNumeral(SemInfo* seminfo, bool startsWithDot) {
  buff.clear();
  if (startsWithDot) save('.');
  while (std::isdigit(current)) saveAndNext();
  if (current == '.') {
    saveAndNext();
    if (current == '.') {
      saveAndNext();
      lexError("ambiguous syntax (decimal point x string concatenation)", TK_NUMBER);
    }
  }
  while (std::isdigit(current)) saveAndNext();
  if (current == 'e' || current == 'E') {
    saveAndNext();
    if (current == '+' || current == '-') saveAndNext();
    while (std::isdigit(current)) saveAndNext();
  }
  // a letter or another dot right after the numeral makes it malformed
  while (std::isalnum(current) || current == '_' || current == '.') saveAndNext();
  if (!str2d(buff.c_str(), &seminfo->r)) lexError("malformed number", TK_NUMBER);
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
        int c;
        switch (current) {
          case 'a': c = '\a'; break;
          case 'b': c = '\b'; break;
          case 'f': c = '\f'; break;
          case 'n': c = '\n'; break;
          case 'r': c = '\r'; break;
          case 't': c = '\t'; break;
          case 'v': c = '\v'; break;
          case '\n':
          case '\r':
            save('\n');
            incLine();
            continue;
          case EOZ: continue;
          default: {
            if (!std::isdigit(current)) {
              saveAndNext();
              continue;
            }
            c = 0;
            int i = 0;
            do {
              c = 10 * c + (current - '0');
              advance();
            } while (++i < 3 && std::isdigit(current));
            if (c > 255) lexError("escape sequence too large", TK_STRING);
            save(c);
            continue;
          }
        }
        save(c);
        advance();
        continue;
      }
      default: saveAndNext();
    }
  }
  saveAndNext();
  seminfo->ts = newString(buff.data() + 1, buff.size() - 2);
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
        if (current != '=') return '<';
        advance();
        return TK_LE;
      case '>':
        advance();
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
        if (!std::isdigit(current)) return '.';
        readNumeral(seminfo, true);
        return TK_NUMBER;
      case EOZ: return TK_EOS;
      default: {
        if (current == ' ' || current == '\t' || current == '\f' || current == '\v') {
          advance();
          continue;
        }
        if (std::isdigit(current)) {
          readNumeral(seminfo, false);
          return TK_NUMBER;
        }
        if (std::isalpha(current) || current == '_') {
          buff.clear();
          do {
            saveAndNext();
          } while (std::isalnum(current) || current == '_');
          TString* ts = newString(buff.data(), buff.size());
          if (ts->reserved > 0) return ts->reserved - 1 + FIRST_RESERVED;
          seminfo->ts = ts;
          return TK_NAME;
        }
        int c = current;
        if (std::iscntrl(c)) {
          char msg[32];
          std::snprintf(msg, sizeof msg, "char(%d)", c);
          buff = msg;
          lexError("invalid control char", TK_STRING);
        }
        advance();
        return c;
      }
    }
  }
}

}  // namespace luai
