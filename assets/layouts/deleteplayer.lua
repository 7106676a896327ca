-- Asks before a player is deleted, naming them. DoModal hands back "delete_yes" or "delete_no";
-- Return and Escape both keep the player. The caller names the player (gDeleteName) and the
-- row of their button (gDeleteRow, 0 to 4): the question stands below the top two rows and
-- above the others, so that the chosen profile stays in sight.

local pieces = ReadFile("layouts/pieces.lua")
-- Shown as typed, never as markup.
local name = (string.gsub(gDeleteName or "", "([<\\])", "\\%1"))
local y = kCenter + 50
if (gDeleteRow or 0) >= 2 then
    y = kCenter - 184
end

MakeDialog{
    pieces.Question("deleteplayer", "#" .. GetString("deleteplayer_title", name),
                    "#" .. GetString("deleteplayer_question", name), "delete_yes", "delete_no"),
    function() SetPosition("deleteplayer", kCenter, y) end,
}
