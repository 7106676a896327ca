#pragma once
// Helpers of the name that floats under the mouse over an actor.

#include "core/math/color.h"
#include "core/math/rect.h"

class dfLuaTable;
class TTextGraphic;

// Moves the box (keeping its size) to lie inside screen: a box wider than the screen is
// centred across it, else pushed in from the left or the right edge; a box past the bottom is
// pushed up, else a box taller than the screen is centred, else one above the top pushed down.
void PushBoxBackOnScreen(TRect& box, const TRect& screen);

// When the table's field `key` is a table, reads its "r", "g", "b", "a" (1 for a missing one)
// into colour and answers true; otherwise leaves colour alone and answers false.
bool GrabColorFromField(dfLuaTable& table, const char* key, TColor& colour);

// Draws the text so that its laid-out bounds fill the box. The text is laid out (and aligned)
// inside a larger area of its own: drawn at the box's corner as it stands, an aligned line
// would land beside the box, and a centred one below its height would not be drawn at all.
void DrawTextInBox(TTextGraphic& text, const TRect& box);
