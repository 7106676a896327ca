#include "tools/input/whole_number.h"

#include <charconv>

bool ParseWholeNumber(const std::string& text, long low, long high, long* out)
{
    long value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last || value < low || value > high)
        return false;
    *out = value;
    return true;
}
