#include "game/interface/windows/df_window.h"

#include "core/debug/debug_log.h"
#include "core/script/message.h"
#include "game/interface/windows/window_helpers.h"
#include "game/script/prevent_clipping.h"
#include "game/script/window_autoreg.h"
#include "game/world/sound/sfx_manager.h"
#include "ui/window/message_types.h"

dfWindow::~dfWindow()
{
    DropMouseWindowClaim(this);
}

TWindow* dfWindow::DynamicCreate()
{
    return new dfWindow;
}

bool dfWindow::OnMouseMove(const TPoint&)
{
    SetMouseWindow(this);
    return false;
}

bool dfWindow::OnMouseLeave()
{
    DropMouseWindowClaim(this);
    return false;
}

TWindow* dfModalWindow::DynamicCreate()
{
    return new dfModalWindow;
}

bool dfModalWindow::OnMessage(TMessage* message)
{
    if (!message)
        return false;
    const str& name = message->GetName();
    if (name != "quickclose" && name != "startclose")
        return TModalWindow::OnMessage(message);
    auto* transition = dynamic_cast<tTransitionControl*>(GetChildWindow("transition", unsigned(-1)));
    if (name == "quickclose") {
        if (!transition)
            return TModalWindow::OnMessage(message);
        transition->SetTransitionMode(4);
        return true;
    }
    if (transition) {
        g_SFXManager.PlaySFX("audio/sfx/window_out.ogg", false);
        transition->SetTransitionMode(2);
        return true;
    }
    WriteDbg("No transition window! Just closing!");
    SendWindowMessage(new TMessage(kCloseWindow, WindowIdText(GetId()), nullptr));
    return true;
}

void dfImage::Draw()
{
    tPreventClipping clip;
    TImage::Draw();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"dfWindow", dfWindow::ClassId(), &dfWindow::DynamicCreate},
    {"dfModalWindow", dfModalWindow::ClassId(), &dfModalWindow::DynamicCreate},
};
