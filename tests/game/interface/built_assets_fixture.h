#pragma once
// Fixtures on the demo's assembled data folder, where the pictures exist: layouts on the
// recording renderer (textures load into a hidden GL context), and layouts drawn for real into
// an 800 × 600 GL frame that is read back.

#include <unistd.h>

#include <memory>
#include <string>

#include "core/files/asset.h"
#include "core/files/file.h"
#include "game/interface/layout_fixture.h"
#include "game/interface/windows/game_window_types.h"
#include "game/script/window_autoreg.h"
#include "render/renderer/renderer.h"
#include "ui/screen/screen.h"
#include "ui/script/window_script.h"
#include "ui/support/ui_test_support.h"

class BuiltLayoutTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureGLContext(800, 600)) << "no OpenGL context";
        GameLayoutTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
    }
    std::string AssetsRoot() const override { return TV_ASSETS_RESOURCE_DIR; }
};

class DrawnGameTest : public ::testing::Test
{
protected:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;

    void SetUp() override
    {
        ASSERT_TRUE(EnsureGLContext(kWidth, kHeight)) << "no OpenGL context";
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        mCwd = cwd;
        ASSERT_EQ(chdir(TV_ASSETS_RESOURCE_DIR), 0);
        TFile::mResourceDir = str();
        TFile::ScanFolderForResources("assets", "");
        ASSERT_NO_FATAL_FAILURE(StartWhiteGLFrame(&assets, kWidth, kHeight));
        wm = std::make_unique<TWindowManager>();
        wm->SetClock([this] { return now; });
        screen = new TScreen;
        wm->SetScreen(screen);
        screen->SetWindowSize(kWidth, kHeight);
        script = new TWindowScript;
        wm->AttachWindowScript(script);
        AddAutoRegWindowTypes(wm.get());
    }
    void TearDown() override
    {
        wm.reset();
        EndGLFrame();
        TFile::ShutDownFileSystem();
        ASSERT_EQ(chdir(mCwd.c_str()), 0);
    }
    void Layout(const std::string& layout)
    {
        ASSERT_EQ(script->DoLuaString(("PushModal('test'); MakeDialog{ " + layout + " }").c_str(), -1, 0), 0) << layout;
    }
    TWindow* Find(const char* name) { return screen->GetChildWindow(name, unsigned(-1)); }
    // One idle frame, drawn.
    void Frame()
    {
        now += 20;
        wm->InvalidateScreen();
        TEvent idle;
        wm->HandleEvent(&idle);
        TRenderer::GetInstance()->Flush();
    }
    static uint32_t Pixel(int x, int y) { return ReadFramePixel(x, y, kHeight); }

    TAssetManager assets;
    std::unique_ptr<TWindowManager> wm;
    TScreen* screen = nullptr;
    TWindowScript* script = nullptr;
    uint32_t now = 1000;

private:
    std::string mCwd;
};
