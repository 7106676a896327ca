#include "core/script/lua_state_hooks.h"

#include <lauxlib.h>

#include <cstdlib>

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/script/lua_value_text.h"
#include "core/script/script_exit.h"

namespace {

void* OpenFile(const char* name)
{
    // Binary: the text mode drops carriage returns, which breaks UTF-16 sources.
    return zv_open(name, kFileRead);
}

size_t ReadFile(void* file, void* buffer, size_t size)
{
    return zv_read(static_cast<TFile*>(file), buffer, size);
}

void CloseFile(void* file)
{
    zv_close(static_cast<TFile*>(file));
}

const luaL_FileFuncs kFileLayer = {&OpenFile, &ReadFile, &CloseFile};

}  // namespace

void* HostLuaAlloc(void*, void* block, size_t, size_t newSize)
{
    if (newSize == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, newSize);
}

int HostLuaPanic(lua_State* L)
{
    // The process ends after this; the error is otherwise never seen.
    WriteDbg("Lua error: %s", LuaValueText(L, -1).c_str());
    return 0;
}

void HostLuaFatal(lua_State*)
{
    std::exit(1);
}

void InstallFileLayerLoader(lua_State* L)
{
    luaL_setfilefuncs(L, &kFileLayer);
}

lua_State* OpenHostState()
{
    lua_State* L = lua_openwith(&HostLuaAlloc, nullptr, &HostLuaFatal);
    if (!L)
        return nullptr;
    lua_atpanic(L, &HostLuaPanic);
    InstallFileLayerLoader(L);
    lua_setmemlimit(L, kScriptMemoryLimit);
    InstallScriptExit(L);
    return L;
}
