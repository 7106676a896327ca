#pragma once
// Where an actor's speech lands on the screen, in whole pixels (conversions truncate, halves
// divide integers). The say spec's box is relative to the actor's feet: its horizontal centre
// and its top are scaled with the actor's background scale, the box keeps its size, and the
// anchor says whether the scaled top is the box's centre, bottom or top.

#include "core/math/rect.h"
#include "game/world/geometry/vector2.h"
#include "game/world/text/text_spec.h"

// The say box on the screen of an actor standing at `position` seen from `camera`.
TRect PlaceSayBox(const tTextSpec& spec, float bgScale, const tVector2<float>& position, const tVector2<float>& camera);

// How far to move text that lies partly outside `area` so that it starts inside it: left and
// top edges win over right and bottom ones.
TPoint ShiftIntoArea(const TRect& text, const TRect& area);

// Debug drawing of a box: its outline, or filled.
void BoxDraw(const TRect& box, const TColor& colour);
void BoxFill(const TRect& box, const TColor& colour);
