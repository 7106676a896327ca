-- A close request (the window's close box or the desktop's quit): ask before leaving.
-- Runs as a command inside the interface coroutine, so it may wait for the dialog. The game
-- stands still while it asks, as behind the pause screen; leaving, it is saved first.

if gQuitDialogOpen then
    return
end
gQuitDialogOpen = true
local pausing = IsGameRunning() and not IsPaused()
if pausing then
    EnterPause()
end
LOGIT("Asking whether to quit")
local answer = DoModal("layouts/quitdialog.lua")
gQuitDialogOpen = nil
LOGIT("Quit dialog answered: " .. tostring(answer))
-- Only "keep playing" keeps the game: a question that could not be asked (its layout failed)
-- leaves the request standing.
if answer == "quit_no" then
    if pausing then
        ExitPause()
    end
else
    if KeepTheGameInPlay then
        KeepTheGameInPlay()
    end
    PostMessage(CreateNamedMessage(kQuitNow, "quit"))
end
