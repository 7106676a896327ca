#include "engine/engine_render_link.h"

#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"
#include "render/text/text_services.h"
#include "render/texture/texture.h"

void TEngineRenderLink::CreateRenderer()
{
    if (!mFonts) {
        mFonts = std::make_unique<TFontData>();
        SetFontData(mFonts.get());
    }
    TRenderer::GetInstance();
}

void TEngineRenderLink::ShutDownRenderer()
{
    // The renderer first: its HUD text still refers to fonts of the cache.
    TRenderer::ShutDown();
    if (mFonts) {
        SetFontData(nullptr);
        mFonts.reset();
    }
}

bool TEngineRenderLink::HasVectorDraw()
{
    return mVectorDraw != nullptr;
}

void TEngineRenderLink::CreateVectorDraw()
{
    if (mVectorDraw)
        return;
    mVectorDraw = std::make_unique<TZvMiniVecDraw>();
    mVectorDraw->Calibrate();
    SetMiniVecDraw(mVectorDraw.get());
}

void TEngineRenderLink::DestroyVectorDraw()
{
    if (!mVectorDraw)
        return;
    SetMiniVecDraw(nullptr);
    mVectorDraw.reset();
}

bool TEngineRenderLink::GetDisplay(unsigned* width, unsigned* height, bool* fullscreen)
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (!handler)
        return false;
    handler->GetDisplay(width, height, fullscreen);
    return true;
}

void TEngineRenderLink::SetDisplay(unsigned width, unsigned height, bool fullscreen)
{
    TRenderer::GetInstance();
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->SetDisplay(width, height, fullscreen, false, false, false);
}

bool TEngineRenderLink::IsDisplayFullscreen()
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    return handler ? handler->IsFullscreen() : false;
}

void TEngineRenderLink::RebuildDisplay()
{
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->RebuildDisplay();
}

void TEngineRenderLink::ClearFrame(unsigned width, unsigned height)
{
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->BeginDraw(false))
        return;
    renderer->FillRect(TURect(0, 0, width, height), TColor(0, 0, 0, 0));
    renderer->EndDraw(true);
}

void TEngineRenderLink::ResetClipping(unsigned width, unsigned height, bool push)
{
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PopClippingRectangle();
    if (push)
        renderer->PushClippingRectangle(TURect(0, 0, width, height));
    else
        renderer->SetClippingRectangle(TURect(0, 0, width, height));
}

void TEngineRenderLink::InstallCursor(const char* name, TPoint hotspot)
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (!handler || !name)
        return;
    if (std::shared_ptr<TTexture> cursor = TTexture::Get(name, TTexture::kGetAlpha))
        handler->SetCursor(cursor, hotspot, false);
}

void TEngineRenderLink::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag)
{
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->SetCursor(std::move(texture), hotspot, flag);
}

void TEngineRenderLink::ToggleHUD()
{
    TRenderer::GetInstance()->ToggleHUD();
}
