// The script language's public C API (version 5.0.2 of the language), with the engine's additions.
#ifndef TV_LUA_H
#define TV_LUA_H

#include <stdarg.h>
#include <stddef.h>

#define LUA_VERSION "Lua 5.0.2"
#define LUA_COPYRIGHT "tessivander script core"
#define LUA_AUTHORS "tessivander"

#ifndef LUA_API
#define LUA_API extern
#endif

// Option for multiple returns in lua_pcall and lua_call.
#define LUA_MULTRET (-1)

// Pseudo-indices.
#define LUA_REGISTRYINDEX (-10000)
#define LUA_GLOBALSINDEX (-10001)
#define lua_upvalueindex(i) (LUA_GLOBALSINDEX - (i))

// Error codes of lua_load, lua_pcall, lua_resume and lua_cpcall.
#define LUA_ERRRUN 1
#define LUA_ERRFILE 2
#define LUA_ERRSYNTAX 3
#define LUA_ERRMEM 4
#define LUA_ERRERR 5

typedef struct lua_State lua_State;

typedef int (*lua_CFunction)(lua_State* L);

// Functions that read and write blocks when loading and dumping chunks.
typedef const char* (*lua_Chunkreader)(lua_State* L, void* ud, size_t* sz);
typedef int (*lua_Chunkwriter)(lua_State* L, const void* p, size_t sz, void* ud);
typedef lua_Chunkreader lua_Reader;
typedef lua_Chunkwriter lua_Writer;

// Basic types.
#define LUA_TNONE (-1)
#define LUA_TNIL 0
#define LUA_TBOOLEAN 1
#define LUA_TLIGHTUSERDATA 2
#define LUA_TNUMBER 3
#define LUA_TSTRING 4
#define LUA_TTABLE 5
#define LUA_TFUNCTION 6
#define LUA_TUSERDATA 7
#define LUA_TTHREAD 8
// Wide text: immutable sequences of 16-bit units.
#define LUA_TWSTRING 9

typedef unsigned short lua_WChar;

// Memory hook with realloc/free semantics: a new size of 0 frees and returns null.
typedef void* (*lua_Alloc)(void* ud, void* ptr, size_t osize, size_t nsize);
// Called after the panic function on an error outside every protected call; the process ends
// with status 1 if it returns.
typedef void (*lua_Fatal)(lua_State* L);

// Minimum stack space available to a C function.
#define LUA_MINSTACK 20

#ifndef LUA_NUMBER
typedef double lua_Number;
#define LUA_NUMBER double
#endif
#define LUA_NUMBER_SCAN "%lf"
#define LUA_NUMBER_FMT "%.14g"
#define lua_number2str(s, n) snprintf((s), 32, LUA_NUMBER_FMT, (n))
#define lua_str2number(s, p) strtod((s), (p))

// State manipulation.
LUA_API lua_State* lua_open(void);
// A state using the given hooks; null hooks keep the defaults.
LUA_API lua_State* lua_openwith(lua_Alloc alloc, void* ud, lua_Fatal fatal);
LUA_API void lua_close(lua_State* L);
// States made by lua_open or lua_openwith and not yet closed (threads are not states).
LUA_API int lua_livestates(void);
LUA_API lua_State* lua_newthread(lua_State* L);
LUA_API lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf);
// os.exit calls exitf in its place, with its arguments, instead of ending the process (a host
// ends through its own quit path); null gives the default back. Returns the previous one.
LUA_API lua_CFunction lua_atexit(lua_State* L, lua_CFunction exitf);

// Basic stack manipulation.
LUA_API int lua_gettop(lua_State* L);
LUA_API void lua_settop(lua_State* L, int idx);
LUA_API void lua_pushvalue(lua_State* L, int idx);
LUA_API void lua_remove(lua_State* L, int idx);
LUA_API void lua_insert(lua_State* L, int idx);
LUA_API void lua_replace(lua_State* L, int idx);
LUA_API int lua_checkstack(lua_State* L, int sz);
LUA_API void lua_xmove(lua_State* from, lua_State* to, int n);

// Access functions (stack -> C).
LUA_API int lua_isnumber(lua_State* L, int idx);
LUA_API int lua_isstring(lua_State* L, int idx);
LUA_API int lua_iscfunction(lua_State* L, int idx);
LUA_API int lua_isuserdata(lua_State* L, int idx);
LUA_API int lua_type(lua_State* L, int idx);
LUA_API const char* lua_typename(lua_State* L, int tp);

LUA_API int lua_equal(lua_State* L, int idx1, int idx2);
LUA_API int lua_rawequal(lua_State* L, int idx1, int idx2);
LUA_API int lua_lessthan(lua_State* L, int idx1, int idx2);

LUA_API lua_Number lua_tonumber(lua_State* L, int idx);
LUA_API int lua_toboolean(lua_State* L, int idx);
LUA_API const char* lua_tostring(lua_State* L, int idx);
LUA_API size_t lua_strlen(lua_State* L, int idx);
LUA_API lua_CFunction lua_tocfunction(lua_State* L, int idx);
LUA_API void* lua_touserdata(lua_State* L, int idx);
LUA_API lua_State* lua_tothread(lua_State* L, int idx);
LUA_API const void* lua_topointer(lua_State* L, int idx);
// Units of a wide string (zero-terminated); a number is first converted in place. Null otherwise.
LUA_API const lua_WChar* lua_towstring(lua_State* L, int idx);
// Length in units of a wide string (a number is converted in place); 0 otherwise.
LUA_API size_t lua_wstrlen(lua_State* L, int idx);

// Push functions (C -> stack).
LUA_API void lua_pushnil(lua_State* L);
LUA_API void lua_pushnumber(lua_State* L, lua_Number n);
LUA_API void lua_pushlstring(lua_State* L, const char* s, size_t l);
LUA_API void lua_pushstring(lua_State* L, const char* s);
LUA_API const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp);
LUA_API const char* lua_pushfstring(lua_State* L, const char* fmt, ...);
LUA_API void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n);
LUA_API void lua_pushboolean(lua_State* L, int b);
LUA_API void lua_pushlightuserdata(lua_State* L, void* p);
LUA_API void lua_pushwstring(lua_State* L, const lua_WChar* s);
LUA_API void lua_pushlwstring(lua_State* L, const lua_WChar* s, size_t len);
// A userdata without payload holding a pointer, which lua_touserdata returns.
LUA_API void lua_newuserdatabox(lua_State* L, void* p);

// Get functions (Lua -> stack).
LUA_API void lua_gettable(lua_State* L, int idx);
LUA_API void lua_getfield(lua_State* L, int idx, const char* k);
LUA_API void lua_rawget(lua_State* L, int idx);
LUA_API void lua_rawgeti(lua_State* L, int idx, int n);
LUA_API void lua_newtable(lua_State* L);
LUA_API void* lua_newuserdata(lua_State* L, size_t sz);
LUA_API int lua_getmetatable(lua_State* L, int objindex);
LUA_API void lua_getfenv(lua_State* L, int idx);

// Set functions (stack -> Lua).
LUA_API void lua_settable(lua_State* L, int idx);
LUA_API void lua_setfield(lua_State* L, int idx, const char* k);
LUA_API void lua_rawset(lua_State* L, int idx);
LUA_API void lua_rawseti(lua_State* L, int idx, int n);
LUA_API int lua_setmetatable(lua_State* L, int objindex);
LUA_API int lua_setfenv(lua_State* L, int idx);

// Load and call functions.
LUA_API void lua_call(lua_State* L, int nargs, int nresults);
LUA_API int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc);
LUA_API int lua_cpcall(lua_State* L, lua_CFunction func, void* ud);
LUA_API int lua_load(lua_State* L, lua_Chunkreader reader, void* dt, const char* chunkname);
LUA_API int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data);

// Coroutine functions.
LUA_API int lua_yield(lua_State* L, int nresults);
LUA_API int lua_resume(lua_State* L, int narg);
// Whether the thread is suspended in a yield.
LUA_API int lua_isyielded(lua_State* L);
// Whether the thread ended in an error (it can't be resumed again).
LUA_API int lua_diedinerror(lua_State* L);

// Default metatables, one per type (1 to 10): the handlers of values that have no metatable
// of their own.
LUA_API void lua_getdefaultmetatable(lua_State* L, int type);
// Pops a table and makes it the default metatable of the type; any other value is discarded.
LUA_API void lua_setdefaultmetatable(lua_State* L, int type);
// Element count of the table at idx: its field "n" when that is a number, otherwise the
// greatest non-nil numeric key (0 for none).
LUA_API int lua_getn(lua_State* L, int idx);

// Garbage-collection functions (sizes in kilobytes).
LUA_API int lua_getgcthreshold(lua_State* L);
LUA_API int lua_getgccount(lua_State* L);
LUA_API void lua_setgcthreshold(lua_State* L, int newthreshold);
// Bounds the memory of L's state and all its threads at `limit` bytes (0: no bound). Inside a
// protected call, a request that would pass it fails as a memory error naming the script and
// line that asked; the collector runs before the bound is reached.
LUA_API void lua_setmemlimit(lua_State* L, size_t limit);
LUA_API size_t lua_getmemlimit(lua_State* L);

// Miscellaneous functions.
LUA_API const char* lua_version(void);
LUA_API int lua_error(lua_State* L);
LUA_API int lua_next(lua_State* L, int idx);
LUA_API void lua_concat(lua_State* L, int n);
LUA_API int lua_pushupvalues(lua_State* L);

// Useful macros.
#define lua_boxpointer(L, u) (*(void**)(lua_newuserdata(L, sizeof(void*))) = (u))
#define lua_unboxpointer(L, i) (*(void**)(lua_touserdata(L, i)))
#define lua_pop(L, n) lua_settop(L, -(n)-1)
#define lua_register(L, n, f) \
  (lua_pushstring(L, n), lua_pushcfunction(L, f), lua_settable(L, LUA_GLOBALSINDEX))
#define lua_pushcfunction(L, f) lua_pushcclosure(L, f, 0)
#define lua_isfunction(L, n) (lua_type(L, n) == LUA_TFUNCTION)
#define lua_istable(L, n) (lua_type(L, n) == LUA_TTABLE)
#define lua_islightuserdata(L, n) (lua_type(L, n) == LUA_TLIGHTUSERDATA)
#define lua_isnil(L, n) (lua_type(L, n) == LUA_TNIL)
#define lua_isboolean(L, n) (lua_type(L, n) == LUA_TBOOLEAN)
#define lua_isnone(L, n) (lua_type(L, n) == LUA_TNONE)
#define lua_isnoneornil(L, n) (lua_type(L, n) <= 0)
#define lua_pushliteral(L, s) lua_pushlstring(L, "" s, (sizeof(s) / sizeof(char)) - 1)
#define lua_getglobal(L, s) lua_getfield(L, LUA_GLOBALSINDEX, (s))
#define lua_setglobal(L, s) lua_setfield(L, LUA_GLOBALSINDEX, (s))

// Compatibility with older interfaces.
#define lua_getregistry(L) lua_pushvalue(L, LUA_REGISTRYINDEX)
#define LUA_NOREF (-2)
#define LUA_REFNIL (-1)
#define lua_ref(L, lock) \
  ((lock) ? luaL_ref(L, LUA_REGISTRYINDEX) : (lua_pushstring(L, "unlocked references are obsolete"), lua_error(L), 0))
#define lua_unref(L, ref) luaL_unref(L, LUA_REGISTRYINDEX, (ref))
#define lua_getref(L, ref) lua_rawgeti(L, LUA_REGISTRYINDEX, ref)

// Debug API.
#define LUA_HOOKCALL 0
#define LUA_HOOKRET 1
#define LUA_HOOKLINE 2
#define LUA_HOOKCOUNT 3
#define LUA_HOOKTAILRET 4

#define LUA_MASKCALL (1 << LUA_HOOKCALL)
#define LUA_MASKRET (1 << LUA_HOOKRET)
#define LUA_MASKLINE (1 << LUA_HOOKLINE)
#define LUA_MASKCOUNT (1 << LUA_HOOKCOUNT)
// With this bit the hook also runs inside __gc finalizers, which otherwise run without hooks: a
// host that stops runaway scripts must reach a finalizer that never returns.
#define LUA_MASKGC (1 << 5)

#define LUA_IDSIZE 60

typedef struct lua_Debug lua_Debug;
typedef void (*lua_Hook)(lua_State* L, lua_Debug* ar);

LUA_API int lua_getstack(lua_State* L, int level, lua_Debug* ar);
LUA_API int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar);
LUA_API const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n);
LUA_API const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n);
LUA_API const char* lua_getupvalue(lua_State* L, int funcindex, int n);
LUA_API const char* lua_setupvalue(lua_State* L, int funcindex, int n);

LUA_API int lua_sethook(lua_State* L, lua_Hook func, int mask, int count);
LUA_API lua_Hook lua_gethook(lua_State* L);
LUA_API int lua_gethookmask(lua_State* L);
LUA_API int lua_gethookcount(lua_State* L);

struct lua_Debug {
  int event;
  const char* name;      // (n)
  const char* namewhat;  // (n) "global", "local", "field", "method"
  const char* what;      // (S) "Lua", "C", "main", "tail"
  const char* source;    // (S)
  int currentline;       // (l)
  int nups;              // (u) number of upvalues
  int linedefined;       // (S)
  char short_src[LUA_IDSIZE];  // (S)
  // private part
  int i_ci;  // active function
};

#endif
