#include "render/text/text_escape.h"

#include <string>

str EscapeMarkup(const str& text)
{
    // Built in one buffer and measured once: a text of any length escapes in linear time.
    const char* in = text.c_str();
    const size_t length = text.length();
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        if (in[i] == '<' || in[i] == '\\')
            out += '\\';
        out += in[i];
    }
    return str(out.data(), out.size());
}
