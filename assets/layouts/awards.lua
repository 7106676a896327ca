-- The awards: one at a time, its title and its description once earned (a teaser until then);
-- the arrows, or the up and down keys, step through the twelve.

local titleFont = {"fonts/bold.mvec", 24, Color(251, 242, 220)}
local bodyFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}

local function Arrow(name, x, label)
    return tDFButton{
        name = name, x = x, y = 230, command = function() SendAwardMessage(name) end,
        graphics = {"images/button_normal.png", "images/button_pressed.png", "images/button_hover.png"},
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = label, font = bodyFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

MakeDialog{
    dfWindow{
        name = "awardsdialog", x = kCenter, y = kCenter, w = 400, h = 300,
        Bitmap{name = "backdrop", x = 0, y = 0, image = "images/panel.png"},
        Text{name = "item_title", x = 20, y = 20, w = 360, h = 30, font = titleFont, flags = kHAlignCenter},
        Text{name = "item_body", x = 20, y = 60, w = 360, h = 150, font = bodyFont, flags = kHAlignCenter},
        tAwardsWindow{name = "awards", x = 0, y = 0, w = 400, h = 220},
        Arrow("go_left", 20, "awards_previous"),
        Arrow("go_right", 260, "awards_next"),
        tDFButton{
            name = "close", x = 140, y = 260, close = true, cancel = true, default = true,
            graphics = {"images/button_normal.png", "images/button_pressed.png", "images/button_hover.png"},
            Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = "awards_close", font = bodyFont,
                 flags = kHAlignCenter + kVAlignCenter},
        },
    },
}
