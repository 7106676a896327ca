#include "game/script/prevent_clipping.h"

#include "render/renderer/renderer.h"

tPreventClipping::tPreventClipping()
{
    TRenderer::GetInstance()->PushClippingRectangle(TURect(0, 0, 800, 600));
}

tPreventClipping::~tPreventClipping()
{
    TRenderer::GetInstance()->PopClippingRectangle();
}
