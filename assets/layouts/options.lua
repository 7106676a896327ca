-- The options: effect, music and voice volumes, walking and talking speed, full screen and
-- sound off. The window (TOptions) fills the controls from the current player's settings and
-- sets the volumes while the sliders move; "Done" stores every slider for the player.

local titleFont = {"fonts/bold.mvec", 28, Color(251, 242, 220)}
local bodyFont = {"fonts/default.mvec", 20, Color(232, 236, 250)}
local labelFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}

local function Row(label, slider, y)
    return Group{
        Text{name = slider .. "label", x = 60, y = y, w = 220, h = 28, label = label, font = bodyFont,
             flags = kVAlignCenter},
        Slider{
            name = slider, x = 300, y = y + 2, w = 260, h = 24, hslider = 1,
            railtop = "images/slider_railtop.png", railmid = "images/slider_railmid.png",
            railbot = "images/slider_railbot.png",
            sliderimage = "images/slider_thumb.png", sliderrollimage = "images/slider_thumb_hover.png",
        },
    }
end

local function Box(name, label, x, command)
    return Group{
        Button{
            name = name, x = x, y = 376, w = 28, h = 28, type = 1, command = command,
            graphics = {"images/checkbox_off.png", "images/checkbox_on.png", "images/checkbox_off.png",
                        "images/checkbox_on.png"},
            sound = "audio/sfx/click.ogg",
        },
        Text{name = name .. "label", x = x + 40, y = 376, w = 180, h = 28, label = label, font = bodyFont,
             flags = kVAlignCenter},
    }
end

MakeDialog{
    TOptions{
        name = "options", x = kCenter, y = kCenter, w = 640, h = 520,
        Bitmap{name = "page", x = 0, y = 0, image = "images/page.png"},
        Text{name = "title", x = 0, y = 20, w = 640, h = 40, label = "options_title", font = titleFont,
             flags = kHAlignCenter + kVAlignCenter},
        Row("options_sfx", "sfxlevelslider", 90),
        Row("options_music", "musiclevelslider", 145),
        Row("options_voice", "voxlevelslider", 200),
        Row("options_walk", "walkspeedslider", 255),
        Row("options_talk", "talkspeedslider", 310),
        Box("fullscreen", "options_fullscreen", 60, function() ToggleFullScreen() end),
        Box("mutebox", "options_mute", 340, function() ToggleSoundMute() end),
        Button{
            name = "options_done", x = kCenter, y = 450, w = 130, h = 40, close = true,
            command = function() SaveVolumes() end,
            graphics = {"images/button_small_normal.png", "images/button_small_pressed.png",
                        "images/button_small_hover.png"},
            mask = "images/button_small_mask.png", sound = "audio/sfx/click.ogg",
            Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = "options_done", font = labelFont,
                 flags = kHAlignCenter + kVAlignCenter},
        },
    },
}
