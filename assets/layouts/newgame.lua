-- Asks before Play starts the story over a game the player could continue. DoModal hands back
-- "newgame_yes" or "newgame_no"; Return and Escape both keep the saved game.

local pieces = ReadFile("layouts/pieces.lua")

MakeDialog{
    pieces.Question("newgame", "newgame_title", "newgame_question", "newgame_yes", "newgame_no"),
}
