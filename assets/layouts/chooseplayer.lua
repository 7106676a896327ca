-- The player choice: a page of up to ten profiles as radio buttons, the other pages a turn
-- away, and New, Rename, Delete, OK and Back. The window (TChoosePlayer) hands a page of
-- profiles to UpdatePlayerChoices and labels their buttons; the settings' functions create,
-- choose, rename and delete them. DoModal hands back "player_ok" when the player confirmed a
-- profile (OK or Return), "player_back" when they went back (Back or Escape).

local pieces = ReadFile("layouts/pieces.lua")
local first = 0  -- the profile of button0

function UpdatePlayerChoices(current, count, names, shownFrom, room)
    first = shownFrom
    for i = 0, 9 do
        local button = "button" .. i
        EnableWindow(button, names[i + 1] ~= nil)
        SetButtonToggleState(button, first + i == current)
    end
    -- Renaming and deleting act on the chosen profile, which this page may not show.
    local chosenHere = current >= first and current < first + table.getn(names)
    EnableWindow("player_new", room)
    EnableWindow("player_rename", chosenHere)
    EnableWindow("player_delete", chosenHere)
    EnableWindow("player_ok", count > 0)
    local pages = 0
    while pages * 10 < count do
        pages = pages + 1
    end
    for _, name in ipairs({"player_prev", "player_next", "player_page"}) do
        EnableWindow(name, pages > 1)
    end
    SetLabel("player_page", (first / 10 + 1) .. " / " .. pages)
end

-- The name dialog, until it closes: its buttons follow what is typed.
local function AskName()
    local file = "layouts/entername.lua"
    local id = PushModal(file)
    ReadLayout(file)
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

-- Asks for a name until `use` (CreateNewUser or ChangeCurrentUserName) takes one, or the
-- player cancels. `use` hands back nothing when it took the name, else the string key of why
-- not (empty when no name would do). `how` names the dialog's title and words (gNameTitle,
-- gNameRules), whether the words are long enough to scroll (gNameRulesScroll) and the name it
-- starts with (gNameGiven). A refused name is asked for again, saying why, with the name as it
-- was typed.
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
        refusal = name and use(name)
        if name and not refusal then
            LOGIT(done .. name)
        elseif refusal then
            LOGIT("Name refused: " .. refusal)
            given = name
        end
    until not refusal or refusal == ""
    SetPlayerChoices()
end

local function NewPlayer()
    WithNewName(CreateNewUser, "Player created: ", {title = "entername_title", rules = "entername_rules"})
end

-- Starts from the name the player has now, which they may keep.
local function RenamePlayer()
    WithNewName(ChangeCurrentUserName, "Player renamed: ",
                {title = "entername_rename_title", rules = "entername_rename_rules",
                 given = GetSelectedPlayerName()})
end

-- Asks first: a deleted player's saved game, awards and remembered log-in are gone.
local function DeletePlayer()
    LOGIT("Asking before deleting a player")
    local row = GetCurrentSelectedUser() - first
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

local function TurnPage(step)
    ShowPlayerPage(step)
    LOGIT("Players shown from " .. first)
end

-- Two columns of five. The command runs before the button turns on: it names its own profile,
-- which is now one this page shows.
local function ProfileButton(i)
    local column = 0
    if i >= 5 then
        column = 1
    end
    return pieces.ChoiceButton("button" .. i, 100 + 240 * column, 80 + 56 * (i - 5 * column), function()
        SetCurrentUser(first + i)
        EnableWindow("player_rename", true)
        EnableWindow("player_delete", true)
    end)
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
        -- The pages, when there are more than one: from the last, Next goes round to the first.
        pieces.SmallButton("player_prev", "player_prev", 100, 380, function() TurnPage(-1) end),
        Text{name = "player_page", x = 240, y = 380, w = 160, h = 40, font = pieces.labelFont,
             flags = kHAlignCenter + kVAlignCenter},
        pieces.SmallButton("player_next", "player_next", 410, 380, function() TurnPage(1) end),
        pieces.SmallButton("player_new", "player_new", 20, 450, NewPlayer),
        pieces.SmallButton("player_rename", "player_rename", 175, 450, RenamePlayer),
        pieces.SmallButton("player_delete", "player_delete", 335, 450, DeletePlayer),
        pieces.SmallButton("player_ok", "player_ok", 490, 450, nil, true, "enter"),
        pieces.SmallButton("player_back", "player_back", 20, 20, nil, true, "escape"),
    },
}
