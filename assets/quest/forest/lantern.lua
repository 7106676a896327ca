-- The lantern puzzle: a sub-scene over the forest, in its own window (400 x 320 at 200, 120).
-- The lantern's four shutters carry one to four stars; opened in the order of their stars the
-- lantern lights, and a shutter out of turn shuts them all again. Solving it earns an award
-- (a second one without a wrong shutter) and the lantern's sketch in the sketch book and
-- returns to the forest; the cross in the corner leaves it unsolved. It is not in the scene
-- list, so it has no folder of its own and names its files by their paths.

local HERE = "quest/forest/"
-- Stars on the shutters, left to right.
local STARS = { 3, 1, 4, 2 }
-- Shutters open so far, each in its turn.
local opened = 0
local solved = false
-- Shutters opened out of turn.
local mistakes = 0

local function Shutter(i)
    return ActorNamed("SHUTTER_" .. i)
end

local function CloseAll()
    for i = 1, 4 do Shutter(i):LoadImage(HERE .. "shutter_" .. STARS[i]) end
    opened = 0
end

-- The glow's script once the last shutter is open: the lantern burns, the progress is kept and
-- the award told; the sketch goes into the diary (which opens over the puzzle) only after a
-- moment to look at the burning lantern, and then the puzzle closes.
local function Light(glow)
    for i = 1, 4 do Shutter(i):LoadImage(HERE .. "shutter_lit") end
    glow:LoadImage(HERE .. "lantern_glow")
    sfx:PlaySFX(effects.lantern_lit, false)
    game:Set("lantern_lit", 1)
    if mistakes == 0 then
        Award({ "award_lit_forest", "award_first_try" })
    else
        Award("award_lit_forest")
    end
    -- A moment to look at the burning lantern before the diary opens over it.
    Wait(75)
    AddDiary(diary.sketch)
    quest:CompleteQuest("lantern")
    Wait(25)
    scene:ReturnFromScene()
end

local function Press(shutter, i)
    if solved then return end
    if STARS[i] ~= opened + 1 then
        mistakes = mistakes + 1
        sfx:PlaySFX(effects.shutter_stuck, false)
        CloseAll()
        return
    end
    opened = opened + 1
    shutter:LoadImage(HERE .. "shutter_open")
    sfx:PlaySFX(effects.shutter, false)
    if opened == table.getn(STARS) then
        solved = true
        ActorNamed("GLOW"):StartProc(Light)
    end
end

local function ShutterSpec(i)
    return PropSpec({
        name = "SHUTTER_" .. i,
        image = HERE .. "shutter_" .. STARS[i],
        halo = HERE .. "shutter_halo",
        on_click = function(clicker, clicked)
            Press(clicked, i)
            return RESPONSE.IGNORE
        end,
        command = function(self)
            self:SetDepthValue(5)
            self:SetPointAtCursor("cursor_use", { x = 11, y = 2 })
        end,
    }, 58 + 72 * (i - 1), 110)
end

scene_spec = {
    bg_image = HERE .. "lantern_board",
    ground = HERE .. "lantern",
    actorlist = {
        -- The player's hand: it takes the clicks and hands them to what it clicks on.
        {
            name = "HAND",
            command = function(self)
                scene:SetScreenPosition{ x = 200, y = 120 }
                scene:SetScreenSize{ x = 400, y = 320 }
                scene:SetCameraFollowActor(nil)
                self:JumpToNamedPoint("rest")
                self:SetMode(MODE.FOLLOWCLICKS)
            end,
        },
        ShutterSpec(1), ShutterSpec(2), ShutterSpec(3), ShutterSpec(4),
        PropSpec({
            name = "GLOW",
            command = function(self) self:SetDepthValue(10) end,
        }, 0, 0),
        PropSpec({
            name = "CLOSE",
            image = HERE .. "puzzle_close",
            halo = HERE .. "close_halo",
            on_click = function(clicker, clicked)
                scene:ReturnFromScene()
                return RESPONSE.IGNORE
            end,
            command = function(self)
                self:SetDepthValue(10)
                self:SetPointAtCursor("cursor_exit", { x = 12, y = 12 })
            end,
        }, 366, 10),
    },
}
