#pragma once
// Packs converted glyphs into a ".mvec" block, and writes a block as C++ source.

#include <cstdint>
#include <string>
#include <vector>

struct TConvertedGlyph
{
    uint32_t code = 0;
    double left = 0, right = 0, top = 0, bottom = 0, advance = 0;  // font units, y down
    std::vector<uint8_t> stream;                                   // ends with the end command
};

// Glyphs are sorted by code; false when they are more than a block can count.
bool BuildMvecBlock(std::vector<TConvertedGlyph> glyphs, std::vector<uint8_t>* block);
// A translation unit defining `const unsigned char <symbol>Data[]` and `const size_t <symbol>Size`.
std::string MvecBlockAsCpp(const std::vector<uint8_t>& block, const std::string& symbol);
