-- The demo's progress data: the twelve awards (name, points), the items of both bags, the
-- quests and the diary entries. The scene scripts hand these tables to BAG_INV, BAG_MAGIC,
-- quest and the BOOK_ globals; texts are string-table keys, localised when they are added.

awardlist = {
    { "award_woke_up",        5 },   -- the opening line was heard
    { "award_found_key",     10 },   -- the key from the drawer
    { "award_read_note",     10 },   -- Pip's note on the table
    { "award_left_home",     10 },   -- through the cottage door
    { "award_met_gardener",  10 },   -- the first conversation
    { "award_all_answers",   15 },   -- every dialogue choice tried
    { "award_opened_gate",   15 },   -- the key used on the gate
    { "award_got_lantern",   10 },   -- the gardener's lantern
    { "award_lit_forest",    20 },   -- the lantern puzzle solved
    { "award_fireflies",     10 },   -- the fireflies followed
    { "award_found_pip",     25 },   -- the cat at the clearing
    { "award_first_try",     30 },   -- the lantern lit without a wrong shutter
}

items = {
    key = { key = "key", text = "item_key", anim = "items/key", cursor = "cursors/key",
            cantuse = "cantuse_key", cursor_hot = { x = 4, y = 4 } },
    note = { key = "note", text = "item_note", anim = "items/note", cursor = "cursors/note",
             cantuse = "cantuse_note", cursor_hot = { x = 8, y = 8 } },
    apple = { key = "apple", text = "item_apple", anim = "items/apple", cursor = "cursors/apple",
              cantuse = "cantuse_apple", cursor_hot = { x = 6, y = 10 } },
    -- The magic bag's one item.
    lantern = { key = "lantern", text = "item_lantern", anim = "items/lantern", cursor = "cursors/lantern",
                cantuse = "cantuse_lantern", cursor_hot = { x = 12, y = 2 } },
}

-- quest:AddQuest(key, title, body, icon)
quests = {
    findpip = { "findpip", "quest_findpip", "quest_findpip_body", "icons/quest_pip" },
    lantern = { "lantern", "quest_lantern", "quest_lantern_body", "icons/quest_lantern" },
}

-- BOOK_x:AddDiaryEntry(key, title, base): the title's string key, the base string and its
-- numbered lines
diary = {
    note = { book = "BOOK_PRI", key = "note", title = "diary_title_note", base = "diary_note" },
    -- The same page once the key is found: its hint no longer asks where the key is.
    note_key = { book = "BOOK_PRI", key = "note", title = "diary_title_note", base = "diary_notekey" },
    roses = { book = "BOOK_PRI", key = "roses", title = "diary_title_roses", base = "diary_roses" },
    -- The same page once he has lent the lantern: its hint no longer says he might.
    roses_lent = { book = "BOOK_PRI", key = "roses", title = "diary_title_roses", base = "diary_roseslent" },
    sketch = { book = "BOOK_SEC", key = "sketch", title = "diary_title_sketch", base = "diary_sketch" },
    fireflies = { book = "BOOK_PRI", key = "fireflies", title = "diary_title_fireflies", base = "diary_fireflies" },
}

-- The story's main voice lines (audio/vox/<name>.ogg or .spx) and the words each says; every
-- line spoken has its voice in assets/packed/voices, these are the ones the scene checks match
-- against their subtitles.
lines = {
    mira_opening = "Pip? Pip! Where has that cat got to this time?",
    mira_drawer = "A little brass key. It might open the garden gate.",
    mira_note = "Gone to chase the moon. Signed, a paw print.",
    gardener_greeting = "Good morning, miss. Lost something, have we?",
    gardener_roses = "Mind the roses. They took me ten long years.",
    gardener_lantern = "Take this lantern. The forest is dark at night.",
    mira_thanks = "Thank you! I will bring it back, I promise.",
    mira_forest_dark = "It is so dark. I can hardly see the path.",
    mira_lantern_lit = "There! Now I can see the way.",
    mira_found_pip = "Pip! There you are!",
    mira_going_home = "Come on, then. The fire is still warm.",
}

music = { cottage = "audio/music/cottage.ogg", garden = "audio/music/garden.ogg",
          forest = "audio/music/forest.ogg", clearing = "audio/music/clearing.ogg" }
effects = { item_added = "audio/sfx/item_added.ogg", award = "audio/sfx/award.ogg",
            gate_open = "audio/sfx/gate_open.ogg", diary_page = "audio/sfx/diary_page.ogg",
            shutter = "audio/sfx/shutter.ogg", shutter_stuck = "audio/sfx/shutter_stuck.ogg",
            lantern_lit = "audio/sfx/lantern_lit.ogg" }
