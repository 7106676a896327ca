#pragma once
// The base of every window and widget: a rectangle in its parent's coordinates, a name, a
// flag word, a serial id and an ordered list of children (front = topmost). Events bubble up
// from the deepest window under the mouse, messages climb to the modal root, drawing runs
// from the back child to the front one.
//   TWindow* w = new TWindow;
//   parent->AdoptChild(w, true);
//   TWindow* hit = root->ChildWindowFromPoint(TPoint(10, 10), unsigned(-1));
//
// A window that is destroyed leaves its parent's list and is forgotten by the window
// manager (focus, hover, listeners, queued messages), so no pointer to it survives.

#include "core/math/rect.h"
#include "core/platform/platform.h"
#include "core/system/class_id.h"
#include "core/text/str.h"

#include <cstdint>
#include <list>

class TMessage;
class TModalWindow;
class TWindowAnim;
class TWindowSpider;
class TWindowStyle;
struct TEvent;

// 0 normal, 1 the layer pass, 2 the main pass after a layer pass.
enum EDrawMode : int
{
    kDrawNormal = 0,
    kDrawLayer = 1,
    kDrawAfterLayer = 2,
};

class TWindow
{
    TV_CLASS_ROOT(TWindow)

public:
    static constexpr uint32_t kModalRoot = 0x1;
    static constexpr uint32_t kFocusable = 0x2;
    static constexpr uint32_t kLayered = 0x4;
    static constexpr uint32_t kBeginGroup = 0x8;
    static constexpr uint32_t kEnabled = 0x100;
    static constexpr uint32_t kDrawnInLayer = 0x400;
    static constexpr uint32_t kOpaque = 0x800;

    // Layout encoding of positions and sizes.
    static constexpr int kCenter = 80000;
    static constexpr int kMax = 160000;

    using TChildList = std::list<TWindow*>;

    TWindow();
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // A new window of the registered class; null for an unknown id.
    static TWindow* CreateFromId(TClassId id);

    // --- overridables ---
    // False refuses the new parent.
    virtual bool OnNewParent();
    // Name and first layout pass.
    virtual void Init(TWindowStyle& style);
    // Optional fit to the children, second layout pass.
    virtual void PostChildrenInit(TWindowStyle& style);
    virtual void Draw() {}
    virtual void PostDraw() {}
    virtual bool AdoptChild(TWindow* child, bool notify);
    virtual void OrphanChild(TWindow* child);
    virtual void OnParentModalPopped() {}
    virtual void SetScroll(float, float) {}
    // True takes the message (it is deleted).
    virtual bool OnMessage(TMessage*) { return false; }
    // False ends the window's animation.
    virtual bool OnTaskAnimate() { return false; }
    // Mouse points are in the window's client coordinates; true stops the event.
    virtual bool OnMouseDown(const TPoint&) { return false; }
    virtual bool OnExtendedMouseEvent(const TPoint&, TPlatform::ExtendedMouseEvents) { return false; }
    virtual bool OnMouseUp(const TPoint&) { return false; }
    virtual bool OnMouseMove(const TPoint&) { return false; }
    virtual bool OnMouseLeave() { return false; }
    virtual bool CanAcceptFocus() { return false; }
    virtual bool OnChar(char) { return false; }
    virtual bool OnUTF8Char(str) { return false; }
    virtual bool OnKeyDown(char, unsigned int /*modifiers*/) { return false; }
    virtual bool OnKeyUp(char) { return false; }
    // Asks the window manager's hover handler.
    virtual bool OnMouseHover(const TPoint& point);
    virtual void OnSetFocus(TWindow* /*previous*/) {}
    virtual void OnKillFocus(TWindow* /*next*/) {}
    virtual bool Init() { return false; }

    // --- identity and state ---
    uint32_t GetId() const { return mId; }
    const str& GetName() const { return mName; }
    void SetName(const str& name) { mName = name; }
    uint32_t GetFlags() const { return mFlags; }
    // Replaces bits 8-15, keeps bits 0-7, clears the rest.
    void SetFlags(uint32_t flags);
    TWindow* GetParent() const { return mParent; }
    const TChildList& GetChildren() const { return mChildren; }
    // Shown, as is every ancestor up to the nearest modal root or root.
    bool IsVisible() const;

    // --- geometry ---
    const TRect& GetRect() const { return mRect; }
    int GetWindowWidth() const { return mRect.right - mRect.left; }
    int GetWindowHeight() const { return mRect.bottom - mRect.top; }
    void GetClientRect(TRect* rect) const;
    // In screen coordinates.
    void GetWindowRect(TRect* rect) const;
    void ClientToScreen(TPoint* point) const;
    void ScreenToClient(TPoint* point) const;
    void ClientToParent(TPoint* point) const;
    void SetWindowPos(int x, int y);
    void SetWindowSize(int width, int height);
    // Grows (never shrinks) so that every child fits.
    void FitToChildren();

    // --- tree ---
    void DestroyAllChildren();
    // This window or, while depth lasts, a descendant (depth-first, list order). Depth is
    // unsigned: unsigned(-1) searches everything.
    TWindow* GetChildWindow(const str& name, unsigned depth);
    // Stops at the first false; the forward walk allows removing the visited window.
    void ForEachChild(TWindowSpider& spider, bool backwards = false);
    // Nearest ancestor with kModalRoot, when it is a modal window.
    TModalWindow* FindParentModal() const;
    // Whether `window` is this window or lies below it.
    bool Contains(const TWindow* window) const;

    // --- hit-testing, events, messages, drawing ---
    // The first visible child from `from` on whose rect holds the point; else this window.
    TWindow* NextChildWindowFromPoint(const TPoint& point, TChildList::const_iterator from);
    // The deepest visible window under the point (own client coordinates); null once the
    // depth runs out below a hit child.
    TWindow* ChildWindowFromPoint(const TPoint& point, unsigned depth);
    bool HandleEvent(const TEvent* event, bool focusDone);
    // What this window lets through (the event in its client space): to the window behind it
    // under the mouse, else to its parent.
    bool PassEventOn(const TEvent* event, bool focusDone);
    // Delivers up the tree; takes ownership of the message. The bool form tells whether a
    // window took it (false: it went on to the script, or nowhere).
    void SendWindowMessage(TMessage* message);
    bool SendWindowMessageTaken(TMessage* message);
    bool DoDraw(EDrawMode mode);

    // --- layout ---
    void SizeAndPositionFromStyle(TWindowStyle& style);

    // --- animation ---
    void StartWindowAnimation(uint32_t delay, bool repeat, bool fromNow, bool catchUp);
    void StopWindowAnimation();
    // Made on first use in the task list of the window's modal window; null without one.
    TWindowAnim* GetWindowAnim();

protected:
    // For constructors: bits the public setter keeps away from.
    void AddFlags(uint32_t flags) { mFlags |= flags; }
    void RemoveFlags(uint32_t flags) { mFlags &= ~flags; }

private:
    friend class TWindowAnim;

    // Registers or withdraws the window in its modal window's opaque set; `covered` is the
    // size it must have to count.
    void UpdateOpaque(int coveredWidth, int coveredHeight);
    void WithdrawOpaque(TModalWindow* modal);

    TWindow* mParent = nullptr;
    TChildList mChildren;
    TRect mRect;
    str mName;
    uint32_t mFlags = kEnabled;
    uint32_t mId;
    TWindowAnim* mAnim = nullptr;

    static uint32_t sWindowId;
};

// The window as a T when it is one, else null (also for null).
template <class T>
T* GetCast(TWindow* window)
{
    return window && window->IsKindOf(T::ClassId()) ? static_cast<T*>(window) : nullptr;
}

// How messages and scripts name a window: the id in lower-case hexadecimal, right-aligned
// in eight columns ("      2a").
str WindowIdText(uint32_t id);

// A window class declares itself with TV_CLASS(Name, Base) and, when layouts may create it,
// registers a creation function:  TV_REGISTER_WINDOW(TImage, [] { return new TImage(true); })
using TWindowCreateFunction = TWindow* (*)();
bool RegisterWindowClass(TClassId id, const char* typeName, TWindowCreateFunction create);
// The registered class named `typeName`, or 0.
TClassId FindWindowClass(const str& typeName);

#define TV_REGISTER_WINDOW(Name, Create)                                                                               \
    static const bool Name##_registered = RegisterWindowClass(Name::ClassId(), #Name, Create)
