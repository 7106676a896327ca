-- Mira's cottage (scene 0). Pip is gone: the drawer holds the key to the garden gate, the note
-- on the table starts the search, and the door lets her out once she knows where to look.
-- The lamp's lightmap tints her as she walks past it.

-- Runs from Mira's script as the scene starts: the room's settings and, the first time, the
-- opening line.
local function Opening(mira)
    scene:SetRoomScale(400, 580, 0.8, 1)
    sfx:SetMusic(music.cottage, true)
    mira:AddFlag(AFLAG.AFLAG_USE_LIGHTMAP)
    coroutine.yield(RESUME.ON_FADE)
    if game:Get("cottage_opening") == 0 then
        SayAndWait(mira, "mira_opening")
        game:Set("cottage_opening", 1)
        Award("award_woke_up")
    end
end

-- The note's page in the diary: its last hint asks where the gate's key is until the drawer
-- has given it up.
local function NoteEntry()
    if game:Get("drawer_open") == 1 then return diary.note_key end
    return diary.note
end

local function OpenDrawer(drawer, mira)
    mira:SetMode(MODE.CUTSCENE)
    mira:FaceActor(drawer)
    if game:Get("drawer_open") == 0 then
        game:Set("drawer_open", 1)
        BAG_INV:AddInventory(items.key)
        -- Read before the key, the note's hint on the gate learns of it.
        if quest:CheckQuest("findpip") ~= nil then AddDiary(NoteEntry()) end
        local earned = EarnAwards("award_found_key")
        KeepProgress()
        -- The key is seen and named before the award for it is told.
        SayAndWait(mira, "mira_drawer")
        TellAwards(earned)
    else
        SayAndWait(mira, "cottage_drawer_empty")
    end
    mira:SetMode(MODE.FOLLOWCLICKS)
end

local function ReadNote(note, mira)
    mira:SetMode(MODE.CUTSCENE)
    mira:FaceActor(note)
    SayAndWait(mira, "mira_note")
    if quest:CheckQuest("findpip") == nil then
        AddDiary(NoteEntry())
        AddQuest(quests.findpip)
        BAG_INV:AddInventory(items.note)
        Award("award_read_note")
        SayAndWait(mira, "cottage_note_think")
    end
    mira:SetMode(MODE.FOLLOWCLICKS)
    -- In the bag now, so no longer on the table.
    note:Expire()
end

local function TryDoor(door, mira)
    if quest:CheckQuest("findpip") == nil then
        Remark(mira, "cottage_door_not_yet")
        return
    end
    mira:SetMode(MODE.CUTSCENE)
    if game:Get("left_home") == 0 then
        game:Set("left_home", 1)
        Award("award_left_home")
    end
    LeaveFor("garden")
end

scene_spec = {
    bg_image = "cottage",
    lightmap = "cottage_light",
    ground = "cottage",
    actorlist = {
        HeroineSpec({ default = "spawn", garden = "from_garden" }, Opening),
        PropSpec({
            name = "DRAWER",
            halo = "drawer_halo",
            point_at_name = "cottage_name_drawer",
            command = function(self) self:SetPointAtCursor("cursor_use", { x = 11, y = 2 }) end,
            on_arrive = Scripted(OpenDrawer),
        }, 415, 343),
        PropSpec({
            name = "NOTE",
            image = "note",
            halo = "note_halo",
            hotspot = "hotspot",
            point_at_name = "cottage_name_note",
            on_arrive = Scripted(ReadNote),
            command = function(self)
                if quest:CheckQuest("findpip") ~= nil then return self:Expire() end
                self:SetPointAtCursor("cursor_use", { x = 11, y = 2 })
            end,
        }, 423, 295),
        ExitSpec({
            name = "DOOR",
            halo = "door_halo",
            point_at_name = "cottage_name_door",
            cantuse = "cottage_cantuse_door",
        }, TryDoor, 635, 390),
    },
}
