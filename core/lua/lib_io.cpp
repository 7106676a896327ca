// I/O library: files as userdata boxes around FILE*, and default input and output files.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/lua/lib_support.h"
#include "lauxlib.h"
#include "lualib.h"

namespace {

const char kFileHandle[] = "FILE*";
const char kDefaultInput[] = "tv.io.input";
const char kDefaultOutput[] = "tv.io.output";

using tv_lua::PushSystemResult;

// The box of the file at index i, or null when the value is not a file.
std::FILE** ToFileBox(lua_State* L, int i) {
  return static_cast<std::FILE**>(luaL_checkudata(L, i, kFileHandle));
}

std::FILE* ToOpenFile(lua_State* L, int i) {
  std::FILE** box = ToFileBox(L, i);
  if (box == nullptr) luaL_typerror(L, i, "file");
  if (*box == nullptr) luaL_error(L, "attempt to use a closed file");
  return *box;
}

std::FILE** NewFileBox(lua_State* L) {
  auto** box = static_cast<std::FILE**>(lua_newuserdata(L, sizeof(std::FILE*)));
  *box = nullptr;
  luaL_getmetatable(L, kFileHandle);
  lua_setmetatable(L, -2);
  return box;
}

bool IsStandardFile(std::FILE* f) { return f == stdin || f == stdout || f == stderr; }

// Closes the file at index i; the standard files stay open.
int CloseFileAt(lua_State* L, int i) {
  std::FILE* f = ToOpenFile(L, i);
  if (IsStandardFile(f)) {
    lua_pushnil(L);
    lua_pushliteral(L, "cannot close standard file");
    return 2;
  }
  bool ok = std::fclose(f) == 0;
  *ToFileBox(L, i) = nullptr;
  return PushSystemResult(L, ok, nullptr);
}

void PushDefault(lua_State* L, const char* key) {
  lua_pushstring(L, key);
  lua_rawget(L, LUA_REGISTRYINDEX);
}

std::FILE* DefaultFile(lua_State* L, const char* key) {
  PushDefault(L, key);
  std::FILE** box = static_cast<std::FILE**>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  if (box == nullptr || *box == nullptr) luaL_error(L, "default file is closed");
  return *box;
}

bool ValidMode(const char* mode) {
  if (*mode == '\0' || std::strchr("rwa", *mode) == nullptr) return false;
  mode++;
  if (*mode == '+') mode++;
  while (*mode == 'b') mode++;
  return *mode == '\0';
}

// ---- reading ------------------------------------------------------------------------------

bool ReadNumber(lua_State* L, std::FILE* f) {
  double d;
  if (!tv_lua::ScanNumberInCLocale(f, &d)) return false;
  lua_pushnumber(L, d);
  return true;
}

bool TestEof(lua_State* L, std::FILE* f) {
  int c = std::getc(f);
  std::ungetc(c, f);
  lua_pushliteral(L, "");
  return c != EOF;
}

bool ReadLine(lua_State* L, std::FILE* f) {
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  for (;;) {
    char* p = luaL_prepbuffer(&b);
    if (std::fgets(p, LUAL_BUFFERSIZE, f) == nullptr) {
      luaL_pushresult(&b);
      return lua_strlen(L, -1) > 0;  // nothing read at all means end of file
    }
    size_t l = std::strlen(p);
    if (l > 0 && p[l - 1] == '\n') {
      luaL_addsize(&b, l - 1);
      luaL_pushresult(&b);
      return true;
    }
    luaL_addsize(&b, l);
  }
}

bool ReadChars(lua_State* L, std::FILE* f, size_t n) {
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  size_t total = 0;
  while (n > 0) {
    size_t want = n < LUAL_BUFFERSIZE ? n : LUAL_BUFFERSIZE;
    char* p = luaL_prepbuffer(&b);
    size_t got = std::fread(p, 1, want, f);
    luaL_addsize(&b, got);
    total += got;
    n -= got;
    if (got < want) break;
  }
  luaL_pushresult(&b);
  return total > 0;
}

void ReadAll(lua_State* L, std::FILE* f) {
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  size_t got;
  do {
    char* p = luaL_prepbuffer(&b);
    got = std::fread(p, 1, LUAL_BUFFERSIZE, f);
    luaL_addsize(&b, got);
  } while (got == LUAL_BUFFERSIZE);
  luaL_pushresult(&b);
}

// Reads by the formats from index first on; a failed read gives nil and ends the list.
int ReadFormats(lua_State* L, std::FILE* f, int first) {
  int nargs = lua_gettop(L) - first + 1;
  std::clearerr(f);
  if (nargs == 0) {
    if (!ReadLine(L, f)) {
      lua_pop(L, 1);
      lua_pushnil(L);
    }
    return 1;
  }
  luaL_checkstack(L, nargs + LUA_MINSTACK, "too many arguments");
  bool ok = true;
  int n;
  for (n = first; n < first + nargs && ok; n++) {
    if (lua_type(L, n) == LUA_TNUMBER) {
      size_t l = static_cast<size_t>(luaL_numbertolong(lua_tonumber(L, n)));
      ok = (l == 0) ? TestEof(L, f) : ReadChars(L, f, l);
      continue;
    }
    const char* p = lua_tostring(L, n);
    luaL_argcheck(L, p && p[0] == '*', n, "invalid option");
    switch (p[1]) {
      case 'n':
        ok = ReadNumber(L, f);
        if (!ok) lua_pushnil(L);  // keep one slot per format
        break;
      case 'l':
        ok = ReadLine(L, f);
        break;
      case 'a':
        ReadAll(L, f);
        ok = true;
        break;
      default:
        return luaL_argerror(L, n, "invalid format");
    }
  }
  if (std::ferror(f)) return PushSystemResult(L, false, nullptr);
  if (!ok) {
    lua_pop(L, 1);
    lua_pushnil(L);
  }
  return n - first;
}

int WriteValues(lua_State* L, std::FILE* f, int arg) {
  int nargs = lua_gettop(L) - arg + 1;
  bool ok = true;
  for (; nargs--; arg++) {
    if (lua_type(L, arg) == LUA_TNUMBER) {
      char buf[64];
      int n = tv_lua::FormatInCLocale(buf, sizeof buf, "%.14g", lua_tonumber(L, arg));
      ok = ok && std::fwrite(buf, 1, static_cast<size_t>(n), f) == static_cast<size_t>(n);
    } else {
      size_t l;
      const char* s = luaL_checklstring(L, arg, &l);
      ok = ok && std::fwrite(s, 1, l, f) == l;
    }
  }
  return PushSystemResult(L, ok, nullptr);
}

// Iterator of lines: upvalue 1 is the file, upvalue 2 whether to close it at the end.
int LinesStep(lua_State* L) {
  std::FILE** box = static_cast<std::FILE**>(lua_touserdata(L, lua_upvalueindex(1)));
  if (box == nullptr || *box == nullptr) return luaL_error(L, "file is already closed");
  if (ReadLine(L, *box)) return 1;
  lua_pop(L, 1);
  if (lua_toboolean(L, lua_upvalueindex(2))) {
    lua_settop(L, 0);
    lua_pushvalue(L, lua_upvalueindex(1));
    CloseFileAt(L, 1);
  }
  return 0;
}

void PushLinesIterator(lua_State* L, int idx, bool close) {
  lua_pushvalue(L, idx);
  lua_pushboolean(L, close);
  lua_pushcclosure(L, LinesStep, 2);
}

// ---- file methods -------------------------------------------------------------------------

int FileClose(lua_State* L) { return CloseFileAt(L, 1); }

int FileFlush(lua_State* L) { return PushSystemResult(L, std::fflush(ToOpenFile(L, 1)) == 0, nullptr); }

int FileLines(lua_State* L) {
  ToOpenFile(L, 1);
  PushLinesIterator(L, 1, false);
  return 1;
}

int FileRead(lua_State* L) { return ReadFormats(L, ToOpenFile(L, 1), 2); }

int FileWrite(lua_State* L) { return WriteValues(L, ToOpenFile(L, 1), 2); }

int FileSeek(lua_State* L) {
  static const char* const kModes[] = {"set", "cur", "end", nullptr};
  static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  std::FILE* f = ToOpenFile(L, 1);
  int op = luaL_findstring(luaL_optstring(L, 2, "cur"), kModes);
  long offset = luaL_optlong(L, 3, 0);
  luaL_argcheck(L, op != -1, 2, "invalid mode");
  if (std::fseek(f, offset, kWhence[op]) != 0) return PushSystemResult(L, false, nullptr);
  lua_pushnumber(L, static_cast<lua_Number>(std::ftell(f)));
  return 1;
}

int FileGc(lua_State* L) {
  std::FILE** box = ToFileBox(L, 1);
  if (box && *box && !IsStandardFile(*box)) {
    std::fclose(*box);
    *box = nullptr;
  }
  return 0;
}

int FileToString(lua_State* L) {
  std::FILE** box = ToFileBox(L, 1);
  if (box == nullptr || *box == nullptr) lua_pushliteral(L, "file (closed)");
  else {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<void*>(*box));
    lua_pushfstring(L, "file (%s)", address);
  }
  return 1;
}

// ---- io functions -------------------------------------------------------------------------

int IoOpen(lua_State* L) {
  const char* filename = luaL_checkstring(L, 1);
  const char* mode = luaL_optstring(L, 2, "r");
  luaL_argcheck(L, ValidMode(mode), 2, "invalid mode");
  std::FILE** box = NewFileBox(L);
  *box = std::fopen(filename, mode);
  return *box ? 1 : PushSystemResult(L, false, filename);
}

int IoTmpfile(lua_State* L) {
  std::FILE** box = NewFileBox(L);
  *box = std::tmpfile();
  return *box ? 1 : PushSystemResult(L, false, nullptr);
}

int IoType(lua_State* L) {
  luaL_checkany(L, 1);
  std::FILE** box = ToFileBox(L, 1);
  if (box == nullptr) lua_pushnil(L);
  else if (*box == nullptr) lua_pushliteral(L, "closed file");
  else lua_pushliteral(L, "file");
  return 1;
}

// io.input and io.output: with a name, open it; with a file, use it; return the current file.
int SwitchDefault(lua_State* L, const char* key, const char* mode) {
  if (!lua_isnoneornil(L, 1)) {
    if (const char* filename = lua_tostring(L, 1)) {
      std::FILE** box = NewFileBox(L);
      *box = std::fopen(filename, mode);
      if (*box == nullptr) return luaL_error(L, "%s: %s", filename, std::strerror(errno));
    } else {
      ToOpenFile(L, 1);
      lua_pushvalue(L, 1);
    }
    lua_pushstring(L, key);
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
  }
  PushDefault(L, key);
  return 1;
}

int IoInput(lua_State* L) { return SwitchDefault(L, kDefaultInput, "r"); }
int IoOutput(lua_State* L) { return SwitchDefault(L, kDefaultOutput, "w"); }

int IoClose(lua_State* L) {
  if (lua_isnone(L, 1)) PushDefault(L, kDefaultOutput);
  return CloseFileAt(L, 1);
}

int IoFlush(lua_State* L) { return PushSystemResult(L, std::fflush(DefaultFile(L, kDefaultOutput)) == 0, nullptr); }

int IoRead(lua_State* L) { return ReadFormats(L, DefaultFile(L, kDefaultInput), 1); }

int IoWrite(lua_State* L) { return WriteValues(L, DefaultFile(L, kDefaultOutput), 1); }

int IoLines(lua_State* L) {
  if (lua_isnoneornil(L, 1)) {
    lua_settop(L, 0);
    PushDefault(L, kDefaultInput);
    ToOpenFile(L, 1);
    PushLinesIterator(L, 1, false);
    return 1;
  }
  const char* filename = luaL_checkstring(L, 1);
  std::FILE** box = NewFileBox(L);
  *box = std::fopen(filename, "r");
  if (*box == nullptr) return luaL_error(L, "%s: %s", filename, std::strerror(errno));
  PushLinesIterator(L, -1, true);
  return 1;
}

const luaL_reg kFileMethods[] = {
    {"close", FileClose},
    {"flush", FileFlush},
    {"lines", FileLines},
    {"read", FileRead},
    {"seek", FileSeek},
    {"write", FileWrite},
    {"__gc", FileGc},
    {"__tostring", FileToString},
    {nullptr, nullptr},
};

const luaL_reg kIoFuncs[] = {
    {"close", IoClose},
    {"flush", IoFlush},
    {"input", IoInput},
    {"lines", IoLines},
    {"open", IoOpen},
    {"output", IoOutput},
    {"read", IoRead},
    {"tmpfile", IoTmpfile},
    {"type", IoType},
    {"write", IoWrite},
    {nullptr, nullptr},
};

void RegisterStandardFile(lua_State* L, std::FILE* f, const char* name, const char* default_key) {
  lua_pushstring(L, name);
  *NewFileBox(L) = f;
  if (default_key) {
    lua_pushstring(L, default_key);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
  }
  lua_rawset(L, -3);
}

}  // namespace

LUALIB_API int luaopen_io(lua_State* L) {
  luaopen_os(L);
  lua_pop(L, 1);
  luaL_newmetatable(L, kFileHandle);
  lua_pushliteral(L, "__index");
  lua_pushvalue(L, -2);
  lua_rawset(L, -3);  // methods are looked up in the metatable itself
  luaL_openlib(L, nullptr, kFileMethods, 0);
  lua_pop(L, 1);
  luaL_openlib(L, LUA_IOLIBNAME, kIoFuncs, 0);
  RegisterStandardFile(L, stdin, "stdin", kDefaultInput);
  RegisterStandardFile(L, stdout, "stdout", kDefaultOutput);
  RegisterStandardFile(L, stderr, "stderr", nullptr);
  return 1;
}
