#pragma once
// A plain game window that the inventory layouts place by the type name "tInvAddWindow".

#include "game/interface/windows/df_window.h"

class tInvAddWindow : public dfWindow
{
    TV_CLASS(tInvAddWindow, dfWindow)

public:
    tInvAddWindow();
    static TWindow* DynamicCreate();
};
