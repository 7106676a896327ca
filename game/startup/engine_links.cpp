#include "game/startup/engine_links.h"

#include "game/startup/asset_loaders.h"
#include "game/startup/render_links.h"
#include "game/startup/sound_manager_link.h"
#include "game/startup/window_system_links.h"

void InstallEngineLinks()
{
    static TSoundManagerLink sound;
    SetSoundLink(&sound);
    InstallSoundMasterVolume();
    static TRendererLink render;
    SetRenderLink(&render);
    static TPlatformRenderPlatform renderPlatform;
    SetRenderPlatform(&renderPlatform);
    static TWindowManagerLink windows;
    SetWindowSystemLink(&windows);
    InstallWindowSystemHooks();
    InstallAssetLoaders();
}
