#pragma once
// The in-game debug switches, toggled by keys in cheat mode and read only in cheat mode:
// 0 actor zones, 1 the ground mesh and last path, 2 the mouse's closest ground point,
// 3 speech-text boxes (0, 1 or 2).

constexpr int kDebugFlagCount = 4;
extern int debugflag[kDebugFlagCount];
