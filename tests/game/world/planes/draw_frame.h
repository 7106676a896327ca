#pragma once
// Draws one frame of a sprite tree, moved by (-x, -y), on the test GL context.

#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"

#include <gtest/gtest.h>

#include <memory>

inline void DrawFrame(const std::shared_ptr<TSprite>& root, int x, int y)
{
    root->mSpec.matrix[2] = TVec3(float(-x), float(-y), 1);
    TRenderer* r = TRenderer::GetInstance();
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    root->Draw(TDrawSpec(), -1);
    r->End2d();
    r->EndDraw(false);
}
