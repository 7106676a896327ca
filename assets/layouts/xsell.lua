-- The other games: the entries of "xsell/xsell.xml" (TXSellWindow fills them when SetupXSell
-- runs), each with a button that opens its page, and a button for the makers' site. The link
-- buttons and the site button are given by their centres.

local pieces = ReadFile("layouts/pieces.lua")
local textFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}
-- Each game sits on a light card: its link keeps the blue that links have.
local cardFont = {"fonts/default.mvec", 17, Color(52, 38, 26)}
local noteFont = {"fonts/default.mvec", 15, Color(255, 190, 120)}

-- Opens link n (0 the site) and says, in place of the line under the title, where it leads,
-- and so whether a browser started.
local function Launch(n)
    local started, address = LaunchGameLink(n)
    if address == nil or address == "" then
        return
    end
    local say = started and "xsell_opening" or "xsell_nobrowser"
    SetLabel("linknote", GetString(say, address))
    EnableWindow("centertext2", false)
    EnableWindow("linknote", true)
end

local function Entry(n)
    local y = 100 + 56 * (n - 1)
    return Group{
        Bitmap{name = "card" .. n, x = 20, y = y - 2, image = "images/xsell_card.png"},
        Text{name = "descrip" .. n, x = 30, y = y, w = 430, h = 48, font = cardFont},
        pieces.SmallButton("xsellbutton" .. n, "xsell_get", 545, y + 24, function() Launch(n) end),
    }
end

MakeDialog{
    XSellWindow{
        name = "xsell", x = kCenter, y = kCenter, w = 640, h = 520,
        Bitmap{name = "page", x = 0, y = 0, image = "images/page.png"},
        Text{name = "centertext1", x = 0, y = 16, w = 640, h = 40, font = pieces.titleFont,
             flags = kHAlignCenter + kVAlignCenter},
        Text{name = "centertext2", x = 0, y = 56, w = 640, h = 28, font = textFont,
             flags = kHAlignCenter + kVAlignCenter},
        -- Two lines, kept off the page's sides like the title: the address may be long.
        Text{name = "linknote", x = 100, y = 54, w = 440, h = 42, font = noteFont,
             flags = kHAlignCenter + kVAlignCenter},
        Entry(1), Entry(2), Entry(3), Entry(4), Entry(5), Entry(6), Entry(7),
        pieces.SmallButton("gamesite", "xsell_site", 225, 490, function() Launch(0) end),
        pieces.SmallButton("xsell_back", "xsell_back", 480, 470, nil, true, "both"),
        function()
            SetupXSell()
            EnableWindow("linknote", false)
            -- A card without a game would stand empty.
            for n = 1, 7 do
                if GetLabel("descrip" .. n) == "" then
                    EnableWindow("card" .. n, false)
                end
            end
        end,
    },
}
