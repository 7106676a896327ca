#pragma once
// One glyph's outline as a command stream of quadratic pieces, from a FreeType outline.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdint>
#include <vector>

// Appends the stream for `outline` (y up, `unitScale` font units per outline unit) to `out`:
// "fill with slot 1", each contour as move / line / curve commands, closed, then end. Cubic
// pieces are split into quadratic ones. False when a coordinate does not fit 16 bits.
bool WriteOutlineStream(const FT_Outline& outline, double unitScale, std::vector<uint8_t>* out);
