-- What both diary screens are made of: the book, its fonts and its buttons.
--   local parts = ReadFile("diary/parts.lua")

local parts = {}

-- The book (760 x 540) in the middle of the screen. Placed by number: turning to the other
-- screen (SwapToModal) lays it out in an emptied window of no size, where a centred place
-- would have nothing to centre in.
parts.bookX = 20
parts.bookY = 30

parts.ink = Color(52, 38, 26)
parts.titleFont = {"fonts/bold.mvec", 22, parts.ink}
parts.bodyFont = {"fonts/default.mvec", 17, parts.ink}
parts.chalkFont = {"fonts/default.mvec", 17, Color(192, 190, 172)}
local buttonFont = {"fonts/bold.mvec", 15, Color(255, 248, 232)}

-- A leather button with a label from the string table; `command` runs when it is pressed,
-- `close` closes the diary (and Escape presses it).
function parts.Button(name, label, x, y, command, close)
    return Button{
        name = name, x = x, y = y,
        graphics = {"images/diary_tab.png", "images/diary_tab_pressed.png", "images/diary_tab_hover.png"},
        sound = "audio/sfx/diary_page.ogg", command = command, close = close, cancel = close,
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = label, font = buttonFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

-- A command that hands `message` to the diary window on the screen.
function parts.Send(message)
    return function() SendDiaryMessage(message) end
end

-- A command that turns to the other diary screen.
function parts.TurnTo(file)
    return function() SwapToModal(file) end
end

return parts
