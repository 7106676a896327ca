// Loads the input as a script and as a precompiled chunk (the input behind a chunk header)
// and runs whatever loads, with a step limit so loops end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

constexpr int kStepsPerHook = 1000;
constexpr int kMaxHooks = 200;

int g_hooks = 0;

void StepLimit(lua_State* L, lua_Debug*)
{
    if (++g_hooks > kMaxHooks)
        luaL_error(L, "step limit");
}

// A state with the libraries a script may use without touching files or the process.
lua_State* NewState()
{
    lua_State* L = lua_open();
    luaopen_base(L);
    luaopen_table(L);
    luaopen_string(L);
    luaopen_math(L);
    lua_settop(L, 0);
    lua_sethook(L, StepLimit, LUA_MASKCOUNT, kStepsPerHook);
    return L;
}

int Writer(lua_State*, const void* p, size_t size, void* ud)
{
    static_cast<std::string*>(ud)->append(static_cast<const char*>(p), size);
    return 0;
}

void LoadAndRun(const char* data, size_t size, bool dumpFirst)
{
    lua_State* L = NewState();
    g_hooks = 0;
    if (luaL_loadbuffer(L, data, size, "=fuzz") == 0) {
        if (dumpFirst) {
            // a compiled chunk must survive dump and reload
            std::string bytes;
            lua_dump(L, Writer, &bytes);
            lua_pop(L, 1);
            if (luaL_loadbuffer(L, bytes.data(), bytes.size(), "=fuzz") != 0)
                __builtin_trap();
        }
        lua_pcall(L, 0, 0, 0);
    }
    lua_close(L);
}

// The header that this build writes, taken from a dump of an empty chunk.
std::string ChunkHeader()
{
    lua_State* L = lua_open();
    std::string bytes;
    luaL_loadbuffer(L, "", 0, "=h");
    lua_dump(L, Writer, &bytes);
    lua_close(L);
    return bytes.substr(0, 4 + 10 + 8);  // signature, version and sizes, test number
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string header = ChunkHeader();
    const char* text = reinterpret_cast<const char*>(data);
    LoadAndRun(text, size, size > 0 && (data[0] & 1));
    std::string chunk = header;
    chunk.append(text, size);
    LoadAndRun(chunk.data(), chunk.size(), false);
    return 0;
}
