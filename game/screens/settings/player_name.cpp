#include "game/screens/settings/player_name.h"

#include <string>

namespace {

bool IsBlank(unsigned char c)
{
    return c == ' ' || c < 32 || c == 127;
}

// Bytes that carry on a UTF-8 character begin with the bits 10.
bool ContinuesCharacter(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The bytes of the first kMaxPlayerNameLength characters of the text.
size_t BytesOfLongestName(const char* text, size_t length)
{
    unsigned characters = 0;
    for (size_t i = 0; i < length; ++i) {
        if (ContinuesCharacter(static_cast<unsigned char>(text[i])))
            continue;
        if (++characters > kMaxPlayerNameLength)
            return i;
    }
    return length;
}

}  // namespace

str CleanPlayerName(const str& typed)
{
    std::string kept(typed.c_str(), typed.length());
    for (char& byte : kept) {
        const unsigned char c = static_cast<unsigned char>(byte);
        // Control characters never show; they count as blanks.
        if (IsBlank(c))
            byte = ' ';
    }
    const size_t first = kept.find_first_not_of(' ');
    if (first == std::string::npos)
        return str();
    kept = kept.substr(first, kept.find_last_not_of(' ') + 1 - first);
    kept.resize(BytesOfLongestName(kept.data(), kept.size()));
    // The cut may leave blanks at the end.
    kept.resize(kept.find_last_not_of(' ') + 1);
    return str(kept.c_str(), kept.size());
}

str CutPlayerName(const str& stored)
{
    const size_t bytes = BytesOfLongestName(stored.c_str(), stored.length());
    return bytes == stored.length() ? stored : stored.substr(0, int(bytes));
}
