#include "game/interface/windows/full_screen_clip.h"

#include "render/renderer/renderer.h"

tFullScreenClip::tFullScreenClip()
{
    TRenderer::GetInstance()->PushClippingRectangle(TURect(0, 0, 800, 600));
}

tFullScreenClip::~tFullScreenClip()
{
    TRenderer::GetInstance()->PopClippingRectangle();
}
