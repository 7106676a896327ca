// mvecconv: TrueType (or any outline font FreeType reads) to ".mvec" vector font.
//   mvecconv [--range FIRST-LAST]... [--em UNITS] [--cpp SYMBOL] input.ttf output
// Ranges are code points, decimal or 0x hex (default 32-126). --em sets the font units per em
// (default 160; coordinates must stay within ±255 font units). --cpp writes C++ source defining
// SYMBOLData and SYMBOLSize instead of the binary file.

#include "core/files/replace_file.h"
#include "glyph_outline.h"
#include "mvec_writer.h"
#include "tools/input/printable_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: mvecconv [--range FIRST-LAST]... [--em UNITS] [--cpp SYMBOL] input.ttf output\n");
    return 2;
}

bool ParseRange(const std::string& text, std::pair<uint32_t, uint32_t>* range)
{
    const size_t dash = text.find('-');
    const std::string a = text.substr(0, dash);
    const std::string b = dash == std::string::npos ? a : text.substr(dash + 1);
    char* end = nullptr;
    const unsigned long first = std::strtoul(a.c_str(), &end, 0);
    if (a.empty() || *end)
        return false;
    const unsigned long last = std::strtoul(b.c_str(), &end, 0);
    if (b.empty() || *end || last < first || last > 0x10FFFF)
        return false;
    *range = {static_cast<uint32_t>(first), static_cast<uint32_t>(last)};
    return true;
}

// The symbol names two C++ variables in the written source.
bool IsIdentifier(const std::string& text)
{
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (text.empty() || !letter(text[0]))
        return false;
    for (char c : text)
        if (!letter(c) && !(c >= '0' && c <= '9'))
            return false;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    double em = 160;
    std::string symbol;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--range" && i + 1 < argc) {
            std::pair<uint32_t, uint32_t> range;
            if (!ParseRange(argv[++i], &range)) {
                std::fprintf(stderr, "mvecconv: bad range %s\n", argv[i]);
                return 2;
            }
            ranges.push_back(range);
        } else if (arg == "--em" && i + 1 < argc) {
            em = std::atof(argv[++i]);
            if (!(em > 0 && em <= 255))
                return Usage();
        } else if (arg == "--cpp" && i + 1 < argc) {
            symbol = argv[++i];
            if (!IsIdentifier(symbol)) {
                std::fprintf(stderr, "mvecconv: --cpp takes a C++ identifier, not '%s'\n",
                             PrintableText(symbol).c_str());
                return 2;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2)
        return Usage();
    if (ranges.empty())
        ranges.push_back({32, 126});

    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, files[0].c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "mvecconv: cannot read %s\n", files[0].c_str());
        return 1;
    }
    const double scale = em / face->units_per_EM;
    std::vector<TConvertedGlyph> glyphs;
    bool haveW = false;
    for (const auto& [first, last] : ranges) {
        for (uint32_t code = first; code <= last; ++code) {
            const FT_UInt index = FT_Get_Char_Index(face, code);
            if (index == 0 ||
                FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
                continue;
            const FT_GlyphSlot slot = face->glyph;
            if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
                continue;
            TConvertedGlyph g;
            g.code = code;
            g.advance = slot->metrics.horiAdvance * scale;
            if (slot->outline.n_contours > 0) {
                FT_BBox box;
                FT_Outline_Get_BBox(&slot->outline, &box);
                g.left = box.xMin * scale;
                g.right = box.xMax * scale;
                g.top = -box.yMax * scale;
                g.bottom = -box.yMin * scale;
            }
            if (!WriteOutlineStream(slot->outline, scale, &g.stream)) {
                std::fprintf(stderr, "mvecconv: U+%04X does not fit the format at this size; left out\n", code);
                continue;
            }
            haveW = haveW || code == 'W';
            glyphs.push_back(std::move(g));
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!haveW)
        std::fprintf(stderr, "mvecconv: warning: no 'W'; the engine takes the font's ascent from it\n");

    std::vector<uint8_t> block;
    if (glyphs.empty() || !BuildMvecBlock(std::move(glyphs), &block)) {
        std::fprintf(stderr, "mvecconv: no glyphs to write (or too many)\n");
        return 1;
    }
    const std::string bytes = symbol.empty() ? std::string(block.begin(), block.end()) : MvecBlockAsCpp(block, symbol);
    if (!ReplaceDiskFile(files[1].c_str(), bytes.data(), bytes.size())) {
        std::fprintf(stderr, "mvecconv: cannot write %s\n", files[1].c_str());
        return 1;
    }
    return 0;
}
