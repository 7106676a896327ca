#include "game/interface/inventory/icon.h"

#include <cmath>

#include "core/script/lua_function.h"
#include "game/interface/inventory/lua_call.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/common/step_toward.h"
#include "ui/style/window_style.h"
#include "ui/window/window_manager.h"

tIcon::tIcon() : TImage(false) {}

tIcon::~tIcon()
{
    DropMouseWindowClaim(this);
}

TWindow* tIcon::DynamicCreate()
{
    return new tIcon;
}

void tIcon::Init(TWindowStyle& style)
{
    TImage::Init(style);
    mFunction.reset(style.GetFunction("command"));
    SetPlace(TVec2(float(GetRect().left), float(GetRect().top)));
    StartWindowAnimation(20, true, true, false);
}

void tIcon::SetPlace(const TVec2& place)
{
    mCurrent = mTarget = place;
    SetWindowPos(int(std::lround(place.x)), int(std::lround(place.y)));
}

bool tIcon::OnTaskAnimate()
{
    StepToward(mCurrent.x, mCurrent.y, mTarget.x, mTarget.y, 1.0f);
    SetWindowPos(int(std::lround(mCurrent.x)), int(std::lround(mCurrent.y)));
    return true;
}

bool tIcon::OnMouseMove(const TPoint&)
{
    SetMouseWindow(this);
    if (TWindowManager* wm = TWindowManager::GetInstance(); wm && !wm->IsMouseListener(this))
        wm->AddMouseListener(this);
    mIconFlags |= kMouseOver;
    return true;
}

bool tIcon::OnMouseLeave()
{
    DropMouseWindowClaim(this);
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->RemoveMouseListener(this);
    mIconFlags &= ~kMouseOver;
    return false;
}

bool tIcon::OnMouseDown(const TPoint&)
{
    if (GameGrabsClicks()) {
        LOGIT("Game grabs clicks from icon\n");
        return false;
    }
    return true;
}

bool tIcon::OnMouseUp(const TPoint&)
{
    if (!IsMouseOver())
        return false;
    if (!mFunction) {
        LOGIT("tIcon with NO FUNCTION!\n");
        return true;
    }
    mFunction->Push();
    CallReportingErrors(mFunction->GetState(), 0, 0, "tIcon::OnMouseUp");
    return true;
}

void tIcon::SetFunction(std::unique_ptr<TLuaFunction> function)
{
    mFunction = std::move(function);
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tIcon", tIcon::ClassId(), &tIcon::DynamicCreate},
};
