#pragma once
// The clickable widget of layouts: push, toggle (check box) and radio buttons. The pictures of
// its states live in its layers; while the mouse is over it or holds it down it listens to
// every mouse event. A press plays the pressed sound, runs the button's command and posts a
// kButtonPress message named after the button for the layout's script.
//   Button{ name = "ok", graphics = { "ui/ok.png", "ui/ok_down.png", "ui/ok_over.png" },
//           close = true, default = true, command = function() ... end }
// Layers: push buttons 0 away, 1 down, 2 over; toggle and radio buttons 0 off, 1 on, 2 over
// while off, 3 over while on (down shows the opposite of the on state). A button without
// pictures takes the size of its label's text.

#include "core/math/color.h"
#include "ui/widgets/layered_window.h"
#include "ui/window/button_control.h"

#include <memory>
#include <vector>

class TLuaFunction;
class TSound;
class TTexture;

class TButton : public TLayeredWindow, public TButtonControl
{
    TV_CLASS(TButton, TLayeredWindow)

public:
    enum EMouseState
    {
        kAway = 0,
        kDown = 1,
        kOver = 2,
        // Passed to StateUpdate when the button is pressed; never stored.
        kPressNotice = 3,
    };
    enum EKind
    {
        kPush = 0,
        kToggle = 1,
        kRadio = 2,
    };

    // The button's command.
    class Action
    {
    public:
        virtual ~Action() = default;
        virtual bool DoAction(TButton* button) = 0;
    };
    // A Lua function run through the window script, as a command with a kCommandOnly message.
    class LuaAction : public Action
    {
    public:
        // Takes ownership of the function.
        explicit LuaAction(TLuaFunction* function);
        ~LuaAction() override;
        bool DoAction(TButton* button) override;
        TLuaFunction* GetFunction() const { return mFunction.get(); }

    private:
        std::unique_ptr<TLuaFunction> mFunction;
    };

    TButton();
    ~TButton() override;
    // The creation function layouts use.
    static TWindow* DynamicCreate();

    bool OnNewParent() override;
    using TWindow::Init;
    void Init(TWindowStyle& style) override;
    void PostChildrenInit(TWindowStyle& style) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;

    // Hot keys press the button as a click would.
    void Press() override { DoPress(); }
    // False when the press made the button leave the screen or its modal is no longer on top.
    virtual bool DoPress();
    // Runs the command and posts the press message; true when the command took the button out
    // of the screen's tree.
    bool DoCommand() override;
    bool IsDefaultButton() const override { return mDefault; }
    bool IsCancelButton() const override { return mCancel; }

    // The sound and picture of a change of mouse state.
    virtual void StateUpdate(EMouseState newState, EMouseState oldState);
    virtual void SetState(EMouseState state);
    EMouseState GetState() const { return mState; }

    void SetOn(bool on);
    bool IsOn() const { return mOn; }
    EKind GetKind() const { return mKind; }
    void SetKind(EKind kind) { mKind = kind; }
    void SetDefault(bool on) { mDefault = on; }
    void SetCancel(bool on) { mCancel = on; }
    void SetClose(bool on) { mClose = on; }
    void SetSendToParent(bool on) { mSendToParent = on; }
    // The button begins a radio group among its siblings.
    void SetBeginGroup(bool on) { on ? AddFlags(kBeginGroup) : RemoveFlags(kBeginGroup); }

    // Takes ownership; replaces (and deletes) the previous command.
    void SetCommand(Action* action);
    Action* GetCommand() const { return mCommand.get(); }
    void SetSound(EMouseState state, str name);
    std::shared_ptr<TSound> GetSound(EMouseState state) const;
    // Copies the texture's pixels; near-black pixels (red, green and blue below 20) are not
    // part of the button. A null texture keeps the old mask.
    void SetClickMask(std::shared_ptr<TTexture> texture);
    void SetClickMask(std::vector<TColor32> pixels, int width, int height);

    // The text of the "label" child.
    void SetLabel(str text);
    str GetLabel();

    // True (after leaving) when the point is not over the button: outside it, or on a
    // near-black pixel of the click mask.
    bool ReleaseCapture(const TPoint& point);

private:
    bool IsOverMask(const TPoint& point) const;
    // Sizes a button without pictures to the text of its label.
    void FitToLabel();
    void PlaySound(int slot) const;

    EKind mKind = kPush;
    EMouseState mState = kAway;
    bool mSendToParent = false;
    bool mOn = false;
    bool mClose = false;
    bool mDefault = false;
    bool mCancel = false;
    std::unique_ptr<Action> mCommand;
    std::shared_ptr<TSound> mSounds[3];
    std::vector<TColor32> mMask;
    int mMaskWidth = 0;
    int mMaskHeight = 0;
    bool mSizedByLabel = false;
};
