#include "game/interface/ingame/intercept_window.h"

#include "game/interface/windows/window_helpers.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "ui/style/window_style.h"

tIntercept::~tIntercept()
{
    DropMouseWindowClaim(this);
}

TWindow* tIntercept::DynamicCreate()
{
    return new tIntercept;
}

void tIntercept::Init(TWindowStyle& style)
{
    dfWindow::Init(style);
    const str mask = style.GetString("mask", str());
    if (!mask.empty())
        mMask.Load(mask);
}

bool tIntercept::OnMouseMove(const TPoint& point)
{
    const bool on = TestMousePoint(point);
    if (on)
        SetMouseWindow(this);
    else
        DropMouseWindowClaim(this);
    return on;
}

bool tIntercept::OnMouseDown(const TPoint& point)
{
    if (GameGrabsClicks() || !TestMousePoint(point))
        return false;
    LOGIT("tIntercept[%s]::OnMouseDown(%d, %d)\n", GetName().c_str(), point.x, point.y);
    return true;
}

bool tIntercept::OnMouseUp(const TPoint& point)
{
    if (!TestMousePoint(point))
        return false;
    LOGIT("tIntercept[%s]::OnMouseUp(%d, %d)\n", GetName().c_str(), point.x, point.y);
    return true;
}

bool tIntercept::OnMouseLeave()
{
    DropMouseWindowClaim(this);
    LOGIT("tIntercept[%s]::OnMouseLeave()\n", GetName().c_str());
    return dfWindow::OnMouseLeave();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tIntercept", tIntercept::ClassId(), &tIntercept::DynamicCreate},
};
