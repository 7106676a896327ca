#include "render/anim/anim_numbers.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstring>

namespace {

const char* SkipBlanks(const char* p)
{
    while (*p && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

}  // namespace

int LeadingInt(const char* text)
{
    if (!text)
        return 0;
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

float LeadingFloat(const char* text)
{
    if (!text)
        return 0;
    const char* p = SkipBlanks(text);
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    float value = 0;
    const std::from_chars_result r = std::from_chars(p, p + std::strlen(p), value, std::chars_format::general);
    if (r.ec != std::errc())
        return 0;
    return negative ? -value : value;
}
