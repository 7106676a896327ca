#pragma once
// What the widgets ask of the rest of the engine, in one place: the string table that labels
// are looked up in, whether layouts look labels up at all, and the clipboard. Each goes to the
// platform object by default; tests put their own in place.
//   str title = LookupString("title");
//   if (StringTableLookupEnabled()) ...

#include "core/text/str.h"

#include <functional>

class TStringTable;

// The platform's table, or the one installed; null when there is neither.
TStringTable* GetWidgetStringTable();
// Null goes back to the platform's table.
void SetWidgetStringTable(TStringTable* table);
// The text of the label with up to five arguments; the label itself when there is no table.
str LookupString(const str& label, const str& a1 = str(), const str& a2 = str(), const str& a3 = str(),
                 const str& a4 = str(), const str& a5 = str());

// The window script's switch (off without a script).
bool StringTableLookupEnabled();
// Sets the switch and returns what it was.
bool SetStringTableLookup(bool enable);

using TClipboardReader = std::function<str()>;
// The clipboard text through the platform, or through the installed reader.
str ReadClipboard();
// An empty function goes back to the platform.
void SetClipboardReader(TClipboardReader reader);
