#pragma once
// The four debug switches that cheat mode's keys flip in play: 0 the actors' zone outlines,
// 1 the scene's ground mesh and path, 2 the scene's closest-point probe under the mouse,
// 3 the speech boxes (0 off, 1 outlines, 2 filled). Read only in cheat mode.

constexpr int kDebugFlagCount = 4;
extern int debugflag[kDebugFlagCount];

// The switch's value; 0 outside cheat mode or for an index out of range.
int DebugSwitch(int index);
