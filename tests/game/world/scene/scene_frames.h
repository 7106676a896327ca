#pragma once
// Frames as the game's window runs them: the test clock moves on, the scene updates, then it
// is drawn (which also steps the fade and places the actors' zones).

#include "game/world/scene/scene.h"
#include "render/renderer/renderer.h"

#include <gtest/gtest.h>

#include <cstdint>

inline void RunSceneFrames(tScene& scene, uint32_t& clock, uint32_t frameMs, int count)
{
    TRenderer* renderer = TRenderer::GetInstance();
    for (int i = 0; i < count; ++i) {
        clock += frameMs;
        scene.Update();
        ASSERT_TRUE(renderer->BeginDraw(false));
        ASSERT_TRUE(renderer->Begin2d());
        scene.Draw();
        renderer->End2d();
        renderer->EndDraw(false);
    }
}
