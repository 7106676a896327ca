-- The game's scenes in play order (the first starts a new game): title, folder, name.
scenelist = {
  { "Mira's Cottage", "quest/cottage/", "cottage" },
  { "The Garden", "quest/garden/", "garden" },
  { "The Night Forest", "quest/forest/", "forest" },
  { "The Clearing", "quest/clearing/", "clearing" },
}

-- Mouse cursors: name, base path of the two images (".hw" and ".sw" added), hot spot.
cursorlist = {
  { "cursor", "cursors/arrow", 1, 1 },
  { "cursor_inactive", "cursors/arrow_dim", 1, 1 },
  { "cursor_talk", "cursors/talk", 12, 12 },
  { "cursor_exit", "cursors/exit", 12, 12 },
  { "cursor_walk", "cursors/walk", 12, 12 },
  { "cursor_use", "cursors/use", 11, 2 },
  -- "cursors/look.hw" is an animation: its frames are shown one after another.
  { "cursor_look", "cursors/look", 12, 12 },
}

-- The awards (awardlist) are read from this state too; they live with the rest of the
-- progress data.
dofile("quest/progress.lua")
