#pragma once
// The renderer's platform side in the engine: each frame makes the context current, runs the
// pending texture refresh and goes straight to the display handler; the swap, clock, mouse,
// screen window and HUD text come from the platform and the window manager.

#include "render/renderer/render_platform.h"

class TEngineRenderPlatform : public TRenderPlatform
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
