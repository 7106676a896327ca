#include "render/text/text_escape.h"

str EscapeMarkup(const str& text)
{
    str out;
    for (unsigned i = 0; i < text.length(); ++i) {
        const char c = text[i];
        if (c == '<' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}
