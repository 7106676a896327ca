#include "mvec_writer.h"

#include "render/text/mvec_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void PutU16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}

void PutUnits(std::vector<uint8_t>& b, double v)
{
    const long q = std::clamp(std::lround(v * 128.0), -32768L, 32767L);
    PutU16(b, static_cast<uint16_t>(static_cast<int16_t>(q)));
}

}  // namespace

bool BuildMvecBlock(std::vector<TConvertedGlyph> glyphs, std::vector<uint8_t>* block)
{
    if (glyphs.size() > 0xFFFF)
        return false;
    std::sort(glyphs.begin(), glyphs.end(), [](const auto& a, const auto& b) { return a.code < b.code; });
    block->clear();
    for (char c : mvec::kMagic)
        block->push_back(static_cast<uint8_t>(c));
    PutU16(*block, static_cast<uint16_t>(glyphs.size()));
    for (int i = 0; i < 6; ++i)
        block->push_back(0);
    size_t offset = mvec::kHeaderSize + glyphs.size() * mvec::kRecordSize;
    for (const TConvertedGlyph& g : glyphs) {
        PutU32(*block, g.code);
        PutUnits(*block, g.left);
        PutUnits(*block, g.right);
        PutUnits(*block, g.top);
        PutUnits(*block, g.bottom);
        PutUnits(*block, g.advance);
        PutU32(*block, static_cast<uint32_t>(offset));
        offset += g.stream.size();
    }
    for (const TConvertedGlyph& g : glyphs)
        block->insert(block->end(), g.stream.begin(), g.stream.end());
    return true;
}

std::string MvecBlockAsCpp(const std::vector<uint8_t>& block, const std::string& symbol)
{
    std::string s = "// Made by mvecconv at build time.\n#include <cstddef>\n\nextern const unsigned char " + symbol +
                    "Data[];\nextern const size_t " + symbol + "Size;\n\nconst unsigned char " + symbol + "Data[] = {";
    char number[8];
    for (size_t i = 0; i < block.size(); ++i) {
        if (i % 20 == 0)
            s += "\n   ";
        std::snprintf(number, sizeof number, " %u,", block[i]);
        s += number;
    }
    s += "\n};\nconst size_t " + symbol + "Size = " + std::to_string(block.size()) + ";\n";
    return s;
}
