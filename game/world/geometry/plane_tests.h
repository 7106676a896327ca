#pragma once
// Segment, triangle and closest-point tests of the walk mesh and the path search. Their
// tolerances decide what counts as crossing a wall, so they are exact formulas, not helpers
// to be tidied: a path may run along a boundary and through its corners.

#include "game/world/geometry/vector2.h"

using tVec2f = tVector2<float>;

// Proper crossing of p1-p2 and p3-p4: near-parallel segments (|d| < 0.01) and segments
// sharing an end point never cross; both parameters must lie in (0.0001, 0.9999).
bool CheckCrossingOfTwoLines(const tVec2f& p1, const tVec2f& p2, const tVec2f& p3, const tVec2f& p4);
// Any contact, ends included; exactly parallel segments never intersect.
bool CheckIntersectionOfTwoLines(const tVec2f& p1, const tVec2f& p2, const tVec2f& p3, const tVec2f& p4);

// p and q on the same side of the line; p within 0.02 (of the cross product) of it counts as
// on q's side.
bool SameSide(const tVec2f& p, const tVec2f& q, const tVec2f& lineStart, const tVec2f& lineEnd);
// Either winding; points on or very near an edge are inside.
bool IsPointInTriangle(const tVec2f& p, const tVec2f& a, const tVec2f& b, const tVec2f& c);

tVec2f ClosestPointToLine(const tVec2f& p, const tVec2f& a, const tVec2f& b);
tVec2f ClosestPointToTriangle(const tVec2f& p, const tVec2f& a, const tVec2f& b, const tVec2f& c);
