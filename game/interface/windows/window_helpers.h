#pragma once
// The game's small window helpers: the window state the world shares (below), whether the game
// takes clicks, the first button on, and the conversions between the engine's points and the
// game's vectors.
//   FirstButtonOn(root, "player", 6);

#include <functional>

#include "core/math/rect.h"
#include "core/math/vec.h"
#include "game/script/window_state.h"
#include "game/world/geometry/vector2.h"

class TWindow;

// Whether the game takes clicks itself, past the interface: an actor of the scene waits for
// one. The in-game root window installs the query; without one the answer is false.
bool GameGrabsClicks();
void SetGameGrabsClicksQuery(std::function<bool()> query);

// The first i below count whose window prefix + i (found under root) is a button that is on;
// `none` when none is.
int FirstButtonOn(TWindow* root, const char* prefix, int count, int none = 0);

tVector2<float> Vector2FromTPoint(const TPoint& point);
// Each coordinate truncated toward zero; NaN gives 0, values beyond the int range its ends.
TPoint TPointFromVector2(const tVector2<float>& vector);
TVec2 TVecFromVector(const tVector2<float>& vector);
