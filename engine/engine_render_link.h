#pragma once
// The platform's render link over the renderer and the OpenGL display handler; it owns the text
// services' font cache and the vector drawer.

#include "core/platform/render_link.h"
#include "render/text/font_data.h"
#include "render/text/mini_vec_draw.h"

#include <memory>

class TEngineRenderLink : public TRenderLink
{
public:
    void CreateRenderer() override;
    void ShutDownRenderer() override;
    bool GetDisplay(unsigned* width, unsigned* height, bool* fullscreen) override;
    void SetDisplay(unsigned width, unsigned height, bool fullscreen) override;
    bool IsDisplayFullscreen() override;
    void RebuildDisplay() override;
    void ClearFrame(unsigned width, unsigned height) override;
    void ResetClipping(unsigned width, unsigned height, bool push) override;
    void InstallCursor(const char* name, TPoint hotspot) override;
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag) override;
    void ToggleHUD() override;
    // The font cache lives from the renderer's creation to its shut-down, the vector drawer
    // from the first display to the platform's teardown.
    bool HasVectorDraw() override;
    void CreateVectorDraw() override;
    void DestroyVectorDraw() override;

private:
    std::unique_ptr<TFontData> mFonts;
    std::unique_ptr<TZvMiniVecDraw> mVectorDraw;
};
