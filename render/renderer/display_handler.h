#pragma once
// What the renderer asks of its device. The OpenGL display handler is the one implementation
// of the program; tests put a recording stand-in in its place.

#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"
#include "core/text/str.h"
#include "render/renderer/render_states.h"

#include <memory>

class TTexture;
class TTextureData;
class TVertexSet;

class TDisplayHandler
{
public:
    virtual ~TDisplayHandler() = default;

    // The device side of a new texture.
    virtual std::unique_ptr<TTextureData> NewTextureData() = 0;

    // Frame start (with preserve: the shown image is copied back first) and end.
    virtual bool BeginDraw(bool preserve) = 0;
    virtual void EndDraw(bool swap) = 0;
    // Called last by TRenderer::EndDraw: capture, then the buffer swap when asked.
    virtual void PostEndDraw(bool swap) = 0;

    virtual bool Begin2d() = 0;
    virtual void End2d() = 0;
    virtual bool BeginRenderTarget(std::shared_ptr<TTexture> target, TRenderStates::ERenderTargetMode mode) = 0;
    virtual void EndRenderTarget() = 0;

    virtual void DrawVertices(TRenderStates::EDrawType type, const TVertexSet& set) = 0;
    virtual void DrawIndexedVertices(TRenderStates::EDrawType type, const TVertexSet& set, unsigned short* indices,
                                     int count) = 0;
    // Display pixels, or texture pixels with a target texture.
    virtual void FillRect(int left, int top, int right, int bottom, const TColor& color,
                          std::shared_ptr<TTexture> target) = 0;

    virtual void SetTexture(std::shared_ptr<TTexture> texture) = 0;
    virtual void SetBlendMode(TRenderStates::EBlendMode mode) = 0;
    virtual void SetCullMode(TRenderStates::ECullMode mode) = 0;
    virtual bool GetTextureSquareFlag() = 0;

    virtual void PushViewport(int left, int top, int right, int bottom) = 0;
    virtual void PopViewport() = 0;
    // (x, y, x + width, y + height) of the current viewport.
    virtual void GetViewport(int* left, int* top, int* right, int* bottom) = 0;
    virtual void SetClipRectangle(const TURect& rect) = 0;

    virtual void SetOption(const str& name, const str& value) = 0;
    virtual str GetOption(const str& name) = 0;

    // Makes everything drawn so far reach the frame (a device may hold draws back to combine
    // them); needed before reading pixels with the device's own calls.
    virtual void Flush() {}
};
