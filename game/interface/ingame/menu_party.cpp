#include "game/interface/ingame/menu_party.h"

#include "game/script/window_autoreg.h"
#include "game/world/scene/scene.h"
#include "render/renderer/renderer.h"
#include "ui/style/window_style.h"
#include "ui/window/modal_window.h"

TWindow* tMenuParty::DynamicCreate()
{
    return new tMenuParty;
}

uint32_t tMenuParty::ModalTime() const
{
    TModalWindow* modal = FindParentModal();
    return modal ? modal->GetClock().GetTime() : 0;
}

void tMenuParty::Init(TWindowStyle& style)
{
    TWindow::Init(style);
    mPosition = TVec3{float(style.GetNumber("px", 0)), float(style.GetNumber("py", 0)), 0};
    const str file = style.GetString("file", str());
    if (!file.empty())
        mParty.Init(file);
    mLastTime = ModalTime();
    StartWindowAnimation(20, true, true, false);
}

bool tMenuParty::OnTaskAnimate()
{
    const uint32_t now = ModalTime();
    mParty.Update(int(now - mLastTime));
    mLastTime = now;
    return true;
}

void tMenuParty::Draw()
{
    TBegin2d scope;
    mParty.Draw(mPosition);
    scope.Done();
}

TWindow* TOverhud::DynamicCreate()
{
    return new TOverhud;
}

void TOverhud::Draw()
{
    TBegin2d scope;
    if (tScene* scene = ActiveScene())
        scene->DrawOverHud();
    scope.Done();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tMenuParty", tMenuParty::ClassId(), &tMenuParty::DynamicCreate},
    {"TOverhud", TOverhud::ClassId(), &TOverhud::DynamicCreate},
};
