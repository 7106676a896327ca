#include "tools/input/printable_text.h"

#include <cstdio>

std::string PrintableText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            out += escaped;
        }
    }
    return out;
}
