#include "game/startup/engine_links.h"

#include "game/startup/asset_loaders.h"
#include "game/startup/render_links.h"
#include "game/startup/sound_manager_link.h"
#include "game/startup/window_system_links.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

void InstallEngineLinks()
{
    static TSoundManagerLink sound;
    SetSoundLink(&sound);
    InstallSoundMasterVolume();
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    static TRendererLink render;
    SetRenderLink(&render);
    static TPlatformRenderPlatform renderPlatform;
    SetRenderPlatform(&renderPlatform);
    static TWindowManagerLink windows;
    SetWindowSystemLink(&windows);
    InstallWindowSystemHooks();
    InstallAssetLoaders();
}
