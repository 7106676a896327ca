#include "online/scores/text_out.h"

#include <cstring>

void CopyText(char* buffer, unsigned len, const str& text)
{
    if (!buffer || len == 0)
        return;
    unsigned n = text.length();
    if (n > len - 1)
        n = len - 1;
    std::memcpy(buffer, text.c_str(), n);
    buffer[n] = 0;
}
