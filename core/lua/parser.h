#pragma once
// Parses a chunk of source into a function prototype.

#include "core/lua/lexer.h"

namespace luai {

Proto* parseChunk(lua_State* L, ZIO* z, const char* name);

}  // namespace luai
