#pragma once
// A window's animation: a timed task on its modal window's list and clock that calls the
// window's OnTaskAnimate each step. The window and the task each cut the other's link when
// they go, so neither ever calls the other after its end.

#include "core/time/anim_task.h"

class TWindow;

class TWindowAnim : public TAnimTask
{
public:
    explicit TWindowAnim(TWindow* window);
    ~TWindowAnim() override;

    // False when the window is gone, else the window's answer.
    bool Animate() override;
    TWindow* GetWindow() const { return mWindow; }
    // The window is gone (or no longer animated): the task ends at its next step.
    void Detach() { mWindow = nullptr; }

private:
    TWindow* mWindow;
};
