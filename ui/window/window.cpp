#include "ui/window/window.h"

#include "core/debug/debug_log.h"
#include "core/script/message.h"
#include "render/renderer/renderer.h"
#include "ui/window/carried_message.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_anim.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_spider.h"

#include <algorithm>
#include <map>

uint32_t TWindow::sWindowId = 0;

namespace {

struct TWindowClass
{
    str typeName;
    TWindowCreateFunction create;
};

std::map<TClassId, TWindowClass>& WindowClasses()
{
    static std::map<TClassId, TWindowClass> classes;
    return classes;
}

bool IsPositional(int32_t type)
{
    return type == TEvent::kMouseDown || type == TEvent::kMouseExtended || type == TEvent::kMouseUp ||
           type == TEvent::kMouseMove || type == TEvent::kMouseHover;
}

void Invalidate()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

// A window came into view (`appeared`, null when one went): the manager draws the change in this
// turn's frame, and keeps presses from what appeared until a frame has shown it.
void TreeChanged(TWindow* appeared)
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->OnTreeChange(appeared);
}

}  // namespace

TV_REGISTER_WINDOW(TWindow, []() -> TWindow* { return new TWindow; });

bool RegisterWindowClass(TClassId id, const char* typeName, TWindowCreateFunction create)
{
    if (!id || !create)
        return false;
    WindowClasses()[id] = TWindowClass{str(typeName), create};
    return true;
}

TClassId FindWindowClass(const str& typeName)
{
    for (const auto& [id, windowClass] : WindowClasses())
        if (windowClass.typeName == typeName)
            return id;
    return 0;
}

str WindowIdText(uint32_t id)
{
    return str::getFormatted("%8x", id);
}

TWindow* TWindow::CreateFromId(TClassId id)
{
    const auto found = WindowClasses().find(id);
    if (found == WindowClasses().end()) {
        WriteDbg("No window class with id %lx", static_cast<unsigned long>(id));
        return nullptr;
    }
    return found->second.create();
}

TWindow::TWindow() : mId(sWindowId++) {}

TWindow::~TWindow()
{
    if (mAnim) {
        mAnim->Detach();
        mAnim = nullptr;
    }
    Invalidate();
    // Orphaning also withdraws the window from its modal window's opaque set.
    if (mParent)
        mParent->OrphanChild(this);
    // Each child still sees this window as its parent while it goes, so it can leave the
    // opaque set of the modal window above.
    while (!mChildren.empty()) {
        TWindow* child = mChildren.front();
        mChildren.pop_front();
        delete child;
    }
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->OnDestroyWindow(this);
}

bool TWindow::OnNewParent()
{
    return true;
}

bool TWindow::OnMouseHover(const TPoint& point)
{
    TWindowManager* wm = TWindowManager::GetInstance();
    return wm ? wm->OnMouseHover(this, point) : false;
}

// --- state ---

void TWindow::SetFlags(uint32_t flags)
{
    const uint32_t old = mFlags;
    mFlags = (old & 0xFFu) | (flags & 0xFF00u);
    if ((old ^ mFlags) & kEnabled)
        TreeChanged((mFlags & kEnabled) && IsVisible() ? this : nullptr);
    if (TModalWindow* modal = FindParentModal())
        UpdateOpaque(modal->GetWindowWidth(), modal->GetWindowHeight());
}

bool TWindow::IsVisible() const
{
    for (const TWindow* w = this; w; w = w->mParent) {
        if (!(w->mFlags & kEnabled))
            return false;
        if (w->mFlags & kModalRoot)
            break;
    }
    return true;
}

void TWindow::UpdateOpaque(int coveredWidth, int coveredHeight)
{
    TModalWindow* modal = FindParentModal();
    if (!modal)
        return;
    const bool opaque = (mFlags & kOpaque) && GetWindowWidth() == coveredWidth && GetWindowHeight() == coveredHeight;
    modal->SetOpaqueChild(this, opaque);
}

void TWindow::WithdrawOpaque(TModalWindow* modal)
{
    modal->SetOpaqueChild(this, false);
    // Descendants leave with the window; their entries would name windows outside the modal.
    struct Withdraw : TWindowSpider
    {
        TModalWindow* modal;
        bool Process(TWindow* w) override
        {
            if (modal->HasOpaqueChild(w))
                modal->SetOpaqueChild(w, false);
            w->ForEachChild(*this);
            return true;
        }
    } withdraw;
    withdraw.modal = modal;
    ForEachChild(withdraw);
}

// --- geometry ---

void TWindow::GetClientRect(TRect* rect) const
{
    *rect = TRect(0, 0, GetWindowWidth(), GetWindowHeight());
}

void TWindow::GetWindowRect(TRect* rect) const
{
    if (!mParent) {
        *rect = mRect;
        return;
    }
    TRect parent;
    mParent->GetWindowRect(&parent);
    const int left = parent.left + mRect.left;
    const int top = parent.top + mRect.top;
    *rect = TRect(left, top, left + GetWindowWidth(), top + GetWindowHeight());
}

void TWindow::ClientToScreen(TPoint* point) const
{
    TRect r;
    GetWindowRect(&r);
    point->x += r.left;
    point->y += r.top;
}

void TWindow::ScreenToClient(TPoint* point) const
{
    TRect r;
    GetWindowRect(&r);
    point->x -= r.left;
    point->y -= r.top;
}

void TWindow::ClientToParent(TPoint* point) const
{
    point->x += mRect.left;
    point->y += mRect.top;
}

void TWindow::SetWindowPos(int x, int y)
{
    const int w = GetWindowWidth(), h = GetWindowHeight();
    mRect = TRect(x, y, x + w, y + h);
    Invalidate();
}

void TWindow::SetWindowSize(int width, int height)
{
    mRect.right = mRect.left + width;
    mRect.bottom = mRect.top + height;
    Invalidate();
    TWindowManager* wm = TWindowManager::GetInstance();
    TModalWindow* screen = wm ? wm->GetScreen() : nullptr;
    if (screen)
        UpdateOpaque(screen->GetWindowWidth(), screen->GetWindowHeight());
    else if (TModalWindow* modal = FindParentModal())
        modal->SetOpaqueChild(this, false);
}

void TWindow::FitToChildren()
{
    GetLargest largest(GetWindowWidth(), GetWindowHeight());
    ForEachChild(largest);
    SetWindowSize(largest.mWidth, largest.mHeight);
}

// --- tree ---

bool TWindow::Contains(const TWindow* window) const
{
    for (const TWindow* w = window; w; w = w->mParent)
        if (w == this)
            return true;
    return false;
}

bool TWindow::AdoptChild(TWindow* child, bool notify)
{
    if (!child || child->Contains(this)) {
        WriteDbg("AdoptChild refused: a window cannot hold itself or an ancestor");
        return false;
    }
    // A window stands in one list only.
    if (child->mParent && child->mParent != this)
        child->mParent->OrphanChild(child);
    if (std::find(mChildren.begin(), mChildren.end(), child) == mChildren.end()) {
        mChildren.push_front(child);
        child->mParent = this;
        TreeChanged(child->IsVisible() ? child : nullptr);
    }
    if (notify && !child->OnNewParent()) {
        mChildren.remove(child);
        child->mParent = nullptr;
        child->SetWindowSize(child->GetWindowWidth(), child->GetWindowHeight());
        return false;
    }
    return true;
}

void TWindow::OrphanChild(TWindow* child)
{
    if (!child)
        return;
    const auto it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it != mChildren.end()) {
        mChildren.erase(it);
        TreeChanged(nullptr);
    }
    if (child->mParent != this)
        return;
    if (TModalWindow* modal = child->FindParentModal())
        child->WithdrawOpaque(modal);
    child->mParent = nullptr;
}

void TWindow::DestroyAllChildren()
{
    ChildrenDelete spider(this, TWindowManager::GetInstance());
    ForEachChild(spider);
}

TWindow* TWindow::GetChildWindow(const str& name, unsigned depth)
{
    if (mName == name)
        return this;
    if (depth == 0)
        return nullptr;
    for (TWindow* child : mChildren)
        if (TWindow* found = child->GetChildWindow(name, depth - 1))
            return found;
    return nullptr;
}

void TWindow::ForEachChild(TWindowSpider& spider, bool backwards)
{
    if (backwards) {
        for (auto it = mChildren.rbegin(); it != mChildren.rend(); ++it)
            if (!spider.Process(*it))
                return;
        return;
    }
    for (auto it = mChildren.begin(); it != mChildren.end();) {
        const auto next = std::next(it);
        if (!spider.Process(*it))
            return;
        it = next;
    }
}

TModalWindow* TWindow::FindParentModal() const
{
    for (TWindow* w = mParent; w; w = w->mParent)
        if (w->mFlags & kModalRoot)
            return GetCast<TModalWindow>(w);
    return nullptr;
}

// --- hit-testing ---

TWindow* TWindow::NextChildWindowFromPoint(const TPoint& point, TChildList::const_iterator from)
{
    for (auto it = from; it != mChildren.cend(); ++it) {
        TWindow* child = *it;
        const TRect& r = child->mRect;
        if (child->IsVisible() && point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom)
            return child;
    }
    return this;
}

TWindow* TWindow::ChildWindowFromPoint(const TPoint& point, unsigned depth)
{
    if (depth == 0)
        return nullptr;
    TWindow* hit = NextChildWindowFromPoint(point, mChildren.cbegin());
    if (hit == this)
        return this;
    return hit->ChildWindowFromPoint(TPoint(point.x - hit->mRect.left, point.y - hit->mRect.top), depth - 1);
}

// --- events ---

bool TWindow::HandleEvent(const TEvent* event, bool focusDone)
{
    if (!event)
        return false;
    const TPoint pos(event->x, event->y);
    const char character = static_cast<char>(event->code);
    bool handled = false;
    switch (event->type) {
    case TEvent::kMouseDown: handled = OnMouseDown(pos); break;
    case TEvent::kMouseExtended:
        handled = OnExtendedMouseEvent(pos, static_cast<TPlatform::ExtendedMouseEvents>(event->code));
        break;
    case TEvent::kMouseUp: handled = OnMouseUp(pos); break;
    case TEvent::kMouseMove: handled = OnMouseMove(pos); break;
    case TEvent::kMouseHover: handled = OnMouseHover(pos); break;
    case TEvent::kKeyDown: handled = OnKeyDown(character, event->modifiers); break;
    case TEvent::kKeyUp: handled = OnKeyUp(character); break;
    case TEvent::kChar: handled = OnChar(character); break;
    case TEvent::kUnicodeChar: {
        const str text = str::from_utf32(static_cast<unsigned>(event->code));
        handled = OnUTF8Char(text);
        if (!handled && text.length() == 1)
            handled = OnChar(text[0]);
        break;
    }
    default: break;
    }

    if (event->type == TEvent::kMouseDown && !focusDone) {
        TWindow* focus = this;
        while (focus && !(focus->mFlags & kFocusable))
            focus = focus->mParent;
        if (TWindowManager* wm = TWindowManager::GetInstance(); wm && focus) {
            TWindow* previous = wm->GetFocusWindow();
            wm->SetFocusWindow(focus);
            focus->OnSetFocus(previous);
            focusDone = true;
        }
    }
    if (handled)
        return true;
    if (!(mFlags & kModalRoot))
        return PassEventOn(event, focusDone);

    if (TPlatform::GetConfig(TPlatform::kOverlayWindowMouseEvents, "").to_int() != 0)
        return false;
    str name;
    if (event->type == TEvent::kMouseUp)
        name = "mouse:up";
    else if (event->type == TEvent::kKeyDown)
        name = str("raw:") + character;
    if (!name.empty()) {
        if (TWindowManager* wm = TWindowManager::GetInstance())
            wm->PostWindowMessage(new TMessage(kPressAnyKey, name, nullptr));
    }
    return false;
}

bool TWindow::PassEventOn(const TEvent* event, bool focusDone)
{
    TEvent copy = *event;
    const bool positional = IsPositional(event->type);
    if (positional) {
        copy.x += mRect.left;
        copy.y += mRect.top;
    }
    if (!mParent)
        return false;
    // Windows behind this one get a chance at what it let through (mouse events only: keys
    // carry no position in this window's space).
    TChildList& siblings = mParent->mChildren;
    auto self = std::find(siblings.begin(), siblings.end(), this);
    if (positional && self != siblings.end() && std::next(self) != siblings.end()) {
        TWindow* hit = mParent->NextChildWindowFromPoint(TPoint(copy.x, copy.y), std::next(self));
        if (hit != mParent) {
            TPoint screen(copy.x, copy.y);
            mParent->ClientToScreen(&screen);
            TPoint inHit = screen;
            hit->ScreenToClient(&inHit);
            TWindow* target = hit->ChildWindowFromPoint(inHit, unsigned(-1));
            if (!target)
                target = hit;
            TPoint inTarget = screen;
            target->ScreenToClient(&inTarget);
            copy.x = inTarget.x;
            copy.y = inTarget.y;
            return target->HandleEvent(&copy, focusDone);
        }
    }
    return mParent->HandleEvent(&copy, focusDone);
}

// --- messages ---

void TWindow::SendWindowMessage(TMessage* message)
{
    SendWindowMessageTaken(message);
}

bool TWindow::SendWindowMessageTaken(TMessage* message)
{
    if (!message)
        return false;
    for (TWindow* w = this; w; w = w->mParent) {
        if (w->OnMessage(message)) {
            delete message;
            return true;
        }
        if (!(w->mFlags & kModalRoot))
            continue;
        if (TModalWindow* modal = GetCast<TModalWindow>(w)) {
            if (TWindow* focus = modal->GetDefaultFocus(); focus && focus->OnMessage(CarriedMessage(message))) {
                delete message;
                return true;
            }
        }
        if (TWindowManager* wm = TWindowManager::GetInstance())
            wm->OnScriptMessage(message, nullptr);
        else
            delete message;
        return false;
    }
    // A window outside every modal layer (one waiting for deletion, say).
    WriteDbg("Message '%s' (type %d) reached no modal window and was dropped", message->GetName().c_str(),
             message->GetType());
    delete message;
    return false;
}

// --- drawing ---

bool TWindow::DoDraw(EDrawMode mode)
{
    if (!(mFlags & kEnabled))
        return false;
    if (mode == kDrawLayer) {
        if (!((mFlags & kLayered) && mParent && (mParent->mFlags & kDrawnInLayer)))
            return false;
        mFlags |= kDrawnInLayer;
    } else if (mode == kDrawAfterLayer && (mFlags & kDrawnInLayer)) {
        return false;
    }

    TRenderer* renderer = TRenderer::GetInstance();
    TRect screen;
    GetWindowRect(&screen);
    const TURect clip = renderer->GetClippingRectangle();
    const TRect inside =
        TRect::Intersect(TRect(int(clip.left), int(clip.top), int(clip.right), int(clip.bottom)), screen);
    if (inside.right <= inside.left || inside.bottom <= inside.top)
        return true;

    const bool viewport = screen.right != 0;
    if (viewport)
        renderer->PushViewport(screen);
    renderer->PushClippingRectangle(TURect(uint32_t(std::max(0, inside.left)), uint32_t(std::max(0, inside.top)),
                                           uint32_t(std::max(0, inside.right)), uint32_t(std::max(0, inside.bottom))));
    Draw();
    for (auto it = mChildren.rbegin(); it != mChildren.rend(); ++it)
        if (!((*it)->mFlags & kModalRoot))
            (*it)->DoDraw(mode);
    PostDraw();
    if (viewport)
        renderer->PopViewport();
    renderer->PopClippingRectangle();
    return true;
}

// --- animation ---

TWindowAnim* TWindow::GetWindowAnim()
{
    if (mAnim)
        return mAnim;
    TModalWindow* modal = GetCast<TModalWindow>(this);
    if (!modal)
        modal = FindParentModal();
    // No modal window: no task list to run the animation.
    if (!modal || !modal->GetTaskList())
        return nullptr;
    mAnim = new TWindowAnim(this);
    modal->AdoptTask(mAnim);
    mAnim->SetClock(&modal->GetClock());
    return mAnim;
}

void TWindow::StartWindowAnimation(uint32_t delay, bool repeat, bool fromNow, bool catchUp)
{
    if (TWindowAnim* anim = GetWindowAnim())
        anim->SetDelay(delay, repeat, fromNow, catchUp);
}

void TWindow::StopWindowAnimation()
{
    if (!mAnim)
        return;
    mAnim->Detach();
    mAnim = nullptr;
}
