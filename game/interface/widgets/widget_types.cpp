#include "game/interface/widgets/widget_types.h"

#include "game/interface/widgets/custom_text_edit.h"
#include "game/interface/widgets/rollover_window.h"
#include "game/interface/widgets/scrolled_window.h"
#include "game/interface/windows/game_window_types.h"

void RegisterGameWidgetTypes(TWindowManager* manager)
{
    RegisterGameWindowType(manager, "TextEdit", TCustomTextEdit::ClassId(), &TCustomTextEdit::DynamicCreate);
    RegisterGameWindowType(manager, "TCustomTextEdit", TCustomTextEdit::ClassId(), &TCustomTextEdit::DynamicCreate);
    RegisterGameWindowType(manager, "RolloverWindow", TRolloverWindow::ClassId(), &TRolloverWindow::DynamicCreate);
    RegisterGameWindowType(manager, "TScrolledWindow", TScrolledWindow::ClassId(), &TScrolledWindow::DynamicCreate);
}
