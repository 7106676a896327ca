// A whole engine built through its entry on the scripted host, without any game code: what the
// entry assembles, one frame from the renderer to the host's swap, one input event from the
// host to the window manager, and a display change that rebuilds textures before the next frame.

#include "engine/engine.h"
#include "platform_fakes.h"

#include "common/gl_test_context.h"
#include "core/platform/platform.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"
#include "render/text/text_services.h"
#include "sound/manager/sound_manager.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TCountingTask : TTask
{
    int runs = 0;
    bool DoTask() override
    {
        ++runs;
        return true;
    }
};

struct TEngineRecord
{
    TFakeHost* host = nullptr;
    TFontData* fallbackFonts = nullptr;
    bool glHandler = false;
    bool windowScript = false;
    bool sound = false;
    bool fonts = false;
    int swapsAfterFrame = 0;
    int32_t inputType = 0;
    int refreshesBeforeFrame = -1;
    int refreshesAfterFrames = -1;
};
TEngineRecord gRecord;

int Swaps(const TFakeHost& host)
{
    return int(std::count(host.calls.begin(), host.calls.end(), "swap"));
}

void EngineMain(TPlatform* platform, const char*)
{
    TEngineRecord& r = gRecord;
    TRenderer* renderer = TRenderer::GetInstance();
    r.glHandler = TGLDisplayHandler::GetInstance() && renderer->GetDisplayHandler() == TGLDisplayHandler::GetInstance();
    TWindowManager* wm = platform->GetWindowManager();
    r.windowScript = wm && wm->GetScript() && wm->GetScript()->GetState();
    r.sound = platform->GetSoundManager() && platform->GetSoundManager() == TSoundManager::GetInstance();
    r.fonts = GetFontData() && GetFontData() != r.fallbackFonts;

    platform->SetDisplay(128, 64, false);
    // The manager's first frame shows the screen it was given.
    TEvent idle;
    idle.type = TEvent::kIdle;
    wm->HandleEvent(&idle);
    const int swaps = Swaps(*r.host);
    if (renderer->BeginDraw(false)) {
        renderer->FillRect(TURect(0, 0, 10, 10), TColor(1, 0, 0, 1));
        renderer->EndDraw(true);
    }
    r.swapsAfterFrame = Swaps(*r.host) - swaps;

    TSystemEvent click;
    click.eventClass = sysev::kMouse;
    click.kind = sysev::kMouseDown;
    click.button = sysev::kPrimaryButton;
    r.host->events.push_back(click);
    TEvent e;
    platform->GetEvent(&e);
    r.inputType = e.type;
    wm->HandleEvent(&e);

    TCountingTask listener;
    platform->AdoptTextureRefreshListener(&listener);
    TSystemEvent change;
    change.eventClass = sysev::kDisplay;
    change.kind = sysev::kDisplayConfigurationChanged;
    r.host->events.push_back(change);
    platform->GetEvent(&e);
    wm->HandleEvent(&e);
    r.refreshesBeforeFrame = listener.runs;
    for (int i = 0; i < 2; ++i)
        if (renderer->BeginDraw(false))
            renderer->EndDraw(true);
    r.refreshesAfterFrames = listener.runs;
    platform->OrphanTextureRefreshListener(&listener);
}

using EngineEntry = PlatformFixture;

TEST_F(EngineEntry, AssemblesTheEngineAndRunsFramesAndInputOneWay)
{
    ASSERT_TRUE(EnsureTestGLContext(128, 64)) << "no OpenGL context";
    gRecord = TEngineRecord();
    gRecord.fallbackFonts = GetFontData();
    auto fake = std::make_unique<TFakeHost>();
    gRecord.host = fake.get();
    testing::internal::CaptureStderr();
    // The host goes with the platform at teardown: the record reads it inside the run only.
    RunEngine(std::move(fake), 0, nullptr, EngineMain, false);
    testing::internal::GetCapturedStderr();

    EXPECT_TRUE(gRecord.glHandler);
    EXPECT_TRUE(gRecord.windowScript);
    EXPECT_TRUE(gRecord.sound);
    EXPECT_TRUE(gRecord.fonts);
    EXPECT_EQ(gRecord.swapsAfterFrame, 1);
    EXPECT_EQ(gRecord.inputType, TEvent::kMouseDown);
    EXPECT_EQ(gRecord.refreshesBeforeFrame, 0);
    EXPECT_EQ(gRecord.refreshesAfterFrames, 1);
    // Torn down with the run.
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    EXPECT_EQ(TWindowManager::GetInstance(), nullptr);
    EXPECT_EQ(GetFontData(), gRecord.fallbackFonts);
}

}  // namespace
