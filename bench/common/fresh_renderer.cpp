#include "bench/common/fresh_renderer.h"

#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

void FreshRenderer(TDisplayHandler* (*factory)(), int width, int height)
{
    TRenderer::ShutDown();
    TRenderer::SetDisplayHandlerFactory(factory);
    TRenderer* renderer = TRenderer::GetInstance();
    if (TGLDisplayHandler::GetInstance())
        TGLDisplayHandler::GetInstance()->SetDisplay(width, height, false, false, false, false);
    renderer->PushClippingRectangle(TURect(0, 0, unsigned(width), unsigned(height)));
    renderer->SetBlendMode(TRenderer::kBlendNormal);
}
