#pragma once
// The four debug switches that the game window's cheat keys step: 0 the actors' zone
// overlays, 1 the scene's mesh and path, 2 the scene's mouse-move debugging, 3 the speech
// boxes (1 outlines, 2 filled). They count only in cheat mode.

extern int debugflag[4];

// The switch's value; 0 outside cheat mode or for an index out of range.
int DebugSwitch(int index);
