#include "engine/engine.h"

#include "core/platform/platform_host.h"
#include "core/platform/startup.h"
#include "engine/asset_loaders.h"
#include "engine/engine_render_link.h"
#include "engine/engine_render_platform.h"
#include "engine/engine_sound_link.h"
#include "engine/engine_window_system_link.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

void RunEngine(std::unique_ptr<TPlatformHost> host, int argc, char** argv, TGameMainFunction main, bool flag)
{
    TEngineSoundLink sound;
    TEngineRenderLink render;
    TEngineRenderPlatform renderPlatform;
    TEngineWindowSystemLink windows;
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    SetSoundLink(&sound);
    SetRenderLink(&render);
    SetRenderPlatform(&renderPlatform);
    SetWindowSystemLink(&windows);
    InstallSoundMasterVolume();
    InstallWindowSystemHooks();
    InstallAssetLoaders();

    RunApplication(std::move(host), argc, argv, main, flag);

    SetWindowSystemLink(nullptr);
    SetRenderPlatform(nullptr);
    SetRenderLink(nullptr);
    SetSoundLink(nullptr);
}
