#pragma once
// Scripted stand-ins for the operating system and the subsystems above the platform, and a
// fixture that points every folder at a fresh temporary tree.

#include "core/platform/platform_data.h"
#include "core/platform/platform_host.h"
#include "core/platform/render_link.h"
#include "core/platform/sound_link.h"
#include "core/platform/window_system_link.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

class TFakeHost : public TPlatformHost
{
public:
    std::deque<TSystemEvent> events;
    bool failWait = false;
    uint32_t modifiers = 0;
    TPoint mouse{5, 6};
    std::vector<unsigned> sleeps;
    uint32_t* clock = nullptr;  // advanced by Sleep when set
    std::vector<std::string> calls;
    bool window = false;
    bool captured = false;
    bool refuseFullscreen = false;
    bool cursorVisible = true;
    bool mouseInContent = true;
    EGraphicsStep failStep = EGraphicsStep::kNone;

    EWait WaitEvent(TSystemEvent* out, unsigned) override;
    uint32_t Modifiers() override { return modifiers; }
    TPoint MousePosition() override { return mouse; }
    void Sleep(unsigned ms) override;
    EGraphicsStep CreateMainWindow(unsigned width, unsigned height, const str& title, str* error) override;
    bool HasMainWindow() override { return window; }
    void SetWindowMode(unsigned width, unsigned height, bool fullscreen) override;
    bool IsDisplayCaptured() override { return captured; }
    void CenterWindow() override { calls.push_back("center"); }
    void ShowWindow(bool show) override { calls.push_back(show ? "show" : "hide"); }
    void RaiseWindow() override { calls.push_back("raise"); }
    void HideApplication() override { calls.push_back("hideapp"); }
    void SetWindowTitle(const str& title) override { calls.push_back(std::string("title ") + title.c_str()); }
    EGraphicsStep ActivateContext(str*) override { return EGraphicsStep::kNone; }
    void SwapBuffers() override { calls.push_back("swap"); }
    int PixelSize() override { return 32; }
    float MainDisplayHeight() override { return 1080.0f; }
    bool IsCursorVisible() override { return cursorVisible; }
    void SetCursorVisible(bool visible) override;
    void SetArrowCursor() override { calls.push_back("arrow"); }
    bool IsMouseInContent() override { return mouseInContent; }
    void WarpMouseToWindowCenter() override { calls.push_back("warp"); }
    bool FolderTakenByAnother(const str&) override { return false; }
    str AccountHome() override { return accountHome; }
    str accountHome;
    void ShowMessageBox(const str& title, const str&) override { calls.push_back(std::string("box ") + title.c_str()); }

    bool Called(const std::string& what) const;
};

// Fake window-manager handle: the platform only passes it back to the link.
TWindowManager* FakeWindowManager();
TSoundManager* FakeSoundManager();

class TRecordingWindowLink : public TWindowSystemLink
{
public:
    std::vector<std::string> calls;
    bool created = true;
    TWindowManager* CreateWindowManager() override;
    void DestroyWindowManager(TWindowManager*) override { calls.push_back("destroy"); }
    void AttachWindowScript(TWindowManager*) override { calls.push_back("script"); }
    void EnableStringTable(TWindowManager*, bool enable) override;
    void CloseRequested(TWindowManager*) override { calls.push_back("close"); }
    void InvalidateScreen(TWindowManager*) override { calls.push_back("invalidate"); }
    void EnsureScreen(TWindowManager*, unsigned w, unsigned h) override;
    void DestroyGameState() override { calls.push_back("gamestate"); }
    int Count(const std::string& what) const;
};

class TRecordingSoundLink : public TSoundLink
{
public:
    std::vector<std::string> calls;
    int notifications = 0;
    TSoundManager* CreateManager() override;
    void DestroyManager(TSoundManager*) override { calls.push_back("destroy"); }
    bool Init(TSoundManager*) override
    {
        calls.push_back("init");
        return true;
    }
    void AppActivate(TSoundManager*, bool active) override { calls.push_back(active ? "on" : "off"); }
    void HandleNotifications(TSoundManager*) override { ++notifications; }
    void RegisterDataSources() override { calls.push_back("ogg"); }
};

class TRecordingRenderLink : public TRenderLink
{
public:
    std::vector<std::string> calls;
    bool fullscreenDisplay = false;
    bool vectorDraw = false;
    void CreateRenderer() override { calls.push_back("renderer"); }
    void ShutDownRenderer() override { calls.push_back("shutdown"); }
    void SetDisplay(unsigned w, unsigned h, bool fs) override;
    bool IsDisplayFullscreen() override { return fullscreenDisplay; }
    void ClearFrame(unsigned w, unsigned h) override;
    void ResetClipping(unsigned w, unsigned h, bool push) override;
    void InstallCursor(const char* name, TPoint hotspot) override;
    void ToggleHUD() override { calls.push_back("hud"); }
    void RebuildDisplay() override { calls.push_back("rebuild"); }
    bool HasVectorDraw() override { return vectorDraw; }
    void CreateVectorDraw() override
    {
        vectorDraw = true;
        calls.push_back("vecdraw");
    }
    int Count(const std::string& what) const;
};

// Fresh folders, the test resources, clean configuration and flags, recording links.
class PlatformFixture : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A platform data object on a fake host (the host stays reachable through host).
    std::unique_ptr<TPlatformData> MakeData();
    TSystemEvent Key(uint32_t kind, uint8_t ch, uint32_t keyCode = 0);
    TSystemEvent Mouse(uint32_t kind, int32_t button, int32_t x, int32_t y);
    TSystemEvent Text(std::vector<uint16_t> units);
    TSystemEvent Simple(uint32_t eventClass, uint32_t kind);
    // Drains the queue through GetEvent until it is empty.
    std::vector<TEvent> Drain(TPlatformData& data);

    std::string mTemp;
    TFakeHost* host = nullptr;
    str accountHome;  // the next host's
    TRecordingWindowLink windows;
    TRecordingSoundLink sound;
    TRecordingRenderLink render;
    uint32_t now = 1000;
};
