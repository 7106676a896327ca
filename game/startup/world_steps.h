#pragma once
// The game-state parts' share of the start and the loop: the pause behind the scripts'
// "EnterPause", "ExitPause" and "IsPaused" (reported to the play metrics), the voice-line
// cache dropped with the scene, and the sound front as the script global "sfx".
//   InstallWorldSteps();
//   BindWorldToLua(L);   -- sfx:SetMusic("audio/music/mainmenumusic.ogg", true)

struct lua_State;

void InstallWorldSteps();
void BindWorldToLua(lua_State* L);
