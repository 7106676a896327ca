-- The credits: the roll in two columns with headers, looping until the player clicks Back.

MakeDialog{
    dfWindow{
        name = "credits", x = 0, y = 0, w = 800, h = 600,
        Bitmap{name = "backdrop", x = 0, y = 0, image = "images/background.png"},
        Bitmap{name = "glass", x = 30, y = 30, image = "images/credits_panel.png"},
        TCredits{name = "roll", x = 0, y = 40, w = 800, h = 500, file = "credits/credits.txt",
                 time = 40000, intropause = 1500, font = "fonts/default.mvec", fontsize = 22,
                 columngap = 40, columnwidth = 340, fontcolor = Color(232, 236, 250),
                 headercolor = Color(255, 210, 120)},
        tDFButton{
            name = "back", x = kCenter, y = 550, close = true, cancel = true, default = true,
            graphics = {"images/button_normal.png", "images/button_pressed.png", "images/button_hover.png"},
            sound = "audio/sfx/click.ogg",
            Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = "credits_back",
                 font = {"fonts/bold.mvec", 18, Color(255, 255, 255)}, flags = kHAlignCenter + kVAlignCenter},
        },
    },
}
