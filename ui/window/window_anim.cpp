#include "ui/window/window_anim.h"

#include "ui/window/window.h"

TWindowAnim::TWindowAnim(TWindow* window) : TAnimTask(nullptr), mWindow(window) {}

TWindowAnim::~TWindowAnim()
{
    if (mWindow && mWindow->mAnim == this)
        mWindow->mAnim = nullptr;
}

bool TWindowAnim::Animate()
{
    return mWindow ? mWindow->OnTaskAnimate() : false;
}
