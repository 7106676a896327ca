#pragma once
// printf-style formatting that always writes numbers the C way ("0.016000", never "0,016000"),
// whatever locale the user runs in: text that Lua will parse must not depend on it.
//   script.DoLuaString(CLocaleFormat("Update(%f);", seconds));

#include "core/text/str.h"

str CLocaleFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
