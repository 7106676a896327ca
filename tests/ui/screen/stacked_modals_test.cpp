// The screen and image windows, and whole frames of the modal stack drawn into a real GL
// context and read back.

#include "core/files/asset.h"
#include "render/renderer/renderer.h"
#include "render/texture/texture.h"
#include "ui/screen/image.h"
#include "ui/screen/screen.h"
#include "ui/support/ui_test_support.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

bool NearColorTo(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d > 2 || d < -2)
            return false;
    }
    return true;
}

class ScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureGLContext(kWidth, kHeight)) << "no OpenGL context";
        ASSERT_NO_FATAL_FAILURE(StartWhiteGLFrame(&assets, kWidth, kHeight));

        wm = std::make_unique<TWindowManager>();
        wm->SetClock([this] { return now; });
        screen = new TScreen;
        wm->SetScreen(screen);
        screen->SetWindowSize(kWidth, kHeight);
    }
    void TearDown() override
    {
        wm.reset();
        EndGLFrame();
    }
    void Frame()
    {
        now += 20;
        wm->InvalidateScreen();
        TEvent idle;
        wm->HandleEvent(&idle);
    }
    static uint32_t Pixel(int x, int y) { return ReadFramePixel(x, y, kHeight); }

    TAssetManager assets;
    std::unique_ptr<TWindowManager> wm;
    TScreen* screen = nullptr;
    uint32_t now = 1000;
};

TEST_F(ScreenTest, ScreenIdentityAndFlags)
{
    EXPECT_TRUE(screen->IsKindOf(TModalWindow::ClassId()));
    EXPECT_TRUE(screen->IsKindOf(TWindow::ClassId()));
    EXPECT_FALSE(screen->IsKindOf(TImage::ClassId()));
    EXPECT_STREQ(screen->GetTypeName(), "TScreen");
    EXPECT_EQ(screen->GetName(), str("_screen_"));
    EXPECT_TRUE(screen->GetFlags() & TWindow::kLayered);
    EXPECT_EQ(wm->GetTopModalWindow(), screen);
}

TEST_F(ScreenTest, ScreenAloneClearsTheDisplay)
{
    ASSERT_EQ(Pixel(10, 10), 0xFFFFFFFFu);
    Frame();
    EXPECT_EQ(Pixel(10, 10), 0x00000000u);
    EXPECT_EQ(Pixel(kWidth - 1, kHeight - 1), 0x00000000u);
}

TEST_F(ScreenTest, TwoStackedModalWindowsAreDrawnInOrder)
{
    auto* first = new TProbeModal("first");
    wm->PushModal(first);
    first->SetWindowPos(20, 20);
    first->SetWindowSize(100, 80);
    first->fill = TColor(0, 0, 1, 1);
    auto* inner = new TProbeWindow("inner");
    first->AdoptChild(inner, true);
    inner->SetWindowPos(10, 10);
    inner->SetWindowSize(30, 30);
    inner->fill = TColor(0, 1, 0, 1);

    auto* second = new TProbeModal("second");
    wm->PushModal(second);
    second->SetWindowPos(60, 40);  // in the first one's coordinates
    second->SetWindowSize(50, 50);
    second->fill = TColor(1, 0, 0, 1);

    Frame();
    // The screen does not clear below other modal windows: the white stays.
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(25, 25), 0xFF0000FFu);
    EXPECT_EQ(Pixel(35, 35), 0xFF00FF00u);
    EXPECT_EQ(Pixel(85, 65), 0xFFFF0000u);
    EXPECT_EQ(Pixel(125, 95), 0xFFFF0000u);   // the second overhangs the first
    EXPECT_EQ(Pixel(131, 111), 0xFFFFFFFFu);  // beyond both
    EXPECT_EQ(first->draws, 1);
    EXPECT_EQ(second->draws, 1);

    // Popping the top one leaves the first drawn alone over the old frame.
    wm->PopModal("second");
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    Frame();
    EXPECT_EQ(Pixel(85, 65), 0xFF0000FFu);
    EXPECT_EQ(Pixel(125, 95), 0xFFFFFFFFu);
}

TEST_F(ScreenTest, LayerTargetIsDrawnAtTheTopLeftAfterTheClear)
{
    std::shared_ptr<TTexture> target = TTexture::Create(kWidth, kHeight, false);
    ASSERT_TRUE(target);
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->FillRect(TURect(0, 0, 40, 30), TColor(1, 0, 0, 1), target);
    wm->SetLayerTarget(target);
    ASSERT_TRUE(renderer->BeginDraw(false));
    screen->DoDraw(kDrawNormal);
    renderer->EndDraw(false);
    EXPECT_EQ(Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(39, 29), 0xFFFF0000u);
    EXPECT_EQ(Pixel(40, 29), 0x00000000u);
    EXPECT_EQ(Pixel(39, 30), 0x00000000u);
    EXPECT_EQ(Pixel(kWidth - 1, kHeight - 1), 0x00000000u);
}

// The layer target keeps the frame as it stood, and the screen shows it over its clear; of the
// stack above, only the top modal window is drawn again. (The mark is a band across the middle:
// the kept frame's orientation is the render target's business.)
TEST_F(ScreenTest, LayerPassKeepsTheFrameBelowTheTopModalWindow)
{
    struct Case
    {
        const char* name;
        bool modals;
    };
    const Case cases[] = {{"screen alone", false}, {"two modal windows above", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        wm->SetLayerTarget(TTexture::Create(kWidth, kHeight, false));
        TProbeModal* lower = nullptr;
        TProbeModal* top = nullptr;
        if (c.modals) {
            lower = new TProbeModal("lower");
            wm->PushModal(lower);
            lower->fill = TColor(0, 0, 1, 1);
            top = new TProbeModal("top");
            wm->PushModal(top);
            top->SetWindowPos(150, 20);
            top->SetWindowSize(50, 50);
            top->fill = TColor(0, 1, 0, 1);
        }
        glScissor(0, 110, kWidth, 20);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(0, 0, kWidth, kHeight);

        Frame();
        EXPECT_EQ(Pixel(5, 110), 0xFFFF0000u);
        EXPECT_EQ(Pixel(kWidth - 1, 129), 0xFFFF0000u);
        EXPECT_EQ(Pixel(5, 109), 0xFFFFFFFFu);
        EXPECT_EQ(Pixel(5, 130), 0xFFFFFFFFu);
        if (c.modals) {
            EXPECT_EQ(lower->draws, 0);
            EXPECT_EQ(top->draws, 1);
            EXPECT_EQ(Pixel(160, 30), 0xFF00FF00u);
        }
    }
}

TEST_F(ScreenTest, ImageSizesItselfToTheScaledTexture)
{
    std::shared_ptr<TTexture> solid = TTexture::Create(100, 50, false);
    ASSERT_TRUE(solid);
    auto* image = new TImage(true);
    screen->AdoptChild(image, true);
    EXPECT_TRUE(image->GetFlags() & TWindow::kLayered);
    EXPECT_TRUE(image->GetFlags() & TWindow::kOpaque);
    image->SetTexture(solid, 1.5f);
    EXPECT_EQ(image->GetWindowWidth(), 150);
    EXPECT_EQ(image->GetWindowHeight(), 75);
    image->SetRotate(true);
    EXPECT_EQ(image->GetWindowWidth(), 75);
    EXPECT_EQ(image->GetWindowHeight(), 150);

    image->SetAlpha(0.5f);
    EXPECT_FALSE(image->GetFlags() & TWindow::kOpaque);
    image->SetAlpha(1.0f);
    EXPECT_TRUE(image->GetFlags() & TWindow::kOpaque);
    image->SetTexture(TTexture::Create(10, 10, true), 1.0f);
    image->SetAlpha(1.0f);
    EXPECT_FALSE(image->GetFlags() & TWindow::kOpaque);

    std::unique_ptr<TWindow> made(TWindow::CreateFromId(TImage::ClassId()));
    ASSERT_TRUE(made);
    EXPECT_TRUE(made->GetFlags() & TWindow::kLayered);
    EXPECT_EQ(FindWindowClass("TImage"), TImage::ClassId());
}

TEST_F(ScreenTest, ImageDrawsItsTextureAtItsOrigin)
{
    std::shared_ptr<TTexture> solid = TTexture::Create(40, 20, false);
    ASSERT_TRUE(solid);
    TRenderer::GetInstance()->FillRect(TURect(0, 0, 40, 20), TColor(1, 0, 1, 1), solid);
    auto* image = new TImage(false);
    screen->AdoptChild(image, true);
    image->SetWindowPos(50, 60);
    image->SetTexture(solid, 1.0f);
    Frame();
    EXPECT_TRUE(NearColorTo(Pixel(55, 65), 0xFFFF00FFu));
    EXPECT_TRUE(NearColorTo(Pixel(88, 78), 0xFFFF00FFu));
    EXPECT_EQ(Pixel(92, 65), 0x00000000u);
    EXPECT_EQ(Pixel(45, 65), 0x00000000u);
}

}  // namespace
