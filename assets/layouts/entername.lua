-- Asks for a new player's name, in the game's own window classes: the field's placeholder goes
-- at the first click or key, the OK button shows only while a name is typed, a hint appears
-- while the mouse is over the field, and the rules scroll in their own window. OK leaves the
-- name in gEnteredName.

local bodyFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}
local titleFont = {"fonts/bold.mvec", 24, Color(251, 242, 220),
                   outline_color = Color(40, 30, 20), outline_size = 2}

MakeDialog{
    dfWindow{
        name = "entername", x = kCenter, y = kCenter, w = 400, h = 300,
        Bitmap{name = "backdrop", x = 0, y = 0, image = "images/panel.png"},
        dfText{name = "title", w = 360, h = 30, box_flags = 1, label = "entername_title", font = titleFont,
               flags = kHAlignCenter},
        Bitmap{
            name = "namefield", x = 40, y = 50, image = "images/textfield.png",
            TextEdit{name = "player", x = 8, y = 4, w = 224, h = 24, length = 16, utf8 = true,
                     clearinitial = true, enablewindow = "ok", label = "entername_placeholder",
                     font = {"fonts/default.mvec", 18, Color(20, 28, 48)}},
        },
        RolloverWindow{name = "fieldhint", x = 40, y = 50, w = 240, h = 32, activate = "hint",
                       text = "Up to sixteen letters"},
        Text{name = "hint", x = 40, y = 86, w = 320, h = 24, font = bodyFont},
        TScrolledWindow{
            name = "rules", x = 40, y = 116, w = 320, h = 100, snap = 4,
            railtop = "images/slider_railtop.png", railmid = "images/slider_railmid.png",
            railbot = "images/slider_railbot.png", sliderimage = "images/slider_thumb.png",
            dfTextX{name = "rulestext", x = 0, y = 0, w = 296, h = 100, label = "entername_rules", font = bodyFont},
        },
        tDFButton{
            name = "ok", x = 140, y = 236, close = true, cursor = "cursor_use",
            command = function() gEnteredName = GetLabel("player") end,
            graphics = {"images/button_normal.png", "images/button_pressed.png", "images/button_hover.png"},
            mask = "images/button_mask.png", sound = "audio/sfx/click.ogg",
            Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = "entername_ok", font = bodyFont,
                 flags = kHAlignCenter + kVAlignCenter},
        },
        -- Nothing typed yet: no OK.
        function() EnableWindow("ok", false); EnableWindow("hint", false); SetFocus("player") end,
    },
}
