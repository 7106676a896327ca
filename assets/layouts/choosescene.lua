-- The scene choice (for testers): one radio button per scene of the scene list, made when the
-- window (TChooseScene) hands the titles to UpdateSceneList. "Jump there" enters the chosen
-- scene with the game as it is; "Start there" enters it with a new game.

local titleFont = {"fonts/bold.mvec", 28, Color(251, 242, 220)}
local labelFont = {"fonts/bold.mvec", 18, Color(255, 255, 255)}

-- Columns of six.
local function SceneButton(i)
    local column = 0
    while i - 6 * column >= 6 do
        column = column + 1
    end
    return Button{
        name = "button" .. i, x = 100 + 220 * column, y = 80 + 56 * (i - 6 * column), w = 200, h = 48,
        type = 2,
        graphics = {"images/button_normal.png", "images/button_selected.png", "images/button_hover.png",
                    "images/button_selected.png"},
        mask = "images/button_mask.png", sound = "audio/sfx/click.ogg",
        Text{name = "label", x = 0, y = 0, w = kMax, h = kMax, font = labelFont,
             flags = kHAlignCenter + kVAlignCenter},
    }
end

function UpdateSceneList(current, count, titles)
    SetBeginGroup()
    for i = 0, count - 1 do
        SceneButton(i)()
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
        CloseWindow()
    end
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
    TChooseScene{
        name = "choosescene", x = kCenter, y = kCenter, w = 640, h = 520,
        Bitmap{name = "page", x = 0, y = 0, image = "images/page.png"},
        Text{name = "title", x = 0, y = 20, w = 640, h = 40, label = "choosescene_title", font = titleFont,
             flags = kHAlignCenter + kVAlignCenter},
        PageButton("scene_jump", 60, function() Enter(JumpToScene) end),
        PageButton("scene_start", 255, function() Enter(StartAtScene) end),
        PageButton("scene_back", 450, nil, true),
    },
}
