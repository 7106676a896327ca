#include "game/interface/windows/df_button.h"

#include "core/debug/debug_log.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/best_ref.h"
#include "game/script/window_autoreg.h"
#include "render/texture/texture.h"
#include "ui/style/window_style.h"

std::function<void(const str&)>& ButtonCursorActivator()
{
    static std::function<void(const str&)> activator;
    return activator;
}

tDFButton::~tDFButton()
{
    DropMouseWindowClaim(this);
}

TWindow* tDFButton::DynamicCreate()
{
    return new tDFButton;
}

void tDFButton::Init(TWindowStyle& style)
{
    TButton::Init(style);
    mCursor = style.GetString("cursor", str());
    if (mCursor.empty())
        mCursor = "cursor";
    const str mask = style.GetString("mask", str());
    if (!mask.empty())
        mMask.Load(mask);
}

void tDFButton::SetHitMask(const TColor32* pixels, unsigned pitch, int width, int height)
{
    mMask.Set(pixels, pitch, width, height);
}

bool tDFButton::TestMousePoint(const TPoint& point) const
{
    return mMask.IsEmpty() || mMask.Hit(point);
}

bool tDFButton::OnMouseDown(const TPoint& point)
{
    return TestMousePoint(point) && TButton::OnMouseDown(point);
}

void tDFButton::StateUpdate(EMouseState newState, EMouseState oldState)
{
    TButton::StateUpdate(newState, oldState);
    if (newState != kAway)
        SetMouseWindow(this);
    else
        DropMouseWindowClaim(this);
    const bool arrived = (newState & kOver) && !(oldState & kOver);
    if (arrived && !mCursor.empty() && ButtonCursorActivator())
        ButtonCursorActivator()(mCursor);
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tDFButton", tDFButton::ClassId(), &tDFButton::DynamicCreate},
};
