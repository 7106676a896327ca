-- The gardener's animations: "DoStand", "DoWalk" and "DoTalk" facing S, E and N, in this
-- order on his sheet. West is east mirrored; the diagonals fall back to the four-way names.
local STEP, MOUTH = 180, 130
DoStandS, DoWalkS, DoTalkS = poses(1, STEP, MOUTH)
DoStandE, DoWalkE, DoTalkE = poses(11, STEP, MOUTH)
DoStandN, DoWalkN, DoTalkN = poses(21, STEP, MOUTH)
DoStand, DoWalk, DoTalk = DoStandS, DoWalkS, DoTalkS
