#pragma once
// Shared helpers of the particle tests: compiled streams as text, a failure-handler recorder,
// a log capture, and a display handler that keeps the vertices it is asked to draw.

#include "core/system/failure.h"
#include "render/gl/gl_texture_data.h"
#include "render/renderer/display_handler.h"
#include "render/renderer/render_types.h"

#include "common/log_capture.h"
#include <memory>
#include <string>
#include <vector>

struct PInstruction;

// "FPush(5) FGetParticleParam(0,2) FAdd/2[2,1] ..." : constants with their values, member reads
// with base and size, calls with their argument count and sizes.
std::string StreamText(const std::vector<PInstruction>& stream);

// Installs itself as the particle failure handler while it lives.
class TFailureRecorder : public TFailure
{
public:
    TFailureRecorder();
    ~TFailureRecorder() override;
    void Failure(const char* message, int line, const char* file) override;

    std::vector<std::string> mMessages;
    std::vector<int> mLines;
    std::vector<std::string> mFiles;

private:
    TFailure* mPrevious;
};

// One draw call as the device saw it.
struct TCapturedDraw
{
    bool indexed = false;
    int primitive = 0;
    std::vector<TTransformedLitVert> vertices;
    std::vector<unsigned short> indices;
};

// A display handler that does nothing but keep draws, textures and blend modes.
class TCapturingDisplayHandler : public TDisplayHandler
{
public:
    // Surfaces are real GL textures, made without a GL handler to answer to.
    std::unique_ptr<TTextureData> NewTextureData() override { return std::make_unique<TGLTextureData>(nullptr); }
    static TCapturingDisplayHandler* sLast;
    static TDisplayHandler* Make();

    TCapturingDisplayHandler() { sLast = this; }
    ~TCapturingDisplayHandler() override;

    bool BeginDraw(bool) override { return true; }
    void EndDraw(bool) override {}
    void PostEndDraw(bool) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool BeginRenderTarget(std::shared_ptr<TTexture>, TRenderStates::ERenderTargetMode) override { return false; }
    void EndRenderTarget() override {}
    void DrawVertices(TRenderStates::EDrawType type, const TVertexSet& set) override;
    void DrawIndexedVertices(TRenderStates::EDrawType type, const TVertexSet& set, unsigned short* indices,
                             int count) override;
    void FillRect(int, int, int, int, const TColor&, std::shared_ptr<TTexture>) override {}
    void SetTexture(std::shared_ptr<TTexture> texture) override { mTextures.push_back(texture); }
    void SetBlendMode(TRenderStates::EBlendMode mode) override { mBlendModes.push_back(mode); }
    void SetCullMode(TRenderStates::ECullMode) override {}
    bool GetTextureSquareFlag() override { return true; }
    void PushViewport(int, int, int, int) override {}
    void PopViewport() override {}
    void GetViewport(int* l, int* t, int* r, int* b) override;
    void SetClipRectangle(const TURect&) override {}
    void SetOption(const str&, const str&) override {}
    str GetOption(const str&) override { return str(); }

    std::vector<TCapturedDraw> mDraws;
    std::vector<std::shared_ptr<TTexture>> mTextures;
    std::vector<int> mBlendModes;
};

// A renderer that draws into a TCapturingDisplayHandler, inside a 2D pass for its lifetime.
class TCapturingRenderer
{
public:
    TCapturingRenderer();
    ~TCapturingRenderer();
    TCapturingDisplayHandler& Device() { return *TCapturingDisplayHandler::sLast; }
};

// A hidden GL context, made once per test program; false when GL is unavailable.
bool EnsureParticleGLContext();

// A temporary folder made the asset folder ("assets/" inside it) while it lives.
class TParticleTempAssets
{
public:
    TParticleTempAssets();
    ~TParticleTempAssets();
    // Writes a file under assets/ and rescans.
    void Write(const std::string& name, const std::string& text) const;
    std::string Folder(const std::string& name) const;
    void Scan() const;

private:
    std::string mRoot;
};
