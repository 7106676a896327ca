#include "render/gl/gl_display_handler.h"
#include "render/renderer/render_platform.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"

#include "../support/render_test_support.h"
#include "recording_display_handler.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TStubHud : public THudText
{
public:
    explicit TStubHud(std::vector<std::string>* log) : mLog(log) {}
    void SetText(const str& text) override { mLog->push_back(std::string("HUD ") + text.c_str()); }
    void Draw() override { mLog->push_back("HUD draw"); }

private:
    std::vector<std::string>* mLog;
};

class TStubPlatform : public TRenderPlatform
{
public:
    uint32_t Timer() override { return now += step; }
    std::unique_ptr<THudText> CreateHudText() override
    {
        ++hudMade;
        return std::make_unique<TStubHud>(&TRecordingDisplayHandler::sLast->mCalls);
    }
    bool GetScreenWindowSize(int* w, int* h) override
    {
        *w = 64;
        *h = 32;
        return true;
    }
    uint32_t now = 0;
    uint32_t step = 100;
    int hudMade = 0;
};

// The renderer on a recording stand-in of the display handler (no GL).
class Renderer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRenderer::ShutDown();
        TRenderer::SetDisplayHandlerFactory(&TRecordingDisplayHandler::Make);
        SetRenderPlatform(&platform);
        r = TRenderer::GetInstance();
        h = TRecordingDisplayHandler::sLast;
        ASSERT_NE(h, nullptr);
    }
    void TearDown() override
    {
        TRenderer::ShutDown();
        TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
        SetRenderPlatform(nullptr);
    }
    bool Called(const std::string& call) const
    {
        return std::find(h->mCalls.begin(), h->mCalls.end(), call) != h->mCalls.end();
    }

    TStubPlatform platform;
    TRenderer* r = nullptr;
    TRecordingDisplayHandler* h = nullptr;
};

TEST_F(Renderer, Begin2dOrderChecks)
{
    {
        TLogCapture log;
        EXPECT_FALSE(r->Begin2d());
        EXPECT_NE(log.Text().find("ERROR: Calling Begin2d outside of a BeginDraw or BeginRenderTarget block!"),
                  std::string::npos);
    }
    EXPECT_FALSE(r->In2d());
    ASSERT_TRUE(r->BeginDraw(false));
    EXPECT_TRUE(r->InDraw());
    EXPECT_TRUE(r->Begin2d());
    {
        TLogCapture log;
        EXPECT_FALSE(r->Begin2d());
        EXPECT_NE(log.Text().find("Begin2d called when already in Begin2d state"), std::string::npos);
    }
    r->End2d();
    {
        TLogCapture log;
        r->End2d();
        EXPECT_NE(log.Text().find("End2d called when not in Begin2d state"), std::string::npos);
    }
    r->EndDraw(false);
    EXPECT_FALSE(r->InDraw());
    EXPECT_EQ(std::count(h->mCalls.begin(), h->mCalls.end(), std::string("Begin2d")), 1);
}

TEST_F(Renderer, End2dAfterEndDrawLogsAndStillLeaves2d)
{
    ASSERT_TRUE(r->BeginDraw(true));
    EXPECT_TRUE(Called("BeginDraw 1"));
    ASSERT_TRUE(r->Begin2d());
    r->EndDraw(true);
    EXPECT_TRUE(r->In2d());
    TLogCapture log;
    r->End2d();
    EXPECT_NE(log.Text().find("ERROR: Calling End2d after EndDraw or EndRenderTarget!"), std::string::npos);
    EXPECT_FALSE(r->In2d());
    EXPECT_EQ(h->mCalls.back(), "End2d");
}

TEST_F(Renderer, DrawOutside2dLogsAndDrawsNothing)
{
    TTransformedLitVert v[3] = {};
    TVertexSet set(v, 3);
    unsigned short idx[3] = {0, 1, 2};
    TLogCapture log;
    r->DrawVertices(TRenderer::kTriangleList, set);
    r->DrawIndexedVertices(TRenderer::kTriangleList, set, idx, 3);
    const std::string text = log.Text();
    EXPECT_NE(text.find("DrawVertices called when not in Begin2d or Begin3d state"), std::string::npos);
    EXPECT_NE(text.find("DrawIndexedVertices called when not in Begin2d or Begin3d state"), std::string::npos);
    EXPECT_FALSE(Called("DrawVertices 4 3"));
    ASSERT_TRUE(r->BeginDraw(false));
    ASSERT_TRUE(r->Begin2d());
    r->DrawVertices(TRenderer::kTriangleList, set);
    r->DrawIndexedVertices(TRenderer::kLineList, set, idx, 3);
    EXPECT_TRUE(Called("DrawVertices 4 3"));
    EXPECT_TRUE(Called("DrawIndexedVertices 2 3"));
}

TEST_F(Renderer, RenderTargetPassesDoNotNest)
{
    auto target = std::make_shared<TTexture>();
    ASSERT_TRUE(r->BeginDraw(false));
    EXPECT_FALSE(r->BeginRenderTarget(target, TRenderer::kRenderTargetNormal));
    EXPECT_FALSE(Called("BeginRenderTarget 0"));
    EXPECT_TRUE(r->InDraw());
    r->EndDraw(false);

    target->GetTextureData()->SetFlag(TTextureData::kSimple, true);
    EXPECT_FALSE(r->BeginRenderTarget(target, TRenderer::kRenderTargetNormal));
    target->GetTextureData()->SetFlag(TTextureData::kSimple, false);
    EXPECT_TRUE(r->BeginRenderTarget(target, TRenderer::kRenderTargetAlphaMask));
    EXPECT_TRUE(Called("BeginRenderTarget 4"));
    EXPECT_TRUE(r->InDraw());
    EXPECT_TRUE(r->Begin2d());
    EXPECT_FALSE(r->BeginRenderTarget(target, TRenderer::kRenderTargetNormal));
    r->End2d();
    r->EndRenderTarget();
    EXPECT_FALSE(r->InDraw());
}

TEST_F(Renderer, ClippingStackKeepsItsBottom)
{
    EXPECT_EQ(r->GetClippingRectangle(), TURect(0, 0, 0, 0));
    r->SetClippingRectangle(TURect(0, 0, 640, 480));
    r->PushClippingRectangle(TURect(1, 2, 3, 4));
    EXPECT_EQ(h->mCalls.back(), "Clip 1,2,3,4");
    r->PopClippingRectangle();
    EXPECT_EQ(h->mCalls.back(), "Clip 0,0,640,480");
    r->PopClippingRectangle();
    EXPECT_EQ(r->GetClippingRectangle(), TURect(0, 0, 640, 480));
    r->SetClippingRectangle(TURect(5, 5, 6, 6));
    EXPECT_EQ(r->GetClippingRectangle(), TURect(5, 5, 6, 6));
    EXPECT_EQ(h->mCalls.back(), "Clip 5,5,6,6");
}

TEST_F(Renderer, FillRectIsViewportRelativeAndCut)
{
    r->PushViewport(TRect(100, 50, 115, 200));
    r->FillRect(TURect(10, 10, 20, 20), TColor(1, 1, 1, 1));
    EXPECT_EQ(h->mCalls.back(), "FillRect 110,60,115,70");
    r->PopViewport();
    r->FillRect(TURect(10, 10, 20, 20), TColor(1, 1, 1, 1));
    EXPECT_EQ(h->mCalls.back(), "FillRect 10,10,20,20");
    auto target = std::make_shared<TTexture>();
    r->PushViewport(TRect(100, 50, 300, 300));
    r->FillRect(TURect(1, 2, 3, 4), TColor(1, 1, 1, 1), target);
    EXPECT_EQ(h->mCalls.back(), "FillRect 1,2,3,4 target");
}

TEST_F(Renderer, SimpleTexturesAreNeverSelected)
{
    auto t = std::make_shared<TTexture>();
    r->SetTexture(t);
    EXPECT_EQ(h->mCalls.back(), "SetTexture");
    t->GetTextureData()->SetFlag(TTextureData::kSimple, true);
    r->SetTexture(t);
    EXPECT_EQ(h->mCalls.back(), "SetTexture none");
    EXPECT_FALSE(r->GetData().mCurrentTexture);
}

TEST_F(Renderer, HudTogglesAndDrawsInTheFramesBetween)
{
    EXPECT_FALSE(r->ToggleHUD());
    ASSERT_TRUE(r->BeginDraw(false));
    r->EndDraw(true);
    EXPECT_TRUE(Called("FillRect 0,0,300,64"));
    EXPECT_TRUE(Called("HUD draw"));
    EXPECT_EQ(platform.hudMade, 1);
    const auto hud = std::find_if(h->mCalls.begin(), h->mCalls.end(), [](const std::string& c) {
        return c.rfind("HUD Gantrimole Version 4.0.18.1<br>", 0) == 0;
    });
    ASSERT_NE(hud, h->mCalls.end());
    EXPECT_NE(hud->find("FPS<tab pos='150'>Sprites: 0<br>Mem: "), std::string::npos);
    // HUD drawn before the end-of-frame work, and inside its own 2D pass.
    EXPECT_EQ(h->mCalls.back(), "PostEndDraw 1");
    EXPECT_EQ(h->mCalls[h->mCalls.size() - 2], "End2d");

    EXPECT_TRUE(r->ToggleHUD());
    h->mCalls.clear();
    ASSERT_TRUE(r->BeginDraw(false));
    r->EndDraw(false);
    EXPECT_FALSE(Called("HUD draw"));
    EXPECT_EQ(h->mCalls, (std::vector<std::string>{"BeginDraw 0", "EndDraw 0", "PostEndDraw 0"}));
}

TEST_F(Renderer, FrameRateOverFifteenFrames)
{
    for (int i = 0; i < 14; ++i) {
        r->BeginDraw(false);
        r->EndDraw(false);
    }
    EXPECT_EQ(r->GetData().mFramesPerSecond, 0.0f);
    r->BeginDraw(false);
    r->EndDraw(false);
    // Frame ends at 100..1500 ms: 15 frames over the 1400 ms since the first slot.
    EXPECT_NEAR(r->GetData().mFramesPerSecond, 15000.0f / 1400.0f, 1e-4f);
    EXPECT_EQ(r->GetData().mFrameIndex, 0u);
}

TEST_F(Renderer, PostDrawHookRunsFirst)
{
    static std::vector<std::string>* calls = nullptr;
    calls = &h->mCalls;
    gPostDrawFunc = [] { calls->push_back("hook"); };
    r->BeginDraw(false);
    r->EndDraw(false);
    gPostDrawFunc = nullptr;
    EXPECT_EQ(h->mCalls, (std::vector<std::string>{"BeginDraw 0", "hook", "EndDraw 0", "PostEndDraw 0"}));
}

TEST_F(Renderer, CaptureTextureOnlyAtScreenSize)
{
    ASSERT_TRUE(EnsureGLContext());
    auto wrong = TTexture::Create(10, 10, false);
    auto right = TTexture::Create(64, 32, false);
    ASSERT_TRUE(wrong && right);
    r->SetCaptureTexture(wrong);
    EXPECT_FALSE(r->GetCaptureTexture());
    r->SetCaptureTexture(right);
    EXPECT_EQ(r->GetCaptureTexture(), right);
    r->SetCaptureTexture(wrong);
    EXPECT_EQ(r->GetCaptureTexture(), right);
    r->SetCaptureTexture(nullptr);
    EXPECT_FALSE(r->GetCaptureTexture());
}

TEST_F(Renderer, OptionsGoToTheHandler)
{
    r->SetOption("fps", "0");
    EXPECT_FALSE(r->GetData().mFPS);
    EXPECT_EQ(h->mCalls.back(), "SetOption fps=0");
    r->SetBlendMode(TRenderer::kBlendAdditiveAlpha);
    EXPECT_EQ(h->mCalls.back(), "SetBlendMode 2");
    r->SetCullMode(TRenderer::kCullCW);
    EXPECT_EQ(h->mCalls.back(), "SetCullMode 2");
}

TEST_F(Renderer, Begin2dHelperEndsOnlyWhatItBegan)
{
    ASSERT_TRUE(r->BeginDraw(false));
    TBegin2d outer;
    EXPECT_TRUE(r->In2d());
    {
        TLogCapture log;
        TBegin2d inner;
        inner.Done();
    }
    EXPECT_TRUE(r->In2d());
    outer.Done();
    EXPECT_FALSE(r->In2d());
    outer.Done();
    EXPECT_EQ(std::count(h->mCalls.begin(), h->mCalls.end(), std::string("End2d")), 1);
}

}  // namespace
