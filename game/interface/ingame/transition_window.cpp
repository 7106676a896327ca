#include "game/interface/ingame/transition_window.h"

#include <cmath>

#include "core/script/message.h"
#include "game/script/window_autoreg.h"
#include "game/world/sound/sfx_manager.h"
#include "ui/style/window_style.h"
#include "ui/window/message_types.h"
#include "ui/window/window_manager.h"

TWindow* tTransitionWindow::DynamicCreate()
{
    return new tTransitionWindow;
}

void tTransitionWindow::Init(TWindowStyle& style)
{
    dfWindow::Init(style);
    SetName("transition");
    mSpeedIn = float(style.GetNumber("speed_in", 50));
    mSpeedOut = float(style.GetNumber("speed_out", 50));
    mAccelIn = float(style.GetNumber("accel_in", 3));
    mAccelOut = float(style.GetNumber("accel_out", 3));
    mTargeter.posX = float(-GetWindowWidth());
    mTargeter.posY = 0;
    SetWindowPos(-GetWindowWidth(), 0);
    g_SFXManager.PlaySFX("audio/sfx/window_in", false);
    SetMode(kSlidingIn);
    StartWindowAnimation(16, true, true, false);
}

void tTransitionWindow::SetMode(int mode)
{
    mMode = mode;
    if (mode == kSlidingIn) {
        mTargeter.targetX = mTargeter.targetY = 0;
        mTargeter.speed = mSpeedIn;
        mTargeter.acceleration = mAccelIn;
    } else if (mode == kSlidingOut) {
        mTargeter.targetX = float(-GetWindowWidth());
        mTargeter.targetY = 0;
        mTargeter.speed = mSpeedOut;
        mTargeter.acceleration = mAccelOut;
    }
}

bool tTransitionWindow::OnTaskAnimate()
{
    mTargeter.Update();
    SetWindowPos(int(std::lround(mTargeter.posX)), int(std::lround(mTargeter.posY)));
    TWindowManager* wm = TWindowManager::GetInstance();
    switch (mMode) {
    case kSlidingIn:
        if (wm)
            wm->InvalidateScreen();
        if (mTargeter.IsDone())
            mMode = kResting;
        break;
    case kSlidingOut:
        if (wm)
            wm->InvalidateScreen();
        if (mTargeter.IsDone()) {
            mMode = kFinished;
            PostClose();
        }
        break;
    case kCloseNow:
        if (wm)
            wm->InvalidateScreen();
        mMode = kFinished;
        PostClose();
        break;
    default: break;
    }
    return true;
}

void tTransitionWindow::PostClose()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    if (!wm || !GetParent())
        return;
    wm->PostWindowMessage(new TMessage(kCloseWindow, WindowIdText(GetParent()->GetId()), GetParent()));
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tTransitionWindow", tTransitionWindow::ClassId(), &tTransitionWindow::DynamicCreate},
};
