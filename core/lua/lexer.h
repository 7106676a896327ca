#pragma once
// Splits script source into tokens.

#include <string>

#include "core/lua/state.h"

namespace luai {

enum Token : int {
  FIRST_RESERVED = 257,
  TK_AND = FIRST_RESERVED, TK_BREAK, TK_CONTINUE, TK_DO, TK_ELSE, TK_ELSEIF, TK_END, TK_FALSE,
  TK_FOR, TK_FUNCTION, TK_IF, TK_IN, TK_LOCAL, TK_NIL, TK_NOT, TK_OR, TK_REPEAT, TK_RETURN,
  TK_THEN, TK_TRUE, TK_UNTIL, TK_WHILE,
  TK_NAME, TK_CONCAT, TK_DOTS, TK_EQ, TK_GE, TK_LE, TK_NE, TK_NUMBER, TK_STRING, TK_WSTRING,
  TK_SHL, TK_SHR, TK_EOS
};
constexpr int NUM_RESERVED = TK_WHILE - FIRST_RESERVED + 1;

struct SemInfo {
  lua_Number r = 0;
  TString* ts = nullptr;
};

struct TokenInfo {
  int token = 0;
  SemInfo seminfo;
};

// Buffered input from a chunk reader.
struct ZIO {
  lua_State* L;
  lua_Chunkreader reader;
  void* data;
  const char* p = nullptr;
  size_t n = 0;
  int fill();
  int getc() { return n > 0 ? (n--, static_cast<unsigned char>(*p++)) : fill(); }
  int lookahead();
};

struct FuncState;

struct LexState {
  int current = 0;
  int linenumber = 1;
  int lastline = 1;
  TokenInfo t;
  TokenInfo lookahead;
  FuncState* fs = nullptr;
  lua_State* L = nullptr;
  ZIO* z = nullptr;
  std::string buff;
  TString* source = nullptr;
  int nestlevel = 0;
  bool utf16 = false;  // the chunk is UTF-16 text, low byte first
  std::u16string wbuff;

  void next();
  int lex(SemInfo* seminfo);
  void lookaheadToken();
  [[noreturn]] void syntaxError(const char* msg);
  [[noreturn]] void errorAt(const char* msg, int token);
  [[noreturn]] void lexError(const char* msg, int token);
  std::string tokenText(int token) const;
  TString* newString(const char* s, size_t l);
  void checkLimit(int v, int l, const char* what);
  void advance() {
    if (!utf16) {
      current = z->getc();
      return;
    }
    int lo = z->getc();
    int hi = lo < 0 ? -1 : z->getc();
    current = hi < 0 ? -1 : (lo | (hi << 8));
  }

 private:
  void save(int c) { buff.push_back(static_cast<char>(c)); }
  void saveAndNext() {
    save(current);
    advance();
  }
  void incLine();
  void readNumeral(SemInfo* seminfo, const char* prefix);
  void readLongString(SemInfo* seminfo);
  void readString(int del, SemInfo* seminfo);
  void readWideString(SemInfo* seminfo);
  int readHexEscape(int maxDigits);
  int readEscape(int maxHexDigits, int token);
  void readHexNumeral(SemInfo* seminfo);
};

void initLexer(lua_State* L);
// Reads the first character of a chunk, switching to UTF-16 on a leading FF FE mark.
void startLexer(LexState* ls);
std::string token2str(int token);

}  // namespace luai
