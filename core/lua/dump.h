#pragma once
// Precompiled chunks: writing and reading.

#include "core/lua/lexer.h"

int luaU_dump(lua_State* L, const luai::Proto* f, lua_Chunkwriter w, void* data);

namespace luai {

Proto* undump(lua_State* L, ZIO* z, const char* name);

}  // namespace luai
