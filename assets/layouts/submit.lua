-- Sends the player's best unsent score and the awards earned (or, with gSubmitMedals set by the
-- screen that opens it, the awards alone) to the score server: under a typed name, or under an
-- account name and password. The dialog (SubmitWindow) closes itself on success with
-- gReturnValue "qualified" or "success"; on failure it shows the server's message. With no score
-- server set up it says so at once, before anything is typed: a notice, whose OK (Enter or
-- Escape) closes it. Enter sends, Escape cancels.

local titleFont = {"fonts/bold.mvec", 24, Color(251, 242, 220)}
local bodyFont = {"fonts/default.mvec", 18, Color(232, 236, 250)}
local fieldFont = {"fonts/default.mvec", 18, Color(20, 28, 48)}
ReadFile("layouts/buttons.lua")

local medals = gSubmitMedals == true
-- The starting values arrive as a chunk setting gNameEdit, gAccountEdit, gPassEdit, gRemember,
-- gMedalsMode and, for a score, gEligibleScore.
assert(loadstring(GetLuaServerSubmitSetupVars(medals)))()

local kEditing = {"scoreline", "namelabel", "namefield", "accountlabel", "accountfield", "passlabel", "passfield",
                  "remember", "rememberlabel", "submittoserver"}

-- Whether Send was pressed: the dialog also switches to connecting, with nothing sent, when it
-- has no score server to send to.
local sending = false

-- Called by the dialog with true when the request goes out; the error's OK goes back to editing.
function SwitchModes(connecting)
    local notice = connecting and not sending
    for _, name in ipairs(kEditing) do
        EnableWindow(name, not connecting)
    end
    EnableWindow("submitconnect", connecting and not notice)
    EnableWindow("submiterror", false)
    EnableWindow("submiterrorok", false)
    EnableWindow("cancel", not notice)
    EnableWindow("noticeok", notice)
    if not connecting then
        sending = false
        EnableWindow("submittoserver", GetLabel("nameedit") ~= "" or GetLabel("accountedit") ~= "")
    end
end

local function Label(name, y, label)
    return Text{name = name, x = 30, y = y, w = 340, h = 22, label = label, font = bodyFont}
end

local function Field(name, y, edit, password)
    return Bitmap{
        name = name, x = 80, y = y, image = "images/textfield.png",
        TextEdit{name = edit, x = 8, y = 4, w = 224, h = 24, length = 24, utf8 = true, password = password,
                 font = fieldFont},
    }
end

local scoreLine = medals and "submit_medalsonly" or "#" .. GetString("submit_score") .. " " .. gEligibleScore

MakeDialog{
    SubmitWindow{
        name = "submitdialog", x = kCenter, y = kCenter, w = 400, h = 440,
        Bitmap{name = "backdrop", x = 0, y = 0, image = "images/submit_panel.png"},
        Text{name = "title", x = 20, y = 16, w = 360, h = 30, label = "submit_title", font = titleFont,
             flags = kHAlignCenter},
        Text{name = "scoreline", x = 20, y = 50, w = 360, h = 22, label = scoreLine, font = bodyFont,
             flags = kHAlignCenter},
        Label("namelabel", 80, "submit_name"),
        Field("namefield", 104, "nameedit"),
        Label("accountlabel", 146, "submit_account"),
        Field("accountfield", 170, "accountedit"),
        Label("passlabel", 208, "submit_password"),
        Field("passfield", 232, "passedit", true),
        Button{
            name = "remember", x = 80, y = 272, w = 28, h = 28, type = 1, sound = "audio/sfx/click.ogg",
            graphics = {"images/checkbox_off.png", "images/checkbox_on.png", "images/checkbox_off.png",
                        "images/checkbox_on.png"},
        },
        Text{name = "rememberlabel", x = 118, y = 272, w = 200, h = 28, label = "submit_remember", font = bodyFont,
             flags = kVAlignCenter},
        LabelButton("submittoserver", 100, 306, "submit_send", {
            default = true,
            command = function()
                sending = true
                SubmitToServer(GetLabel("nameedit"), GetLabel("accountedit"), GetLabel("passedit"),
                               GetButtonToggleState("remember"), medals)
            end,
        }),
        Text{name = "submitconnect", x = 20, y = 140, w = 360, h = 60, label = "submit_connecting",
             font = bodyFont, flags = kHAlignCenter},
        Text{name = "submiterror", x = 20, y = 100, w = 360, h = 150, font = bodyFont, flags = kHAlignCenter},
        LabelButton("submiterrorok", 100, 306, "submit_errorok", {
            default = true, command = function() SwitchModes(false) end,
        }),
        LabelButton("cancel", 100, 360, "submit_cancel", {close = true, cancel = true}),
        LabelButton("noticeok", 100, 360, "submit_errorok", {close = true, default = true, cancel = true}),
        function()
            SetLabel("nameedit", gNameEdit)
            SetLabel("accountedit", gAccountEdit)
            SetLabel("passedit", gPassEdit)
            SetButtonToggleState("remember", gRemember)
            SwitchModes(false)
            SetFocus("nameedit")
        end,
    },
}
