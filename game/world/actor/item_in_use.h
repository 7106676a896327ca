#pragma once
// The inventory item the player holds (the game state's key in use), for code that sees the
// script enumerations: the game state's header names BAG and BOOK a second time, so the two
// cannot meet in one file.

#include "core/text/str.h"

// Empty when no item is in use.
str ItemInUse();
void ClearItemInUse();
