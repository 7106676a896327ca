#include "game/interface/widgets/rollover_window.h"

#include "game/interface/windows/window_helpers.h"
#include "game/script/window_autoreg.h"
#include "ui/style/window_style.h"
#include "ui/widgets/text.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

TRolloverWindow::~TRolloverWindow()
{
    if (mInside)
        Leave();
}

TWindow* TRolloverWindow::DynamicCreate()
{
    return new TRolloverWindow;
}

void TRolloverWindow::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    mTarget = style.GetString("activate", str());
    mText = style.GetString("text", str());
}

bool TRolloverWindow::OnMouseMove(const TPoint& point)
{
    if (!mInside) {
        mInside = true;
        if (TWindowManager* wm = TWindowManager::GetInstance())
            wm->AddMouseListener(this);
        Activate(true);
        return false;
    }
    TRect client;
    GetClientRect(&client);
    if (point.x < client.left || point.x >= client.right || point.y < client.top || point.y >= client.bottom)
        Leave();
    return false;
}

bool TRolloverWindow::OnMouseLeave()
{
    if (mInside)
        Leave();
    return false;
}

void TRolloverWindow::Leave()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->RemoveMouseListener(this);
    mInside = false;
    Activate(false);
}

void TRolloverWindow::Activate(bool on)
{
    TModalWindow* modal = mTarget.empty() ? nullptr : FindParentModal();
    TWindow* target = modal ? modal->GetChildWindow(mTarget, unsigned(-1)) : nullptr;
    if (target && on && !mText.empty())
        if (TText* text = GetCast<TText>(target))
            text->SetText(mText);
    if (target)
        SetWindowEnable(target, on);
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"RolloverWindow", TRolloverWindow::ClassId(), &TRolloverWindow::DynamicCreate},
};
