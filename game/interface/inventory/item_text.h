#pragma once
// An item's description with its one number put in: "%d" (with an optional zero pad and
// width, "%03d") takes the parameter and "%%" is a percent sign. Any other "%" stays as it
// stands, so a description can never make the formatter read a value that is not there.
//   FormatItemText("%d coins", 3)   // "3 coins"

#include "core/text/str.h"

str FormatItemText(const str& text, int parameter);
