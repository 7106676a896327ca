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

}  // namespace

str CleanPlayerName(const str& typed)
{
    std::string kept;
    for (unsigned i = 0; i < typed.length(); ++i) {
        const unsigned char c = static_cast<unsigned char>(typed[i]);
        // Control characters never show; they count as blanks.
        kept += IsBlank(c) ? ' ' : char(c);
    }
    const size_t first = kept.find_first_not_of(' ');
    if (first == std::string::npos)
        return str();
    kept = kept.substr(first, kept.find_last_not_of(' ') + 1 - first);
    unsigned characters = 0;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (ContinuesCharacter(static_cast<unsigned char>(kept[i])))
            continue;
        if (++characters > kMaxPlayerNameLength) {
            kept.resize(i);
            break;
        }
    }
    // The cut may leave blanks at the end.
    kept.resize(kept.find_last_not_of(' ') + 1);
    return str(kept.c_str(), kept.size());
}
