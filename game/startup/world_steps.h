#pragma once
// The game world's share of the start and the loop: the pause behind the scripts'
// "EnterPause", "ExitPause" and "IsPaused" (reported to the play metrics), the voice-line cache
// dropped with the scene, the scene list, the one main scene (made at start, emptied and
// released at quit), the sub-scene and the dialogue choices. The script globals ("sfx",
// "game", the enumerations, the class tables) come from the game's Lua environment
// (PrepareLuaEnvironment).
//   InstallWorldSteps();

void InstallWorldSteps();
