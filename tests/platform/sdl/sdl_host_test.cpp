// The SDL host under the offscreen driver: a real window and GL context, and SDL events
// through the whole event translation.

#include "common/missing_peer.h"
#include "platform/sdl/sdl_host.h"

#include "core/platform/platform_data.h"
#include "core/script/script.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

// The GL driver keeps allocations of its own for the life of the process; they are not ours
// to free. It stays loaded so the leak checker can tell its allocations by module.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:swrast_dri.so\nleak:libEGL_mesa.so\nleak:libGLX_mesa.so\nleak:libLLVM\nleak:libglapi.so\n"
           "leak:libgallium\n";
}

namespace {

void KeepGLDriverLoaded()
{
    for (const char* lib :
         {"libEGL_mesa.so.0", "libGLX_mesa.so.0", "libglapi.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        dlopen(lib, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}

class SdlHost : public testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        KeepGLDriverLoaded();
        char pattern[] = "/tmp/tv_sdlhost_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mTemp = pattern;
        setenv("XDG_DATA_HOME", mTemp.c_str(), 1);
        setenv("HOME", mTemp.c_str(), 1);
        auto host = std::make_unique<TSdlHost>();
        if (!host->IsReady())
            TV_SKIP_WITHOUT_PEER("no SDL video driver");
        mHost = host.get();
        mData = std::make_unique<TPlatformData>(0, nullptr, false, std::move(host));
    }
    void TearDown() override
    {
        mData.reset();
        std::error_code ec;
        std::filesystem::remove_all(mTemp, ec);
    }
    // Opens the window and lets the events of its appearance (and the pointer warp) pass.
    void Open(unsigned w, unsigned h)
    {
        mData->SetDisplay(w, h, false);
        TEvent e;
        for (int idle = 0, i = 0; idle < 5 && i < 500; ++i) {
            mData->GetEvent(&e);
            idle = e.type == TEvent::kIdle ? idle + 1 : 0;
        }
    }
    // The close box of the window is clicked.
    void PushWindowClose()
    {
        SDL_Event e;
        SDL_zero(e);
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        e.window.windowID = SDL_GetWindowID(mHost->Window());
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    // Pushes an SDL event and reads GetEvent until a non-idle record or the limit.
    TEvent Next(int limit = 50)
    {
        TEvent e;
        for (int i = 0; i < limit; ++i) {
            mData->GetEvent(&e);
            if (e.type != TEvent::kIdle)
                return e;
        }
        return e;
    }

    std::string mTemp;
    TSdlHost* mHost = nullptr;
    std::unique_ptr<TPlatformData> mData;
};

TEST_F(SdlHost, OpensTheWindowWithAContextAtTheAskedSize)
{
    mData->SetDisplay(800, 600, false);
    ASSERT_NE(mHost->Window(), nullptr);
    int w = 0, h = 0;
    SDL_GetWindowSize(mHost->Window(), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_GE(mHost->PixelSize(), 24);
    EXPECT_NE(SDL_GL_GetCurrentContext(), nullptr);
    int profile = 0;
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_EQ(profile, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    mData->SetWindowTitle("Caf\xe9");  // Latin-1 bytes
    EXPECT_STREQ(SDL_GetWindowTitle(mHost->Window()), "Caf\xc3\xa9");
    EXPECT_STREQ(TitleAsUtf8("Caf\xc3\xa9").c_str(), "Caf\xc3\xa9");
}

TEST_F(SdlHost, WindowCloseAndSystemQuitBecomeCloseRequests)
{
    Open(640, 480);
    PushWindowClose();
    EXPECT_EQ(Next().type, TEvent::kCloseRequest);

    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    EXPECT_EQ(Next().type, TEvent::kCloseRequest);
    EXPECT_FALSE(mData->QuitRequested());
}

TEST_F(SdlHost, ATerminationSignalQuitsWithoutAsking)
{
    Open(640, 480);
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_EQ(Next().type, TEvent::kQuit);
    EXPECT_TRUE(mData->QuitRequested());
    EXPECT_FALSE(mData->CloseRequested());
}

// The close box clicked while a script loops: the script is stopped with an error naming it
// once it has held the main thread for the limit, and the request still reaches the game.
TEST_F(SdlHost, AScriptThatHoldsTheMainThreadStopsWhenTheWindowIsClosed)
{
    Open(640, 480);
    PushWindowClose();
    TScript script;
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(script.DoLuaString("spins = 0\nwhile true do spins = spins + 1 end"), 0);
    const auto held = std::chrono::steady_clock::now() - start;
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("script spins = 0"), std::string::npos) << log;
    EXPECT_NE(log.find("stopped at line 2"), std::string::npos) << log;
    EXPECT_GE(held, std::chrono::milliseconds(TCloseWatch::kHoldLimitMs - 50));
    EXPECT_EQ(Next().type, TEvent::kCloseRequest);
}

TEST_F(SdlHost, InjectedKeyAndClickComeOutInOrder)
{
    Open(640, 480);
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_ESCAPE;
    e.key.windowID = SDL_GetWindowID(mHost->Window());
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    TEvent key = Next();
    EXPECT_EQ(key.type, TEvent::kKeyDown);
    EXPECT_EQ(key.code, TEvent::kEscape);
    EXPECT_EQ(Next().type, TEvent::kChar);

    SDL_zero(e);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 20;
    e.button.y = 30;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    TEvent up = Next();
    EXPECT_EQ(up.type, TEvent::kMouseUp);
    EXPECT_EQ(up.x, 20);
    EXPECT_EQ(up.y, 30);
    EXPECT_EQ(Next().type, TEvent::kMouseMove);
}

// Full screen given up and taken again hides the window and shows it: neither may come back
// as the player hiding or showing the game, or the game would swap again, and again.
TEST_F(SdlHost, TheGamesOwnHideAndShowAreNotThePlayers)
{
    Open(640, 480);
    mHost->ShowWindow(false);
    mHost->ShowWindow(true);
    mHost->ShowWindow(false);
    TSystemEvent record;
    for (int i = 0; i < 50 && mHost->WaitEvent(&record, 10) == TPlatformHost::EWait::kReceived; ++i)
        EXPECT_FALSE(record.eventClass == sysev::kApplication &&
                     (record.kind == sysev::kAppHidden || record.kind == sysev::kAppShown))
            << record.kind;
    // A withdrawn window is on no task list: nothing would bring the game back.
    EXPECT_FALSE(SDL_GetWindowFlags(mHost->Window()) & SDL_WINDOW_HIDDEN);
}

}  // namespace

TEST(SdlMessageBox, LongLinesBreakAtSpacesAndTheTextsOwnLineEndsStay)
{
    const struct
    {
        const char* text;
        const char* wrapped;
    } cases[] = {
        {"one two three four", "one two\nthree four"},
        {"one\ntwo three four", "one\ntwo three\nfour"},
        {"unbreakable-word x", "unbreakable-word\nx"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(WrapLines(c.text, 10).c_str(), c.wrapped) << c.text;
}
