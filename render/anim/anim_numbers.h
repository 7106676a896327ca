#pragma once
// Numbers at the start of a text, as description files write them: leading blanks skipped, then
// an optional sign and digits; a text without a number reads 0. The C locale's decimal point is
// used whatever the user's locale.

int LeadingInt(const char* text);
float LeadingFloat(const char* text);
