#include "render/renderer/renderer.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "render/renderer/display_handler.h"
#include "render/renderer/render_platform.h"
#include "render/texture/texture.h"

#include <cstdlib>

TRenderer* TRenderer::mInstance = nullptr;
void (*gPostDrawFunc)() = nullptr;

namespace {

TDisplayHandler* (*gHandlerFactory)() = nullptr;

}  // namespace

TRendererData::~TRendererData() = default;

TRenderer* TRenderer::GetInstance()
{
    if (!mInstance)
        mInstance = new TRenderer;
    return mInstance;
}

void TRenderer::ShutDown()
{
    delete mInstance;
    mInstance = nullptr;
}

void TRenderer::SetDisplayHandlerFactory(TDisplayHandler* (*factory)())
{
    gHandlerFactory = factory;
}

TRenderer::TRenderer() : mHandler(gHandlerFactory ? gHandlerFactory() : nullptr)
{
    // Every call goes to the handler: a renderer without one is a wiring fault of the program.
    if (!mHandler) {
        WriteDbg("TRenderer: no display handler factory is installed");
        std::abort();
    }
}

TRenderer::~TRenderer() = default;

bool TRenderer::BeginDraw(bool preserve)
{
    mData.mInDraw = GetRenderPlatform().BeginDraw(preserve);
    return mData.mInDraw;
}

void TRenderer::EndDraw(bool swap)
{
    if (gPostDrawFunc)
        gPostDrawFunc();
    GetRenderPlatform().EndDraw(swap);

    const uint32_t now = GetRenderPlatform().Timer();
    mData.mFrameTimes[mData.mFrameIndex] = now;
    mData.mFrameIndex = (mData.mFrameIndex + 1) % 15;
    if (mData.mFrameIndex == 0) {
        const uint32_t span = now - mData.mFrameTimes[0];
        // A zero span would divide by zero; the rate then stays as it was.
        if (span != 0)
            mData.mFramesPerSecond = 15000.0f / static_cast<float>(span);
    }
    if (mData.mHUDVisible)
        DrawHUD();
    mData.mInDraw = false;
    mHandler->PostEndDraw(swap);
}

void TRenderer::DrawHUD()
{
    if (!mData.mHUDText)
        mData.mHUDText = GetRenderPlatform().CreateHudText();
    const int maxTex = TConfig::GetConfig("max_texture_ram_allocated", "").to_int();
    const int tex = TConfig::GetConfig("texture_ram_allocated", "").to_int();
    const int sprites = TConfig::GetConfig("current_sprite_count", "").to_int();
    const int total = static_cast<int>(zvGetTotalAllocated());
    const int maxTotal = static_cast<int>(zvGetMaxAllocated());
    str text = str::getFormatted(
        "Gantrimole Version %d.%d.%d.%d<br>%f FPS<tab pos='150'>Sprites: %d<br>Mem: %dkB<tab pos='150'>TexMem: "
        "%dkB<br>MaxMem: %dkB<tab pos='150'>MaxTexMem: %dkB<br>",
        4, 0, 18, 1, static_cast<double>(mData.mFramesPerSecond), sprites, total / 1024, tex / 1024, maxTotal / 1024,
        maxTex / 1024);
    const bool began = Begin2d();
    FillRect(TURect(0, 0, 300, 64), TColor(0, 0, 0, 0));
    if (mData.mHUDText) {
        mData.mHUDText->SetText(text);
        mData.mHUDText->Draw();
    }
    if (began)
        End2d();
}

bool TRenderer::BeginRenderTarget(std::shared_ptr<TTexture> target, ERenderTargetMode mode)
{
    if (!target || target->IsSimple() || mData.mInDraw || mData.mInRenderTarget)
        return false;
    const bool ok = mHandler->BeginRenderTarget(target, mode);
    mData.mInRenderTarget = ok;
    mData.mInDraw = ok;
    return ok;
}

void TRenderer::EndRenderTarget()
{
    mHandler->EndRenderTarget();
    mData.mInRenderTarget = false;
    mData.mInDraw = false;
}

bool TRenderer::Begin2d()
{
    if (mData.mIn2d) {
        WriteDbg("Begin2d called when already in Begin2d state");
        return false;
    }
    if (mData.mIn3d) {
        WriteDbg("Begin2d called when already in Begin3d state");
        return false;
    }
    if (!mData.mInDraw && !mData.mInRenderTarget) {
        WriteDbg("ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!");
        return false;
    }
    mData.mIn2d = mHandler->Begin2d();
    return mData.mIn2d;
}

void TRenderer::End2d()
{
    if (!mData.mIn2d) {
        WriteDbg("End2d called when not in Begin2d state");
        return;
    }
    if (!mData.mInDraw && !mData.mInRenderTarget)
        WriteDbg("ERROR: Calling End2d after EndDraw or EndRenderTarget!");
    mHandler->End2d();
    mData.mIn2d = false;
}

void TRenderer::DrawVertices(EDrawType type, const TVertexSet& set)
{
    if (!mData.mIn2d && !mData.mIn3d) {
        WriteDbg("DrawVertices called when not in Begin2d or Begin3d state");
        return;
    }
    mHandler->DrawVertices(type, set);
}

void TRenderer::DrawIndexedVertices(EDrawType type, const TVertexSet& set, unsigned short* indices, unsigned int count)
{
    if (!mData.mIn2d && !mData.mIn3d) {
        WriteDbg("DrawIndexedVertices called when not in Begin2d or Begin3d state");
        return;
    }
    mHandler->DrawIndexedVertices(type, set, indices, static_cast<int>(count));
}

void TRenderer::FillRect(const TURect& rect, const TColor& color, std::shared_ptr<TTexture> target)
{
    if (target) {
        mHandler->FillRect(static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
                           static_cast<int>(rect.bottom), color, target);
        return;
    }
    TRect viewport;
    GetViewport(&viewport);
    TRect r(static_cast<int>(rect.left) + viewport.left, static_cast<int>(rect.top) + viewport.top,
            static_cast<int>(rect.right) + viewport.left, static_cast<int>(rect.bottom) + viewport.top);
    r = TRect::Intersect(r, viewport);
    mHandler->FillRect(r.left, r.top, r.right, r.bottom, color, nullptr);
}

void TRenderer::SetTexture(std::shared_ptr<TTexture> texture)
{
    if (texture && texture->IsSimple())
        texture.reset();
    // The handler's texture follows this one (what it swaps in for a copy it puts back), so
    // setting the same texture again changes nothing.
    if (texture && texture == mData.mCurrentTexture)
        return;
    mData.mCurrentTexture = texture;
    mHandler->SetTexture(std::move(texture));
}

void TRenderer::SetBlendMode(EBlendMode mode)
{
    mHandler->SetBlendMode(mode);
}

void TRenderer::SetCullMode(ECullMode mode)
{
    mHandler->SetCullMode(mode);
}

bool TRenderer::GetTextureSquareFlag()
{
    return mHandler->GetTextureSquareFlag();
}

void TRenderer::PushViewport(const TRect& rect)
{
    mHandler->PushViewport(rect.left, rect.top, rect.right, rect.bottom);
}

void TRenderer::PopViewport()
{
    mHandler->PopViewport();
}

void TRenderer::GetViewport(TRect* rect)
{
    mHandler->GetViewport(&rect->left, &rect->top, &rect->right, &rect->bottom);
}

void TRenderer::ApplyClip()
{
    mHandler->SetClipRectangle(mData.mClippingStack.back());
}

void TRenderer::PushClippingRectangle(const TURect& rect)
{
    mData.mClippingStack.push_back(rect);
    ApplyClip();
}

void TRenderer::PopClippingRectangle()
{
    if (mData.mClippingStack.size() < 2)
        return;
    mData.mClippingStack.pop_back();
    ApplyClip();
}

void TRenderer::SetClippingRectangle(const TURect& rect)
{
    if (mData.mClippingStack.empty())
        mData.mClippingStack.push_back(rect);
    else
        mData.mClippingStack.back() = rect;
    ApplyClip();
}

TURect TRenderer::GetClippingRectangle() const
{
    return mData.mClippingStack.empty() ? TURect(0, 0, 0, 0) : mData.mClippingStack.back();
}

void TRenderer::SetCaptureTexture(std::shared_ptr<TTexture> texture)
{
    if (!texture) {
        mData.mCaptureTexture.reset();
        return;
    }
    int width = 0, height = 0;
    if (!GetRenderPlatform().GetScreenWindowSize(&width, &height))
        return;
    if (static_cast<int>(texture->GetWidth()) == width && static_cast<int>(texture->GetHeight()) == height)
        mData.mCaptureTexture = texture;
}

bool TRenderer::ToggleHUD()
{
    const bool was = mData.mHUDVisible;
    mData.mHUDVisible = !was;
    return was;
}

void TRenderer::SetOption(const str& name, const str& value)
{
    if (name == "fps")
        mData.mFPS = value.to_int() != 0;
    mHandler->SetOption(name, value);
}

str TRenderer::GetOption(const str& name)
{
    return mHandler->GetOption(name);
}

void TRenderer::Flush()
{
    mHandler->Flush();
}

TBegin2d::TBegin2d() : mBegan(TRenderer::GetInstance()->Begin2d()) {}

void TBegin2d::Done()
{
    if (mBegan) {
        TRenderer::GetInstance()->End2d();
        mBegan = false;
    }
}
