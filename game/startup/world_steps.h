#pragma once
// The game world's share of the start and the loop: the pause behind the scripts'
// "EnterPause", "ExitPause" and "IsPaused" (reported to the play metrics), the voice-line
// cache dropped with the scene, the sound front as the script global "sfx", the scene list,
// the one main scene (made at start, emptied and released at quit), the sub-scene and the
// dialogue choices.
//   InstallWorldSteps();
//   BindWorldToLua(L);   -- sfx:SetMusic("audio/music/mainmenumusic.ogg", true)

struct lua_State;

void InstallWorldSteps();
void BindWorldToLua(lua_State* L);
