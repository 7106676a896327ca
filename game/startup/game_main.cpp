#include "game/startup/game_main.h"

#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "core/strings/string_table.h"
#include "game/startup/interface_bindings.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

constexpr unsigned kDefaultWidth = 800;
constexpr unsigned kDefaultHeight = 600;

constexpr const char* kMainLoopScript = "scripts/mainloop.lua";
constexpr const char* kQuitVerifyScript = "scripts/quitverify.lua";

TWindowScriptBase* WindowScript(TPlatform* platform)
{
    TWindowManager* wm = platform->GetWindowManager();
    return wm ? wm->GetScript() : nullptr;
}

}  // namespace

void Main(TPlatform* platform, const char*)
{
    if (!platform)
        return;
    if (TStringTable* strings = platform->GetStringTable()) {
        const str title = strings->GetString("windowtitle");
        if (title != str(TStringTable::kMissing))
            platform->SetWindowTitle(title);
    }
    // The settings screen will choose the display; until then the default window.
    platform->SetDisplay(kDefaultWidth, kDefaultHeight, false);

    if (TWindowScriptBase* script = WindowScript(platform)) {
        BindInterfaceFunctions(script->GetState());
        if (!script->RunScript(kMainLoopScript))
            WriteDbg("The interface script %s did not start; the program waits for a close request.",
                     kMainLoopScript);
    }

    for (;;) {
        TEvent e;
        platform->GetEvent(&e);
        if (e.type == TEvent::kQuit) {
            StopMusic();
            WriteDbg("QUITTING THE APP!");
            return;
        }
        if (e.type == TEvent::kCloseRequest) {
            // The script asks the player and quits if told to. Without a script that runs, the
            // request stands as confirmed: a window that cannot be closed is worse.
            TWindowScriptBase* script = WindowScript(platform);
            if (!script || !script->RunScript(kQuitVerifyScript))
                platform->Exit(0);
        }
        if (TWindowManager* wm = platform->GetWindowManager())
            wm->HandleEvent(&e);
    }
}
