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

// The small letter of a capital; other characters as they are.
unsigned SmallLetter(unsigned c)
{
    const bool even = c % 2 == 0;
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    // Latin Extended-A pairs each capital with the small letter after it.
    if ((c >= 0x100 && c <= 0x137 && even) || (c >= 0x139 && c <= 0x148 && !even) ||
        (c >= 0x14A && c <= 0x177 && even) || (c >= 0x179 && c <= 0x17E && !even))
        return c + 1;
    if (c == 0x178)
        return 0xFF;
    if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    return c;
}

}  // namespace

str PlayerNameKey(const str& name)
{
    const str clean = CleanPlayerName(name);
    std::string key(clean.c_str(), clean.length());
    for (size_t i = 0; i < key.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(key[i]);
        if (lead < 0x80) {
            key[i] = char(SmallLetter(lead));
        } else if (lead >= 0xC2 && lead <= 0xDF && i + 1 < key.size() &&
                   ContinuesCharacter(static_cast<unsigned char>(key[i + 1]))) {
            // Every letter folded here, and its small letter, takes two bytes.
            const str small = str::from_utf32(SmallLetter(str::to_utf32(&key[i])));
            key.replace(i, 2, small.c_str(), small.length());
            ++i;
        }
    }
    return str(key.c_str(), key.size());
}

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
