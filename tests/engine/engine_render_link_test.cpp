// The render link's ownership of the text services and the program's HUD text.

#include "engine/engine_render_link.h"
#include "engine/engine_render_platform.h"
#include "engine_gl_fixture.h"

#include "render/text/hud_text.h"
#include "render/text/text_services.h"

namespace {

using EngineRenderLink = EngineGLTest;

TEST_F(EngineRenderLink, FontCacheLivesFromRendererCreationToShutDown)
{
    TFontData* fallback = GetFontData();
    {
        TEngineRenderLink link;
        link.CreateRenderer();
        TFontData* owned = GetFontData();
        EXPECT_NE(owned, fallback);
        EXPECT_NE(TRenderer::GetInstance(), nullptr);
        // A second creation keeps the same cache.
        link.CreateRenderer();
        EXPECT_EQ(GetFontData(), owned);
        // The built-in font is served from the installed cache.
        EXPECT_NE(owned->GetMvec(TFontData::kDefaultName), nullptr);

        link.ShutDownRenderer();
        EXPECT_EQ(GetFontData(), fallback);
    }
    EXPECT_EQ(GetFontData(), fallback);
}

TEST_F(EngineRenderLink, VectorDrawerIsMadeOnceAndDeletedBeforeTheRenderer)
{
    TZvMiniVecDraw* fallback = GetMiniVecDraw();
    TEngineRenderLink link;
    link.CreateRenderer();
    EXPECT_FALSE(link.HasVectorDraw());
    link.CreateVectorDraw();
    ASSERT_TRUE(link.HasVectorDraw());
    TZvMiniVecDraw* owned = GetMiniVecDraw();
    EXPECT_NE(owned, fallback);
    link.CreateVectorDraw();
    EXPECT_EQ(GetMiniVecDraw(), owned);

    // The platform's teardown order: the drawer, then the renderer (and the fonts with it).
    link.DestroyVectorDraw();
    EXPECT_FALSE(link.HasVectorDraw());
    EXPECT_EQ(GetMiniVecDraw(), fallback);
    link.DestroyVectorDraw();
    link.ShutDownRenderer();
}

TEST_F(EngineRenderLink, ProgramHudHasTextBuiltOnTheTextLayout)
{
    TEngineRenderPlatform platform;
    std::unique_ptr<THudText> hud = platform.CreateHudText();
    ASSERT_TRUE(hud);
    EXPECT_NE(dynamic_cast<THudTextGraphic*>(hud.get()), nullptr);
}

}  // namespace
