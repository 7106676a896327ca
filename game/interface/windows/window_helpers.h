#pragma once
// The game's small window helpers: the window that holds the mouse, enabling and disabling
// windows, and the conversions between the engine's points and the game's vectors.
//   SetWindowEnable(GetChildWindow(...), hasName);

#include <functional>

#include "core/math/rect.h"
#include "core/math/vec.h"
#include "game/world/geometry/vector2.h"

class TWindow;

// The game window that last claimed the mouse (the scene's drawing asks), or null.
void SetMouseWindow(TWindow* window);
TWindow* GetMouseWindow();
// Clears the mouse window only when `window` holds it.
void DropMouseWindowClaim(TWindow* window);

// Whether the game takes clicks itself, past the interface: an actor of the scene waits for
// one. The in-game root window installs the query; without one the answer is false.
bool GameGrabsClicks();
void SetGameGrabsClicksQuery(std::function<bool()> query);

// Through the enabled flag; each asks for a redraw. A null window is ignored.
void EnableWindow(TWindow* window);
void DisableWindow(TWindow* window);
void SetWindowEnable(TWindow* window, bool enable);
// The first i below count whose window prefix + i (found under root) is a button that is on;
// 0 when none is.
int FirstButtonOn(TWindow* root, const char* prefix, int count);

tVector2<float> Vector2FromTPoint(const TPoint& point);
// Each coordinate truncated toward zero.
TPoint TPointFromVector2(const tVector2<float>& vector);
TVec2 TVecFromVector(const tVector2<float>& vector);
