-- A close request (the window's close box or the desktop's quit), or a Quit the player chose:
-- ask before leaving. Runs inside the interface coroutine, so it may wait for the dialog. The
-- game stands still while it asks, as behind the pause screen.
-- The program leaves unless this returns "keep playing"; leaving, it saves the game first.

local pausing = IsGameRunning() and not IsPaused()
if pausing then
    EnterPause()
end
LOGIT("Asking whether to quit")
local answer = DoModal("layouts/quitdialog.lua")
LOGIT("Quit dialog answered: " .. tostring(answer))
if answer == "quit_no" then
    if pausing then
        ExitPause()
    end
    return "keep playing"
end
