#pragma once
// What a player's name may be, in one place for every way a name is set: as typed, without
// the blanks around it or control characters, at most sixteen characters (UTF-8).
//   const str name = CleanPlayerName(typed);  if (name.empty()) ...refuse...

#include "core/text/str.h"

constexpr unsigned kMaxPlayerNameLength = 16;

str CleanPlayerName(const str& typed);
// What two names are compared by: the cleaned name with its letters in one case (Latin, Greek
// and Cyrillic), so that names a player would read as one are one.
str PlayerNameKey(const str& name);
// A stored name as the game shows and uses it: its first sixteen characters. A name the game
// stored is whole; only a file made elsewhere holds a longer one.
str CutPlayerName(const str& stored);
