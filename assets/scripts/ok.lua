-- The game's error report: a script that failed says what went wrong and where
-- (gDialogTable.body and .title, each marked with a leading "#" so that it is shown as it
-- stands and never looked up). "OK" closes it and the game goes on.

local body = gDialogTable and gDialogTable.body or ""
local title = gDialogTable and gDialogTable.title or ""
LOGIT("Error reported to the player: " .. (string.gsub(title, "^#", "")))

MakeDialog{
    Bitmap{
        -- Placed on the 800 x 600 screen: the dialog window is still sizeless while this runs.
        name = "okdialog", x = 140, y = 150, image = "interface/popup_panel.png",
        Text{name = "title", x = 20, y = 16, w = 480, h = 32, label = title,
             font = {"fonts/bold.mvec", 22, Color(224, 200, 144)}, flags = kHAlignCenter + kVAlignCenter},
        Text{name = "body", x = 24, y = 60, w = 472, h = 170, label = body,
             font = {"fonts/default.mvec", 15, Color(255, 246, 224)}},
        Button{
            name = "ok", x = kCenter, y = 244, w = 130, h = 40, default = true, cancel = true, close = true,
            graphics = {"images/button_small_normal.png", "images/button_small_pressed.png",
                        "images/button_small_hover.png"},
            mask = "images/button_small_mask.png", sound = "audio/sfx/click.ogg",
            Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = "popup_ok",
                 font = {"fonts/bold.mvec", 18, Color(255, 255, 255)}, flags = kHAlignCenter + kVAlignCenter},
        },
    },
}
