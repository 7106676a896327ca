#include "ui/window/button_control.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_spider.h"

#include <algorithm>

bool ChildrenDelete::Process(TWindow* window)
{
    mParent->OrphanChild(window);
    if (mManager)
        mManager->SafeDestroyWindow(window);
    else
        delete window;
    return true;
}

bool GetLargest::Process(TWindow* window)
{
    mWidth = std::max(mWidth, window->GetRect().right);
    mHeight = std::max(mHeight, window->GetRect().bottom);
    return true;
}

bool TWindowClearFlags::Process(TWindow* window)
{
    window->SetFlags(window->GetFlags() & mMask);
    if (mRecursive)
        window->ForEachChild(*this);
    return true;
}

bool TModalPoppedSpider::Process(TWindow* window)
{
    TModalPoppedSpider children;
    window->ForEachChild(children);
    window->OnParentModalPopped();
    return true;
}

bool FindNonSlider::Process(TWindow* window)
{
    if (IsSlider(window))
        return true;
    mResult = window;
    return false;
}

bool FindDefault::Process(TWindow* window)
{
    TWindowManager* wm = TWindowManager::GetInstance();
    // A button that no frame has shown yet is not there for Enter or Escape.
    if (TButtonControl* button = AsButton(window); button && window->IsVisible() && !(wm && wm->IsUndrawn(window))) {
        if (button->IsDefaultButton())
            mDefault = button;
        if (button->IsCancelButton())
            mCancel = button;
        if (mDefault && mCancel)
            return false;
    }
    window->ForEachChild(*this);
    return !(mDefault && mCancel);
}

TButtonControl* AsButton(TWindow* window)
{
    return dynamic_cast<TButtonControl*>(window);
}

bool IsSlider(TWindow* window)
{
    return dynamic_cast<TSliderControl*>(window) != nullptr;
}
