#pragma once
// The game's plain windows: a window that claims the mouse while it moves over it, a modal
// window that closes through its "transition" child, and a picture drawn past its edges.
//   dfModalWindow{ name = "options", Image{ ... }, dfTransition{ name = "transition" } }

#include "game/interface/windows/window_globals.h"
#include "ui/screen/image.h"
#include "ui/window/modal_window.h"

class dfWindow : public TWindow
{
    TV_CLASS(dfWindow, TWindow)

public:
    ~dfWindow() override;
    static TWindow* DynamicCreate();
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;

protected:
    tWindowGlobals mGlobals{this};
};

// What a modal window asks of its "transition" child: 2 plays the closing transition, 4 ends
// it at once.
class tTransitionControl
{
public:
    virtual ~tTransitionControl() = default;
    virtual void SetTransitionMode(int mode) = 0;
};

class dfModalWindow : public TModalWindow
{
    TV_CLASS(dfModalWindow, TModalWindow)

public:
    static TWindow* DynamicCreate();
    // "quickclose" and "startclose" go through the transition; without one, "startclose"
    // closes the window at once.
    bool OnMessage(TMessage* message) override;

protected:
    tWindowGlobals mGlobals{this};
};

class dfImage : public TImage
{
    TV_CLASS(dfImage, TImage)

public:
    void Draw() override;
};
