#include "engine/engine_window_system_link.h"

#include "core/platform/platform.h"
#include "core/script/game_state.h"
#include "online/web/flash_host.h"
#include "online/xsell/xsell_window.h"
#include "render/text/text_services.h"
#include "ui/screen/screen.h"
#include "ui/script/movie_player.h"
#include "ui/script/window_script.h"
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

TWindowManager* TEngineWindowSystemLink::CreateWindowManager()
{
    return new TWindowManager;
}

void TEngineWindowSystemLink::DestroyWindowManager(TWindowManager* wm)
{
    delete wm;
}

void TEngineWindowSystemLink::AttachWindowScript(TWindowManager* wm)
{
    if (!wm || wm->GetScript())
        return;
    TWindowScriptBase* script = new TWindowScript;
    wm->AttachWindowScript(script);
    // The online subsystem's window type joins the engine's once a script is attached.
    RegisterXSellWindowType(wm);
    // The table may have been made before the script existed.
    if (TGameState* state = TGameState::GetInstance())
        state->BindLuaGlobals(script->GetState());
}

void TEngineWindowSystemLink::EnableStringTable(TWindowManager* wm, bool enable)
{
    if (wm)
        wm->EnableStringTable(enable);
}

void TEngineWindowSystemLink::CloseRequested(TWindowManager* wm)
{
    if (wm && wm->GetScript())
        wm->GetScript()->CloseRequested();
}

void TEngineWindowSystemLink::InvalidateScreen(TWindowManager* wm)
{
    if (wm)
        wm->InvalidateScreen();
}

void TEngineWindowSystemLink::EnsureScreen(TWindowManager* wm, unsigned width, unsigned height)
{
    if (!wm || wm->GetScreen())
        return;
    TScreen* screen = new TScreen;
    wm->SetScreen(screen);
    screen->SetWindowSize(static_cast<int>(width), static_cast<int>(height));
}

void TEngineWindowSystemLink::DestroyGameState()
{
    TGameState::DestroyInstance();
}

namespace {

// Layouts' movies go to the web content host (which does not start where no player exists).
class TFlashMoviePlayer : public TMoviePlayer
{
public:
    explicit TFlashMoviePlayer(const str& name) : mHost(name) {}
    bool Start(bool loop, bool translate, bool allowInput) override { return mHost.Start(loop, translate, allowInput); }
    bool IsPlaying() override { return mHost.IsPlaying(); }
    void Stop() override { mHost.Stop(); }

private:
    TFlashHost mHost;
};

}  // namespace

void InstallWindowSystemHooks()
{
    SetMoviePlayerFactory([](const str& name) { return std::make_unique<TFlashMoviePlayer>(name); });
    SetScreenInvalidator(&InvalidateCurrentScreen);
    TGameState::SetPlatformQuery(&PlatformExists);
    TGameState::SetScriptStateQuery(&WindowScriptState);
}
