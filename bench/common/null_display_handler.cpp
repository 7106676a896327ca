#include "bench/common/null_display_handler.h"

#include "render/gl/gl_texture_data.h"
#include "render/renderer/render_types.h"

namespace {

class TNullDisplayHandler : public TDisplayHandler
{
public:
    // Surfaces are real GL textures, made without a GL handler to answer to.
    std::unique_ptr<TTextureData> NewTextureData() override { return std::make_unique<TGLTextureData>(nullptr); }
    bool BeginDraw(bool) override { return true; }
    void EndDraw(bool) override {}
    void PostEndDraw(bool) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool BeginRenderTarget(std::shared_ptr<TTexture>, TRenderStates::ERenderTargetMode) override { return false; }
    void EndRenderTarget() override {}
    void DrawVertices(TRenderStates::EDrawType, const TVertexSet& set) override { mSink = mSink + set.GetCount(); }
    void DrawIndexedVertices(TRenderStates::EDrawType, const TVertexSet&, unsigned short*, int) override {}
    void FillRect(int, int, int, int, const TColor&, std::shared_ptr<TTexture>) override {}
    void SetTexture(std::shared_ptr<TTexture>) override {}
    void SetBlendMode(TRenderStates::EBlendMode) override {}
    void SetCullMode(TRenderStates::ECullMode) override {}
    bool GetTextureSquareFlag() override { return true; }
    void PushViewport(int, int, int, int) override {}
    void PopViewport() override {}
    void GetViewport(int* l, int* t, int* r, int* b) override
    {
        *l = 0;
        *t = 0;
        *r = 800;
        *b = 600;
    }
    void SetClipRectangle(const TURect&) override {}
    void SetOption(const str&, const str&) override {}
    str GetOption(const str&) override { return str(); }

private:
    volatile unsigned mSink = 0;
};

}  // namespace

TDisplayHandler* MakeNullDisplayHandler()
{
    return new TNullDisplayHandler;
}
