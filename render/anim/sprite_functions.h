#pragma once
// The functions an animated sprite puts into its script as globals, each acting on that sprite:
// SetCurrentFrame, WaitLuaNextFrame, Die, Pause, IsPlaying, Load, GetScript, SetAlpha, SetLayer,
// RemoveSprite and Random.

struct lua_State;

void RegisterSpriteFunctions(lua_State* L);
