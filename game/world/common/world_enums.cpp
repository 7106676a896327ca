#include "game/world/common/world_enums.h"

const char* BAG_NAME(int bag)
{
    switch (bag) {
    case BAG_NONE: return "BAG_NONE";
    case BAG_INV: return "BAG_INV";
    case BAG_MAGIC: return "BAG_MAGIC";
    default: return nullptr;
    }
}

const char* BOOK_NAME(int book)
{
    switch (book) {
    case BOOK_NONE: return "BOOK_NONE";
    case BOOK_PRI: return "BOOK_PRI";
    case BOOK_SEC: return "BOOK_SEC";
    case BOOK_EDU: return "BOOK_EDU";
    default: return nullptr;
    }
}
