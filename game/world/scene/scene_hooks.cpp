#include "game/world/scene/scene_hooks.h"

namespace {
tMusicVolumeHook gMusicVolume = nullptr;
tCursorHook gCursor = nullptr;
tGameWindowHook gGameWindow = nullptr;
}  // namespace

void SetMusicVolumeHook(tMusicVolumeHook hook)
{
    gMusicVolume = hook;
}

void ApplyMusicVolume(float factor)
{
    if (gMusicVolume)
        gMusicVolume(factor);
}

void SetCursorHook(tCursorHook hook)
{
    gCursor = hook;
}

void ActivateCursor(const str& name)
{
    if (gCursor)
        gCursor(name);
}

void SetGameWindowHook(tGameWindowHook hook)
{
    gGameWindow = hook;
}

TWindow* GetGameWindow()
{
    return gGameWindow ? gGameWindow() : nullptr;
}
