#include "game/interface/inventory/inv_add_window.h"

#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"

tInvAddWindow::tInvAddWindow()
{
    LOGIT("tInvAddWindow()\n");
}

TWindow* tInvAddWindow::DynamicCreate()
{
    return new tInvAddWindow;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tInvAddWindow", tInvAddWindow::ClassId(), &tInvAddWindow::DynamicCreate},
};
