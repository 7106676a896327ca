#pragma once
// The game's debug log: one message formatted by the game's own formatter (df_printf.h) and
// written as one line to the engine's debug output. Assertions are written as
// LOGIT("ASSERT: %s\n", "condition") followed by dfDebugBreak(), and the program goes on.
//   LOGIT("Failed to open (%s)\n", name);

#include <cstdarg>

#include "game/script/df_printf.h"

// Messages are cut at this many bytes, the closing zero byte included.
constexpr uint32_t kLogBufferSize = 2048;

// Writes the text as one line: the last line break in it is removed, one line end is added.
void df_puts(const char* text);
void LOGITv(const char* format, va_list arguments);

// Counted arguments: a conversion without its argument reads nothing past the list.
template <class... A>
void LOGIT(const char* format, const A&... arguments)
{
    char buffer[kLogBufferSize];
    df_snprintf(buffer, kLogBufferSize, format, arguments...);
    df_puts(buffer);
}

// Exact byte-for-byte equality (case matters); a null text equals only a null text.
bool StringMatch(const char* a, const char* b);

void dfDebugBreak();
