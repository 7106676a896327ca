#include "game/startup/quit_verify.h"

#include "core/files/file.h"
#include "core/platform/platform.h"
#include "game/script/df_log.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

// Also named in the runner below.
constexpr const char* kQuitVerifyScript = "scripts/quitverify.lua";

// Runs the script on a coroutine of its own. Its waits are handed to the interface's: while
// the script runs, HandleGetMessage yields to this runner, which waits in its place and
// passes the message and command back. A failure is caught at the resume.
constexpr const char* kRunner = R"lua(
local name = "scripts/quitverify.lua"
local function Quit(why)
    LOGIT("The quit script " .. name .. " " .. why .. "; quitting")
    PostMessage(CreateNamedMessage(kQuitNow, "quit"))
end
local chunk, problem = loadfile(name)
if not chunk then
    Quit("does not load (" .. tostring(problem) .. ")")
    return
end
local script = coroutine.create(chunk)
local wait = HandleGetMessage
local message, command
while true do
    HandleGetMessage = function(delay) return coroutine.yield(delay) end
    local ok, delay = coroutine.resume(script, message, command)
    HandleGetMessage = wait
    if not ok then
        Quit("failed (" .. tostring(delay) .. ")")
        return
    end
    if coroutine.status(script) == "dead" then
        return
    end
    message, command = wait(delay)
end
)lua";

}  // namespace

void VerifyQuit(TPlatform* platform)
{
    TWindowManager* wm = platform ? platform->GetWindowManager() : nullptr;
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    // A window that cannot be closed is worse than a question not asked.
    if (!TFile::Exists(kQuitVerifyScript)) {
        LOGIT("The quit script %s is missing; quitting\n", kQuitVerifyScript);
    } else if (!script) {
        LOGIT("No window script to run %s; quitting\n", kQuitVerifyScript);
    } else {
        if (script->DoLuaString(kRunner, -1, 0, "quit request") == 0)
            return;
        LOGIT("The quit script %s did not start; quitting\n", kQuitVerifyScript);
    }
    if (platform)
        platform->Exit(0);
}
