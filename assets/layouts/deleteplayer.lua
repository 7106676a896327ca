-- Asks before a player is deleted. DoModal hands back "delete_yes" or "delete_no"; Return and
-- Escape both keep the player.

local pieces = ReadFile("layouts/pieces.lua")

MakeDialog{
    pieces.Question("deleteplayer", "deleteplayer_title", "deleteplayer_question", "delete_yes", "delete_no"),
}
