// Mouse routing: listeners take every mouse event; otherwise overlay windows (in overlay
// mouse mode) and then the deepest window under the mouse in the top modal window. A press
// (button down or up) reaches only windows that a frame has shown.

#include "core/debug/debug_log.h"
#include "core/script/message.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <vector>

namespace {

bool IsPress(int32_t type)
{
    return type == TEvent::kMouseDown || type == TEvent::kMouseExtended || type == TEvent::kMouseUp;
}

bool Inside(const TRect& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The event with its position moved from the screen into the window's client space.
TEvent InClient(const TEvent& event, const TWindow* window)
{
    TEvent copy = event;
    TPoint point(event.x, event.y);
    window->ScreenToClient(&point);
    copy.x = point.x;
    copy.y = point.y;
    return copy;
}

}  // namespace

bool TWindowManager::IsPressOnUndrawn(const TEvent& event, const TWindow* window) const
{
    return IsPress(event.type) && IsUndrawn(window);
}

void TWindowManager::SetHovered(TWindow* window)
{
    mHovered = window;
    if (mOutline)
        InvalidateScreen();
}

void TWindowManager::RouteToListeners(const TEvent& event, bool leaveOnly)
{
    TModalWindow* top = GetTopModalWindow();
    mListenersChanged = false;
    // A copy, re-checked entry by entry: a listener taken out meanwhile is never visited.
    const std::vector<TWindow*> listeners(mListeners.begin(), mListeners.end());
    for (TWindow* listener : listeners) {
        if (!IsMouseListener(listener) || (!leaveOnly && IsPressOnUndrawn(event, listener)))
            continue;
        if (leaveOnly) {
            listener->OnMouseLeave();
        } else {
            TRect r;
            listener->GetWindowRect(&r);
            const int cursorMode = CursorMode();
            bool deliver = true;
            if (!Inside(r, event.x, event.y) && cursorMode == 0) {
                listener->OnMouseLeave();
                deliver = IsMouseListener(listener);
            }
            if (deliver) {
                TEvent copy = event.type == TEvent::kMouseMove && cursorMode != 0 ? event : InClient(event, listener);
                listener->HandleEvent(&copy, false);
            }
        }
        if (mModalStack.empty() || GetTopModalWindow() != top)
            break;
    }
}

bool TWindowManager::RouteMouse(const TEvent& event)
{
    if (!mListeners.empty()) {
        RouteToListeners(event, false);
        return true;
    }
    if (event.type == TEvent::kMouseMove && CursorMode() == 1)
        return false;

    if (OverlayMouse()) {
        const std::vector<TWindow*> overlays(mOverlays.begin(), mOverlays.end());
        for (TWindow* overlay : overlays) {
            TPoint point(event.x, event.y);
            overlay->ScreenToClient(&point);
            TWindow* target = overlay->ChildWindowFromPoint(point, unsigned(-1));
            if (!target)
                target = overlay;
            if (IsPressOnUndrawn(event, target))
                continue;
            TEvent copy = InClient(event, target);
            if (target->HandleEvent(&copy, false)) {
                SetHovered(target);
                return true;
            }
        }
    }

    TModalWindow* top = GetTopModalWindow();
    if (!top)
        return true;
    TPoint point(event.x, event.y);
    top->ScreenToClient(&point);
    TWindow* target = top->ChildWindowFromPoint(point, unsigned(-1));
    if (!target)
        target = top;
    SetHovered(target);
    bool handled;
    if (IsPressOnUndrawn(event, target)) {
        handled = RouteBehindUndrawn(event, target, top);
    } else {
        TEvent copy = InClient(event, target);
        handled = target->HandleEvent(&copy, false);
    }
    if (!handled && OverlayMouse())
        PostUnhandledMouse(event);
    return true;
}

// The player pressed on what the last frame showed: a window come into view since then is not
// there for the press, which falls to what lies behind it. A modal window not yet shown is new
// as a whole, and the windows it covers are out of play: the press is dropped.
bool TWindowManager::RouteBehindUndrawn(const TEvent& event, TWindow* target, TModalWindow* top)
{
    if (mUndrawn.count(top)) {
        WriteDbg("A press on a window no frame has shown yet was dropped");
        return true;
    }
    TWindow* outermost = target;
    for (TWindow* w = target; w != top; w = w->GetParent())
        if (mUndrawn.count(w))
            outermost = w;
    TEvent copy = InClient(event, outermost);
    return outermost->PassEventOn(&copy, false);
}

void TWindowManager::PostUnhandledMouse(const TEvent& event)
{
    str name;
    if (event.type == TEvent::kMouseUp)
        name = "mouse:up";
    else if (event.type == TEvent::kKeyDown)
        name = str("raw:") + static_cast<char>(event.code);
    if (!name.empty())
        PostWindowMessage(new TMessage(kPressAnyKey, name, nullptr));
}
