-- Mira's animations, the names the actor model asks for: "DoStand", "DoWalk" and "DoTalk"
-- followed by a direction. Her sheet holds S, SE, E, NE and N in this order; the west side is
-- the east side mirrored (she carries AFLAG_X_FLIPPABLE).
local STEP, MOUTH = 90, 110
DoStandS, DoWalkS, DoTalkS = poses(1, STEP, MOUTH)
DoStandSE, DoWalkSE, DoTalkSE = poses(11, STEP, MOUTH)
DoStandE, DoWalkE, DoTalkE = poses(21, STEP, MOUTH)
DoStandNE, DoWalkNE, DoTalkNE = poses(31, STEP, MOUTH)
DoStandN, DoWalkN, DoTalkN = poses(41, STEP, MOUTH)
-- For a facing of no direction.
DoStand, DoWalk, DoTalk = DoStandS, DoWalkS, DoTalkS
