-- A scene's popup (scene:DoPopup(picture, title, body)): a panel with the picture and the text
-- slides in over the game, which waits paused; "OK" slides it out. The scene hands the texts
-- over as Lua values in the dialog's table (gDialogTable: popupgfx, title, body); they are
-- shown as they stand, never read as code.

local popup = gDialogTable or {}
local titleFont = {"fonts/bold.mvec", 24, Color(224, 200, 144)}
local bodyFont = {"fonts/default.mvec", 18, Color(255, 246, 224)}
local labelFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}

local function AsText(value)
    if type(value) == "string" then return value end
    return ""
end

local picture = AsText(popup.popupgfx)
local function Picture()
    if picture == "" then return function() end end
    return Bitmap{name = "popupgfx", x = 24, y = 64, image = picture}
end

MakeDialog{
    tTransitionWindow{
        name = "transition", x = 0, y = 0, w = 800, h = 600,
        Bitmap{
            name = "popup", x = 140, y = 150, image = "interface/popup_panel.png",
            Text{name = "title", x = 20, y = 16, w = 480, h = 36, font = titleFont,
                 flags = kHAlignCenter + kVAlignCenter},
            Picture(),
            Text{name = "body", x = 184, y = 64, w = 316, h = 160, font = bodyFont},
            Button{
                name = "popup_ok", x = kCenter, y = 244, w = 130, h = 40, default = true, cancel = true,
                graphics = {"images/button_small_normal.png", "images/button_small_pressed.png",
                            "images/button_small_hover.png"},
                mask = "images/button_small_mask.png", sound = "audio/sfx/click.ogg",
                command = function() PostMessage(CreateNamedMessage(kGeneric, "startclose")) end,
                Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = "popup_ok", font = labelFont,
                     flags = kHAlignCenter + kVAlignCenter},
            },
        },
    },
    function()
        SetLabel("title", AsText(popup.title))
        SetLabel("body", AsText(popup.body))
    end,
}
