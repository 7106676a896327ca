#include "game/interface/widgets/scrolled_window.h"

#include <algorithm>

#include "core/script/message.h"
#include "game/script/window_autoreg.h"
#include "ui/style/window_style.h"
#include "ui/widgets/slider.h"
#include "ui/widgets/text.h"
#include "ui/window/message_types.h"

TWindow* TScrolledWindow::DynamicCreate()
{
    return new TScrolledWindow;
}

void TScrolledWindow::PostChildrenInit(TWindowStyle& style)
{
    for (TWindow* child : GetChildren())
        if (!GetCast<TSlider>(child)) {
            mContent = child;
            break;
        }
    mSlider = new TSlider;
    const bool horizontal = style.GetBool("hslider", false);
    if (horizontal)
        mSlider->SetWindowSize(GetWindowWidth(), 0);
    else
        mSlider->SetWindowSize(0, GetWindowHeight());
    AdoptChild(mSlider, true);
    mSlider->Init(style);
    // The slider takes the container's style, size included, and would lie along the longer
    // side of the container; it runs along the side "hslider" names.
    mSlider->SetHorizontal(horizontal);
    if (horizontal)
        mSlider->SetWindowSize(GetWindowWidth(), 0);
    else
        mSlider->SetWindowSize(0, GetWindowHeight());
    mSlider->SetSliderSize();
    mSlider->UpdateSliderPos();
    if (horizontal)
        mSlider->SetWindowPos(0, GetWindowHeight() - mSlider->GetWindowHeight());
    else
        mSlider->SetWindowPos(GetWindowWidth() - mSlider->GetWindowWidth(), 0);
    mSlider->SetName("slider");
    mSnap = style.GetInt("snap", 4);
    TWindow::PostChildrenInit(style);
}

void TScrolledWindow::SetScroll(float x, float)
{
    if (mSlider)
        mSlider->SetValue(x, false);
}

void TScrolledWindow::SubScrollV(float value)
{
    if (!mContent)
        return;
    const int contentHeight = mContent->GetWindowHeight();
    const int height = GetWindowHeight();
    mContent->SetWindowPos(0, contentHeight > height ? -int(float(contentHeight - height) * value) : 0);
}

bool TScrolledWindow::OnMessage(TMessage* message)
{
    if (!mContent || !mSlider || !message)
        return false;
    switch (message->GetType()) {
    case kSliderValChanged: {
        const int sliderHeight = mSlider->GetWindowHeight();
        const float snap = sliderHeight > 0 ? float(mSnap) / float(sliderHeight) : 0.0f;
        if (mSlider->GetValue() > 1.0f - snap)
            mSlider->SetValue(1.0f, true);
        else if (mSlider->GetValue() < snap)
            mSlider->SetValue(0.0f, true);
        const float value = mSlider->GetValue();
        mContent->SetScroll(value, 0);
        SubScrollV(value);
        return true;
    }
    case kSliderPageUp: return PageStep(-1) || mContent->OnMessage(message) || PageView(-1);
    case kSliderPageDown: return PageStep(1) || mContent->OnMessage(message) || PageView(1);
    default: return false;
    }
}

bool TScrolledWindow::OnExtendedMouseEvent(const TPoint&, TPlatform::ExtendedMouseEvents event)
{
    if (!mContent || !mSlider || (event != TPlatform::kVerticalWheelPlus && event != TPlatform::kVerticalWheelMinus))
        return false;
    const int overhang = mContent->GetWindowHeight() - GetWindowHeight();
    float step = 0;
    if (overhang > 0) {
        step = float(GetWindowHeight()) / 4.0f / float(overhang);
    } else if (TText* text = GetCast<TText>(mContent); text && text->GetLineCount() > 0) {
        step = 1.0f / float(text->GetLineCount());
    }
    if (step <= 0)
        return false;
    // The wheel turned away from the player shows what lies above.
    const float direction = event == TPlatform::kVerticalWheelPlus ? -1.0f : 1.0f;
    mSlider->SetValue(std::clamp(mSlider->GetValue() + direction * step, 0.0f, 1.0f), false);
    return true;
}

// False when the content is not a text (the content decides then).
bool TScrolledWindow::PageStep(int direction)
{
    TText* text = GetCast<TText>(mContent);
    if (!text)
        return false;
    const int lines = text->GetLineCount();
    TRect bounds;
    text->GetTextBounds(&bounds);
    // An empty or unmeasured text has no pages: the slider stays.
    if (lines <= 0 || bounds.bottom <= 0)
        return true;
    const float lineHeight = float(bounds.bottom) / float(lines);
    const float step = float(text->GetWindowHeight()) / lineHeight / float(lines);
    mSlider->SetValue(std::clamp(mSlider->GetValue() + float(direction) * step, 0.0f, 1.0f), false);
    return true;
}

// Content taller than the window moves by one view; false when it fits.
bool TScrolledWindow::PageView(int direction)
{
    const int overhang = mContent->GetWindowHeight() - GetWindowHeight();
    if (overhang <= 0)
        return false;
    const float step = float(GetWindowHeight()) / float(overhang);
    mSlider->SetValue(std::clamp(mSlider->GetValue() + float(direction) * step, 0.0f, 1.0f), false);
    return true;
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TScrolledWindow", TScrolledWindow::ClassId(), &TScrolledWindow::DynamicCreate},
};
