-- The player choice: up to ten profiles as radio buttons, and New, Rename, Delete, OK and Back.
-- The window (TChoosePlayer) hands the profiles to UpdatePlayerChoices and labels their
-- buttons; the settings' functions create, choose, rename and delete them. DoModal hands back
-- "player_ok" when the player confirmed a profile (OK or Return), "player_back" when they
-- went back (Back or Escape).

local pieces = ReadFile("layouts/pieces.lua")
local players = {}  -- the names as the page last listed them

function UpdatePlayerChoices(current, count, names)
    players = names
    for i = 0, 9 do
        local button = "button" .. i
        EnableWindow(button, names[i + 1] ~= nil)
        SetButtonToggleState(button, i == current)
    end
    EnableWindow("player_new", count < 10)
    EnableWindow("player_rename", count > 0)
    EnableWindow("player_delete", count > 0)
    EnableWindow("player_ok", count > 0)
end

-- The key of the reason a name is refused, or nil. `own` is the index of the profile being
-- renamed (nil for a new one): its own name, in any case, is no refusal. Names that differ
-- only in case would look like one player in the list.
local function Refusal(name, own)
    local trimmed = string.gsub(name, "^%s*(.-)%s*$", "%1")
    if trimmed == "" then
        return "entername_blank"
    end
    local lower = string.lower(trimmed)
    for i = 1, table.getn(players) do
        if i - 1 ~= own and string.lower(players[i]) == lower then
            return "entername_taken"
        end
    end
    -- Profiles past the tenth are not listed.
    if IsNameInUse(trimmed) and not (own and players[own + 1] == trimmed) then
        return "entername_taken"
    end
    return nil
end

-- The name dialog, until it closes: its buttons follow what is typed.
local function AskName()
    local file = "layouts/entername.lua"
    local id = PushModal(file)
    ReadFile(file)
    DoFitToChildren()
    local closed = false
    repeat
        local message = WaitForMessage()
        if message and message.type == kTextEditChanged then
            PlaceNameButtons()
        elseif message and message.type == kModalClosed and message.name ~= id then
            gClosedWindows[message.name] = true
        end
        closed = message and message.type == kModalClosed and message.name == id or gClosedWindows[id]
    until closed
    gClosedWindows[id] = nil
    gReturnValue = nil
end

-- Asks for a name until one is given that may be used, or the player cancels; it goes to
-- `use`. `how` names the dialog's title and words (gNameTitle, gNameRules), whether the words
-- are long enough to scroll (gNameRulesScroll), the name it starts with (gNameGiven) and the
-- profile being renamed (own). A refused name is asked for again, saying why, with the name
-- as it was typed.
local function WithNewName(use, done, how)
    local refusal = nil
    local given = how.given
    repeat
        gEnteredName = nil
        gNameRefusal = refusal
        gNameTitle, gNameRules, gNameGiven, gNameRulesScroll = how.title, how.rules, given, how.scrolls
        LOGIT("Asking for a name")
        AskName()
        local name = gEnteredName
        gEnteredName = nil
        gNameRefusal, gNameTitle, gNameRules, gNameGiven, gNameRulesScroll = nil, nil, nil, nil, nil
        -- A player keeping the name they have is not refused for it.
        refusal = name and name ~= how.given and Refusal(name, how.own)
        if refusal then
            LOGIT("Name refused: " .. refusal)
            given = name
        elseif name then
            use(name)
            LOGIT(done .. name)
        end
    until not refusal
    SetPlayerChoices()
end

local function NewPlayer()
    WithNewName(CreateNewUser, "Player created: ",
                {title = "entername_title", rules = "entername_rules", scrolls = true})
end

-- Starts from the name the player has now.
local function RenamePlayer()
    WithNewName(ChangeCurrentUserName, "Player renamed: ",
                {title = "entername_rename_title", rules = "entername_rename_rules",
                 given = GetSelectedPlayerName(), own = GetCurrentSelectedUser()})
end

-- Asks first: a deleted player's saved game, awards and remembered log-in are gone.
local function DeletePlayer()
    LOGIT("Asking before deleting a player")
    local row = GetCurrentSelectedUser()
    if row >= 5 then
        row = row - 5
    end
    gDeleteName, gDeleteRow = GetSelectedPlayerName(), row
    local answer = DoModal("layouts/deleteplayer.lua")
    gDeleteName, gDeleteRow = nil, nil
    LOGIT("Delete dialog answered: " .. tostring(answer))
    if answer == "delete_yes" then
        DeleteUser(GetCurrentSelectedUser())
    end
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
        pieces.SmallButton("player_new", "player_new", 20, 450, NewPlayer),
        pieces.SmallButton("player_rename", "player_rename", 175, 450, RenamePlayer),
        pieces.SmallButton("player_delete", "player_delete", 335, 450, DeletePlayer),
        pieces.SmallButton("player_ok", "player_ok", 490, 450, nil, true, "enter"),
        pieces.SmallButton("player_back", "player_back", 20, 20, nil, true, "escape"),
    },
}
