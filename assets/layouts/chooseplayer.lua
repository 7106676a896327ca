-- The player choice: up to ten profiles as radio buttons, and New, Rename, Delete and OK. The
-- window (TChoosePlayer) hands the profiles to UpdatePlayerChoices; the settings' functions
-- create, choose, rename and delete them. DoModal hands back "player_ok" when the player
-- confirmed a profile.

local pieces = ReadFile("layouts/pieces.lua")

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

-- Asks for a name; a new one (not left empty, not in use) goes to `use`.
local function WithNewName(use, done)
    gEnteredName = nil
    LOGIT("Asking for a name")
    DoModal("layouts/entername.lua")
    local name = gEnteredName
    gEnteredName = nil
    if name and name ~= "" and not IsNameInUse(name) then
        use(name)
        LOGIT(done .. name)
    end
    SetPlayerChoices()
end

local function DeletePlayer()
    DeleteUser(GetCurrentSelectedUser())
    SetPlayerChoices()
end

-- Two columns of five. The command runs before the button turns on: it names its own profile.
local function ProfileButton(i)
    local column = 0
    if i >= 5 then
        column = 1
    end
    return pieces.ChoiceButton("button" .. i, 100 + 240 * column, 80 + 56 * (i - 5 * column),
                               function() SetCurrentUser(i) end)
end

MakeDialog{
    TChoosePlayer{
        name = "chooseplayer", x = kCenter, y = kCenter, w = 640, h = 520,
        pieces.Page("chooseplayer_title"),
        Window{
            name = "profiles", x = 0, y = 0, w = 640, h = 440,
            BeginGroup(), ProfileButton(0), ProfileButton(1), ProfileButton(2), ProfileButton(3), ProfileButton(4),
            ProfileButton(5), ProfileButton(6), ProfileButton(7), ProfileButton(8), ProfileButton(9),
        },
        pieces.SmallButton("player_new", "player_new", 20, 450,
                           function() WithNewName(CreateNewUser, "Player created: ") end),
        pieces.SmallButton("player_rename", "player_rename", 175, 450,
                           function() WithNewName(ChangeCurrentUserName, "Player renamed: ") end),
        pieces.SmallButton("player_delete", "player_delete", 335, 450, DeletePlayer),
        pieces.SmallButton("player_ok", "player_ok", 490, 450, nil, true),
    },
}
