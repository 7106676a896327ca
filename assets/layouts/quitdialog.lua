-- Asks whether to leave the game. Its pictures come from dialog.zvp.
-- DoModal hands back the name of the button pressed: "quit_yes" or "quit_no". Return and
-- Escape both keep playing.

local questionFont = {"fonts/default.mvec", 20, Color(255, 246, 224)}
local buttonFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}

local function DialogButton(name, x, isDefault)
    return Button{
        name = name, x = x, y = 150,
        graphics = {"images/dialog/button_normal.png", "images/dialog/button_pressed.png",
                    "images/dialog/button_hover.png"},
        sound = "audio/sfx/click.ogg", rolloversound = "audio/sfx/rollover.ogg",
        close = true, default = isDefault, cancel = isDefault,
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = name, font = buttonFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

MakeDialog{
    Bitmap{
        name = "quitdialog", x = kCenter, y = kCenter, image = "images/dialog/frame.png",
        Text{name = "title", x = 20, y = 20, w = 360, h = 30, label = "quit_title",
             font = {"fonts/bold.mvec", 24, Color(224, 200, 144)}, flags = kHAlignCenter},
        Text{name = "question", x = 20, y = 64, w = 360, h = 70, label = "quit_question", font = questionFont,
             flags = kHAlignCenter + kVAlignCenter},
        DialogButton("quit_yes", 40, false),
        DialogButton("quit_no", 220, true),
    },
}
