-- The clearing (scene 3), the end of the trail: Pip sits on the flat stone in the moonlight.
-- Mira talks with him a last time (three choices, and one to leave him a moment); when they set
-- off home the story closes on a last picture that tells the player's score, the finished game
-- is saved as finished (the main menu offers no Continue for it), and the game goes on to the
-- score entry and the credits.

local PIP_COLOUR = { r = 0.85, g = 0.9, b = 1, a = 1 }
local END_PICTURE = "quest/clearing/home_at_last.png"

-- Runs from Mira's script as the scene starts.
local function Arrive(mira, resumed)
    scene:SetRoomScale(440, 580, 0.8, 1)
    sfx:SetMusic(music.clearing, true)
    if resumed then
        coroutine.yield(RESUME.ON_FADE)
        return
    end
    mira:WalkToXY{ x = 180, y = 520 }
    coroutine.yield(RESUME.ON_WALKTO)
end

local function Choices()
    return TalkChoices("clearing_ask_later", { "clearing_ask_moon", "clearing_ask_worried", "clearing_ask_home" })
end

-- Pip's answer to each of Mira's choices, by its key.
local ANSWERS = {
    clearing_ask_moon = "clearing_moon_answer",
    clearing_ask_worried = "clearing_worried_answer",
    clearing_ask_home = "clearing_home_answer",
    clearing_ask_later = "clearing_later_answer",
}

-- The player's score, the points of the awards earned, and the most there is to earn; and how
-- many awards of how many.
local function Score()
    local score, most, earned = 0, 0, 0
    for _, award in ipairs(awardlist) do
        most = most + award[2]
        if game:HasAward(award[1]) then
            score = score + award[2]
            earned = earned + 1
        end
    end
    return score, most, earned, table.getn(awardlist)
end

-- The story's last moment, over the darkened scene and interface: home by the fire, and the
-- score. The game waits until the player has read it.
local function TheEnd()
    local score, most, earned, awards = Score()
    scene:DoPopup(END_PICTURE, scene:grabstring("clearing_end_title") or "",
                  scene:grabformattedstring("clearing_end_body",
                                            { tostring(score), tostring(most), tostring(earned), tostring(awards) })
                      or "")
    WaitForPopup(BLACK)
end

-- Home together: the search is over, and so is the game.
local function GoHome(pip, mira)
    quest:CompleteQuest("findpip")
    Award("award_found_pip")
    Speak("mira_going_home", mira)
    scene:SetFadeOverHud(true)
    scene:SetFadeSpeed(0.02)
    scene:SetFadeTarget(BLACK)
    coroutine.yield(RESUME.ON_FADE)
    TheEnd()
    -- Seen to its end: nothing is left to continue.
    game:Set("game_finished", 1)
    KeepProgress()
    scene:GameOver()
end

local function Reunion(pip, mira)
    mira:SetMode(MODE.CUTSCENE)
    mira:FaceActor(pip)
    Speak("mira_found_pip", mira)
    Speak("clearing_pip_greets", pip)
    while true do
        local pick = AskChoice(mira, Choices(), nil)
        local answer = pick and ANSWERS[pick]
        if answer == nil then break end
        Speak(pick, mira)
        Speak(answer, pip)
        if pick == "clearing_ask_home" then return GoHome(pip, mira) end
        if pick == "clearing_ask_later" then break end
        NoteAsked(pick)
        KeepProgress()
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
