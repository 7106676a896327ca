-- Mira's animations, one global function per name the actor model asks for: "DoStand",
-- "DoWalk" or "DoTalk" followed by a direction. The sheet holds ten frames per direction,
-- in the order S, SE, E, NE, N: standing (1), a step cycle (6), a talking mouth (3). The
-- west side is the east side mirrored (the actor carries AFLAG_X_FLIPPABLE).
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
            delay(150 / (walkspeed or 1))
            frames{first, first + 1, first + 2, first + 3, first + 4, first + 5}
        end
    end
end

local function talk(first)
    return function()
        delay(110)
        while true do frames{first, first + 1, first + 2, first + 1} end
    end
end

DoStandS, DoWalkS, DoTalkS = stand(1), walk(2), talk(8)
DoStandSE, DoWalkSE, DoTalkSE = stand(11), walk(12), talk(18)
DoStandE, DoWalkE, DoTalkE = stand(21), walk(22), talk(28)
DoStandNE, DoWalkNE, DoTalkNE = stand(31), walk(32), talk(38)
DoStandN, DoWalkN, DoTalkN = stand(41), walk(42), talk(48)
-- For a facing of no direction.
DoStand, DoWalk, DoTalk = DoStandS, DoWalkS, DoTalkS
