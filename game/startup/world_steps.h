#pragma once
// The game-state parts' share of the start and the loop: the pause behind the scripts'
// "EnterPause", "ExitPause" and "IsPaused" (reported to the play metrics) and the voice-line
// cache dropped with the scene. The script globals ("sfx", "game", the enumerations, the
// class tables) come from the game's Lua environment (PrepareLuaEnvironment).
//   InstallWorldSteps();

void InstallWorldSteps();
