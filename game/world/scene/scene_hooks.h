#pragma once
// What the scene reaches of the game above the world library: the settings' music volume, the
// cursor manager and the in-game root window. The game installs each when it builds them;
// without one the scene goes on without that service.
//   SetMusicVolumeHook(&AdjustMusicVolume);
//   SetGameWindowHook([] { return static_cast<TWindow*>(g_pGame); });

#include "core/text/str.h"

class TWindow;

// Scales the music's volume by a factor (1 leaves the player's setting as it is).
using tMusicVolumeHook = void (*)(float factor);
void SetMusicVolumeHook(tMusicVolumeHook hook);
void ApplyMusicVolume(float factor);

// Shows the cursor of that name.
using tCursorHook = void (*)(const str& name);
void SetCursorHook(tCursorHook hook);
void ActivateCursor(const str& name);

// The in-game root window, or null while there is none.
using tGameWindowHook = TWindow* (*)();
void SetGameWindowHook(tGameWindowHook hook);
TWindow* GetGameWindow();
