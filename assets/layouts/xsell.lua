-- The other games: the entries of "xsell/xsell.xml" (TXSellWindow fills them when SetupXSell
-- runs), each with a button that opens its page, and a button for the makers' site. The link
-- buttons and the site button are given by their centres.

local titleFont = {"fonts/bold.mvec", 28, Color(251, 242, 220)}
local bodyFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}
local labelFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}

local function SmallButton(name, label, x, y, command, closes)
    return Button{
        name = name, x = x, y = y, w = 130, h = 40, close = closes, command = command,
        graphics = {"images/button_small_normal.png", "images/button_small_pressed.png",
                    "images/button_small_hover.png"},
        mask = "images/button_small_mask.png", sound = "audio/sfx/click.ogg",
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = label, font = labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

local function Entry(n)
    local y = 100 + 52 * (n - 1)
    return Group{
        Text{name = "descrip" .. n, x = 30, y = y, w = 430, h = 48, font = bodyFont},
        SmallButton("xsellbutton" .. n, "xsell_get", 545, y + 24, function() LaunchGameLink(n) end),
    }
end

MakeDialog{
    XSellWindow{
        name = "xsell", x = kCenter, y = kCenter, w = 640, h = 520,
        Bitmap{name = "page", x = 0, y = 0, image = "images/page.png"},
        Text{name = "centertext1", x = 0, y = 16, w = 640, h = 40, font = titleFont,
             flags = kHAlignCenter + kVAlignCenter},
        Text{name = "centertext2", x = 0, y = 56, w = 640, h = 28, font = bodyFont,
             flags = kHAlignCenter + kVAlignCenter},
        Entry(1), Entry(2), Entry(3), Entry(4), Entry(5), Entry(6), Entry(7),
        SmallButton("gamesite", "xsell_site", 225, 490, function() LaunchGameLink(0) end),
        SmallButton("xsell_back", "xsell_back", 480, 470, nil, true),
        function() SetupXSell() end,
    },
}
