#pragma once
// Texts the player reads, looked up by key in a string table. The tables store a line break
// as a backslash followed by "n"; every lookup here turns those pairs into real breaks.
//   str title = GlocalisedString("award_title_generic");   // "#####" when there is none

#include "core/text/str.h"

class TStringTable;

str fix_crs(const str& text);
// The table's text for key with no parameters, after fix_crs; "#####" without a table.
str GrabString(TStringTable* table, const str& key);
// The same from the program-wide table of the platform.
str GlocalisedString(const str& key);
// A table read in the platform's place (tests and tools without a platform); null goes back
// to the platform's. Not owned.
void SetGlobalStringTable(TStringTable* table);
// The table the lookups above read: the one set in the platform's place, else the platform's;
// null without either.
TStringTable* GetGlobalStringTable();
// Whether the program-wide table has a text for key that is not missing; asks without
// logging, for lookups that expect to miss (the end of a numbered list).
bool HasGlocalisedString(const str& key);
// True for a text that stands for nothing: empty, or the table's answer for a missing key.
bool IsMissingString(const str& text);
