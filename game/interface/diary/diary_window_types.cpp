#include "game/interface/diary/diary_window_types.h"

#include "game/interface/diary/diary_text_window.h"
#include "game/interface/diary/diary_window.h"
#include "game/interface/diary/window_item_entry.h"
#include "game/interface/diary/window_item_list.h"
#include "game/interface/windows/game_window_types.h"

void RegisterDiaryWindowTypes(TWindowManager* manager)
{
    RegisterGameWindowType(manager, "tWindowItemList", tWindowItemList::ClassId(), &tWindowItemList::DynamicCreate);
    RegisterGameWindowType(manager, "tWindowItemEntry", tWindowItemEntry::ClassId(), &tWindowItemEntry::DynamicCreate);
    RegisterGameWindowType(manager, "tDiaryWindow", tDiaryWindow::ClassId(), &tDiaryWindow::DynamicCreate);
    RegisterGameWindowType(manager, "tDiaryText", tDiaryText::ClassId(), &tDiaryText::DynamicCreate);
}
