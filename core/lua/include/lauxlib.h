// Auxiliary library of the script language: argument checks, buffers, references, loading.
#pragma once

#include <cstddef>
#include <cstdio>

#include "lua.h"

#ifndef LUALIB_API
#define LUALIB_API
#endif

#ifndef LUA_NOREF
#define LUA_NOREF (-2)
#endif
#ifndef LUA_REFNIL
#define LUA_REFNIL (-1)
#endif

typedef struct luaL_reg {
  const char* name;
  lua_CFunction func;
} luaL_reg;

LUALIB_API void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup);
LUALIB_API int luaL_getmetafield(lua_State* L, int obj, const char* e);
LUALIB_API int luaL_callmeta(lua_State* L, int obj, const char* e);
LUALIB_API int luaL_typerror(lua_State* L, int narg, const char* tname);
LUALIB_API int luaL_argerror(lua_State* L, int numarg, const char* extramsg);
LUALIB_API const char* luaL_checklstring(lua_State* L, int numArg, size_t* l);
LUALIB_API const char* luaL_optlstring(lua_State* L, int numArg, const char* def, size_t* l);
LUALIB_API lua_Number luaL_checknumber(lua_State* L, int numArg);
LUALIB_API lua_Number luaL_optnumber(lua_State* L, int nArg, lua_Number def);

LUALIB_API void luaL_checkstack(lua_State* L, int sz, const char* msg);
LUALIB_API void luaL_checktype(lua_State* L, int narg, int t);
LUALIB_API void luaL_checkany(lua_State* L, int narg);

LUALIB_API int luaL_newmetatable(lua_State* L, const char* tname);
LUALIB_API void luaL_getmetatable(lua_State* L, const char* tname);
LUALIB_API void* luaL_checkudata(lua_State* L, int ud, const char* tname);

LUALIB_API void luaL_where(lua_State* L, int lvl);
LUALIB_API int luaL_error(lua_State* L, const char* fmt, ...);

LUALIB_API int luaL_findstring(const char* st, const char* const lst[]);

LUALIB_API int luaL_ref(lua_State* L, int t);
LUALIB_API void luaL_unref(lua_State* L, int t, int ref);

LUALIB_API int luaL_getn(lua_State* L, int t);
LUALIB_API void luaL_setn(lua_State* L, int t, int n);

LUALIB_API int luaL_loadfile(lua_State* L, const char* filename);

// File functions through which luaL_loadfile reads named files (for a host with its own file
// layer). read returns the bytes read, 0 at the end. The struct must outlive the state; null
// restores the C library's files.
typedef struct luaL_FileFuncs {
  void* (*open)(const char* name);  // null when the file can't be opened
  size_t (*read)(void* file, void* buf, size_t size);
  void (*close)(void* file);
} luaL_FileFuncs;
LUALIB_API void luaL_setfilefuncs(lua_State* L, const luaL_FileFuncs* funcs);
LUALIB_API int luaL_loadbuffer(lua_State* L, const char* buff, size_t sz, const char* name);

#define luaL_argcheck(L, cond, numarg, extramsg) \
  if (!(cond)) luaL_argerror(L, numarg, extramsg)
#define luaL_checkstring(L, n) (luaL_checklstring(L, (n), NULL))
#define luaL_optstring(L, n, d) (luaL_optlstring(L, (n), (d), NULL))
#define luaL_checkint(L, n) (luaL_numbertoint(luaL_checknumber(L, n)))
#define luaL_checklong(L, n) (luaL_numbertolong(luaL_checknumber(L, n)))
#define luaL_optint(L, n, d) (luaL_numbertoint(luaL_optnumber(L, n, (lua_Number)(d))))
#define luaL_optlong(L, n, d) (luaL_numbertolong(luaL_optnumber(L, n, (lua_Number)(d))))

// Integer arguments: NaN gives 0 and values out of range saturate instead of overflowing.
inline int luaL_numbertoint(lua_Number d) {
  if (d != d) return 0;
  if (d >= 2147483647.0) return 2147483647;
  if (d <= -2147483648.0) return -2147483647 - 1;
  return (int)d;
}
inline long luaL_numbertolong(lua_Number d) {
  if (d != d) return 0;
  if (d >= 9.2233720368547758e18) return 9223372036854775807L;
  if (d <= -9.2233720368547758e18) return -9223372036854775807L - 1;
  return (long)d;
}

// A string being built in pieces. Short pieces gather in `buffer`; full buffers are pushed on
// the stack and merged as they pile up, so the stack stays shallow.
#ifndef LUAL_BUFFERSIZE
#define LUAL_BUFFERSIZE BUFSIZ
#endif

typedef struct luaL_Buffer {
  char* p;  // next free byte in buffer
  int lvl;  // pieces pushed on the stack
  lua_State* L;
  char buffer[LUAL_BUFFERSIZE];
} luaL_Buffer;

#define luaL_putchar(B, c) \
  ((void)((B)->p < ((B)->buffer + LUAL_BUFFERSIZE) || luaL_prepbuffer(B)), (*(B)->p++ = (char)(c)))
#define luaL_addchar(B, c) luaL_putchar(B, c)
#define luaL_addsize(B, n) ((B)->p += (n))

LUALIB_API void luaL_buffinit(lua_State* L, luaL_Buffer* B);
LUALIB_API char* luaL_prepbuffer(luaL_Buffer* B);
LUALIB_API void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l);
LUALIB_API void luaL_addstring(luaL_Buffer* B, const char* s);
LUALIB_API void luaL_addvalue(luaL_Buffer* B);
LUALIB_API void luaL_pushresult(luaL_Buffer* B);

// Run a file, a string or a buffer; errors go to `_ALERT` (or stderr) and the status is returned.
LUALIB_API int lua_dofile(lua_State* L, const char* filename);
LUALIB_API int lua_dostring(lua_State* L, const char* str);
LUALIB_API int lua_dobuffer(lua_State* L, const char* buff, size_t sz, const char* n);

// Older spellings kept for code written against them.
#define luaL_check_lstr luaL_checklstring
#define luaL_opt_lstr luaL_optlstring
#define luaL_check_number luaL_checknumber
#define luaL_opt_number luaL_optnumber
#define luaL_arg_check luaL_argcheck
#define luaL_check_string luaL_checkstring
#define luaL_opt_string luaL_optstring
#define luaL_check_int luaL_checkint
#define luaL_check_long luaL_checklong
#define luaL_opt_int luaL_optint
#define luaL_opt_long luaL_optlong
