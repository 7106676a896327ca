#include "game/startup/game_main.h"

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "core/strings/string_table.h"
#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "game/script/df_log_lua.h"
#include "game/script/lua_error.h"
#include "game/script/metrics.h"
#include "game/script/window_autoreg.h"
#include "game/startup/data_folder.h"
#include "game/startup/game_steps.h"
#include "game/startup/interface_run.h"
#include "game/startup/main_loop.h"
#include "game/startup/quit_verify.h"
#include "game/startup/script_functions.h"
#include "game/startup/world_steps.h"
#include "game/world/scene/scene.h"
#include "game/world/scenelist/scene_list.h"
#include "game/world/sound/sfx_manager.h"
#include "render/renderer/renderer.h"
#include "ui/widgets/slider.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

constexpr unsigned kDefaultWidth = 800;
constexpr unsigned kDefaultHeight = 600;

constexpr const char* kMainLoopScript = "scripts/mainloop.lua";
// The file InitializeSceneNames reads, as the player is told of it.
constexpr const char* kSceneListScript = "quest/scenelist.lua";

TWindowScriptBase* WindowScript(TPlatform* platform)
{
    TWindowManager* wm = platform->GetWindowManager();
    return wm ? wm->GetScript() : nullptr;
}

void RunStep(const std::function<void()>& step)
{
    if (step)
        step();
}

void SetTitle(TPlatform* platform)
{
    TStringTable* strings = platform->GetStringTable();
    if (!strings)
        return;
    const str title = strings->GetString("windowtitle");
    if (title != str(TStringTable::kMissing))
        platform->SetWindowTitle(title);
}

void ApplySettings(TPlatform* platform)
{
    if (GameSteps().createSettings)
        GameSteps().createSettings();
    else
        platform->SetDisplay(kDefaultWidth, kDefaultHeight, false);  // until the settings exist
}

void RegisterWindowTypes(TWindowManager* wm)
{
    AddAutoRegWindowTypes(wm);
    if (wm)
        wm->AddWindowType("TSlider", TSlider::ClassId());
    RunStep(GameSteps().registerServerSubmit);
}

void PrepareScriptState(dfLua& lua)
{
    InstallGlobalLuaError();
    if (!lua.GetState())
        return;
    PrepareLuaEnvironment(lua);
    BindPushModal(lua);
    BindLogToLua(lua);
    BindQuitRequest(lua.GetState());
}

}  // namespace

void DumpSubScene()
{
    RunStep(GameSteps().dumpSubScene);
}

void DumpTheScene()
{
    RunStep(GameSteps().dumpScene);
    RunStep(GameSteps().dumpVox);
}

void Main(TPlatform* platform, const char*)
{
    if (!platform)
        return;
    // Without its data the game has no window of its own that could say so.
    if (const str problem = DataFolderProblem(TFile::mResourceDir); !problem.empty()) {
        LOGIT("The game cannot start: %s\n", problem.c_str());
        platform->ShowMessageBox(str("The game cannot start"), problem);
        return;
    }
    InstallWorldSteps();
    SetTitle(platform);
    ApplySettings(platform);
    platform->SetCursor(BestRef("cursor/cursor", "?simple"), TPoint(1, 1), false);
    TWindowManager* wm = platform->GetWindowManager();
    RegisterWindowTypes(wm);

    TWindowScriptBase* script = WindowScript(platform);
    dfLua lua(script ? script->GetState() : nullptr);
    PrepareScriptState(lua);
    MET_BeginSession();
    auto* interface = new TInterfaceRun(platform, kMainLoopScript);
    platform->AdoptTask(interface);
    interface->Start();
    if (TRenderer* renderer = TRenderer::GetInstance()) {
        renderer->SetOption("fps", "0");
        renderer->SetOption("texture_rectangle", "1");
    }
    if (lua.GetState())
        BindGameScriptFunctions(lua.GetState());
    RunStep(GameSteps().loadSceneList);
    if (g_SceneDescs.empty())
        interface->Fail(kSceneListScript, "It names no scene that could be played.");
    RunStep(GameSteps().createScene);

    TMainLoop::TServices services;
    services.getEvent = [platform](TEvent* e) { platform->GetEvent(e); };
    services.handleEvent = [platform](TEvent* e) {
        if (TWindowManager* manager = platform->GetWindowManager())
            manager->HandleEvent(e);
    };
    services.closeRequest = [platform, interface] {
        if (interface->IsEnding())
            platform->Exit(0);
        else
            VerifyQuit(platform);
    };
    services.topModal = [platform]() -> TWindow* {
        TWindowManager* manager = platform->GetWindowManager();
        return manager ? manager->GetTopModalWindow() : nullptr;
    };
    TMainLoop loop(std::move(services));
    loop.Run();
    g_SFXManager.KillAll();
    RunStep(GameSteps().releaseCursors);
}
