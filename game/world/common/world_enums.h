#pragma once
// The bag and book numbers scripts and saved games use (the enumerations scripts see), and
// how many of each the game state keeps. The names double as the names of the game state's
// bags and books and of their Lua globals.

#include "game/script/script_enums.h"

constexpr int kBagCount = 2;
constexpr int kBookCount = 3;
