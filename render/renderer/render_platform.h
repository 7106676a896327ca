#pragma once
// What the renderer needs of the platform layer: frame brackets, the buffer swap, the clock,
// the mouse, the screen window's size and the HUD's text. The engine entry installs its own;
// until then a default stands in (no swap, no cursor, a steady clock, no HUD text).

#include "core/math/color.h"
#include "core/math/mat.h"
#include "core/math/rect.h"
#include "core/text/str.h"

#include <cstdint>
#include <memory>

// The HUD's text block (made by the text layout once that exists).
class THudText
{
public:
    virtual ~THudText() = default;
    virtual void SetText(const str& text) = 0;
    // Draws the text at the viewport's top-left corner.
    virtual void Draw() = 0;
};

class TRenderPlatform
{
public:
    virtual ~TRenderPlatform() = default;

    // Makes the context current and starts the display handler's frame; false refuses it.
    virtual bool BeginDraw(bool preserve);
    // Ends the display handler's frame (frame-rate log, software cursor, flush).
    virtual void EndDraw(bool swap);
    // Shows the finished frame.
    virtual void SwapBuffers() {}
    // Milliseconds from an arbitrary start.
    virtual uint32_t Timer();
    virtual bool IsFullscreen() { return false; }
    // Whether the platform wants the software cursor drawn, and whether the mouse is over the
    // window's content.
    virtual bool ShowSoftwareCursor() { return false; }
    virtual bool IsMouseInContent() { return false; }
    // Mouse position in display pixels.
    virtual TPoint GetMouse() { return TPoint(); }
    // Bits per pixel of the display's pixel format.
    virtual int PixelSize() { return 32; }
    // Size of the window manager's screen window; false while there is none.
    virtual bool GetScreenWindowSize(int* width, int* height);
    // The HUD's text block; null draws the HUD without text.
    virtual std::unique_ptr<THudText> CreateHudText() { return nullptr; }
};

// The installed platform (never null: the default when none is installed).
TRenderPlatform& GetRenderPlatform();
// Installs a platform (not owned); null goes back to the default.
void SetRenderPlatform(TRenderPlatform* platform);
