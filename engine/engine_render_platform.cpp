#include "engine/engine_render_platform.h"

#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "core/platform/platform_data.h"
#include "render/renderer/display_handler.h"
#include "render/renderer/renderer.h"
#include "render/text/hud_text.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

namespace {

TPlatformData* PlatformData()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->GetData() : nullptr;
}

TDisplayHandler* Handler()
{
    return TRenderer::GetInstance()->GetDisplayHandler();
}

}  // namespace

bool TEngineRenderPlatform::BeginDraw(bool preserve)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return Handler()->BeginDraw(preserve);
    TPlatformHost& host = platform->GetData()->Host();
    str error;
    if (host.HasMainWindow() && host.ActivateContext(&error) != TPlatformHost::EGraphicsStep::kNone)
        WriteDbg("BeginDraw: %s", error.c_str());
    if (!Handler()->BeginDraw(preserve))
        return false;
    platform->RunTextureRefresh();
    return true;
}

void TEngineRenderPlatform::EndDraw(bool swap)
{
    Handler()->EndDraw(swap);
    if (TPlatformData* data = PlatformData())
        data->LogFrameRate();
}

void TEngineRenderPlatform::SwapBuffers()
{
    if (TPlatformData* data = PlatformData())
        data->Host().SwapBuffers();
}

uint32_t TEngineRenderPlatform::Timer()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Timer() : TRenderPlatform::Timer();
}

bool TEngineRenderPlatform::IsFullscreen()
{
    TPlatformData* data = PlatformData();
    return data ? data->IsFullscreen() : false;
}

bool TEngineRenderPlatform::ShowSoftwareCursor()
{
    // The system cursor is hidden over the content; the game's own is drawn there.
    return PlatformData() != nullptr;
}

bool TEngineRenderPlatform::IsMouseInContent()
{
    TPlatformData* data = PlatformData();
    return data ? data->IsMouseInContent() : false;
}

TPoint TEngineRenderPlatform::GetMouse()
{
    TPlatformData* data = PlatformData();
    return data ? data->Host().MousePosition() : TPoint();
}

int TEngineRenderPlatform::PixelSize()
{
    TPlatformData* data = PlatformData();
    return data ? data->Host().PixelSize() : 32;
}

bool TEngineRenderPlatform::GetScreenWindowSize(int* width, int* height)
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TModalWindow* screen = wm ? wm->GetScreen() : nullptr;
    if (!screen)
        return false;
    if (width)
        *width = screen->GetWindowWidth();
    if (height)
        *height = screen->GetWindowHeight();
    return true;
}

std::unique_ptr<THudText> TEngineRenderPlatform::CreateHudText()
{
    return std::make_unique<THudTextGraphic>();
}
