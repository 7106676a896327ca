#include "game/interface/inventory/item_text.h"

#include <string>

#include "game/script/df_printf.h"

str FormatItemText(const str& text, int parameter)
{
    const char* s = text.c_str();
    std::string out;
    for (size_t i = 0; s[i];) {
        if (s[i] != '%') {
            out += s[i++];
            continue;
        }
        if (s[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        size_t end = i + 1;
        while (s[end] >= '0' && s[end] <= '9')
            ++end;
        if (s[end] != 'd' || end - i > 3) {
            out += s[i++];
            continue;
        }
        // One integer conversion of the game's own formatter, given its one argument.
        const std::string conversion(s + i, end + 1 - i);
        char number[128];
        df_snprintf(number, sizeof number, conversion.c_str(), parameter);
        out += number;
        i = end + 1;
    }
    return str(out.c_str());
}
