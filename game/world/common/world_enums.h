#pragma once
// The bag and book numbers scripts and saved games use. The names double as the names of the
// game state's bags and books and of their Lua globals.

enum BAG : int
{
    BAG_NONE = -1,
    BAG_INV = 0,
    BAG_MAGIC = 1,
};

enum BOOK : int
{
    BOOK_NONE = -1,
    BOOK_PRI = 0,
    BOOK_SEC = 1,
    BOOK_EDU = 2,
};

constexpr int kBagCount = 2;
constexpr int kBookCount = 3;

// "BAG_INV", "BAG_MAGIC", "BAG_NONE"; null for any other value.
const char* BAG_NAME(int bag);
// "BOOK_PRI", "BOOK_SEC", "BOOK_EDU", "BOOK_NONE"; null for any other value.
const char* BOOK_NAME(int book);
