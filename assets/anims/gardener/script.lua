-- The gardener's animations: "DoStand", "DoWalk" and "DoTalk" facing S, E and N, ten frames
-- per direction in that order (standing 1, a step cycle 6, a talking mouth 3). West is east
-- mirrored; the diagonals fall back to the four-way names.
-- Helpers stay local: every global function here counts as an animation.

local function stand(first)
    return function()
        delay(1000)
        while true do frames{first} end
    end
end

local function walk(first)
    return function()
        while true do
            -- walkspeed (1 to 3, the player's setting) is set before every play.
            delay(180 / (walkspeed or 1))
            frames{first, first + 1, first + 2, first + 3, first + 4, first + 5}
        end
    end
end

local function talk(first)
    return function()
        delay(130)
        while true do frames{first, first + 1, first + 2, first + 1} end
    end
end

DoStandS, DoWalkS, DoTalkS = stand(1), walk(2), talk(8)
DoStandE, DoWalkE, DoTalkE = stand(11), walk(12), talk(18)
DoStandN, DoWalkN, DoTalkN = stand(21), walk(22), talk(28)
DoStand, DoWalk, DoTalk = DoStandS, DoWalkS, DoTalkS
