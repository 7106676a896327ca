#pragma once
// What the interface scripts need beyond the window functions: music (one looping piece at a
// time, streamed from its file) and a line in the program's log.
//   PlayMusic("audio/music/mainmenumusic.ogg")   -- replaces what played before
//   StopMusic()
//   WriteLog("Menu command: menu_play")

struct lua_State;

// Sets the Lua globals "PlayMusic", "StopMusic" and "WriteLog".
void BindInterfaceFunctions(lua_State* L);
// Stops the music that is playing, if any.
void StopMusic();
