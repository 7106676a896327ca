#pragma once
// The font cache: vector fonts by file name, loaded on first use and kept for the life of the
// cache (glyph streams must stay put for the drawer's span cache).
//   TMvecFont* font = GetFontData()->GetMvec("fonts/title.mvec");
// "__DEFAULT" is the built-in font. A file that is missing or damaged falls back to
// "fonts/default.mvec" and then to the built-in font, so the result is never null.

#include "core/text/str.h"

#include <map>
#include <memory>
#include <vector>

class TMvecFont;

class TFontData
{
public:
    static constexpr const char* kDefaultName = "__DEFAULT";
    static constexpr const char* kFallbackFile = "fonts/default.mvec";

    TFontData();
    ~TFontData();
    TFontData(const TFontData&) = delete;
    TFontData& operator=(const TFontData&) = delete;

    TMvecFont* GetMvec(const str& name);

private:
    TMvecFont* Builtin();
    // Null when the file can't be read or holds no usable font.
    std::unique_ptr<TMvecFont> LoadFile(const str& name);
    TMvecFont* Keep(std::unique_ptr<TMvecFont> font);

    std::map<str, TMvecFont*> mByName;
    std::vector<std::unique_ptr<TMvecFont>> mFonts;
};
