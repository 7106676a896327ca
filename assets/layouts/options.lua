-- The options: effect, music and voice volumes (the voice slider sets background voices too),
-- walking and talking speed, full screen and sound off. The window (TOptions) fills the
-- controls from the current player's settings and sets the volumes while the sliders move;
-- a click on a rail steps its slider a tenth towards the click; "Done" stores every slider for
-- the player.

local pieces = ReadFile("layouts/pieces.lua")

local function Row(label, slider, y)
    return Group{
        Text{name = slider .. "label", x = 60, y = y, w = 220, h = 28, label = label, font = pieces.bodyFont,
             flags = kVAlignCenter},
        Slider{
            name = slider, x = 300, y = y + 2, w = 260, h = 24, hslider = 1,
            railtop = "images/slider_railtop.png", railmid = "images/slider_railmid.png",
            railbot = "images/slider_railbot.png",
            sliderimage = "images/slider_thumb.png", sliderrollimage = "images/slider_thumb_hover.png",
        },
    }
end

-- Small words under a slider: where its ends lead, or what it covers.
local noteFont = {"fonts/default.mvec", 14, Color(190, 198, 222)}
local function Note(name, label, x, y, w, flags)
    return Text{name = name, x = x, y = y, w = w, h = 18, label = label, font = noteFont, flags = flags}
end

-- A speed starts at the normal pace; the slider only makes it faster.
local function SpeedEnds(slider, y)
    return Group{
        Note(slider .. "slow", "options_speed_normal", 300, y + 27, 120, 0),
        Note(slider .. "fast", "options_speed_fast", 440, y + 27, 120, kHAlignRight),
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
        Text{name = name .. "label", x = x + 40, y = 376, w = 180, h = 28, label = label, font = pieces.bodyFont,
             flags = kVAlignCenter},
    }
end

MakeDialog{
    TOptions{
        name = "options", x = kCenter, y = kCenter, w = 640, h = 520, pagestep = 0.1,
        pieces.Page("options_title"),
        Row("options_sfx", "sfxlevelslider", 90),
        Row("options_music", "musiclevelslider", 145),
        Row("options_voice", "voxlevelslider", 200),
        Note("voxlevelnote", "options_voice_note", 300, 227, 260, kHAlignCenter),
        Row("options_walk", "walkspeedslider", 255), SpeedEnds("walkspeedslider", 255),
        Row("options_talk", "talkspeedslider", 310), SpeedEnds("talkspeedslider", 310),
        -- A line with a voice lasts as long as it is spoken; the speed times only the others.
        Note("talkspeednote", "options_talk_note", 60, 337, 220, 0),
        -- The command runs before the box turns, so the box still shows the window as it was.
        -- A refused switch sets it the other way, for its turn to put it back; a refused full
        -- screen says why.
        Box("fullscreen", "options_fullscreen", 60, function()
            if not ToggleFullScreen() then
                local wasFull = GetButtonToggleState("fullscreen")
                SetButtonToggleState("fullscreen", not wasFull)
                if not wasFull then
                    DisplayDialog{"scripts/ok.lua", title = "options_fullscreen_title",
                                  body = "options_fullscreen_refused"}
                end
            end
        end),
        Box("mutebox", "options_mute", 340, function() ToggleSoundMute() end),
        pieces.SmallButton("options_done", "options_done", kCenter, 450, function() SaveVolumes() end, true, "both"),
    },
}
