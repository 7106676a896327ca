-- The demo's interface, run as the window script's coroutine: the main menu again and again
-- until the player chooses to leave.

return function()
    while true do
        local choice = DoModal("layouts/mainmenu.lua")
        if choice == "menu_quit" then
            if DoModal("layouts/quitdialog.lua") == "quit_yes" then
                PostMessage(CreateNamedMessage(kQuitNow, "quit"))
                return
            end
        end
    end
end
