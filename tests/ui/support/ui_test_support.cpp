#include "ui_test_support.h"

#include "common/gl_test_context.h"
#include "core/files/asset.h"
#include "core/script/script.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/render_platform.h"
#include "render/renderer/renderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>

namespace {

TRecordingDisplayHandler* gRecorder = nullptr;

TDisplayHandler* MakeRecorder()
{
    gRecorder = new TRecordingDisplayHandler;
    return gRecorder;
}

void FillWindow(const TWindow& w, const TColor& color)
{
    if (color.alpha > 0)
        TRenderer::GetInstance()->FillRect(TURect(0, 0, uint32_t(w.GetWindowWidth()), uint32_t(w.GetWindowHeight())),
                                           color);
}

}  // namespace

TRecordingDisplayHandler* TRecordingDisplayHandler::Instance()
{
    return gRecorder;
}

void TProbeWindow::Draw()
{
    ++draws;
    FillWindow(*this, fill);
}

void TProbeModal::Draw()
{
    ++draws;
    FillWindow(*this, fill);
}

void UiTest::SetUp()
{
    TRenderer::ShutDown();
    TRenderer::SetDisplayHandlerFactory(&MakeRecorder);
    TRenderer::GetInstance()->PushClippingRectangle(TURect(0, 0, 640, 480));
    wm = std::make_unique<TWindowManager>();
    ASSERT_EQ(TWindowManager::GetInstance(), wm.get());
    wm->SetClock([this] { return now; });
    wm->SetForegroundQuery([this] { return foreground; });
    wm->SetExitHandler([this](int) { ++exits; });
}

void UiTest::TearDown()
{
    wm.reset();
    TRenderer::ShutDown();
    TRenderer::SetDisplayHandlerFactory(&TGLDisplayHandler::Create);
    gRecorder = nullptr;
}

TProbeModal* UiTest::InstallScreen()
{
    TProbeModal* screen = new TProbeModal("_screen_");
    wm->SetScreen(screen);
    screen->SetWindowSize(640, 480);
    return screen;
}

void UiTest::Send(int32_t type, int x, int y, int32_t code, uint32_t modifiers)
{
    TEvent e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.code = code;
    e.modifiers = modifiers;
    wm->HandleEvent(&e);
}

void LuaTest::SetUp()
{
    script = std::make_unique<TScript>();
    L = script->GetState();
}

void LuaTest::TearDown()
{
    script.reset();
}

void LuaTest::Run(const char* code)
{
    ASSERT_EQ(script->DoLuaString(code), 0) << code;
}

bool EnsureGLContext(int width, int height)
{
    return EnsureTestGLContext(width, height);
}

void StartWhiteGLFrame(TAssetManager* assets, int width, int height)
{
    SetRenderPlatform(nullptr);
    TAssetManager::SetInstance(assets);
    TRenderer::ShutDown();
    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_NE(TGLDisplayHandler::GetInstance(), nullptr);
    TGLDisplayHandler::GetInstance()->SetDisplay(width, height, false, false, false, false);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    renderer->PushClippingRectangle(TURect(0, 0, width, height));
}

void EndGLFrame()
{
    TRenderer::ShutDown();
    TAssetManager::SetInstance(nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

uint32_t ReadFramePixel(int x, int y, int frameHeight)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    uint32_t value = 0;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, frameHeight - 1 - y, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &value);
    return value;
}
