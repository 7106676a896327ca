#pragma once
// Walking and building text in linear time. A str measures itself with strlen at every length()
// and operator[], and += grows it to the exact size, so a loop that indexes a str, or appends to
// one, a letter at a time pays for the whole text at every step. Such loops read the bytes
// through TextView, build into a std::string and make it a str once, with ToStr.
//   std::string out;
//   for (const char c : TextView(name))
//       out += c == '\'' ? "\\'" : std::string(1, c);
//   return ToStr(out);

#include <string_view>

#include "core/text/str.h"

// The text's bytes, measured once; valid while the str lives unchanged.
inline std::string_view TextView(const str& text)
{
    return {text.c_str(), text.length()};
}

inline str ToStr(std::string_view text)
{
    return str(text.data(), text.size());
}
