#include "render/text/font_data.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "render/text/builtin_font.h"
#include "render/text/mvec_font.h"

#include <cstring>

TFontData::TFontData() = default;
TFontData::~TFontData() = default;

TMvecFont* TFontData::Keep(std::unique_ptr<TMvecFont> font)
{
    mFonts.push_back(std::move(font));
    return mFonts.back().get();
}

TMvecFont* TFontData::Builtin()
{
    auto found = mByName.find(kDefaultName);
    if (found != mByName.end())
        return found->second;
    auto bytes = std::make_unique<unsigned char[]>(kBuiltinFontSize);
    std::memcpy(bytes.get(), kBuiltinFontData, kBuiltinFontSize);
    TMvecFont* font = Keep(std::make_unique<TMvecFont>(std::move(bytes), kBuiltinFontSize));
    mByName[kDefaultName] = font;
    return font;
}

std::unique_ptr<TMvecFont> TFontData::LoadFile(const str& name)
{
    TFile file;
    if (!file.Open(name, kFileRead)) {
        WriteDbg("ERROR: font %s is missing or does not open", name.c_str());
        return nullptr;
    }
    file.Seek(0, kSeekEnd);
    const long size = file.Tell();
    file.Seek(0, kSeekStart);
    if (size <= 0) {
        WriteDbg("ERROR: font %s is empty", name.c_str());
        return nullptr;
    }
    auto bytes = std::make_unique<unsigned char[]>(static_cast<size_t>(size));
    const unsigned long got = file.Read(bytes.get(), static_cast<unsigned long>(size));
    if (got != static_cast<unsigned long>(size)) {
        WriteDbg("ERROR: font %s: read %lu of %ld bytes", name.c_str(), got, size);
        return nullptr;
    }
    auto font = std::make_unique<TMvecFont>(std::move(bytes), static_cast<size_t>(size));
    if (font->IsEmpty()) {
        WriteDbg("ERROR: font %s holds no usable glyphs; using the fallback font", name.c_str());
        return nullptr;
    }
    return font;
}

TMvecFont* TFontData::GetMvec(const str& name)
{
    auto found = mByName.find(name);
    if (found != mByName.end())
        return found->second;
    if (name == str(kDefaultName) || name.empty())
        return Builtin();
    TMvecFont* font = nullptr;
    if (auto loaded = LoadFile(name)) {
        font = Keep(std::move(loaded));
    } else if (name != str(kFallbackFile)) {
        font = GetMvec(kFallbackFile);
    } else {
        font = Builtin();
    }
    // Stored under the asked name, so a missing file is looked for only once.
    mByName[name] = font;
    return font;
}
