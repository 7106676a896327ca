#pragma once
// Plain text put into rich text: every character that the layout would read as markup ("<"
// opening a tag, "\" taking the next character) gets a backslash, so the text shows as written.
//   graphic->SetText("<b>" + EscapeMarkup(playerName) + "</b>");

#include "core/text/str.h"

str EscapeMarkup(const str& text);
