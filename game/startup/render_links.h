#pragma once
// The platform's link to the renderer and the GL display handler, and the renderer's view of
// the platform (frame brackets, swap, clock, mouse, screen window).

#include "core/platform/render_link.h"
#include "render/renderer/render_platform.h"
#include "render/text/font_data.h"
#include "render/text/mini_vec_draw.h"

#include <memory>

class TRendererLink : public TRenderLink
{
public:
    void CreateRenderer() override;
    void ShutDownRenderer() override;
    bool GetDisplay(unsigned* width, unsigned* height, bool* fullscreen) override;
    void SetDisplay(unsigned width, unsigned height, bool fullscreen) override;
    bool IsDisplayFullscreen() override;
    void ClearFrame(unsigned width, unsigned height) override;
    void ResetClipping(unsigned width, unsigned height, bool push) override;
    void InstallCursor(const char* name, TPoint hotspot) override;
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag) override;
    bool BeginDraw(bool preserve) override;
    void EndDraw(bool swap) override;
    void ToggleHUD() override;
    // The text services' font cache lives from the renderer's creation to its shut-down, the
    // vector drawer from the first display to the platform's teardown.
    bool HasVectorDraw() override;
    void CreateVectorDraw() override;
    void DestroyVectorDraw() override;

private:
    std::unique_ptr<TFontData> mFonts;
    std::unique_ptr<TZvMiniVecDraw> mVectorDraw;
};

class TPlatformRenderPlatform : public TRenderPlatform
{
public:
    bool BeginDraw(bool preserve) override;
    void EndDraw(bool swap) override;
    void SwapBuffers() override;
    uint32_t Timer() override;
    bool IsFullscreen() override;
    bool ShowSoftwareCursor() override;
    bool IsMouseInContent() override;
    TPoint GetMouse() override;
    int PixelSize() override;
    bool GetScreenWindowSize(int* width, int* height) override;
    std::unique_ptr<THudText> CreateHudText() override;
};
