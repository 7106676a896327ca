#include "game/interface/diary/diary_selection.h"

#include "game/world/diary/diary.h"

tDiary* m_pDiary = nullptr;
int m_nItemCount = 0;
int m_nItem = 0;
int m_Book = 0;

tDiaryEntry* SelectedDiaryEntry()
{
    return m_pDiary ? m_pDiary->GetEntry(m_nItem) : nullptr;
}

bool CanClickForHint()
{
    const tDiaryEntry* entry = SelectedDiaryEntry();
    return entry && entry->unfolded + 1 < int(entry->body.size());
}
