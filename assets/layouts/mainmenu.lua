-- The main menu: backdrop, title, the player's name, two volume sliders and the menu buttons.
-- Each button runs its command; "Quit" also closes the menu and hands its name back to
-- scripts/mainloop.lua.

local bodyFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}
local titleFont = {"fonts/bold.mvec", 40, Color(251, 242, 220)}
local labelFont = {"fonts/bold.mvec", 20, Color(255, 255, 255)}

local function MenuCommand(name)
    return function()
        LOGIT("Menu command: " .. name .. " (player " .. GetLabel("player") .. ")")
    end
end

local function MenuButton(name, y, closes)
    return Button{
        name = name, x = kCenter, y = y,
        graphics = {"images/button_normal.png", "images/button_pressed.png", "images/button_hover.png"},
        mask = "images/button_mask.png",
        sound = "audio/sfx/click.ogg", rolloversound = "audio/sfx/rollover.ogg",
        close = closes, command = MenuCommand(name),
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = name, font = labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

local function VolumeSlider(name, y, value)
    return Slider{
        name = name, x = kCenter, y = y, w = 220, h = 24, hslider = 1, value = value,
        railtop = "images/slider_railtop.png", railmid = "images/slider_railmid.png",
        railbot = "images/slider_railbot.png",
        sliderimage = "images/slider_thumb.png", sliderrollimage = "images/slider_thumb_hover.png",
    }
end

MakeDialog{
    Window{
        name = "mainmenu", x = 0, y = 0, w = kMax, h = kMax,
        Bitmap{name = "background", x = 0, y = 0, image = "images/background.png"},
        Text{name = "title", x = kCenter, y = 40, w = 600, h = 56, label = "menu_title", font = titleFont,
             flags = kHAlignCenter + kVAlignCenter},
        Bitmap{
            name = "panel", x = 60, y = 120, image = "images/panel.png",
            Text{name = "playerlabel", x = 20, y = 16, w = 280, h = 24, label = "menu_player", font = bodyFont},
            Bitmap{
                name = "playerfield", x = 40, y = 44, image = "images/textfield.png",
                TextEdit{name = "player", x = 8, y = 4, w = 224, h = 24, length = 16, utf8 = true,
                         font = {"fonts/default.mvec", 18, Color(20, 28, 48)}},
            },
            Text{name = "musiclabel", x = 20, y = 100, w = 280, h = 24, label = "menu_music", font = bodyFont},
            VolumeSlider("music", 128, 0.8),
            Text{name = "soundlabel", x = 20, y = 170, w = 280, h = 24, label = "menu_sound", font = bodyFont},
            VolumeSlider("sound", 198, 0.8),
        },
        Window{
            name = "buttons", x = 440, y = 150, w = 240, h = 340,
            MenuButton("menu_play", 0),
            MenuButton("menu_scores", 64),
            MenuButton("menu_credits", 128),
            MenuButton("menu_quit", 192, true),
        },
        -- Typing goes to the player's name from the start.
        function() SetFocus("player") end,
    },
}
