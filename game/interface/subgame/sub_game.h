#pragma once
// The window a sub-scene runs in (a puzzle opened beside the main scene with ChainToSubScene):
// it takes the sub-scene's screen position and size, draws it, hands it the mouse and advances
// it. Without a sub-scene it draws nothing, ignores the mouse and shrinks to nothing, so that
// the scene beneath keeps the clicks where the puzzle was.
//   TGame{ name = "game", w = 800, h = 600, tSubGame{ name = "subgame" } }

#include "game/interface/windows/df_window.h"

class tSubGame : public dfWindow
{
    TV_CLASS(tSubGame, dfWindow)

public:
    static TWindow* DynamicCreate();

    void Init(TWindowStyle& style) override;
    // The layout's size and place give way to the sub-scene's (or to nothing).
    void PostChildrenInit(TWindowStyle& style) override;
    void Draw() override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnTaskAnimate() override;

private:
    // Over the sub-scene's screen rectangle, or 0 x 0 without one.
    void FollowSubScene();
};
