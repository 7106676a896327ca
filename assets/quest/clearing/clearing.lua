-- The clearing (scene 3), the end of the trail: Pip sits on the flat stone in the moonlight.
-- Mira talks with him a last time (three choices); when they set off home the game is over,
-- and the game goes on to the score entry.

local PIP_COLOUR = { r = 0.85, g = 0.9, b = 1, a = 1 }

-- Runs from Mira's script as the scene starts.
local function Arrive(mira)
    scene:SetRoomScale(440, 580, 0.8, 1)
    sfx:SetMusic(music.clearing, true)
    mira:WalkToXY{ x = 180, y = 520 }
    coroutine.yield(RESUME.ON_WALKTO)
end

local function Choices()
    return { Choice("clearing_ask_moon"), Choice("clearing_ask_worried"), Choice("clearing_ask_home") }
end

-- Pip's answer to each of Mira's choices, by its key.
local ANSWERS = {
    clearing_ask_moon = "clearing_moon_answer",
    clearing_ask_worried = "clearing_worried_answer",
    clearing_ask_home = "clearing_home_answer",
}

-- Home together: the search is over, and so is the game.
local function GoHome(pip, mira)
    Award("award_found_pip")
    quest:CompleteQuest("findpip")
    Speak("mira_going_home", mira)
    game:Set("game_finished", 1)
    scene:SetFadeSpeed(0.02)
    scene:SetFadeTarget(BLACK)
    coroutine.yield(RESUME.ON_FADE)
    scene:GameOver()
end

local function Reunion(pip, mira)
    mira:SetMode(MODE.CUTSCENE)
    mira:FaceActor(pip)
    Speak("mira_found_pip", mira)
    Speak("clearing_pip_greets", pip)
    while true do
        local pick = AskChoice(mira, Choices())
        local answer = pick and ANSWERS[pick]
        if answer == nil then break end
        Speak(pick, mira)
        Speak(answer, pip)
        if pick == "clearing_ask_home" then return GoHome(pip, mira) end
    end
    mira:SetMode(MODE.FOLLOWCLICKS)
end

local function GoBack(path, mira)
    mira:SetMode(MODE.CUTSCENE)
    LeaveFor("forest")
end

scene_spec = {
    bg_image = "clearing",
    ground = "clearing",
    actorlist = {
        HeroineSpec({ default = "from_forest" }, Arrive),
        PropSpec({
            name = "PIP",
            image = "pip",
            halo = "pip_halo",
            hotspot = "hotspot",
            point_at_name = "clearing_name_pip",
            point_at_color = PIP_COLOUR,
            cantuse = "clearing_pip_cantuse",
            on_arrive = Scripted(Reunion),
            command = function(self)
                DressSpeaker(self, PIP_COLOUR, 64)
                self:SetDepthValue(430)
                self:SetPointAtCursor("cursor_talk", { x = 12, y = 12 })
            end,
        }, 575, 412),
        ExitSpec({
            name = "FOREST_PATH",
            halo = "quest/forest/path_halo",
            point_at_name = "clearing_name_forest",
        }, GoBack, 40, 520),
    },
}
