-- The game as it is played: the scene, drawn and driven by TGame, and the interface over it:
-- the bar along the bottom with both bags (arrows, frame, strip of icons) and the diary button,
-- the line naming what the pointer is over, the back button, the dialogue choices,
-- the paw print with its glitter, the ivy, the scene's over-the-bar layer, and on top the window a
-- puzzle's sub-scene runs in.
-- scripts/mainloop.lua shows it while play lasts; SendGameMessage('quit') (the pause screen)
-- or the end of the game closes it.

local pieces = ReadFile("layouts/pieces.lua")
local lineFont = {"fonts/bold.mvec", 20, Color(255, 246, 224), outline_color = Color(0, 0, 0), outline_size = 2}
local choiceFont = {"fonts/default.mvec", 18, Color(255, 255, 255)}
local tipFont = {"fonts/bold.mvec", 16, Color(255, 246, 224), outline_color = Color(0, 0, 0), outline_size = 2}

-- Icons: a cell of 52 x 48 per item, the 48 x 48 picture two pixels in.
local kCell = 52
local kIconHeight = 48
-- The bar's top edge; its tab for the diary button rises 16 pixels above it.
local kBarTop = 528

-- A bag on the bar: the arrows either side of a frame holding `visible` icons. The strip of
-- icons lies in a window as wide as those icons, which cuts off the ones scrolled out.
local function Bag(bag, x, visible, frame)
    local name = bag == BAG.BAG_INV and "BAG_INV" or "BAG_MAGIC"
    local object = _G[name]
    local width = visible * kCell
    local function Arrow(side, ax, step)
        return Button{
            name = name .. "_" .. side, x = ax, y = kBarTop + 12, w = 24, h = 48,
            graphics = {"interface/arrow_" .. side .. "_normal.png", "interface/arrow_" .. side .. "_over.png",
                        "interface/arrow_" .. side .. "_over.png"},
            sound = "audio/sfx/click.ogg",
            command = function() object:MoveInventory(step) end,
        }
    end
    return Group{
        Arrow("left", x, -1),
        Bitmap{
            name = name .. "_bg", x = x + 28, y = kBarTop + 8, image = frame,
            Window{
                name = name .. "_view", x = 4, y = 4, w = width, h = kIconHeight,
                tIconStrip{
                    name = name .. "_strip", x = 0, y = 0, w = 8 * kCell, h = kIconHeight,
                    maxicons = 8, iconbase = name .. "_obj", ibase_x = 2, igap_x = kCell,
                    bag = bag, visibleicons = visible, halo = "interface/halo",
                    -- A click on icon i takes up item i (or puts down the one in hand).
                    icongen = function(b, i)
                        return function() game:UseInventory(b, i) end
                    end,
                },
            },
        },
        Arrow("right", x + 28 + width + 8 + 4, 1),
    }
end

-- Row i of the dialogue choices: the choice handler writes the text into its Text child. A
-- talk lists its farewell first, so the first row is the one Escape presses.
local function ChoiceRow(i)
    return Button{
        name = "button" .. i, x = 0, y = i * 36, w = 436, h = 36, cancel = i == 0,
        graphics = {"interface/choice_row.png", "interface/choice_row_pressed.png",
                    "interface/choice_row_hover.png"},
        sound = "audio/sfx/click.ogg",
        command = function() ChoiceClicked(i) end,
        Text{name = "label", x = 12, y = 0, w = 412, h = 36, font = choiceFont, flags = kVAlignCenter},
    }
end

-- Opened, the diary has nothing new any more: the button stops pulsing (the scripts set
-- "flash_diary" as they add a page).
local function OpenDiary()
    game:Set("flash_diary", 0)
    EnterPause()
    dfSetStatus("++DiaryAccesses")
    DoModal("diary/primary.lua")
    ExitPause()
end

MakeDialog{
    TGame{
        name = "game", x = 0, y = 0, w = 800, h = 600,
        -- Shown while a puzzle's window may be left (Escape leaves it too).
        pieces.SmallButton("return", "hud_return", 16, 16, function() scene:ReturnFromScene() end, nil, "escape"),
        Text{name = "inv_desc", x = 0, y = kBarTop - 36, w = 800, h = 28, font = lineFont,
             flags = kHAlignCenter + kVAlignCenter},
        Bitmap{name = "HUDBG", x = 0, y = kBarTop - 16, image = "interface/hud_bar.png"},
        -- The bar keeps clicks from the ground below it; beside the tab they go through.
        tIntercept{name = "INTERCEPTSPEC", x = 0, y = kBarTop - 16, w = 800, h = 88, mask = "interface/hud_mask"},
        Bag(BAG.BAG_INV, 16, 4, "interface/bag_frame.png"),
        Bag(BAG.BAG_MAGIC, 596, 2, "interface/magic_frame.png"),
        -- TGame pulses its resting picture while the diary holds something not yet read.
        Button{
            name = "DiaryButton", x = 368, y = kBarTop - 14, w = 64, h = 64,
            graphics = {"interface/diary_button_normal.png", "interface/diary_button_pressed.png",
                        "interface/diary_button_hover.png"},
            sound = "audio/sfx/click.ogg", command = OpenDiary,
            RolloverWindow{name = "diaryhint", x = 0, y = 0, w = 64, h = 64, activate = "diarytip",
                           text = GetString("hud_diary_tip")},
        },
        -- The paw print on the bar (drawn over it, below) pauses the game, as Escape does; the
        -- pointer over it names it. The hot area inside sees the moves before the button.
        Button{
            name = "pawbutton", x = 300, y = kBarTop + 14, w = 40, h = 40, sound = "audio/sfx/click.ogg",
            command = function() EnterPause(); DoModal("scripts/pause.lua"); ExitPause() end,
            RolloverWindow{name = "pawhint", x = 0, y = 0, w = 40, h = 40, activate = "pawtip",
                           text = GetString("hud_pause_tip")},
        },
        Text{name = "pawtip", x = 220, y = kBarTop - 14, w = 200, h = 24, font = tipFont,
             flags = kHAlignCenter + kVAlignCenter},
        -- The diary button's name, on the bar beside its tab.
        Text{name = "diarytip", x = 440, y = kBarTop + 20, w = 150, h = 24, font = tipFont,
             flags = kHAlignLeft + kVAlignCenter},
        -- Beside the back button, which stays clickable while a question waits. A talk ends by
        -- its own farewell among the choices: no goodbye button repeats it.
        Bitmap{
            name = "CHOICEBOX", x = 150, y = 0, image = "interface/choice_box.png",
            TScrolledWindow{
                name = "SCROLLOUTER", x = 16, y = 12, w = 468, h = 144, snap = 4,
                railtop = "images/slider_railtop.png", railmid = "images/slider_railmid.png",
                railbot = "images/slider_railbot.png", sliderimage = "images/slider_thumb.png",
                Window{
                    name = "SCROLLINNER", x = 0, y = 0, w = 436, h = 216,
                    ChoiceRow(0), ChoiceRow(1), ChoiceRow(2), ChoiceRow(3), ChoiceRow(4), ChoiceRow(5),
                },
            },
        },
        -- The paw print with its glitter and the ivy, under the scene's over-the-bar layer, so
        -- that a fade drawn there (the story's end) darkens them with the bar. The glitter keeps
        -- off the diary button, whose own pulse says that a page is new.
        Window{
            name = "overbar", x = 0, y = 0, w = 800, h = 600,
            tMenuParty{name = "glitter", x = 296, y = kBarTop - 8, w = 48, h = 80, px = 24, py = 44,
                       file = "interface/hud_glitter.lua"},
            tMenuSprite{name = "paw", x = 300, y = kBarTop + 14, file = "interface/hud_paw", anim = "DoAnim"},
            tAtlasImage{name = "ivy_left", x = 0, y = kBarTop - 31, w = 96, h = 34, frame = "hud_vine_left"},
            tAtlasImage{name = "ivy_right", x = 704, y = kBarTop - 31, w = 96, h = 34, frame = "hud_vine_right"},
        },
        TOverhud{name = "overhud", x = 0, y = 0, w = 800, h = 600},
        -- A puzzle opened over the scene (ChainToSubScene) runs here, above everything else.
        tSubGame{name = "subgame"},
        -- The choices show only while a conversation asks, the back button only while a puzzle
        -- may be left (from the first frame on, as each frame sets it).
        function()
            EnableWindow("CHOICEBOX", false); EnableWindow("pawtip", false); EnableWindow("diarytip", false)
            EnableWindow("return", false)
        end,
    },
}
