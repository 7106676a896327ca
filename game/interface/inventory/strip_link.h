#pragma once
// The game window's side of the bags: its children "<bag>_strip" (an icon strip), "<bag>_bg",
// "<bag>_left" and "<bag>_right" for each bag name ("BAG_INV", "BAG_MAGIC"). The scene link
// (tWorldScene) and the in-game root window reach the strips through these.
//   StartInvAdd(game, "key", BAG_INV);            // the add animation of a new item
//   str text = UpdateInventoryWindow(game, BAG_INV);

#include "core/text/str.h"

class TWindow;
class tIconStrip;

// The strip of that name below the game window, or null.
tIconStrip* FindIconStrip(TWindow* game, const str& strip);
// The cell size of the named strip; false without such a strip.
bool GetStripCell(TWindow* game, const str& strip, int* width, int* height);
// A point of the named strip (counted from where it sits unscrolled) on the screen; the point
// unchanged without such a strip.
void StripToScreen(TWindow* game, const str& strip, int x, int y, float* sx, float* sy);
// Plays the add animation of the item on its bag's strip, with the item's picture.
void StartInvAdd(TWindow* game, const str& key, int bag);
// The bag's background and arrows: all off for an empty bag, else the background on and each
// arrow on while the strip can move that way.
void UpdateInvArrows(TWindow* game, int bag);
// Gives the bag's strip its bag and refreshes it; the description under the mouse, or empty.
str UpdateInventoryWindow(TWindow* game, int bag);
