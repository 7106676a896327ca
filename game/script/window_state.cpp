#include "game/script/window_state.h"

#include "ui/window/window.h"
#include "ui/window/window_manager.h"

namespace {
TWindow* g_MouseWindow = nullptr;
}  // namespace

void SetMouseWindow(TWindow* window)
{
    g_MouseWindow = window;
}

TWindow* GetMouseWindow()
{
    return g_MouseWindow;
}

void DropMouseWindowClaim(TWindow* window)
{
    if (g_MouseWindow == window)
        g_MouseWindow = nullptr;
}

void SetWindowEnable(TWindow* window, bool enable)
{
    if (!window)
        return;
    const uint32_t flags = window->GetFlags();
    window->SetFlags(enable ? flags | TWindow::kEnabled : flags & ~TWindow::kEnabled);
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

void EnableWindow(TWindow* window)
{
    SetWindowEnable(window, true);
}

void DisableWindow(TWindow* window)
{
    SetWindowEnable(window, false);
}
