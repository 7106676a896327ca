#pragma once
// Keys of a saved game in a player's table of the preferences store. A full key is a prefix
// below followed directly by a field name: "V:S0:I3:key", "Q:S0:I3complete".

#include "core/text/str.h"

class TPrefs;

str GS_FormatSlot(int slot);                                  // "S0:"
str GS_FormatValue(int slot, int index);                      // "V:S0:I3:"
str GS_FormatString(int slot, int index);                     // "S:S0:I3:"
str GS_FormatDiary(int slot, int index, const str& book);     // "D:S0:I3:B[BOOK_PRI]"
str GS_FormatInventory(int slot, int index, const str& bag);  // "I:S0:I3:B[BAG_INV]"
str GS_FormatQuest(int slot, int index);                      // "Q:S0:I3"

// Writes one list of a saved game. Each entry's "key" field comes first; the list ends with
// an empty "key" after the last entry. An empty key would end the list early when read
// back and lose what follows, so entries with one are refused (logged) and written nowhere.
class TSaveListWriter
{
public:
    TSaveListWriter(TPrefs& prefs, int user, const char* what) : mPrefs(prefs), mUser(user), mWhat(what) {}

    // Starts the entry at the next index under prefix; false (nothing written) for an
    // empty key.
    bool Begin(const str& prefix, const str& key);
    void Str(const char* field, const str& value);
    void Int(const char* field, int value);
    // Writes the end marker under prefix (the prefix of the next free index).
    void End(const str& prefix);
    int NextIndex() const { return mNext; }

private:
    TPrefs& mPrefs;
    int mUser;
    const char* mWhat;
    str mPrefix;
    int mNext = 0;
};
