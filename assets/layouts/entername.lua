-- Asks for a player's name, in the game's own window classes: the field's placeholder goes
-- at the first click or key, OK shows only while a name is typed, a hint appears while the
-- mouse is over the field, and the rules scroll in their own window. OK (or Return) leaves
-- the name in gEnteredName; Cancel (or Escape) leaves it nil. What the caller sets first:
-- gNameTitle and gNameRules, the string keys of the title and the words under the field;
-- gNameRulesScroll, true when those words are longer than their window (the scroll bar shows
-- only then); gNameGiven, a name the field starts with (then there is no placeholder);
-- gNameRefusal, the string key of why the last name was refused. A full field says so.

local pieces = ReadFile("layouts/pieces.lua")
local bodyFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}
local titleFont = {"fonts/bold.mvec", 24, Color(251, 242, 220),
                   outline_color = Color(40, 30, 20), outline_size = 2}
local given = gNameGiven
local refusal = gNameRefusal and GetString(gNameRefusal)
local kMaxLetters = 16  -- the field's length

-- Letters, not bytes: a UTF-8 letter's later bytes are 128 to 191.
local function Letters(text)
    local _, count = string.gsub(text, "[^\128-\191]", "")
    return count
end

-- The line under the rules: that the field is full, else why the last name was refused.
local function SayWhy(text)
    local full = Letters(text) >= kMaxLetters
    local why = refusal
    if full then
        why = GetString("entername_full")
    end
    EnableWindow("refused", why ~= nil)
    if why then
        SetLabel("refused", why)
    end
end

-- Cancel stands in the middle while it is alone, beside OK once a name is typed. Asked again
-- whenever the field changes.
function PlaceNameButtons()
    local text = GetLabel("player")
    local typed = text ~= ""
    EnableWindow("ok", typed)
    if typed then
        SetPosition("cancel", 55, 262)
    else
        SetPosition("cancel", 135, 262)
    end
    SayWhy(text)
end

MakeDialog{
    dfWindow{
        name = "entername", x = kCenter, y = kCenter, w = 400, h = 320,
        Bitmap{name = "backdrop", x = 0, y = 0, image = "images/namedialog.png"},
        dfText{name = "title", y = 14, w = 360, h = 30, box_flags = 1, label = gNameTitle or "entername_title",
               font = titleFont, flags = kHAlignCenter},
        -- Behind the field: the field takes the clicks and lets the moves through to it.
        RolloverWindow{name = "fieldhint", x = 80, y = 54, w = 240, h = 32, activate = "hint",
                       text = GetString("entername_hint")},
        Bitmap{
            name = "namefield", x = 80, y = 54, image = "images/textfield.png",
            TextEdit{name = "player", x = 8, y = 4, w = 224, h = 24, length = 16, utf8 = true,
                     clearinitial = given == nil, enablewindow = "ok",
                     label = given or GetString("entername_placeholder"),
                     font = {"fonts/default.mvec", 18, Color(20, 28, 48)}},
        },
        Text{name = "hint", x = 40, y = 90, w = 320, h = 24, font = bodyFont, flags = kHAlignCenter},
        -- Six whole lines of 18 pixels: the demo's rules show whole, with no scroll bar.
        TScrolledWindow{
            name = "rules", x = 40, y = 118, w = 320, h = 108, snap = 4,
            railtop = "images/slider_railtop.png", railmid = "images/slider_railmid.png",
            railbot = "images/slider_railbot.png", sliderimage = "images/slider_thumb.png",
            dfTextX{name = "rulestext", x = 0, y = 0, w = 292, h = 108, label = gNameRules or "entername_rules",
                    font = bodyFont},
        },
        Text{name = "refused", x = 20, y = 230, w = 360, h = 26,
             font = {"fonts/default.mvec", 18, Color(255, 190, 120)}, flags = kHAlignCenter},
        pieces.SmallButton("cancel", "entername_cancel", 55, 262, nil, true, "escape", tDFButton),
        pieces.SmallButton("ok", "entername_ok", 215, 262, function() gEnteredName = GetLabel("player") end, true,
                           "enter", tDFButton),
        -- No name yet: no OK. Why the last name was refused, if it was. The field has the keys.
        function()
            EnableWindow("hint", false)
            EnableWindow("slider", gNameRulesScroll == true)
            if given == nil then
                EnableWindow("ok", false); SetPosition("cancel", 135, 262)
                SayWhy("")
            else
                PlaceNameButtons()
            end
            SetFocus("player")
        end,
    },
}
