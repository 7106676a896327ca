#pragma once
// One book of clue entries: a title and body lines the diary window reveals one by one.

#include "core/text/str.h"

#include <vector>

class TPrefs;

struct tDiaryEntry
{
    str key;
    str title;
    std::vector<str> body;  // string keys or texts
    int unfolded = 0;       // body lines revealed so far
};

class tDiary
{
public:
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

private:
    std::vector<tDiaryEntry> mEntries;
    bool mNewEntry = false;
    str mName;
};
