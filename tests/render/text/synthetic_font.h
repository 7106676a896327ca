#pragma once
// Fonts with round numbers for the text tests, built byte by byte (independently of the
// converter tool), and small helpers around them.

#include "render/text/mvec_font.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TSynthGlyph
{
    uint32_t code = 0;
    int left = 0, right = 0, top = 0, bottom = 0, advance = 0;  // font units
    std::vector<uint8_t> stream;                                // empty: just the end command
};

// Command stream of a filled box (font units, y down).
std::vector<uint8_t> BoxStream(int x1, int y1, int x2, int y2);
// A whole ".mvec" block; glyphs are written in the order given (sort them for a valid font).
std::vector<uint8_t> BuildFont(const std::vector<TSynthGlyph>& glyphs);
std::unique_ptr<TMvecFont> MakeFont(const std::vector<uint8_t>& block);

// The layout tests' font: ascent 60 ('W'), descent 20 ('g'), so at line height 25 one font unit
// is one quarter pixel. Every character of `codes` is a 40-unit box (10 pixels wide) from the
// baseline up to 60; the space advances 20 units and draws nothing.
std::vector<uint8_t> RoundFont(const std::string& codes);
