#pragma once
// Small pieces of text markup the game's windows write: colours, outlines, and turning a laid-out
// text about its middle. Attribute values are quoted, as the text layout reads only quoted ones.
//   text->SetText(OutlineStart(black, 2) + "Title" + "</outline>");

#include "core/math/color.h"
#include "core/text/str.h"

class TTextGraphic;

// "'rrggbb'", quotes included.
str HexColor(const TColor& color);
// Outlines what follows in `color`, `size` pixels wide, until "</outline>"; empty for size <= 0.
str OutlineStart(const TColor& color, int size);
// The outline a whole text starts with (double-quoted values); empty for size <= 0.
str OutlineDesc(const TColor& color, int size);
// Turns the graphic by `angle` degrees about the middle of its text; nothing for null.
void SpinGraphic(TTextGraphic* graphic, float angle);
