#pragma once
// The bag and book numbers scripts and saved games use (the script enumerations BAG and
// BOOK). The names double as the names of the game state's bags and books and of their Lua
// globals.

#include "game/script/script_enums.h"

constexpr int kBagCount = 2;
constexpr int kBookCount = 3;

// "BAG_INV", "BAG_MAGIC", "BAG_NONE"; null for any other value.
const char* BAG_NAME(int bag);
// "BOOK_PRI", "BOOK_SEC", "BOOK_EDU", "BOOK_NONE"; null for any other value.
const char* BOOK_NAME(int book);
