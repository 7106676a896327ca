-- The pause screen: the game window opens it on Escape or with the paw print, with the game
-- clock stopped ("EnterPause(); DoModal('scripts/pause.lua'); ExitPause();"). Its panel slides
-- in from the left; "Resume" (or Return, or Escape pressed again) slides it out and play goes
-- on; "Options" opens the options over it; "Main menu" leaves the game; "Quit" asks, as the
-- window's close box does, whether to leave the program.
-- Escape is a hot key on its key press.

local pieces = ReadFile("layouts/pieces.lua")
local titleFont = {"fonts/bold.mvec", 30, Color(251, 242, 220)}

-- The dialog closes once its panel has slid out (see tTransitionWindow).
local function Resume()
    LOGIT("Pause screen: resume")
    PostMessage(CreateNamedMessage(kGeneric, "startclose"))
end

local function Options()
    LOGIT("Pause screen: options")
    DoModal("layouts/options.lua")
end

local function ToMainMenu()
    LOGIT("Pause screen: main menu")
    if KeepTheGameInPlay then
        KeepTheGameInPlay()
    end
    SendGameMessage("quit")
end

-- As the window's close box: the question may keep the game, nothing else does.
local function Quit()
    LOGIT("Pause screen: quit")
    RequestQuit()
end

LOGIT("Pause screen shown")
MakeDialog{
    tTransitionWindow{
        name = "transition", x = 0, y = 0, w = 800, h = 600,
        Bitmap{
            name = "pause", x = 220, y = 140, image = "interface/pause_panel.png",
            Text{name = "title", x = 0, y = 24, w = 360, h = 44, label = "pause_title", font = titleFont,
                 flags = kHAlignCenter + kVAlignCenter},
            pieces.SmallButton("pause_resume", "pause_resume", kCenter, 84, Resume, nil, "enter"),
            pieces.SmallButton("pause_options", "pause_options", kCenter, 134, Options),
            pieces.SmallButton("pause_menu", "pause_menu", kCenter, 184, ToMainMenu),
            pieces.SmallButton("pause_quit", "pause_quit", kCenter, 234, Quit),
        },
    },
    function() RegisterHotkey("\27", "pause_resume") end,
}
