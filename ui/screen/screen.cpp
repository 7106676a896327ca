#include "ui/screen/screen.h"

#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "ui/window/window_manager.h"

TScreen::TScreen()
{
    AddFlags(kLayered | kOpaque);
    SetName("_screen_");
}

void TScreen::Draw()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TRenderer* renderer = TRenderer::GetInstance();
    if (!mNoFill && (mFillAlways || (wm && wm->GetTopModalWindow() == this))) {
        TRect viewport;
        renderer->GetViewport(&viewport);
        renderer->FillRect(TURect(uint32_t(viewport.left), uint32_t(viewport.top), uint32_t(viewport.right),
                                  uint32_t(viewport.bottom)),
                           mBackground, nullptr);
    }
    // The texture's own copy refuses to run inside a frame, and the screen is always drawn
    // inside one; a copy to the frame buffer is a plain opaque quad there, so the surface's
    // copy is asked directly.
    if (wm) {
        if (std::shared_ptr<TTexture> target = wm->GetLayerTarget()) {
            if (TTextureData* data = target->GetTextureData())
                data->CopyPixels(0, 0, nullptr, nullptr);
        }
    }
}
