#include "game/startup/window_system_links.h"

#include "core/platform/platform.h"
#include "core/script/game_state.h"
#include "render/text/text_services.h"
#include "ui/screen/screen.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

void InvalidateCurrentScreen()
{
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}

bool PlatformExists()
{
    return TPlatform::GetInstance() != nullptr;
}

lua_State* WindowScriptState()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    return script ? script->GetState() : nullptr;
}

}  // namespace

TWindowManager* TWindowManagerLink::CreateWindowManager()
{
    return new TWindowManager;
}

void TWindowManagerLink::DestroyWindowManager(TWindowManager* wm)
{
    delete wm;
}

void TWindowManagerLink::AttachWindowScript(TWindowManager* wm)
{
    if (!wm || wm->GetScript())
        return;
    TWindowScriptBase* script = new TWindowScriptBase;
    wm->AttachWindowScript(script);
    // The table may have been made before the script existed.
    if (TGameState* state = TGameState::GetInstance())
        state->BindLuaGlobals(script->GetState());
}

void TWindowManagerLink::EnableStringTable(TWindowManager* wm, bool enable)
{
    if (wm)
        wm->EnableStringTable(enable);
}

void TWindowManagerLink::CloseRequested(TWindowManager* wm)
{
    if (wm && wm->GetScript())
        wm->GetScript()->CloseRequested();
}

void TWindowManagerLink::InvalidateScreen(TWindowManager* wm)
{
    if (wm)
        wm->InvalidateScreen();
}

void TWindowManagerLink::EnsureScreen(TWindowManager* wm, unsigned width, unsigned height)
{
    if (!wm || wm->GetScreen())
        return;
    TScreen* screen = new TScreen;
    wm->SetScreen(screen);
    screen->SetWindowSize(static_cast<int>(width), static_cast<int>(height));
}

void TWindowManagerLink::HandleEvent(TWindowManager* wm, const TEvent& event)
{
    if (!wm)
        return;
    TEvent copy = event;
    wm->HandleEvent(&copy);
}

void TWindowManagerLink::DestroyGameState()
{
    TGameState::DestroyInstance();
}

void InstallWindowSystemHooks()
{
    SetScreenInvalidator(&InvalidateCurrentScreen);
    TGameState::SetPlatformQuery(&PlatformExists);
    TGameState::SetScriptStateQuery(&WindowScriptState);
}
