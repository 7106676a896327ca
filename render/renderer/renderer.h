#pragma once
// The one drawing front end: frame, render-target and 2D brackets with their order checks,
// the clipping stack, rectangle fills, texture and blend selection, and the HUD.
//   TRenderer* r = TRenderer::GetInstance();
//   if (r->BeginDraw(false)) { if (r->Begin2d()) { ...; r->End2d(); } r->EndDraw(true); }

#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"
#include "core/text/str.h"
#include "render/renderer/render_states.h"
#include "render/renderer/render_types.h"

#include <cstdint>
#include <memory>
#include <vector>

class TDisplayHandler;
class THudText;
class TTexture;

class TRendererData
{
public:
    TRendererData() = default;
    ~TRendererData();

    uint32_t mFrameIndex = 0;    // slot of the frame-time ring written next, 0..14
    float mFramesPerSecond = 0;  // last measured rate
    uint32_t mFrameTimes[15] = {};
    bool mHUDVisible = false;
    std::unique_ptr<THudText> mHUDText;
    std::shared_ptr<TTexture> mCurrentTexture;
    std::shared_ptr<TTexture> mCaptureTexture;
    std::vector<TURect> mClippingStack;  // the last one is in force
    bool mIn2d = false;
    bool mIn3d = false;
    bool mInDraw = false;
    bool mInRenderTarget = false;
    bool mFPS = true;
};

class TRenderer : public TRenderStates
{
public:
    static TRenderer* GetInstance();
    static void ShutDown();
    // Makes the display handler of renderers created from now on; the engine entry installs
    // the OpenGL one, tests their own.
    static void SetDisplayHandlerFactory(TDisplayHandler* (*factory)());

    TRenderer(const TRenderer&) = delete;
    TRenderer& operator=(const TRenderer&) = delete;

    bool BeginDraw(bool preserve);
    void EndDraw(bool swap);
    bool BeginRenderTarget(std::shared_ptr<TTexture> target, ERenderTargetMode mode);
    void EndRenderTarget();
    bool Begin2d();
    void End2d();
    bool In2d() const { return mData.mIn2d; }
    bool In3d() const { return mData.mIn3d; }
    bool InDraw() const { return mData.mInDraw || mData.mInRenderTarget; }

    void DrawVertices(EDrawType type, const TVertexSet& set);
    void DrawIndexedVertices(EDrawType type, const TVertexSet& set, unsigned short* indices, unsigned int count);
    // Without a target the rectangle is relative to the viewport and cut to it.
    void FillRect(const TURect& rect, const TColor& color, std::shared_ptr<TTexture> target = nullptr);
    void SetTexture(std::shared_ptr<TTexture> texture);
    // Lets a texture skip making a shared pointer to itself when it is already set.
    bool IsCurrentTexture(const TTexture* texture) const { return mData.mCurrentTexture.get() == texture; }
    void SetBlendMode(EBlendMode mode);
    void SetCullMode(ECullMode mode);
    bool GetTextureSquareFlag();

    void PushViewport(const TRect& rect);
    void PopViewport();
    void GetViewport(TRect* rect);

    void PushClippingRectangle(const TURect& rect);
    void PopClippingRectangle();
    void SetClippingRectangle(const TURect& rect);
    TURect GetClippingRectangle() const;

    // Accepted only at the screen window's size (or empty, which clears it); captured once at
    // the end of the next frame.
    void SetCaptureTexture(std::shared_ptr<TTexture> texture);
    std::shared_ptr<TTexture> GetCaptureTexture() const { return mData.mCaptureTexture; }
    // Flips the HUD and returns what it was before.
    bool ToggleHUD();
    void SetOption(const str& name, const str& value);
    str GetOption(const str& name);
    // Makes everything drawn so far reach the frame; call before reading pixels with GL.
    void Flush();

    TDisplayHandler* GetDisplayHandler() const { return mHandler.get(); }
    const TRendererData& GetData() const { return mData; }

private:
    TRenderer();
    ~TRenderer();
    void ApplyClip();
    void DrawHUD();

    static TRenderer* mInstance;

    TRendererData mData;
    std::unique_ptr<TDisplayHandler> mHandler;
};

// Called first by TRenderer::EndDraw when set: a hook for the game.
extern void (*gPostDrawFunc)();

// Brackets 2D drawing; Done() must be called, the destructor does nothing.
class TBegin2d
{
public:
    TBegin2d();
    void Done();

private:
    bool mBegan;
};
