#include "game/startup/quit_verify.h"

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "game/script/df_log.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

constexpr const char* kQuitVerifyScript = "scripts/quitverify.lua";

}  // namespace

void VerifyQuit(TPlatform* platform)
{
    TWindowManager* wm = platform ? platform->GetWindowManager() : nullptr;
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    // A window that cannot be closed is worse than a question not asked.
    if (!TFile::Exists(kQuitVerifyScript))
        LOGIT("The quit script %s is missing; quitting\n", kQuitVerifyScript);
    else if (!script)
        LOGIT("No window script to run %s; quitting\n", kQuitVerifyScript);
    else if (script->RunScript(kQuitVerifyScript))
        return;
    else
        LOGIT("The quit script %s did not start; quitting\n", kQuitVerifyScript);
    if (platform)
        platform->Exit(0);
}
