-- What the menu pages share: their fonts, the page backdrop with its title, and the small page
-- button. A page takes them with  local pieces = ReadFile("layouts/pieces.lua").

local pieces = {}

pieces.titleFont = {"fonts/bold.mvec", 28, Color(251, 242, 220)}
pieces.bodyFont = {"fonts/default.mvec", 20, Color(232, 236, 250)}
pieces.labelFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}

-- The 640 x 520 backdrop and the title along its top.
function pieces.Page(title)
    return Group{
        Bitmap{name = "page", x = 0, y = 0, image = "images/page.png"},
        Text{name = "title", x = 0, y = 20, w = 640, h = 40, label = title, font = pieces.titleFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

-- A 130 x 40 button labelled by a string key. `key` "enter" makes it the button Return
-- presses, "escape" the one Escape presses, "both" the one both press (a page's only way
-- out); `kind` is its window class (Button by default, or tDFButton).
function pieces.SmallButton(name, label, x, y, command, closes, key, kind)
    return (kind or Button){
        name = name, x = x, y = y, w = 130, h = 40, close = closes, command = command,
        default = key == "enter" or key == "both", cancel = key == "escape" or key == "both",
        graphics = {"images/button_small_normal.png", "images/button_small_pressed.png",
                    "images/button_small_hover.png"},
        mask = "images/button_small_mask.png", sound = "audio/sfx/click.ogg",
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = label, font = pieces.labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

-- A button of the small question dialogs (quit, delete a player), from dialog.zvp. The
-- default one answers both Return and Escape: it is the answer that changes nothing.
function pieces.DialogButton(name, x, isDefault)
    return Button{
        name = name, x = x, y = 150,
        graphics = {"images/dialog/button_normal.png", "images/dialog/button_pressed.png",
                    "images/dialog/button_hover.png"},
        sound = "audio/sfx/click.ogg", rolloversound = "audio/sfx/rollover.ogg",
        close = true, default = isDefault, cancel = isDefault,
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = name, font = pieces.labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

-- A small question dialog on the quit dialog's frame: a title, a question and two answers,
-- `yes` and `no`; `no` is the default. DoModal hands back the name of the answer.
function pieces.Question(name, title, question, yes, no)
    return Bitmap{
        name = name, x = kCenter, y = kCenter, image = "images/dialog/frame.png",
        Text{name = "title", x = 20, y = 20, w = 360, h = 30, label = title,
             font = {"fonts/bold.mvec", 24, Color(224, 200, 144)}, flags = kHAlignCenter},
        Text{name = "question", x = 20, y = 64, w = 360, h = 70, label = question,
             font = {"fonts/default.mvec", 20, Color(255, 246, 224)}, flags = kHAlignCenter + kVAlignCenter},
        pieces.DialogButton(yes, 40, false),
        pieces.DialogButton(no, 220, true),
    }
end

-- A radio button of a 200 x 48 choice, labelled later.
function pieces.ChoiceButton(name, x, y, command)
    return Button{
        name = name, x = x, y = y, w = 200, h = 48, type = 2, command = command,
        graphics = {"images/button_normal.png", "images/button_selected.png", "images/button_hover.png",
                    "images/button_selected.png"},
        mask = "images/button_mask.png", sound = "audio/sfx/click.ogg",
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, font = pieces.labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

return pieces
