-- The score screens' buttons: the menu button picture with a centred label from the string
-- table; `extra` adds style keys (command, close, cancel, scale, type = 1 for a toggle).
--   ReadFile("layouts/buttons.lua"); LabelButton("view", 40, 176, "hiscore_view", {scale = 0.5})

local labelFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}
local graphics = {"images/button_normal.png", "images/button_pressed.png", "images/button_hover.png"}

function LabelButton(name, x, y, label, extra)
    local button = {
        name = name, x = x, y = y, graphics = graphics, sound = "audio/sfx/click.ogg",
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = label, font = labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
    for key, value in pairs(extra or {}) do
        button[key] = value
    end
    return tDFButton(button)
end
