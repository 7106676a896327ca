-- The lantern puzzle: a sub-scene over the forest, in its own window (400 x 320 at 200, 120).
-- The lantern's four shutters carry one to four stars; opened in the order of their stars the
-- lantern lights, and a shutter out of turn shuts them all again (the game counts those, and
-- keeps the count at once). Solved, it gives all it gives at once and keeps it: the lantern lit
-- and out of the bag, its quest done, its awards earned (a second one when no shutter was ever
-- opened out of turn). Then it is seen burning a moment and returns to the forest, which tells
-- of the awards; the cross in the corner leaves it unsolved. It is not in the scene list, so it
-- has no folder of its own and names its files by their paths.

local HERE = "quest/forest/"
-- Stars on the shutters, left to right.
local STARS = { 3, 1, 4, 2 }
-- Awards for the lantern lit: the second only when no shutter was ever opened out of turn.
local LIT = "award_lit_forest"
local FIRST_TRY = "award_first_try"
-- Shutters open so far, each in its turn.
local opened = 0
local solved = false

local function Shutter(i)
    return ActorNamed("SHUTTER_" .. i)
end

local function CloseAll()
    for i = 1, 4 do Shutter(i):LoadImage(HERE .. "shutter_" .. STARS[i]) end
    opened = 0
end

-- The last shutter is open: the lantern is lit, and so all it gives is given.
local function Solve()
    game:Set("lantern_lit", 1)
    BAG_MAGIC:RemoveInventory("lantern")
    quest:CompleteQuest("lantern")
    if game:Get("lantern_mistakes") == 0 then
        EarnAwards({ LIT, FIRST_TRY })
    else
        EarnAwards(LIT)
    end
    KeepProgress()
end

-- The glow's script once the lantern is lit: it burns, a moment to look at it, and back to
-- the forest.
local function Light(glow)
    for i = 1, 4 do Shutter(i):LoadImage(HERE .. "shutter_lit") end
    glow:LoadImage(HERE .. "lantern_glow")
    sfx:PlaySFX(effects.lantern_lit, false)
    Wait(100)
    scene:ReturnFromScene()
end

local function Press(shutter, i)
    if solved then return end
    if STARS[i] ~= opened + 1 then
        game:Set("lantern_mistakes", game:Get("lantern_mistakes") + 1)
        KeepProgress()
        sfx:PlaySFX(effects.shutter_stuck, false)
        CloseAll()
        return
    end
    opened = opened + 1
    shutter:LoadImage(HERE .. "shutter_open")
    sfx:PlaySFX(effects.shutter, false)
    if opened == table.getn(STARS) then
        solved = true
        Solve()
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
                -- The game window's back button (and Escape) leave the puzzle, as the cross does.
                game:SetReturnFromScene("forest")
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
