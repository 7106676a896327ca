#pragma once
// Turns the renderer's calls into OpenGL state and draw calls: viewport stack, clipping,
// blend/filter/wrap/cull state, the current texture, render-target passes, the software
// cursor and the per-frame work. The platform owns the context and tells the display size.
// Batching is in gl_batch.cpp, fills in gl_fill.cpp, target passes in gl_render_targets.cpp.
//
// Render targets and texture fills are drawn into framebuffer objects: the target pass into a
// scratch colour buffer whose row 0 is the texture's top row, fills and clears straight into
// the texture. So a target may be larger than the display.
//
// Triangles (sprites are fans of four) that share the texture, blend mode and vertex kind are
// gathered and sent as one draw; so are line lists (text spans) of one blend mode and kind.
// Every call that changes other state, fills, switches target, ends a pass or frame sends them
// first, and so does every GL operation of a texture surface, so what reaches the frame and in
// which order is the same as drawing each set at once.
//
// On a single buffer (the offscreen driver) a swap shows nothing and waits for nothing, so the
// handler itself keeps the device at most a few frames behind.

#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"
#include "render/renderer/display_handler.h"
#include "render/renderer/renderer.h"

#include <cstdint>
#include <memory>
#include <vector>

class TGLTextureData;
class TTextureData;

struct TMaterial
{
    float diffuse[4];
    float ambient[4];
    float specular[4];
    float emissive[4];
    float power;
};

class TGLDisplayHandler : public TDisplayHandler
{
public:
    struct TViewport
    {
        int32_t x, y, width, height;
    };

    // The renderer's display handler factory for OpenGL.
    static TDisplayHandler* Create();
    static TGLDisplayHandler* GetInstance() { return mTheHandler; }
    ~TGLDisplayHandler() override;

    void SetDisplay(unsigned int width, unsigned int height, bool, bool, bool, bool);
    // Sets the display up again at its size after the display configuration changed (another
    // display may be another device); the kept shown image is dropped. Nothing before the first
    // SetDisplay.
    void RebuildDisplay();
    void GetDisplay(unsigned int* width, unsigned int* height, bool* fullscreen);
    bool IsFullscreen();

    bool BeginDraw(bool preserve) override;
    void EndDraw(bool swap) override;
    void PostEndDraw(bool swap) override;

    bool Begin2d() override;
    void End2d() override;
    bool Begin3d();
    void End3d();

    void PushViewport(int left, int top, int right, int bottom) override;
    void PopViewport() override;
    void SetViewport(int left, int top, int right, int bottom);
    void GetViewport(int* left, int* top, int* right, int* bottom) override;
    void SetClipRectangle(const TURect& rect) override;

    void SetBlendMode(TRenderer::EBlendMode mode) override { mBlendMode = mode; }
    TRenderer::EBlendMode GetBlendMode() const { return mBlendMode; }
    void SetCullMode(TRenderer::ECullMode mode) override;
    void SetTexture(std::shared_ptr<TTexture> texture) override;

    void DrawVertices(TRenderer::EDrawType type, const TVertexSet& set) override;
    void DrawIndexedVertices(TRenderer::EDrawType type, const TVertexSet& set, unsigned short* indices,
                             int count) override;
    void FillRect(int left, int top, int right, int bottom, const TColor& color,
                  std::shared_ptr<TTexture> target) override;

    bool BeginRenderTarget(std::shared_ptr<TTexture> target, TRenderer::ERenderTargetMode mode) override;
    void EndRenderTarget() override;
    bool RenderTargetIsScreen() const { return !mRenderTarget; }

    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot, bool);
    void DrawCursor();
    TPoint GetMouse();

    std::unique_ptr<TTextureData> NewTextureData() override;
    bool GetTextureSquareFlag() override { return mSquareOnly; }
    bool IsSquareOnly() const { return mSquareOnly; }

    void SetWorldMatrix(TMat4* matrix);
    void SetViewMatrix(TMat4* matrix);
    void SetProjectionMatrix(TMat4* matrix);
    void SetPerspectiveProjection(float nearZ, float farZ, float fov, float aspect);
    void SetMaterial(TMaterial* material);

    void SetOption(const str& name, const str& value) override;
    str GetOption(const str& name) override;

    // Whether each swap keeps a copy of the shown image for frames that start from it
    // (BeginDraw with preserve). Off until asked: the copy costs a full-frame copy and a wait
    // for the finished frame at every swap. A preserved frame on a double-buffered surface asks
    // for it from then on; a single buffer is itself the shown image and never needs it.
    void SetKeepShownImage(bool keep);
    bool KeepsShownImage() const { return mKeepShownImage; }

    // Sends the gathered triangles to GL. Needed only before reading or changing GL state
    // behind the handler's back.
    void Flush() override;
    // Off: every set goes to GL when it is drawn and rectangles are always drawn as quads
    // (comparisons in tests and the benchmark).
    void SetBatching(bool on);
    bool IsBatching() const { return mBatching; }
    // GL draw calls made so far, gathered triangles counting once per send.
    uint64_t GetDrawCallCount() const { return mDrawCalls; }

    // --- for the GL texture data ---
    const TViewport& GetDisplayRect() const { return mDisplay; }
    const TViewport& GetCurrentViewport() const { return mViewport; }
    bool IsNvidia() const { return mNvidia; }
    bool AvoidFillIn16Bit() const { return mAvoidFillIn16Bit; }
    bool Is3dAxes() const { return mAxes3d; }
    // Between Begin3d and End3d.
    bool In3dPass() const { return m3dPass; }
    TGLTextureData* GetCurrentTextureData() const { return mCurrentTexture; }
    void SetCurrentTextureData(TGLTextureData* data) { mCurrentTexture = data; }
    // Width and height of what is drawn into: the display, or the open render target.
    int FrameWidth() const;
    int FrameHeight() const;
    // A framebuffer object for drawing straight into textures (made on first use).
    unsigned int SurfaceFramebuffer();

private:
    // What a draw depends on besides the state whose setters send the batch first.
    struct TDrawState
    {
        bool textured = false;
        unsigned int texture = 0;
        bool mipmap = false;
        TRenderer::EBlendMode blend = TRenderer::kBlendNormal;
        uint32_t kind = 0;
        unsigned int primitive = 0;  // what the gathered vertices form: triangles or lines

        bool operator==(const TDrawState&) const = default;
    };

    TGLDisplayHandler();
    void ApplyBlendMode(TRenderer::EBlendMode mode);
    void ApplyFilteringMode(bool mipmap);
    bool InAlphaTarget() const;
    void Draw(unsigned int primitive, const TVertexSet& set, const unsigned short* indices, int count);
    void Send(unsigned int primitive, const TTransformedLitVert* verts, unsigned int count,
              const unsigned short* indices, int indexCount, const TDrawState& state);
    void Gather(unsigned int primitive, const TTransformedLitVert* verts, unsigned int count,
                const unsigned short* indices, int indexCount);
    void BindWhiteTexture();
    // FillRect's rectangle as a clear of its area, where that writes the same pixels.
    bool FillByClear(int left, int top, int right, int bottom, const TColor& color);
    void EnsureTargetBuffer(int width, int height);
    void LoadModelView();
    void PaceFrames();

    static TGLDisplayHandler* mTheHandler;

    // Handed to every texture data made here; emptied when the handler goes.
    std::shared_ptr<TGLDisplayHandler*> mSelf = std::make_shared<TGLDisplayHandler*>(this);

    int32_t mOptionX = 0;
    int32_t mOptionY = 0;
    std::vector<TViewport> mViewportStack;
    TViewport mViewport{0, 0, 320, 240};
    TViewport mDisplay{0, 0, 320, 240};
    TGLTextureData* mCurrentTexture = nullptr;
    std::shared_ptr<TTexture> mCursor;
    TPoint mCursorHotSpot;
    float mOrthoFar = -1.0f;
    float mOrthoNear = 1.0f;
    TMaterial* mMaterial = nullptr;
    TRenderer::ECullMode mCullMode = TRenderer::kCullNone;
    TMat4 mWorld, mView, mProjection, mWorldView;
    bool mSquareOnly = true;
    TRenderer::EBlendMode mBlendMode = TRenderer::kBlendNormal;
    int mFilterMode = 1;
    int mWrapU = 0;
    int mWrapV = 0;
    bool mNvidia = false;
    TURect mClip{0, 0, 0, 0};
    std::shared_ptr<TTexture> mRenderTarget;
    TRenderer::ERenderTargetMode mRenderTargetMode = TRenderer::kRenderTargetNormal;
    int mTargetWidth = 0;
    int mTargetHeight = 0;
    bool mAxes3d = true;
    bool m3dPass = false;
    bool mDepthWrite = false;
    // What GL_DEPTH_TEST and GL_CULL_FACE hold, and held when the 3D pass began (its end puts
    // them back). The handler turns no other fragment stage on, keeps the colour write mask
    // whole and the scissor test on between its calls; fills rely on that instead of asking GL.
    bool mDepthTest = false;
    bool mCullFace = false;
    bool mDepthTestBefore3d = false;
    bool mCullFaceBefore3d = false;
    bool mAvoidFillIn16Bit = false;
    bool mHardwareCursors = false;

    // Framebuffer objects standing in for the target area, the shown image and texture fills.
    unsigned int mTargetFbo = 0;
    unsigned int mTargetColor = 0;
    unsigned int mTargetDepth = 0;
    int mTargetBufferWidth = 0;
    int mTargetBufferHeight = 0;
    unsigned int mFrontFbo = 0;
    unsigned int mFrontColor = 0;
    bool mFrontValid = false;
    bool mKeepShownImage = false;
    bool mDoubleBuffered = false;
    bool mDisplaySet = false;
    // GLsync of the frames handed over last, oldest at the index.
    static constexpr size_t kFramesInFlight = 3;
    void* mFrameFences[kFramesInFlight] = {};
    size_t mFrameFenceIndex = 0;
    unsigned int mSurfaceFbo = 0;
    unsigned int mWhiteTexture = 0;

    // Gathered vertices, the triangles through them and the state they are drawn with.
    std::vector<TTransformedLitVert> mBatch;
    std::vector<unsigned short> mBatchIndices;
    TDrawState mBatchState;
    bool mBatching = true;
    bool mSending = false;
    uint64_t mDrawCalls = 0;
    // Colours in GL's byte order where the vertices' words are not already in it.
    std::vector<unsigned char> mColorScratch;
};
