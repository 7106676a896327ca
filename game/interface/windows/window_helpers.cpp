#include "game/interface/windows/window_helpers.h"

#include "ui/widgets/button.h"
#include "ui/window/window.h"
#include "ui/window/window_manager.h"

namespace {
TWindow* g_MouseWindow = nullptr;

std::function<bool()>& GameGrabsClicksQuery()
{
    static std::function<bool()> query;
    return query;
}
}  // namespace

bool GameGrabsClicks()
{
    return GameGrabsClicksQuery() && GameGrabsClicksQuery()();
}

void SetGameGrabsClicksQuery(std::function<bool()> query)
{
    GameGrabsClicksQuery() = std::move(query);
}

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

int FirstButtonOn(TWindow* root, const char* prefix, int count)
{
    if (!root)
        return 0;
    for (int i = 0; i < count; ++i) {
        const TButton* button =
            GetCast<TButton>(root->GetChildWindow(str::getFormatted("%s%d", prefix, i), unsigned(-1)));
        if (button && button->IsOn())
            return i;
    }
    return 0;
}

tVector2<float> Vector2FromTPoint(const TPoint& point)
{
    return tVector2<float>(float(point.x), float(point.y));
}

TPoint TPointFromVector2(const tVector2<float>& vector)
{
    return TPoint(int(vector.x), int(vector.y));
}

TVec2 TVecFromVector(const tVector2<float>& vector)
{
    return TVec2(vector.x, vector.y);
}
