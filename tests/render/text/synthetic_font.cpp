#include "synthetic_font.h"

#include <algorithm>

namespace {

void PutU16(std::vector<uint8_t>& b, int v)
{
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> BoxStream(int x1, int y1, int x2, int y2)
{
    std::vector<uint8_t> s = {2, 1, 4};
    PutU16(s, x1 * 128);
    PutU16(s, y1 * 128);
    const int pts[4][2] = {{x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
    for (const auto& p : pts) {
        s.push_back(5);
        PutU16(s, p[0] * 128);
        PutU16(s, p[1] * 128);
    }
    s.push_back(8);
    return s;
}

std::vector<uint8_t> BuildFont(const std::vector<TSynthGlyph>& glyphs)
{
    std::vector<uint8_t> b = {'M', 'V', 'C', '4'};
    PutU16(b, static_cast<int>(glyphs.size()));
    b.insert(b.end(), 6, 0);
    uint32_t offset = static_cast<uint32_t>(12 + 18 * glyphs.size());
    for (const TSynthGlyph& g : glyphs) {
        PutU32(b, g.code);
        for (int v : {g.left, g.right, g.top, g.bottom, g.advance})
            PutU16(b, v * 128);
        PutU32(b, offset);
        offset += static_cast<uint32_t>(g.stream.empty() ? 1 : g.stream.size());
    }
    for (const TSynthGlyph& g : glyphs) {
        if (g.stream.empty())
            b.push_back(8);
        else
            b.insert(b.end(), g.stream.begin(), g.stream.end());
    }
    return b;
}

std::unique_ptr<TMvecFont> MakeFont(const std::vector<uint8_t>& block)
{
    auto bytes = std::make_unique<unsigned char[]>(block.size());
    std::copy(block.begin(), block.end(), bytes.get());
    return std::make_unique<TMvecFont>(std::move(bytes), block.size());
}

std::vector<uint8_t> RoundFont(const std::string& codes)
{
    std::string all = codes + "Wg ";
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    std::vector<TSynthGlyph> glyphs;
    for (char c : all) {
        TSynthGlyph g;
        g.code = static_cast<unsigned char>(c);
        if (c == ' ') {
            g.advance = 20;
        } else {
            g.right = 40;
            g.advance = 40;
            g.top = -60;
            g.bottom = c == 'g' ? 20 : 0;
            g.stream = BoxStream(0, -60, 40, 0);
        }
        glyphs.push_back(g);
    }
    return BuildFont(glyphs);
}
