#pragma once
// The diary's texts as markup for the text windows. What scripts and players give is text: it
// goes in escaped and shows as written; the string table's texts are the writer's markup and
// go in as they are. Links carry an entry's or a quest's key; keys are made safe for the tag
// and read back by LinkKey.
//   text->SetText(LinkMarkup("note", "color=" + HexColor(c), DiaryMarkup(entry.title)));
//   SelectEntry(LinkKey(graphic->Pick(point, 0)));

#include "core/text/str.h"

struct tDiaryEntry;

// The string table's text for a body line or title, or the line itself when the table has
// none (lines from "AddDiaryTableEntry" and titles are texts already).
str DiaryString(const str& keyOrText);
// DiaryString as markup: the table's text as it is, a script's text escaped.
str DiaryMarkup(const str& keyOrText);
// True when the line's text names a picture ("*name"); the name is what follows the star.
bool DiaryPicture(const str& keyOrText, str* name);
// "<a id='key' " + colorAttribute + ">" + markup + "</a>".
str LinkMarkup(const str& key, const str& colorAttribute, const str& markup);
// The key a link id of LinkMarkup names.
str LinkKey(const str& id);

// The body lines unfolded so far, picture lines left out, a blank line between each.
str GetBodyTextFromDiaryEntry(const tDiaryEntry& entry);
// A blank line, then the link asking for the next hint while body lines remain, else the
// note that there are no more.
str GetClickTextFromDiaryEntry(const tDiaryEntry& entry);
