-- The main menu: backdrop, title, the greeting and the menu's entries. The menu window plays
-- the music and shows only the entries that mean something now (see TMainMenu); the other
-- screens open over it. "Quit" (or Escape) closes the menu and hands its name back to
-- scripts/mainloop.lua, and so does the start of play ("play"), once the scene is loaded.

local titleFont = {"fonts/bold.mvec", 40, Color(251, 242, 220)}
local welcomeFont = {"fonts/default.mvec", 22, Color(232, 236, 250)}
local labelFont = {"fonts/bold.mvec", 20, Color(255, 255, 255)}

-- `closes`: the entry closes the menu (and Escape presses it when it is `"escape"`).
local function MenuButton(name, label, y, command, closes)
    return Button{
        name = name, x = kCenter, y = y, cancel = closes == "escape",
        graphics = {"images/button_normal.png", "images/button_pressed.png", "images/button_hover.png"},
        mask = "images/button_mask.png",
        sound = "audio/sfx/click.ogg", rolloversound = "audio/sfx/rollover.ogg",
        close = closes ~= nil, command = command,
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = label, font = labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

-- Another screen over the menu, until it closes; what it hands back.
local function Open(file)
    LOGIT("Opening " .. file)
    local answer = DoModal(file)
    LOGIT("Closed " .. file)
    return answer
end

local function Opens(file)
    return function() Open(file) end
end

-- A story played to its end is saved as finished: continuing it would only play its last scene
-- again, so the menu does not offer it (Play starts the story afresh).
local function ContinueOffered()
    if not IsSavedGamePresent() then
        return false
    end
    if game:LoadGame() and game:Get("game_finished") == 1 then
        LOGIT("The saved game is finished: nothing to continue")
        return false
    end
    return true
end

-- The entries of the panel, in their order, each with whether it shows now (the menu window
-- rules the same way, but for a finished story's Continue); the shown ones stand one under
-- another, with no gap for a hidden one.
local function StackEntries()
    local offered = ContinueOffered()
    if not offered then
        EnableWindow("load_game", false)
    end
    local entries = {
        {"menu_play", true}, {"menu_options", true}, {"load_game", offered},
        {"changeplayer", GetNumUsers() > 0}, {"choosescene", IsEnabled(kCheatMode)},
    }
    local y = 0
    for _, entry in ipairs(entries) do
        if entry[2] then
            SetPosition(entry[1], kCenter, y)
            y = y + 64
        end
    end
end

-- After a change of player: the greeting and the player's entries.
local function PlayerChanged()
    local any = GetNumUsers() > 0
    EnableWindow("welcome", any)
    EnableWindow("changeplayer", any)
    SetWelcomeName()
    StackEntries()
end

local function ChoosePlayer()
    local answer = Open("layouts/chooseplayer.lua")
    PlayerChanged()
    return answer
end

-- The scene is loaded: the menu closes and hands "play" to scripts/mainloop.lua, which shows
-- the game.
local function BeginPlay()
    CloseWindow("play")
end

-- Play: a player first (the player choice), then a new game from the first scene. A game the
-- player could continue is thrown away only once they have said so. A player who never saved
-- starts from an empty game (a slot never written reads as one, scene names too), not from
-- what the last player left in the game state.
local function Play()
    if ChoosePlayer() ~= "player_ok" or GetNumUsers() == 0 then
        return
    end
    if ContinueOffered() then
        LOGIT("Asking before starting over the saved game")
        local answer = DoModal("layouts/newgame.lua")
        LOGIT("New game dialog answered: " .. tostring(answer))
        if answer ~= "newgame_yes" then
            return
        end
    elseif not IsSavedGamePresent() then
        game:LoadGame()
    end
    LOGIT("Starting a new game for " .. GetNumUsers() .. " player(s)")
    SetStartMode(STARTMODE.NEW)
    BeginPlay()
end

-- A saved game whose scene does not load (a place this game does not have) is told, and the
-- menu stays: Play starts over.
local function Continue()
    LOGIT("Continuing the saved game")
    if not SetStartMode(STARTMODE.LOAD) then
        DisplayDialog{"scripts/ok.lua", title = "continue_failed_title", body = "continue_failed_body"}
        LOGIT("Told that the saved game cannot be continued")
        return
    end
    BeginPlay()
end

-- The scene choice hands back "scene_entered" once it has loaded a scene.
local function ChooseScene()
    if Open("layouts/choosescene.lua") == "scene_entered" then
        BeginPlay()
    end
end

-- The greeting sits clear of the panel's frame, and the right column below the moon.
MakeDialog{
    TMainMenu{
        name = "mainmenu", x = 0, y = 0, w = kMax, h = kMax,
        Bitmap{name = "background", x = 0, y = 0, image = "images/background.png"},
        Text{name = "title", x = kCenter, y = 36, w = 600, h = 56, label = "menu_title", font = titleFont,
             flags = kHAlignCenter + kVAlignCenter},
        Text{name = "welcome", x = kCenter, y = 96, w = 600, h = 30, font = welcomeFont,
             flags = kHAlignCenter + kVAlignCenter},
        Bitmap{
            name = "panel", x = 60, y = 140, image = "images/panel.png",
            Window{
                name = "game", x = 40, y = 30, w = 240, h = 340,
                MenuButton("menu_play", "menu_play", 0, Play),
                MenuButton("menu_options", "menu_options", 64, Opens("layouts/options.lua")),
                MenuButton("load_game", "menu_continue", 128, Continue),
                MenuButton("changeplayer", "menu_changeplayer", 192, ChoosePlayer),
                MenuButton("choosescene", "menu_scenes", 256, ChooseScene),
            },
        },
        Window{
            name = "buttons", x = 440, y = 232, w = 240, h = 304,
            MenuButton("moregames", "menu_moregames", 0, Opens("layouts/xsell.lua")),
            MenuButton("menu_scores", "menu_scores", 64, Opens("layouts/hiscore.lua")),
            MenuButton("menu_credits", "menu_credits", 128, Opens("layouts/credits.lua")),
            MenuButton("menu_awards", "menu_awards", 192, Opens("layouts/awards.lua")),
            MenuButton("menu_quit", "menu_quit", 256, nil, "escape"),
        },
        -- Jumping to any scene is for testers only.
        function() EnableWindow("choosescene", IsEnabled(kCheatMode)) end,
    },
    -- Once the menu window has shown what means something now.
    StackEntries,
}
