#pragma once
// One book of clue entries: a title and body lines the diary window reveals one by one.

#include "core/text/str.h"
#include "game/script/class_info.h"

#include <vector>

class TPrefs;

struct tDiaryEntry
{
    str key;
    str title;
    std::vector<str> body;  // string keys or texts
    int unfolded = 0;       // body lines revealed so far
};

class tDiary : public baseObj
{
public:
    static tClassInfo civ;
    static baseObj* Factory() { return new tDiary; }
    static void LuaAdd(dfLua& lua);

    tDiary() { mClassInfo = &civ; }

    void SetName(const str& name) { mName = name; }
    const str& GetName() const { return mName; }

    // Replaces an entry of the same key in place; else appends it and sets the new-entry flag.
    void AddDiaryEntry(const tDiaryEntry& entry);
    // Removes every entry whose title is name.
    void RemoveDiaryEntry(const str& name);
    tDiaryEntry* GetEntry(int index);
    int GetEntryCount() const { return int(mEntries.size()); }
    // Index of the first entry with that key; -1 when none.
    int GetEntryByName(const str& key) const;
    bool HasNewEntry() const { return mNewEntry; }
    // The diary windows clear it once the book has been shown.
    void ClearNewEntry() { mNewEntry = false; }

    void clear();
    bool SaveGame(TPrefs& prefs, int slot, int user) const;
    bool LoadGame(const TPrefs& prefs, int slot, int user);

    // Empty, or what localisation gives for a missing string.
    static bool NoString(const str& text);

    // Lua "AddDiaryEntry" (key, title, base: the last three values; the body lines are the
    // base and its numbered lines found in the string tables) and "AddDiaryTableEntry"
    // ({key, title, line, line, ...}).
    int lf_AddDiaryEntry(dfLua& lua);
    int lf_AddDiaryTableEntry(dfLua& lua);

private:
    std::vector<tDiaryEntry> mEntries;
    bool mNewEntry = false;
    str mName;
};
