-- The diary's quest page: the quests taken on, numbered (done ones ticked), on the left; on
-- the right a page of the book with new entries, turned with the arrows or the arrow keys, or
-- the quest whose link was clicked. "Notebooks" turns back to diary/primary.lua.

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
            -- Until a quest is picked, the page says what to do rather than stand empty.
            tDiaryText{name = "diary_entry", x = 368, y = 44, w = 320, h = 340, font = parts.bodyFont,
                       label = "diary_pick_quest"},
            parts.Button("left_arrow", "diary_older", 368, 410, parts.Send("go_left")),
            parts.Button("right_arrow", "diary_newer", 588, 410, parts.Send("go_right")),
        },
        parts.Button("notebooks", "diary_notebooks", 36, 490, parts.TurnTo("diary/primary.lua")),
        parts.Button("close", "diary_close", 624, 490, nil, true),
    },
}
