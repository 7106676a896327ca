#include "game/script/df_log.h"

#include <cstring>
#include <string>

#include "core/debug/debug_log.h"

void df_puts(const char* text)
{
    std::string line = text ? text : "";
    const size_t lastBreak = line.rfind('\n');
    if (lastBreak != std::string::npos)
        line.erase(lastBreak, 1);
    WriteDbg("%s", line.c_str());
}

void LOGITv(const char* format, va_list arguments)
{
    char buffer[kLogBufferSize];
    df_vsnprintf(buffer, kLogBufferSize, format, arguments);
    df_puts(buffer);
}

bool StringMatch(const char* a, const char* b)
{
    if (!a || !b)
        return a == b;
    return std::strcmp(a, b) == 0;
}
