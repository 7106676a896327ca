#pragma once
// A display handler that records the calls the renderer makes, for order and state tests.

#include "render/gl/gl_texture_data.h"
#include "render/renderer/display_handler.h"
#include "render/renderer/render_types.h"

#include <memory>
#include <string>
#include <vector>

class TRecordingDisplayHandler : public TDisplayHandler
{
public:
    // Surfaces are real GL textures, made without a GL handler to answer to.
    std::unique_ptr<TTextureData> NewTextureData() override { return std::make_unique<TGLTextureData>(nullptr); }
    static TRecordingDisplayHandler* sLast;
    static TDisplayHandler* Make();

    TRecordingDisplayHandler() { sLast = this; }
    ~TRecordingDisplayHandler() override;

    bool BeginDraw(bool preserve) override { return Log("BeginDraw " + B(preserve)), true; }
    void EndDraw(bool swap) override { Log("EndDraw " + B(swap)); }
    void PostEndDraw(bool swap) override { Log("PostEndDraw " + B(swap)); }
    bool Begin2d() override { return Log("Begin2d"), true; }
    void End2d() override { Log("End2d"); }
    bool BeginRenderTarget(std::shared_ptr<TTexture>, TRenderStates::ERenderTargetMode mode) override
    {
        return Log("BeginRenderTarget " + std::to_string(mode)), true;
    }
    void EndRenderTarget() override { Log("EndRenderTarget"); }
    void DrawVertices(TRenderStates::EDrawType type, const TVertexSet& set) override
    {
        Log("DrawVertices " + std::to_string(type) + " " + std::to_string(set.GetCount()));
    }
    void DrawIndexedVertices(TRenderStates::EDrawType type, const TVertexSet&, unsigned short*, int count) override
    {
        Log("DrawIndexedVertices " + std::to_string(type) + " " + std::to_string(count));
    }
    void FillRect(int l, int t, int r, int b, const TColor&, std::shared_ptr<TTexture> target) override
    {
        Log("FillRect " + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," +
            std::to_string(b) + (target ? " target" : ""));
    }
    void SetTexture(std::shared_ptr<TTexture> texture) override { Log(texture ? "SetTexture" : "SetTexture none"); }
    void SetBlendMode(TRenderStates::EBlendMode mode) override { Log("SetBlendMode " + std::to_string(mode)); }
    void SetCullMode(TRenderStates::ECullMode mode) override { Log("SetCullMode " + std::to_string(mode)); }
    bool GetTextureSquareFlag() override { return true; }
    void PushViewport(int l, int t, int r, int b) override
    {
        mViewports.push_back({l, t, r, b});
        Log("PushViewport");
    }
    void PopViewport() override
    {
        if (mViewports.size() > 1)
            mViewports.pop_back();
        Log("PopViewport");
    }
    void GetViewport(int* l, int* t, int* r, int* b) override
    {
        const auto& v = mViewports.back();
        *l = v[0], *t = v[1], *r = v[2], *b = v[3];
    }
    void SetClipRectangle(const TURect& r) override
    {
        Log("Clip " + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
            std::to_string(r.bottom));
    }
    void SetOption(const str& name, const str& value) override
    {
        Log(std::string("SetOption ") + name.c_str() + "=" + value.c_str());
    }
    str GetOption(const str&) override { return str(); }

    std::vector<std::string> mCalls;
    std::vector<std::vector<int>> mViewports{{0, 0, 640, 480}};

private:
    static std::string B(bool b) { return b ? "1" : "0"; }
    void Log(const std::string& call) { mCalls.push_back(call); }
};
