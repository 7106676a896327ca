-- The demo's interface, run as the window script's coroutine: the main menu again and again
-- until the player chooses to leave, and the game itself whenever the menu starts play; a
-- game played to its end goes on to the score entry and the credits.

-- Shows a layout as a modal window and waits until it closes; reports slider and text-field
-- changes on the way. Returns what the closing button handed back. `what` names it in the log.
local function Show(file, what)
    local id = PushModal(file)
    ReadLayout(file)
    DoFitToChildren()
    LOGIT(what .. " shown: " .. file)
    while true do
        local message = WaitForMessage()
        if message then
            if message.type == kSliderValChanged then
                LOGIT("Slider changed: " .. message.name)
            elseif message.type == kTextEditChanged then
                LOGIT("Text changed: " .. message.name .. " = " .. GetLabel(message.name))
            elseif message.type == kModalClosed then
                if message.name == id then
                    break
                end
                gClosedWindows[message.name] = true
            end
        end
        if gClosedWindows[id] then
            gClosedWindows[id] = nil
            break
        end
    end
    local result = gReturnValue
    gReturnValue = nil
    return result
end

-- Leaving play (for the menu, or the program): the game as it stands goes into the saved game,
-- unless the story is over. Inside a puzzle's window too: the saved game goes on in the scene
-- under it.
function KeepTheGameInPlay()
    if not IsGameRunning() or game:Get("game_finished") == 1 then
        return
    end
    game:SaveGame()
end

-- The menu window plays its own music.
return function()
    while true do
        local choice = Show("layouts/mainmenu.lua", "Menu")
        LOGIT("Main menu closed: " .. tostring(choice))
        if choice == "play" then
            -- The menu has loaded the scene; play lasts until the game window closes (the
            -- player leaves for the main menu, or the game is over).
            Show("layouts/game.lua", "Game")
            LOGIT("Play ended")
            if game:Get("game_finished") == 1 then
                -- The story is over (not merely left): the score the awards made, then the
                -- credits, then the menu again.
                Show("layouts/hiscore.lua", "Score entry")
                Show("layouts/credits.lua", "Credits")
            end
        elseif choice == "menu_quit" then
            -- As the close box: only "keep playing" keeps the game.
            if RequestQuit() then
                return
            end
        end
    end
end
