-- What every scene shares, run in the scene's own Lua state before the scene's script: the
-- progress data, the heroine's spawn description, helpers for actors' scripts and the generic
-- handlers for an item used where nothing takes it.
-- At load time only definitions happen here: the scene object and the actors come later, so
-- the game objects are touched only inside functions.

dofile("quest/progress.lua")

SAY_FONT = "fonts/default.mvec"
NAME_FONT = "fonts/bold.mvec"
MIRA_COLOUR = { r = 1, g = 0.9, b = 0.94, a = 1 }
GARDENER_COLOUR = { r = 0.86, g = 1, b = 0.8, a = 1 }
BLACK = { r = 0, g = 0, b = 0, a = 1 }
CLEAR = { r = 0, g = 0, b = 0, a = 0 }
-- How long a remark stays up, in ticks.
REMARK_TICKS = 150
-- How long the award fanfare plays, in ticks, and the award popup's picture.
AWARD_FANFARE_TICKS = 30
AWARD_PICTURE = "icons/award.png"

-- Settings every scene starts with; the heroine's script makes them, as the first actor.
function PrepareScene()
    -- The names under the mouse.
    scene:ModifySaySpec{ font = NAME_FONT, lineheight = 18 }
    -- A scene fades in from black; the previous scene may have left the target black.
    scene:SetFadeColor(BLACK)
    scene:SetFadeTarget(CLEAR)
    -- The interface's description line when the pointer is over nothing of note: how to walk,
    -- until the player has once made Mira walk.
    if game:Get("hint_walked") == 0 then
        SetDefaultInventoryWindowText(scene:grabstring("shared_hud_hint") or "")
    else
        SetDefaultInventoryWindowText("")
    end
end

-- Where the heroine stands is kept in the game state ("at_scene", "at_x", "at_y"), so that a
-- saved game continues where she was; "via" names the scene she is walking into (LeaveFor),
-- so that only a way in from the last scene places her at its entry. `here` is her own scene,
-- whatever window is over it.
local function NoteWhereSheIs(heroine, here)
    local at = heroine:GetPosition()
    game:SetString("at_scene", here)
    game:Set("at_x", math.floor(at.x + 0.5))
    game:Set("at_y", math.floor(at.y + 0.5))
end

-- Where the heroine appears: by the scene she has walked in from, where she stood when the
-- game was saved in this scene, or at the default place (a new game, or a scene chosen). True
-- as the second result when she takes up where she was.
local function PlaceHeroine(heroine, starts)
    local here = game:GetCurrentScene()
    if game:GetString("via") == here then
        game:SetString("via", nil)
        heroine:JumpToNamedPoint(starts[game:GetLastScene()] or starts.default)
        return false
    end
    if game:GetString("at_scene") == here then
        -- A place kept by an older game whose ground has changed since may be no floor now (a
        -- ground that holds not even the scene's start cannot tell).
        local at = { x = game:Get("at_x"), y = game:Get("at_y") }
        local ground = scene.mesh
        if ground:PolyCollide(at) >= 0 or ground:PolyCollide(ground:LookupVertByLabel(starts.default)) < 0 then
            heroine:JumpToPoint(at)
            return true
        end
    end
    heroine:JumpToNamedPoint(starts.default)
    return false
end

-- Inside the heroine's script, once the player has control, for as long as the scene lasts:
-- the first time she walks at the player's word the walking hint goes for good, and each time
-- she comes to rest after a walk the place is kept in the saved game (a game ended by the
-- system, with no question, loses no more than the walk under way).
local function KeepTrack(heroine)
    local here = game:GetCurrentScene()
    local from = heroine:GetPosition()
    local walking = false
    while true do
        Wait(10)
        local now = heroine:GetPosition()
        local moved = now.x ~= from.x or now.y ~= from.y
        if moved and game:Get("hint_walked") == 0 then
            game:Set("hint_walked", 1)
            SetDefaultInventoryWindowText("")
        end
        if walking and not moved then
            NoteWhereSheIs(heroine, here)
            KeepProgress()
        end
        walking = moved
        from = now
    end
end

-- Speech boxes: their width, and how far inside the screen's sides they stay.
SPEECH_WIDTH = 320
SPEECH_MARGIN = 16
SCREEN_WIDTH = 800

-- Speech above an actor `height` pixels tall: centred over the head and kept on screen.
function DressSpeaker(actor, colour, height)
    actor:ModifySaySpec{
        x = -SPEECH_WIDTH / 2, y = -height - 8, w = SPEECH_WIDTH, h = 120,
        font = SAY_FONT, lineheight = 20, color = colour,
        outline_color = BLACK, outline_size = 2,
        anchor = ANCHOR.BOTTOM, halign = HALIGN.CENTER, clamp = CLAMP.CLAMP_SCREEN,
    }
end

-- Before `actor` speaks: the box over the head moves sideways as far as it must to keep a margin
-- from the screen's sides (the engine's own clamp would stop it at the very edge) and, when
-- `east` (a world x) is given, to end west of it. The box's centre is scaled with the actor, so
-- the offset is worked back through the scale.
function FitSpeech(actor, east)
    local at = actor:GetPosition()
    local camera = scene:GetCameraPosition()
    local scale = actor:GetBGScale()
    if scale == nil or scale <= 0 then scale = 1 end
    local centre = at.x - camera.x
    local half = SPEECH_WIDTH / 2
    local right = SCREEN_WIDTH - SPEECH_MARGIN
    if east then right = math.min(right, east - camera.x) end
    local left = math.max(SPEECH_MARGIN, math.min(right - SPEECH_WIDTH, centre - half))
    actor:ModifySaySpec{ x = math.floor((left - centre + half) / scale - half) }
end

-- `actor` remarks on something, for a little while; the story goes on meanwhile. `east`, when
-- given, is a world x the words stay west of.
function Remark(actor, key, east)
    FitSpeech(actor, east)
    actor:Say(key, REMARK_TICKS)
end

-- The heroine's spawn description. `starts` names the ground vertex she appears at by the
-- scene she comes from, `default` for any other; `setup`(heroine, resumed), when given, runs in
-- her script as a cut-scene before the player gets control (scene settings, an opening line, a
-- walk in; `resumed` when a saved game goes on where she stood, with no walk in).
function HeroineSpec(starts, setup)
    return {
        name = "NELKA",
        anim = { "anims/mira.xml" },
        halo = "quest/mira_halo",
        point_at_name = "name_mira",
        -- Clicked herself: she says how she is, and stays where she stands.
        on_click = function(clicker, clicked)
            Remark(clicked, "shared_mira_self")
            return RESPONSE.IGNORE
        end,
        command = function(self)
            PrepareScene()
            DressSpeaker(self, MIRA_COLOUR, 150)
            self:AddFlag(AFLAG.AFLAG_X_FLIPPABLE)
            self:AddFlag(AFLAG.AFLAG_SCALE_BY_Y)
            self:SetDepthMode(DEPTH.DEPTH_BY_Y)
            -- Two units a frame: the player's normal pace crosses a room in a few seconds.
            self:SetWalkSpeed(2)
            local resumed = PlaceHeroine(self, starts)
            NoteWhereSheIs(self, game:GetCurrentScene())
            self:SetMode(MODE.CUTSCENE)
            if setup then setup(self, resumed) end
            self:SetMode(MODE.FOLLOWCLICKS)
            KeepTrack(self)
        end,
    }
end

-- A prop that stands still at (x, y): a click zone, a picture or both. Its own command, when
-- it has one, runs once it is in place.
function PropSpec(spec, x, y)
    local command = spec.command
    spec.command = function(self)
        self:JumpToPoint{ x = x, y = y }
        self:SetMode(MODE.STATIC)
        if command then return command(self) end
    end
    return spec
end

-- A way out of the scene at (x, y): a click zone that shows the exit cursor. `spec` gives its
-- name, zone and floating name, and may give a picture and a command of its own, run once the
-- cursor is set; `leave`(zone, heroine) runs as its script when she arrives.
function ExitSpec(spec, leave, x, y)
    local command = spec.command
    spec.on_arrive = Scripted(leave)
    spec.command = function(self)
        self:SetPointAtCursor("cursor_exit", { x = 12, y = 12 })
        if command then return command(self) end
    end
    return PropSpec(spec, x, y)
end

-- An on_arrive handler that runs fn(target, walker) as the target's script, where it may wait
-- (handlers themselves are plain calls and cannot).
function Scripted(fn)
    return function(walker, target)
        target:StartProc(function(self) fn(self, walker) end)
    end
end

-- The actor of that name in this scene, or nil (the scene object also holds its methods and
-- its mesh under names).
function ActorNamed(name)
    local actor = scene[name]
    if type(actor) == "table" and actor.actorspec ~= nil then return actor end
    return nil
end

-- Inside an actor's script: waits `ticks` updates.
function Wait(ticks)
    return coroutine.yield(RESUME.ON_DELAY, ticks)
end

-- Inside an actor's script: `actor` says the line `key` (with its voice line when there is
-- one) and the script waits until it has been heard.
function SayAndWait(actor, key)
    FitSpeech(actor)
    actor:Say(key, -1)
    coroutine.yield(RESUME.ON_VOXDONE)
    actor:Say("", 0)
end

-- Inside an actor's script: a conversation line, "SPEAKER:text" in the string table. The
-- speaker is the actor of that name, else `default`; the line is voiced by the key's voice
-- line when there is one, else timed from its text.
function Speak(key, default)
    local who, line = scene:grabspeechline(key)
    local actor = (who and ActorNamed(who)) or default
    if line == nil or line == "" then line = key end
    FitSpeech(actor)
    actor:SayRaw(line, -1)
    sfx:PlayVox(key, line)
    coroutine.yield(RESUME.ON_VOXDONE)
    actor:SayRaw("", 0)
end

-- A dialogue choice "key|text": the text is the line the choosing actor will speak.
function Choice(key)
    local _, line = scene:grabspeechline(key)
    if line == nil or line == "" then line = key end
    return key .. "|" .. line
end

-- A question asked before shows dimmed in the choices, so that the new ones stand out.
ASKED_COLOUR = "a09888ff"
function ChoiceRow(key)
    local row = Choice(key)
    if game:Get("asked_" .. key) == 0 then return row end
    local bar = string.find(row, "|", 1, true)
    return string.sub(row, 1, bar) .. "<font color='" .. ASKED_COLOUR .. "'>" .. string.sub(row, bar + 1) .. "</font>"
end

-- A talk's choices: its farewell first (the list shows four rows and opens at its top each
-- time, and Escape presses its first row), then the questions not asked yet, then those asked.
function TalkChoices(farewell, questions)
    local rows = { ChoiceRow(farewell) }
    for _, asked in ipairs({ 0, 1 }) do
        for _, key in ipairs(questions) do
            if game:Get("asked_" .. key) == asked then table.insert(rows, ChoiceRow(key)) end
        end
    end
    return rows
end

-- The choice `key` has been asked and answered: it shows dimmed from now on (kept in the game).
function NoteAsked(key)
    game:Set("asked_" .. key, 1)
end

-- Inside `listener`'s script: offers `choices` through `actor` and waits for the player. The
-- listener is the scene's conversation partner meanwhile, so the click on a choice signals
-- it. The way out of a talk is one of its choices. The chosen key, or nil when no choice
-- could be shown.
function AskChoice(actor, choices, listener)
    game:SetString("conv", nil)
    scene:ConversationMode(listener)
    actor:OfferChoices{ choices = choices }
    coroutine.yield(RESUME.ON_SIGNAL, RESUME.ON_CHOICE)
    scene:ConversationMode(false)
    local pick = game:GetString("conv")
    if pick == "" then return nil end
    return pick
end

-- Inside an actor's script: fades to black, then changes scene at the next update.
function LeaveFor(sceneName)
    game:SetString("via", sceneName)
    scene:SetFadeTarget(BLACK)
    coroutine.yield(RESUME.ON_FADE)
    scene:ChainTo(sceneName)
end

-- What the player has gained so far goes into the saved game at once, not only when the scene
-- changes: a player who quits in the middle of a scene and continues finds it all again (the
-- scene scripts set themselves up from it). A puzzle's sub-scene keeps progress too: the saved
-- game goes on in the scene under it.
-- A step of the story keeps whole: what it gives (an item, a quest, a diary page, a variable,
-- an award: EarnAwards) is set with the flag that marks it done, with no wait between them, and
-- kept at once; only then does the step speak, wait or tell of its awards (TellAwards). Any
-- wait may be the last moment kept: play left, a walk coming to rest, the program killed.
function KeepProgress()
    game:SaveGame()
end

-- Inside an actor's script, after a popup was asked for: waits until the player has closed
-- it. The popup opens at the next update and pauses the game; the scene's script goes on
-- behind it, but the scene's fade stands still while the game is paused, so a fade too
-- slight to see (from `colour`, the fade's colour now) holds the story until it has gone.
function WaitForPopup(colour)
    colour = colour or CLEAR
    Wait(1)
    scene:SetFadeTarget({ r = colour.r, g = colour.g, b = colour.b,
                          a = colour.a > 0.5 and colour.a - 0.004 or colour.a + 0.004 })
    coroutine.yield(RESUME.ON_FADE)
    scene:SetFadeTarget(colour)
    coroutine.yield(RESUME.ON_FADE)
end

-- Of the awards named, those the player holds (`held` true) or does not hold yet (false).
function AwardsHeld(names, held)
    local found = {}
    for _, name in ipairs(names) do
        if game:HasAward(name) == held then table.insert(found, name) end
    end
    return found
end

-- Earns the award named (or each of a list of names) that the player does not hold yet, and
-- hands back those: an award is never earned twice. Nothing is kept or told here.
function EarnAwards(names)
    if type(names) ~= "table" then names = { names } end
    local earned = AwardsHeld(names, false)
    for _, name in ipairs(earned) do game:EarnAward(name) end
    return earned
end

-- Inside an actor's script: tells the player of each award earned, the fanfare, then a popup
-- naming it (the game waits while it is up).
function TellAwards(earned)
    -- One notice each: two award titles side by side do not fit the notice's title line.
    for _, name in ipairs(earned) do
        sfx:PlaySFX(effects.award, false)
        -- The popup pauses every sound: the fanfare is heard first.
        Wait(AWARD_FANFARE_TICKS)
        scene:DoPopup(AWARD_PICTURE, (scene:grabstring("award_notice") or "") .. " " .. (scene:grabstring(name .. "_title") or ""),
                      scene:grabstring(name .. "_body") or "")
        WaitForPopup(CLEAR)
    end
end

-- Inside an actor's script, once the step has given all else: earns the awards, keeps the
-- progress (also when the player holds them from a game before) and tells of them.
function Award(names)
    local earned = EarnAwards(names)
    KeepProgress()
    TellAwards(earned)
end

-- Entries of the progress data (quest/progress.lua).
function AddDiary(entry)
    local book = _G[entry.book]
    book:AddDiaryEntry(entry.key, entry.title, entry.base)
    -- The diary button pulses until the diary is opened (the other books open by themselves).
    if entry.book == "BOOK_PRI" then game:Set("flash_diary", 1) end
end

function AddQuest(entry)
    quest:AddQuest(entry[1], entry[2], entry[3], entry[4])
end

-- An item used on an actor with no use for it: the heroine says why not (the actor's own
-- "cantuse" text, else the item's, else a general one).
function on_use_inv(item, walker, target)
    local key = target and target.cantuse
    if key == nil or key == "" then key = game:GetInvUsage_CantUse() end
    if key == nil or key == "" then key = "shared_cantuse" end
    Remark(walker, key)
    return RESPONSE.INV_HANDLED
end

-- An item used on the bare ground.
function on_misuse_inv(item, walker, point)
    Remark(walker, "shared_misuse")
    return RESPONSE.INV_HANDLED
end
