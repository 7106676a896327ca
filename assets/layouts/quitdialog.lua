-- Asks whether to leave the game. Its pictures come from dialog.zvp.
-- DoModal hands back the name of the button pressed: "quit_yes" or "quit_no". Return and
-- Escape both keep playing.

local pieces = ReadFile("layouts/pieces.lua")

MakeDialog{
    pieces.Question("quitdialog", "quit_title", "quit_question", "quit_yes", "quit_no"),
}
