#include "game/world/diary/diary.h"

#include <algorithm>

void tDiary::AddDiaryEntry(const tDiaryEntry& entry)
{
    const int at = GetEntryByName(entry.key);
    if (at >= 0) {
        mEntries[size_t(at)] = entry;
        return;
    }
    mEntries.push_back(entry);
    mNewEntry = true;
}

void tDiary::RemoveDiaryEntry(const str& name)
{
    std::erase_if(mEntries, [&](const tDiaryEntry& e) { return e.title == name; });
}

tDiaryEntry* tDiary::GetEntry(int index)
{
    return index >= 0 && index < GetEntryCount() ? &mEntries[size_t(index)] : nullptr;
}

int tDiary::GetEntryByName(const str& key) const
{
    for (size_t i = 0; i < mEntries.size(); ++i)
        if (mEntries[i].key == key)
            return int(i);
    return -1;
}

void tDiary::clear()
{
    mEntries.clear();
    mNewEntry = false;
}

bool tDiary::NoString(const str& text)
{
    return text.empty() || text == "#####";
}
