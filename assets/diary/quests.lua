-- The diary's quest page: the quests taken on, numbered (done ones ticked), on the left; on
-- the right the quest whose link was clicked, and until then what to do. "Clues" turns back to
-- diary/primary.lua, which opens on the clues.

local parts = ReadFile("diary/parts.lua")

MakeDialog{
    Bitmap{
        name = "diary", x = parts.bookX, y = parts.bookY, image = "images/diary_book.png",
        tDiaryWindow{
            name = "diarypage", x = 36, y = 36, w = 688, h = 442,
            Text{name = "quests_header", x = 0, y = 0, w = 320, h = 34, label = "diary_quests", font = parts.titleFont},
            Bitmap{name = "slate", x = 0, y = 40, image = "images/quest_slate.png"},
            tDiaryText{name = "quest_list", x = 12, y = 52, w = 296, h = 328, font = parts.chalkFont},
            Text{name = "diary_header", x = 368, y = 0, w = 320, h = 34, font = parts.titleFont},
            tDiaryText{name = "diary_entry", x = 368, y = 44, w = 320, h = 340, font = parts.bodyFont},
        },
        -- The window opens on a page of the book, titled after its entry; until a quest is picked
        -- the page says what to do instead. (The book's pages are turned on the clues' screen.)
        function()
            SetLabel("diary_header", GetString("diary_quest_page"))
            SetLabel("diary_entry", GetString("diary_pick_quest"))
        end,
        parts.Button("notebooks", "diary_notebooks", 36, 490, parts.TurnTo("diary/primary.lua")),
        parts.Button("close", "diary_close", 624, 490, nil, true),
    },
}
