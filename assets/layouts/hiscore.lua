-- The high scores: the table kept on this computer, or the online table by category, ten rows
-- at a time. The screen (THiscore) fills the rows and shows the texts of its state; the buttons
-- are this layout's: UpdateButtons shows the ones that fit, and "Send score" opens the
-- submission dialog and reports its outcome back through SubmissionDone.

local titleFont = {"fonts/bold.mvec", 36, Color(251, 242, 220)}
local headFont = {"fonts/bold.mvec", 22, Color(255, 210, 120)}
local rowFont = {"fonts/default.mvec", 20, Color(232, 236, 250)}
local bodyFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}
ReadFile("layouts/buttons.lua")

-- Asked by the screen whenever its state changes, after it has shown the texts of the state.
-- With no score server named ("hiscoreserver.txt") the panel says so in place of what sending
-- would do, and offers neither the online table nor sending.
function UpdateButtons()
    local state = GetState()
    local server = HasScoreServer()
    local online = not IsEnabled(kHiscoreLocalOnly) and server
    local medals = NumMedalsToSubmit and NumMedalsToSubmit() > 0
    EnableWindow("view", online and state == 0)
    EnableWindow("submit", online and state == 0 and (ScoreAvailable() or medals))
    EnableWindow("noserver", not server and state == 0)
    if not server then
        for _, name in ipairs({"info", "eligible", "eligibleasterisk"}) do
            EnableWindow(name, false)
        end
    end
    EnableWindow("viewlocal", state ~= 0)
    EnableWindow("categoryleft", state == 4)
    EnableWindow("categoryright", state == 4)
end

local function SubmitScore()
    -- With no unsent score only the medals go out.
    gSubmitMedals = not ScoreAvailable()
    local outcome = DoModal("layouts/submit.lua")
    if outcome == "qualified" or outcome == "success" then
        SubmissionDone(outcome == "qualified")
    end
end

local function SmallButton(name, x, y, label)
    return LabelButton(name, x, y, label, {scale = 0.5})
end

local function Line(name, x, y, w, h, label, font, flags)
    return Text{name = name, x = x, y = y, w = w, h = h, label = label, font = font or bodyFont,
                flags = flags or kHAlignLeft}
end

local function Rows()
    local rows = {}
    for i = 1, 10 do
        local y = 84 + (i - 1) * 30
        table.insert(rows, Text{name = tostring(i), x = 12, y = y, w = 48, h = 26, font = rowFont,
                                flags = kHAlignRight})
        table.insert(rows, Bitmap{name = "p1_" .. i, x = 68, y = y + 3, image = "images/hiscore_account.png"})
        table.insert(rows, Text{name = "name" .. i, x = 94, y = y, w = 220, h = 26, font = rowFont})
        table.insert(rows, Text{name = "score" .. i, x = 318, y = y, w = 106, h = 26, font = rowFont,
                                flags = kHAlignRight})
    end
    return Group(rows)
end

MakeDialog{
    THiscore{
        name = "hiscore", x = 0, y = 0, w = 800, h = 600,
        Bitmap{name = "backdrop", x = 0, y = 0, image = "images/background.png"},
        Line("title", 0, 20, 800, 44, "hiscore_title", titleFont, kHAlignCenter),
        Line("gamemode", 0, 66, 800, 24, "", bodyFont, kHAlignCenter),
        Window{
            name = "leftpanel", x = 40, y = 110, w = 440, h = 440,
            Bitmap{name = "tablebackdrop", x = 0, y = 0, image = "images/hiscore_table.png"},
            -- While the online table is asked for, or could not be had, the panel says what
            -- it is for; the screen's states 0 and 4 are the two tables.
            Line("onlinehead", 20, 14, 400, 28, "hiscore_global", headFont, kHAlignCenter),
            Line("onlinewait", 40, 180, 360, 60, "hiscore_online_wait", bodyFont, kHAlignCenter),
            function()
                local update = UpdateButtons
                function UpdateButtons()
                    update()
                    local state = GetState()
                    local waiting = state ~= 0 and state ~= 4
                    EnableWindow("onlinehead", waiting)
                    EnableWindow("onlinewait", waiting)
                end
            end,
            Line("local", 20, 14, 400, 28, "hiscore_local", headFont, kHAlignCenter),
            Line("global", 20, 14, 400, 28, "hiscore_global", headFont, kHAlignCenter),
            Line("topplayers", 20, 14, 400, 28, "hiscore_topplayers", headFont, kHAlignCenter),
            Line("category", 70, 46, 300, 28, "", bodyFont, kHAlignCenter),
            SmallButton("categoryleft", 16, 46, "hiscore_previous"),
            SmallButton("categoryright", 324, 46, "hiscore_next"),
            Rows(),
            SmallButton("scrollup", 16, 396, "hiscore_scrollup"),
            SmallButton("scrolldown", 324, 396, "hiscore_scrolldown"),
        },
        Window{
            name = "rightpanel", x = 500, y = 110, w = 280, h = 300,
            Bitmap{name = "sidebackdrop", x = 0, y = 0, image = "images/hiscore_side.png"},
            Line("info", 20, 16, 240, 100, "hiscore_info"),
            Line("noserver", 20, 16, 240, 140, "hiscore_noserver"),
            -- A notice, not a footnote: no row of the table carries a mark for it.
            Line("eligibleasterisk", 20, 124, 16, 24, "#!", headFont),
            Line("eligible", 40, 124, 220, 48, "hiscore_eligible"),
            LabelButton("view", 40, 176, "hiscore_view"),
            LabelButton("submit", 40, 232, "hiscore_submit", {command = SubmitScore}),
        },
        Window{
            name = "rightpanelsmall", x = 500, y = 110, w = 280, h = 170,
            Bitmap{name = "smallbackdrop", x = 0, y = 0, image = "images/hiscore_side_small.png"},
            Line("server", 20, 16, 240, 48, "hiscore_server"),
            Line("error", 20, 16, 240, 90, ""),
            Line("congratulations", 20, 16, 240, 48, "hiscore_congratulations"),
            Line("dnq", 20, 16, 240, 48, "hiscore_dnq"),
            Line("yourrankglobalinfo", 20, 64, 240, 48, "hiscore_yourrankinfo"),
            Line("yourrank", 20, 64, 240, 48, ""),
            LabelButton("viewlocal", 40, 112, "hiscore_viewlocal"),
        },
        LabelButton("close", 540, 530, "hiscore_close", {close = true, cancel = true, default = true}),
    },
}
