-- The scene choice (for testers): one radio button per scene of the scene list, made when the
-- window (TChooseScene) hands the titles to UpdateSceneList. "Jump there" enters the chosen
-- scene with the game as it is; "Start there" enters it with a new game. Either hands back
-- "scene_entered", and the main menu starts play.

local pieces = ReadFile("layouts/pieces.lua")

function UpdateSceneList(current, count, titles)
    SetBeginGroup()
    for i = 0, count - 1 do
        -- Columns of six.
        local column = 0
        while i - 6 * column >= 6 do
            column = column + 1
        end
        pieces.ChoiceButton("button" .. i, 100 + 220 * column, 80 + 56 * (i - 6 * column))()
        -- Set as text, never looked up: a title is shown as it stands.
        SetLabel("button" .. i, titles[i + 1])
    end
    SetButtonToggleState("button" .. current, true)
end

local function Enter(how)
    local n = GetCurrentSelectedScene()
    local entered = how(n)
    LOGIT("Scene " .. n .. " entered: " .. tostring(entered))
    if entered then
        CloseWindow("scene_entered")
    end
end

MakeDialog{
    TChooseScene{
        name = "choosescene", x = kCenter, y = kCenter, w = 640, h = 520,
        pieces.Page("choosescene_title"),
        pieces.SmallButton("scene_jump", "scene_jump", 60, 450, function() Enter(JumpToScene) end, nil, "enter"),
        pieces.SmallButton("scene_start", "scene_start", 255, 450, function() Enter(StartAtScene) end),
        pieces.SmallButton("scene_back", "scene_back", 450, 450, nil, true, "escape"),
    },
}
