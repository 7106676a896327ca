#pragma once
// Facings from angles. An angle is atan2(dy, -dx): a step right is E, down S, left W, up N.
// Each of the eight directions covers 45° centred on it (each of the four 90°), and a sector
// includes its lower boundary.

#include "game/script/script_enums.h"
#include "game/world/geometry/vector2.h"

DIR Dir8FromAngle(float angle);
DIR Dir4FromAngle(float angle);
DIR DirFromVector(const tVector2<float>& v);
// The direction seen in a mirror held upright: east and west swap, north and south stay.
DIR XFlipDir(DIR dir);
