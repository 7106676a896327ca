-- The night forest (scene 2). The path from the garden runs into the dark: Mira sets the
-- gardener's lantern on an old stump (it leaves her bag there) and must open its shutters in the order of the stars (the
-- lantern puzzle, a sub-scene in its own window) before she can go on to the clearing. The
-- fireflies drift over the dark part of the path.

-- The lantern puzzle's script: not in the scene list, so loaded by its path (and with its own
-- names given as paths).
LANTERN_PUZZLE = "quest/forest/lantern.lua"

-- Runs from Mira's script as the scene starts.
local function Arrive(mira)
    scene:SetRoomScale(420, 560, 0.7, 1)
    sfx:SetMusic(music.forest, true)
    mira:AddFlag(AFLAG.AFLAG_USE_LIGHTMAP)
    coroutine.yield(RESUME.ON_FADE)
    if game:Get("forest_arrived") == 0 then
        game:Set("forest_arrived", 1)
        KeepProgress()
        SayAndWait(mira, "mira_forest_dark")
    end
end

-- The dark stretch of the path is walkable only by lantern light; once the lantern burns on
-- the stump, its light lies over the forest, warms Mira near it and shows the way on. As the
-- scene loads the way on is not there yet, and draws itself.
local function ShowPathLit(lit)
    scene.mesh:SetPolyState("deep_path", lit)
    if lit then
        scene:LoadLightmap("forest_light_lit")
        ActorNamed("LANTERN"):LoadImage("lantern_lit")
        ActorNamed("WARMTH"):LoadImage("forest_warmth")
        local way = ActorNamed("CLEARING_PATH")
        if way then way:LoadImage("way_on") end
    end
end

-- Every award's name (quest/progress.lua): those held once the puzzle has closed and not before
-- are the ones it earned.
local function AwardNames()
    local names = {}
    for _, award in ipairs(awardlist) do table.insert(names, award[1]) end
    return names
end

-- Back from the solved puzzle (which kept all it gave): the lantern burns on the stump, and
-- Mira hears of the awards it earned.
local function LanternLit(mira, earned)
    ShowPathLit(true)
    TellAwards(earned)
    SayAndWait(mira, "mira_lantern_lit")
end

-- Mira sets the lantern down on the stump and tries its shutters in the puzzle. The first time,
-- a popup explains the shutters and she sketches them in her diary, to have by her while she
-- tries them.
local function TryLantern(stump, mira)
    mira:SetMode(MODE.CUTSCENE)
    mira:FaceActor(stump)
    if game:Get("lantern_lit") == 1 then
        SayAndWait(mira, "forest_lantern_burning")
        mira:SetMode(MODE.FOLLOWCLICKS)
        return
    end
    if game:Get("lantern_explained") == 0 then
        -- The popup shows its texts as they stand: they go over localised.
        scene:DoPopup("quest/forest/lantern_popup.png", scene:grabstring("forest_popup_title"),
                      scene:grabstring("forest_popup_body"))
        WaitForPopup(CLEAR)
        game:Set("lantern_explained", 1)
        -- A new sketch opens the diary by itself; the puzzle opens once it is closed.
        AddDiary(diary.sketch)
        KeepProgress()
    end
    -- The request is carried out at the next update; then the forest stands still until the
    -- puzzle has closed and the forest is the scene again.
    local unheld = AwardsHeld(AwardNames(), false)
    scene:ChainToSubScene(LANTERN_PUZZLE)
    repeat Wait(1) until game:GetCurrentScene() == LANTERN_PUZZLE
    repeat Wait(1) until game:GetCurrentScene() == "forest"
    if game:Get("lantern_lit") == 1 then
        LanternLit(mira, AwardsHeld(unheld, true))
    else
        SayAndWait(mira, "forest_lantern_later")
    end
    mira:SetMode(MODE.FOLLOWCLICKS)
end

local function LookAtStump(stump, mira)
    if BAG_MAGIC:CheckInventory("lantern") and game:Get("lantern_lit") == 0 then
        Remark(mira, "forest_stump_hint")
    else
        Remark(mira, "forest_stump_look")
    end
end

local function WatchFireflies(fireflies, mira)
    mira:SetMode(MODE.CUTSCENE)
    mira:FaceActor(fireflies)
    if game:Get("fireflies_seen") == 0 then
        game:Set("fireflies_seen", 1)
        AddDiary(diary.fireflies)
        Award("award_fireflies")
        SayAndWait(mira, "forest_fireflies_look")
    else
        SayAndWait(mira, "forest_fireflies_again")
    end
    mira:SetMode(MODE.FOLLOWCLICKS)
end

local function GoOn(path, mira)
    if game:Get("lantern_lit") == 0 then
        Remark(mira, "forest_too_dark")
        return
    end
    mira:SetMode(MODE.CUTSCENE)
    LeaveFor("clearing")
end

local function GoBack(path, mira)
    mira:SetMode(MODE.CUTSCENE)
    LeaveFor("garden")
end

scene_spec = {
    bg_image = { "forest_night", { "forest_front", DEPTH.DEPTH_FRONTMOST } },
    lightmap = "forest_light",
    ground = "forest",
    actorlist = {
        HeroineSpec({ default = "from_garden", clearing = "to_clearing" }, Arrive),
        PropSpec({
            name = "STUMP",
            image = "stump",
            halo = "stump_halo",
            hotspot = "hotspot",
            point_at_name = "forest_name_stump",
            cantuse = "forest_stump_cantuse",
            on_arrive = Scripted(LookAtStump),
            on_use_inv = function(item, walker, target)
                if item ~= "lantern" then return RESPONSE.INV_UNHANDLED end
                target:StartProc(function(self) TryLantern(self, walker) end)
                return RESPONSE.INV_HANDLED
            end,
            command = function(self)
                self:SetDepthMode(DEPTH.DEPTH_BY_Y)
                self:SetPointAtCursor("cursor_use", { x = 11, y = 2 })
            end,
        }, 400, 486),
        -- The burning lantern on the stump and its light: no picture until it is lit.
        PropSpec({
            name = "LANTERN",
            command = function(self) self:SetDepthValue(487) end,
        }, 380, 386),
        PropSpec({
            name = "WARMTH",
            command = function(self)
                self:SetDepthValue(1)
                ShowPathLit(game:Get("lantern_lit") == 1)
            end,
        }, 0, 0),
        PropSpec({
            name = "FIREFLIES",
            halo = "fireflies_halo",
            point_at_name = "forest_name_fireflies",
            on_arrive = Scripted(WatchFireflies),
            command = function(self)
                self:LoadParty("fireflies.lua")
                self:SetPointAtCursor("cursor_look", { x = 12, y = 12 })
            end,
        }, 620, 330),
        ExitSpec({
            name = "GARDEN_PATH",
            halo = "path_halo",
            point_at_name = "forest_name_garden",
        }, GoBack, 40, 530),
        -- The way on: named from the start, drawn once the lantern lights it.
        ExitSpec({
            name = "CLEARING_PATH",
            halo = "way_on_halo",
            hotspot = "hotspot",
            point_at_name = "forest_name_clearing",
            command = function(self)
                self:SetDepthValue(2)
                if game:Get("lantern_lit") == 1 then self:LoadImage("way_on") end
            end,
        }, GoOn, 699, 462),
    },
}
