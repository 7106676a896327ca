#include "game/startup/render_links.h"

#include "core/platform/platform.h"
#include "core/platform/platform_data.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"
#include "render/text/hud_text.h"
#include "render/text/text_services.h"
#include "render/texture/texture.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

namespace {

TPlatformData* PlatformData()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->GetData() : nullptr;
}

}  // namespace

// --- the platform's link to the renderer ---

void TRendererLink::CreateRenderer()
{
    if (!mFonts) {
        mFonts = std::make_unique<TFontData>();
        SetFontData(mFonts.get());
    }
    TRenderer::GetInstance();
}

void TRendererLink::ShutDownRenderer()
{
    // The renderer first: its HUD text still refers to fonts of the cache.
    TRenderer::ShutDown();
    if (mFonts) {
        SetFontData(nullptr);
        mFonts.reset();
    }
}

bool TRendererLink::HasVectorDraw()
{
    return mVectorDraw != nullptr;
}

void TRendererLink::CreateVectorDraw()
{
    if (mVectorDraw)
        return;
    mVectorDraw = std::make_unique<TZvMiniVecDraw>();
    mVectorDraw->Calibrate();
    SetMiniVecDraw(mVectorDraw.get());
}

void TRendererLink::DestroyVectorDraw()
{
    if (!mVectorDraw)
        return;
    SetMiniVecDraw(nullptr);
    mVectorDraw.reset();
}

bool TRendererLink::GetDisplay(unsigned* width, unsigned* height, bool* fullscreen)
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (!handler)
        return false;
    handler->GetDisplay(width, height, fullscreen);
    return true;
}

void TRendererLink::SetDisplay(unsigned width, unsigned height, bool fullscreen)
{
    TRenderer::GetInstance();
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->SetDisplay(width, height, fullscreen, false, false, false);
}

bool TRendererLink::IsDisplayFullscreen()
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    return handler ? handler->IsFullscreen() : false;
}

void TRendererLink::ClearFrame(unsigned width, unsigned height)
{
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->BeginDraw(false))
        return;
    renderer->FillRect(TURect(0, 0, width, height), TColor(0, 0, 0, 0));
    renderer->EndDraw(true);
}

void TRendererLink::ResetClipping(unsigned width, unsigned height, bool push)
{
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PopClippingRectangle();
    if (push)
        renderer->PushClippingRectangle(TURect(0, 0, width, height));
    else
        renderer->SetClippingRectangle(TURect(0, 0, width, height));
}

void TRendererLink::InstallCursor(const char* name, TPoint hotspot)
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (!handler || !name)
        return;
    if (std::shared_ptr<TTexture> cursor = TTexture::Get(name, TTexture::kGetAlpha))
        handler->SetCursor(cursor, hotspot, false);
}

void TRendererLink::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag)
{
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->SetCursor(std::move(texture), hotspot, flag);
}

bool TRendererLink::BeginDraw(bool preserve)
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    return handler ? handler->BeginDraw(preserve) : false;
}

void TRendererLink::EndDraw(bool swap)
{
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->EndDraw(swap);
}

void TRendererLink::ToggleHUD()
{
    TRenderer::GetInstance()->ToggleHUD();
}

// --- the renderer's view of the platform ---

bool TPlatformRenderPlatform::BeginDraw(bool preserve)
{
    TPlatformData* data = PlatformData();
    return data ? data->BeginDraw(preserve) : TRenderPlatform::BeginDraw(preserve);
}

void TPlatformRenderPlatform::EndDraw(bool swap)
{
    if (TPlatformData* data = PlatformData())
        data->EndDraw(swap);
    else
        TRenderPlatform::EndDraw(swap);
}

void TPlatformRenderPlatform::SwapBuffers()
{
    if (TPlatformData* data = PlatformData())
        data->SwapBuffers();
}

uint32_t TPlatformRenderPlatform::Timer()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Timer() : TRenderPlatform::Timer();
}

bool TPlatformRenderPlatform::IsFullscreen()
{
    TPlatformData* data = PlatformData();
    return data ? data->IsFullscreen() : false;
}

bool TPlatformRenderPlatform::ShowSoftwareCursor()
{
    // The system cursor is hidden over the content; the game's own is drawn there.
    return PlatformData() != nullptr;
}

bool TPlatformRenderPlatform::IsMouseInContent()
{
    TPlatformData* data = PlatformData();
    return data ? data->IsMouseInContent() : false;
}

TPoint TPlatformRenderPlatform::GetMouse()
{
    TPlatformData* data = PlatformData();
    return data ? data->Host().MousePosition() : TPoint();
}

int TPlatformRenderPlatform::PixelSize()
{
    TPlatformData* data = PlatformData();
    return data ? data->Host().PixelSize() : 32;
}

bool TPlatformRenderPlatform::GetScreenWindowSize(int* width, int* height)
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

std::unique_ptr<THudText> TPlatformRenderPlatform::CreateHudText()
{
    return std::make_unique<THudTextGraphic>();
}
