-- A close request (the window's close box or the desktop's quit): ask before leaving.
-- Runs as a command inside the interface coroutine, so it may wait for the dialog.

if gQuitDialogOpen then
    return
end
gQuitDialogOpen = true
LOGIT("Asking whether to quit")
local answer = DoModal("layouts/quitdialog.lua")
gQuitDialogOpen = nil
LOGIT("Quit dialog answered: " .. tostring(answer))
if answer == "quit_yes" then
    PostMessage(CreateNamedMessage(kQuitNow, "quit"))
end
