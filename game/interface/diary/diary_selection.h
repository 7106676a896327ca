#pragma once
// What the diary screen shows, shared by its book list and its entry view: the book, its
// number of entries and the selected entry. Making a book list resets it.

class tDiary;
struct tDiaryEntry;

extern tDiary* m_pDiary;  // null until a book is chosen
extern int m_nItemCount;
extern int m_nItem;
extern int m_Book;  // BOOK: 0 clues, 1 sketches, 2 pills

// Entry m_nItem of the book shown; null without a book or without that entry.
tDiaryEntry* SelectedDiaryEntry();
// Whether the selected entry has body lines left to unfold.
bool CanClickForHint();
