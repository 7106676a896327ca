-- The diary, as the game opens it (DoModal) when a sketch or a remedy is written down: the
-- book's entry titles on the left page with tabs for the other books, the selected entry on
-- the right with its hint and picture. "Quests" turns to the quest page (diary/quests.lua).
-- The entry view and the hint button come before the list: the list fills them as it is made.

local parts = ReadFile("diary/parts.lua")

MakeDialog{
    Bitmap{
        name = "diary", x = parts.bookX, y = parts.bookY, image = "images/diary_book.png",
        -- The entry's picture is drawn at the middle of this window: so tall a window puts it
        -- low on the page (from 230 to 390 for a picture 160 high), under the text and its
        -- hints, above the buttons.
        tWindowItemEntry{
            name = "entry_window", x = 404, y = 36, w = 320, h = 620,
            Text{name = "item_title", x = 0, y = 0, w = 320, h = 34, font = parts.titleFont},
            tDiaryText{name = "item_body", x = 0, y = 44, w = 320, h = 180, font = parts.bodyFont},
        },
        parts.Button("hintbutton", "diary_hint", 514, 446, parts.Send("hint")),
        parts.Button("older", "diary_older", 404, 446, parts.Send("go_left")),
        parts.Button("newer", "diary_newer", 624, 446, parts.Send("go_right")),
        tWindowItemList{
            name = "itemlist", x = 36, y = 36, w = 320, h = 440,
            outline_color = Color(250, 226, 150), pointat_color = Color(60, 44, 120),
            Text{name = "notes_list_header", x = 0, y = 0, w = 320, h = 34, font = parts.titleFont},
            TScrolledWindow{
                name = "listscrollwindow", x = 0, y = 44, w = 320, h = 340, snap = 4,
                railtop = "images/slider_railtop.png", railmid = "images/slider_railmid.png",
                railbot = "images/slider_railbot.png", sliderimage = "images/slider_thumb.png",
                tDiaryText{name = "listtext", x = 0, y = 0, w = 296, h = 340, font = parts.bodyFont},
            },
            -- The demo keeps two notebooks, and the open one's tab is hidden: one tab shows at a
            -- time, always in the same place.
            parts.Button("C_CLUES", "diary_tab_clues", 0, 400, parts.Send("clues")),
            parts.Button("C_SKETCHES", "diary_tab_sketches", 0, 400, parts.Send("sketches")),
        },
        parts.Button("quests", "diary_quests", 36, 490, parts.TurnTo("diary/quests.lua")),
        parts.Button("close", "diary_close", 624, 490, nil, true),
    },
}
