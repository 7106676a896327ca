-- The awards: one at a time on a page, its title and its description once earned (a teaser
-- until then); the arrows, or the arrow keys, step through the twelve, and a line counts
-- the player's. The awards window (tAwardsWindow) fills "item_title" and "item_body" and takes
-- the keys. The texts tell the rest: each one's first line, gold when earned and grey until
-- then, says which of the twelve it is and whether it is earned.

local pieces = ReadFile("layouts/pieces.lua")
local itemFont = {"fonts/bold.mvec", 26, Color(255, 210, 120)}
local kAwards = 12
local earned = NumEarnedMedals and NumEarnedMedals() or 0

-- Asked by the awards window at every step, by key or arrow: no Previous on the first award,
-- no Next on the last.
function UpdateAwardButtons(index, awards)
    EnableWindow("go_left", index > 0)
    EnableWindow("go_right", index < awards - 1)
end

MakeDialog{
    dfWindow{
        name = "awardsdialog", x = kCenter, y = kCenter, w = 640, h = 520,
        pieces.Page("awards_title"),
        Text{name = "item_title", x = 60, y = 150, w = 520, h = 44, font = itemFont,
             flags = kHAlignCenter + kVAlignCenter},
        Text{name = "item_body", x = 80, y = 204, w = 480, h = 120, font = pieces.bodyFont, flags = kHAlignCenter},
        Text{name = "count", x = 60, y = 100, w = 520, h = 30, label = "#" .. GetString("awards_count", earned, kAwards),
             font = pieces.bodyFont, flags = kHAlignCenter + kVAlignCenter},
        -- The arrow keys press them even where they are off: the awards window goes no further
        -- than the ends.
        pieces.SmallButton("go_left", "awards_previous", 120, 360, function() SendAwardMessage("go_left") end),
        pieces.SmallButton("go_right", "awards_next", 390, 360, function() SendAwardMessage("go_right") end),
        -- After the arrows, which it sets as it shows the first award.
        tAwardsWindow{name = "awards", x = 60, y = 140, w = 520, h = 190},
        pieces.SmallButton("close", "awards_close", 255, 450, nil, true, "both"),
        -- The arrow keys press the page's own buttons: left and up go back, right and down on
        -- (up and down reach the awards window first while it has the focus).
        function()
            RegisterHotkey("\28", "go_left")
            RegisterHotkey("\30", "go_left")
            RegisterHotkey("\29", "go_right")
            RegisterHotkey("\31", "go_right")
        end,
    },
}
