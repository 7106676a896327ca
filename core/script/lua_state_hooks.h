#pragma once
// How the script host opens its Lua states: memory through realloc/free up to a bound per
// state (a script that passes it is stopped with an error naming it), an unprotected error
// logged and then ending the process with status 1, os.exit asking the program to quit
// (script_exit.h), and script files (luaL_loadfile, dofile, require) read through the file
// layer in binary mode, so scripts may live in archives or memory files and UTF-16 sources
// arrive byte for byte.

#include <lua.h>

#include <cstddef>

// What one state and its coroutines may hold: over a hundred times what the demo's busiest
// state ever holds (under half a megabyte), reached by a runaway script within a fraction of a
// second, and far below what would hurt the machine even with several states at it.
constexpr size_t kScriptMemoryLimit = size_t(64) << 20;

// A new state with the host's hooks, file functions and memory bound; null when out of memory.
lua_State* OpenHostState();

// The hooks themselves, for states opened some other way.
void* HostLuaAlloc(void* ud, void* block, size_t oldSize, size_t newSize);
int HostLuaPanic(lua_State* L);
void HostLuaFatal(lua_State* L);
// Makes luaL_loadfile on L (and on every coroutine of its state) read through the file layer.
void InstallFileLayerLoader(lua_State* L);
