// A layout drawn into a real GL context (offscreen driver) and compared with the picture it
// should make.

#include "core/files/asset.h"
#include "core/files/file.h"
#include "render/renderer/renderer.h"
#include "ui/screen/screen.h"
#include "ui/script/window_script.h"
#include "ui/support/ui_test_support.h"
#include "ui/widgets/button.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct TArea
{
    TRect rect;
    uint32_t color;
};

// What the layout should show: its pictures over the white the frame started with.
uint32_t Expected(int x, int y, const std::vector<TArea>& areas)
{
    for (const TArea& a : areas)
        if (x >= a.rect.left && x < a.rect.right && y >= a.rect.top && y < a.rect.bottom)
            return a.color;
    return 0xFFFFFFFFu;
}

bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (std::abs(d) > 2)
            return false;
    }
    return true;
}

TEST(DrawnLayoutTest, LayoutMatchesItsExpectedPicture)
{
    ASSERT_TRUE(EnsureGLContext(kWidth, kHeight)) << "no OpenGL context";
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir((std::string(TV_TEST_SOURCE_DIR) + "/tests/ui/script/data").c_str()), 0);
    TFile::mResourceDir = str();
    TFile::ScanFolderForResources("assets", "");

    TAssetManager assets;
    ASSERT_NO_FATAL_FAILURE(StartWhiteGLFrame(&assets, kWidth, kHeight));
    TRenderer* renderer = TRenderer::GetInstance();
    {
        uint32_t now = 1000;
        auto wm = std::make_unique<TWindowManager>();
        wm->SetClock([&now] { return now; });
        auto* screen = new TScreen;
        wm->SetScreen(screen);
        screen->SetWindowSize(kWidth, kHeight);
        auto* script = new TWindowScript;
        wm->AttachWindowScript(script);
        ASSERT_EQ(script->DoLuaString("PushModal('pictures'); ReadFile('layouts/picture.lua')", -1, 0), 0);
        ASSERT_NE(GetCast<TButton>(screen->GetChildWindow("go", unsigned(-1))), nullptr);

        now += 20;
        wm->InvalidateScreen();
        TEvent idle;
        wm->HandleEvent(&idle);
        renderer->Flush();

        std::vector<uint32_t> frame(size_t(kWidth) * kHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, frame.data());
        // The panel sits at (20, 20); the picture 10 in, the button 100 in, its away picture green.
        const std::vector<TArea> areas{{TRect(30, 30, 70, 60), 0xFFFF0000u}, {TRect(120, 30, 170, 50), 0xFF00FF00u}};
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                wrong += !Near(frame[size_t(kHeight - 1 - y) * kWidth + size_t(x)], Expected(x, y, areas));
        EXPECT_LE(wrong, kWidth * kHeight / 500) << wrong << " pixels differ";
        EXPECT_EQ(ReadFramePixel(50, 45, kHeight), 0xFFFF0000u);
        EXPECT_EQ(ReadFramePixel(140, 40, kHeight), 0xFF00FF00u);
        EXPECT_EQ(ReadFramePixel(200, 100, kHeight), 0xFFFFFFFFu);
        wm.reset();
    }
    EndGLFrame();
    TFile::ShutDownFileSystem();
    ASSERT_EQ(chdir(cwd), 0);
}

}  // namespace
