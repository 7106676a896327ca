#pragma once
// The diary's page view: one entry of a book at a time, turned with the arrows or the arrow
// keys, and the numbered quest list whose links show a quest's title and body on the page. It
// opens the book with new entries (pills before sketches before clues) and clears its flag.
//   tDiaryWindow{ Text{ name = "diary_header" }, tDiaryText{ name = "diary_entry" },
//                 tDiaryText{ name = "quest_list" }, Button{ name = "left_arrow", ... }, ... }

#include "game/interface/windows/df_window.h"

class tDiary;

class tDiaryWindow : public dfWindow
{
    TV_CLASS(tDiaryWindow, dfWindow)

public:
    static TWindow* DynamicCreate();

    using TWindow::Init;
    void Init(TWindowStyle& style) override;
    void PostChildrenInit(TWindowStyle& style) override;
    bool OnKeyDown(char key, unsigned int modifiers) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseDown(const TPoint& point) override;

    // Held inside the book's entries.
    void SetPage(int n);
    // Shows the quest of that key on the page; nothing for an unknown one.
    void SetQuestItem(const str& key);
    void UpdateQuestList();
    // "go_left", "go_right".
    void SendDiaryMessage(const str& message);

    int GetPage() const { return mPage; }
    tDiary* GetBook() const { return mBook; }

private:
    TWindow* Part(const char* name) { return GetChildWindow(name, unsigned(-1)); }
    str LinkAt(const char* name, const TPoint& point);

    int mPage = 0;
    int mPageCount = 0;
    tDiary* mBook = nullptr;
};
