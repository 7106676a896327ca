-- The player choice: up to ten profiles as radio buttons, and New, Rename, Delete and OK. The
-- window (TChoosePlayer) hands the profiles to UpdatePlayerChoices; the settings' functions
-- create, choose, rename and delete them. DoModal hands back "player_ok" when the player
-- confirmed a profile.

local titleFont = {"fonts/bold.mvec", 28, Color(251, 242, 220)}
local labelFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}

function UpdatePlayerChoices(current, count, names)
    for i = 0, 9 do
        local button = "button" .. i
        local name = names[i + 1]
        if name then
            SetLabel(button, name)
        end
        EnableWindow(button, name ~= nil)
        SetButtonToggleState(button, i == current)
    end
    EnableWindow("player_new", count < 10)
    EnableWindow("player_rename", count > 0)
    EnableWindow("player_delete", count > 0)
    EnableWindow("player_ok", count > 0)
end

-- The name typed into the name dialog, or nil when it was left.
local function AskForName()
    gEnteredName = nil
    LOGIT("Asking for a name")
    DoModal("layouts/entername.lua")
    local name = gEnteredName
    gEnteredName = nil
    if name == nil or name == "" then
        return nil
    end
    return name
end

local function NewPlayer()
    local name = AskForName()
    if name and not IsNameInUse(name) then
        CreateNewUser(name)
        LOGIT("Player created: " .. name)
    end
    SetPlayerChoices()
end

local function RenamePlayer()
    local name = AskForName()
    if name and not IsNameInUse(name) then
        ChangeCurrentUserName(name)
        LOGIT("Player renamed: " .. name)
    end
    SetPlayerChoices()
end

local function DeletePlayer()
    DeleteUser(GetCurrentSelectedUser())
    SetPlayerChoices()
end

-- Two columns of five.
local function ProfileButton(i)
    local column = 0
    if i >= 5 then
        column = 1
    end
    return Button{
        name = "button" .. i, x = 100 + 240 * column, y = 80 + 56 * (i - 5 * column), w = 200, h = 48, type = 2,
        graphics = {"images/button_normal.png", "images/button_selected.png", "images/button_hover.png",
                    "images/button_selected.png"},
        mask = "images/button_mask.png", sound = "audio/sfx/click.ogg",
        -- The command runs before the button turns on: it names its own profile.
        command = function() SetCurrentUser(i) end,
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, font = labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

local function PageButton(name, x, command, closes)
    return Button{
        name = name, x = x, y = 450, w = 130, h = 40, close = closes, command = command,
        graphics = {"images/button_small_normal.png", "images/button_small_pressed.png",
                    "images/button_small_hover.png"},
        mask = "images/button_small_mask.png", sound = "audio/sfx/click.ogg",
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, label = name, font = labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

MakeDialog{
    TChoosePlayer{
        name = "chooseplayer", x = kCenter, y = kCenter, w = 640, h = 520,
        Bitmap{name = "page", x = 0, y = 0, image = "images/page.png"},
        Text{name = "title", x = 0, y = 20, w = 640, h = 40, label = "chooseplayer_title", font = titleFont,
             flags = kHAlignCenter + kVAlignCenter},
        Window{
            name = "profiles", x = 0, y = 0, w = 640, h = 440,
            BeginGroup(), ProfileButton(0), ProfileButton(1), ProfileButton(2), ProfileButton(3), ProfileButton(4),
            ProfileButton(5), ProfileButton(6), ProfileButton(7), ProfileButton(8), ProfileButton(9),
        },
        PageButton("player_new", 20, NewPlayer),
        PageButton("player_rename", 175, RenamePlayer),
        PageButton("player_delete", 335, DeletePlayer),
        PageButton("player_ok", 490, nil, true),
    },
}
