-- Pose animations of an actor's sheet, put in front of the actor's own animation script by the
-- build. Per direction the sheet holds ten frames: standing (1), a step cycle (6) and a
-- talking mouth (3). Helpers stay local: every global function of an animation script counts
-- as an animation.

-- The standing, walking and talking animations of the direction whose frames start at
-- `first`: `stepMs` per step frame at the player's walking pace, `mouthMs` per mouth frame.
local function poses(first, stepMs, mouthMs)
    local function stand()
        delay(1000)
        while true do frames{first} end
    end
    local function walk()
        while true do
            -- walkspeed (1 to 3, the player's setting) is set before every play.
            delay(stepMs / (walkspeed or 1))
            frames{first + 1, first + 2, first + 3, first + 4, first + 5, first + 6}
        end
    end
    local function talk()
        delay(mouthMs)
        while true do frames{first + 7, first + 8, first + 9, first + 8} end
    end
    return stand, walk, talk
end
