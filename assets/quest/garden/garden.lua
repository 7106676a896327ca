-- The garden (scene 1), twice as wide as the screen: the camera follows Mira past a pond the
-- walk goes round, behind the rose bush and the tree of the front plane. The gardener tends his
-- roses and talks with her (six choices; he lends her his lantern); the key from the cottage
-- opens the gate and the gateway region of the ground with it, the way to the forest.

-- Runs from Mira's script as the scene starts.
local function Arrive(mira, resumed)
    scene:SetRoomScale(380, 580, 0.75, 1)
    -- The camera keeps Mira in the middle of the screen, so that each click ahead takes her half
    -- a screen on: two clicks cross the garden (with the engine's narrow margin, she walked at
    -- the screen's edge and each click took her a few steps).
    scene:SetCameraMargin{ x = SCREEN_WIDTH / 2, y = 140 }
    sfx:SetMusic(music.garden, true)
    if not resumed and game:GetLastScene() == "cottage" then
        -- Out of the cottage door and a few steps onto the lawn, while the scene fades in.
        mira:WalkToXY{ x = 200, y = 500 }
        coroutine.yield(RESUME.ON_WALKTO)
    else
        coroutine.yield(RESUME.ON_FADE)
    end
end

-- The gardener's own business: he tends the roses where he stands, to the west of him (a man
-- always on the move is hard to talk to, and harder to click).
local function Tend(gardener)
    gardener:Face(DIR.W)
end

-- Clicked: he looks up at Mira as she comes over (the talk starts when she arrives).
local function Notice(gardener, mira)
    gardener:FaceActor(mira)
end

local function Choices()
    return TalkChoices("garden_ask_bye", {
        "garden_ask_pip", "garden_ask_roses", "garden_ask_gate", "garden_ask_lantern", "garden_ask_weather",
    })
end

-- His page in the diary: its hint tells of his lantern until he has lent it.
local function RosesEntry()
    if game:Get("lantern_given") == 1 then return diary.roses_lent end
    return diary.roses
end

-- The gardener's answer to each of Mira's choices, by its key.
local ANSWERS = {
    garden_ask_pip = function(gardener) Speak("garden_pip_answer", gardener) end,
    garden_ask_roses = function(gardener)
        Speak("gardener_roses", gardener)
        AddDiary(RosesEntry())
    end,
    garden_ask_gate = function(gardener)
        -- Once she has the key he says whose lock it fits, not where to look for it.
        if game:Get("gate_open") == 1 or BAG_INV:CheckInventory("key") then
            Speak("garden_gate_answer_key", gardener)
        else
            Speak("garden_gate_answer", gardener)
        end
    end,
    garden_ask_lantern = function(gardener, mira)
        if game:Get("lantern_given") == 1 then
            Speak("garden_lantern_again", gardener)
            return
        end
        Speak("gardener_lantern", gardener)
        game:Set("lantern_given", 1)
        BAG_MAGIC:AddInventory(items.lantern)
        -- Asked about the roses before, his page learns that he lent it.
        if game:Get("asked_garden_ask_roses") == 1 then AddDiary(RosesEntry()) end
        AddQuest(quests.lantern)
        Award("award_got_lantern")
        Speak("mira_thanks", mira)
    end,
    garden_ask_weather = function(gardener) Speak("garden_weather_answer", gardener) end,
    garden_ask_bye = function(gardener) Speak("garden_bye_answer", gardener) end,
}

local function AskedEverything()
    for key in pairs(ANSWERS) do
        if key ~= "garden_ask_bye" and game:Get("asked_" .. key) == 0 then return false end
    end
    return true
end

local function Converse(gardener, mira)
    mira:SetMode(MODE.CUTSCENE)
    gardener:FaceActor(mira)
    mira:FaceActor(gardener)
    if game:Get("met_gardener") == 0 then
        Speak("gardener_greeting", gardener)
        game:Set("met_gardener", 1)
        Award("award_met_gardener")
    else
        Speak("garden_gardener_again", gardener)
    end
    while true do
        local pick = AskChoice(mira, Choices(), gardener)
        local answer = pick and ANSWERS[pick]
        if answer == nil then break end
        Speak(pick, mira)
        answer(gardener, mira)
        if pick == "garden_ask_bye" then break end
        NoteAsked(pick)
        -- The last question asked is kept with the award for asking them all.
        if AskedEverything() then Award("award_all_answers") else KeepProgress() end
    end
    mira:SetMode(MODE.FOLLOWCLICKS)
    return Tend(gardener)
end

-- The gate's leaf swung back and the gateway walkable.
local function ShowGateOpen(gate)
    gate:LoadImage("gate_open")
    scene.mesh:SetPolyState("gate", true)
end

local function UnlockGate(gate, mira)
    mira:SetMode(MODE.CUTSCENE)
    mira:FaceActor(gate)
    sfx:PlaySFX(effects.gate_open, false)
    game:Set("gate_open", 1)
    ShowGateOpen(gate)
    BAG_INV:RemoveInventory("key")
    Award("award_opened_gate")
    SayAndWait(mira, "garden_gate_opens")
    mira:SetMode(MODE.FOLLOWCLICKS)
end

-- From the gate's place to the west end of its floating name with the pointer on its west post.
local GATE_NAME_CLEARANCE = 110

-- At the gate: still locked, or through the gateway to the forest.
local function AtGate(gate, mira)
    if game:Get("gate_open") == 0 then
        -- Her words end west of the gate, clear of its floating name over any part of it (the
        -- player keeps control meanwhile, and may try the key at once).
        local clear = gate:GetPosition().x - GATE_NAME_CLEARANCE
        Remark(mira, BAG_INV:CheckInventory("key") and "garden_gate_locked_key" or "garden_gate_locked", clear)
        return
    end
    mira:SetMode(MODE.CUTSCENE)
    mira:WalkTo("to_forest")
    coroutine.yield(RESUME.ON_OTHER_WALKTO, "NELKA")
    LeaveFor("forest")
end

local function GoHome(door, mira)
    mira:SetMode(MODE.CUTSCENE)
    LeaveFor("cottage")
end

scene_spec = {
    bg_image = { "garden_far", "garden_near", { "garden_front", DEPTH.DEPTH_FRONTMOST } },
    ground = "garden",
    actorlist = {
        HeroineSpec({ default = "from_cottage", forest = "to_forest" }, Arrive),
        {
            name = "GARDENER",
            anim = { "anims/gardener.xml" },
            halo = "gardener_halo",
            point_at_name = "garden_name_gardener",
            point_at_color = GARDENER_COLOUR,
            cantuse = "garden_gardener_cantuse",
            on_click = function(clicker, clicked)
                clicked:StartProc(function(self) Notice(self, clicker) end)
                return RESPONSE.WALKTO
            end,
            on_arrive = Scripted(Converse),
            command = function(self)
                DressSpeaker(self, GARDENER_COLOUR, 160)
                self:AddFlag(AFLAG.AFLAG_X_FLIPPABLE)
                self:AddFlag(AFLAG.AFLAG_SCALE_BY_Y)
                self:SetDepthMode(DEPTH.DEPTH_BY_Y)
                self:SetPointAtCursor("cursor_talk", { x = 12, y = 12 })
                self:JumpToNamedPoint("gardener")
                return Tend(self)
            end,
        },
        PropSpec({
            name = "GATE",
            image = "gate_closed",
            halo = "gate_halo",
            hotspot = "hotspot",
            point_at_name = "garden_name_gate",
            on_arrive = Scripted(AtGate),
            on_use_inv = function(item, walker, target)
                if item ~= "key" then return RESPONSE.INV_UNHANDLED end
                target:StartProc(function(self) UnlockGate(self, walker) end)
                return RESPONSE.INV_HANDLED
            end,
            command = function(self)
                -- Just in front of the near plane, behind anyone walking past.
                self:SetDepthValue(3)
                self:SetPointAtCursor("cursor_exit", { x = 12, y = 12 })
                if game:Get("gate_open") == 1 then
                    ShowGateOpen(self)
                else
                    scene.mesh:SetPolyState("gate", false)
                end
            end,
        }, 1540, 505),
        ExitSpec({
            name = "COTTAGE_DOOR",
            halo = "quest/cottage/door_halo",
            point_at_name = "garden_name_cottage",
        }, GoHome, 100, 500),
    },
}
