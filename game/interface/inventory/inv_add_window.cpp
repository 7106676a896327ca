#include "game/interface/inventory/inv_add_window.h"

#include "game/script/df_log.h"

tInvAddWindow::tInvAddWindow()
{
    LOGIT("tInvAddWindow()\n");
}

TWindow* tInvAddWindow::DynamicCreate()
{
    return new tInvAddWindow;
}
