#include "game/interface/sprites/screen_sprite_draw.h"

#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"

void DrawScreenSprite(const std::shared_ptr<TSprite>& sprite)
{
    if (!sprite)
        return;
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PushViewport(TRect(0, 0, 800, 600));
    const bool began = renderer->Begin2d();
    sprite->Draw(TDrawSpec(TVec2(0, 0), 1.0f, 1.0f, 0), -1);
    if (began)
        renderer->End2d();
    renderer->PopViewport();
}
