#pragma once
// What the platform asks of the renderer and the GL display handler, which are built above
// it. The engine entry installs the renderer's link; until then nothing is drawn. Frames do not
// pass through here: the renderer brackets them with its own platform side.

#include "core/math/rect.h"

#include <memory>

class TTexture;

class TRenderLink
{
public:
    virtual ~TRenderLink() = default;

    // Makes sure the renderer exists.
    virtual void CreateRenderer() {}
    virtual void ShutDownRenderer() {}

    // The display handler's size and mode; false when there is no display handler.
    virtual bool GetDisplay(unsigned* /*width*/, unsigned* /*height*/, bool* /*fullscreen*/) { return false; }
    virtual void SetDisplay(unsigned /*width*/, unsigned /*height*/, bool /*fullscreen*/) {}
    virtual bool IsDisplayFullscreen() { return false; }

    // One frame filled with all-zero colour, through the renderer.
    virtual void ClearFrame(unsigned /*width*/, unsigned /*height*/) {}
    // Pops the clipping rectangle, then pushes (push) or sets 0, 0, width, height.
    virtual void ResetClipping(unsigned /*width*/, unsigned /*height*/, bool /*push*/) {}

    // Loads the named picture and makes it the cursor.
    virtual void InstallCursor(const char* /*name*/, TPoint /*hotspot*/) {}
    virtual void SetCursor(std::shared_ptr<TTexture> /*texture*/, TPoint /*hotspot*/, bool /*flag*/) {}
    // The display handler's hardware-cursor option.
    virtual bool HardwareCursorsEnabled() { return false; }

    // Sets the display up again after the display configuration changed.
    virtual void RebuildDisplay() {}

    virtual void ToggleHUD() {}

    // The small vector-drawing engine, made and calibrated once the display exists.
    virtual bool HasVectorDraw() { return false; }
    virtual void CreateVectorDraw() {}
    virtual void DestroyVectorDraw() {}
};

// Never null: a link that draws nothing while none is installed.
TRenderLink& GetRenderLink();
// Installs a link (not owned); null returns to the default.
void SetRenderLink(TRenderLink* link);
