#pragma once
// The state behind the platform object: folders, clock, owned services, the event queue and
// its translation, the display and cursor. Operating-system work goes through a
// TPlatformHost, so all of it runs under tests with a scripted host.

#include "core/math/rect.h"
#include "core/platform/event.h"
#include "core/platform/platform_host.h"
#include "core/system/random.h"
#include "core/text/str.h"
#include "core/time/task.h"

#include <cstdint>
#include <memory>
#include <vector>

class TAssetManager;
class TPlatform;
class TSoundManager;
class TStringTable;
class TTexture;
class TWindowManager;

using TGameMainFunction = void (*)(TPlatform*, const char*);

class TPlatformData
{
public:
    // The arguments are accepted as the entry gives them; none is used.
    TPlatformData(int argc, char** argv, bool flag, std::unique_ptr<TPlatformHost> host);
    ~TPlatformData();
    TPlatformData(const TPlatformData&) = delete;
    TPlatformData& operator=(const TPlatformData&) = delete;

    void Init() {}

    // --- events ---
    void GetEvent(TEvent* e);
    // Translates one system event and appends the result to the queue.
    void QueueEvent(const TSystemEvent& ev);
    // Translates typed text (installed in a Unicode mode only).
    void HandleUnicodeText(const TSystemEvent& ev);
    void InstallUnicodeHandler(bool on) { mUnicodeHandler = on; }
    bool UnicodeHandlerInstalled() const { return mUnicodeHandler; }
    // The system asked the application to quit: a close request for the game to confirm.
    void QuitRequestedBySystem() { mCloseRequested = true; }
    void PushEvent(const TEvent& e) { mQueue.push_back(e); }
    const std::vector<TEvent>& Queue() const { return mQueue; }

    // --- display, window, cursor ---
    void SetDisplay(unsigned width, unsigned height, bool fullscreen);
    // False when the switch was refused and the window kept its mode.
    bool SetFullscreen(bool on);
    bool IsFullscreen() const { return mFullscreenWanted; }
    void SwapDisplayMode();
    void GetDisplay(unsigned* width, unsigned* height, bool* fullscreen);
    bool GetDisplayReady() const { return true; }
    bool GetViewPortScale(float* out) const;
    // The platform's part of every frame's end: the frame-rate log (GANTRIMOLE_SHOWFPS).
    void LogFrameRate();
    // The display configuration changed: the display is set up again and every texture-refresh
    // listener runs before the next frame.
    void DisplayConfigurationChanged();
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotspot, bool flag);
    void ShowCursor(bool show);
    bool IsMouseInContent();
    void BuildMouseTracker() {}
    void SetWindowTitle(const char* title);
    str GetWindowTitle() const { return mWindowTitle; }
    void CreateApplicationWindow() {}
    bool IsForeground() const { return mForeground; }
    int GetCursorMode() const { return mCursorMode; }
    void SetCursorMode(int mode) { mCursorMode = mode; }

    // Milliseconds since construction.
    unsigned Timer() const;
    static str GetProductName();
    static str GetVersion();

    void Exit(int code);
    // Refuses and reads empty; see TPlatform.
    bool StringToClipboard(const str& text);
    str StringFromClipboard();

    // --- what the platform object reaches through here ---
    TRandom& Random() { return mRandom; }
    TTaskList& TaskList() { return mIdleTasks; }
    TWindowManager* WindowManager() const { return mWindowManager; }
    TAssetManager* AssetManager() const { return mAssetManager.get(); }
    TStringTable* StringTable() const { return mStringTable.get(); }
    TSoundManager* SoundManager() const { return mSoundManager; }
    void SetSoundManager(TSoundManager* manager) { mSoundManager = manager; }
    // Hand-over of owned services to the platform object's shut-down order.
    void DestroyWindowManager();
    void DestroySoundManager();
    void DestroyStringTable();
    void DestroyAssetManager();
    TPlatformHost& Host() { return *mHost; }

    const str& CommandLine() const { return mCommandLine; }
    void SetCommandLine(const str& line) { mCommandLine = line; }
    TGameMainFunction MainFunction() const { return mMain; }
    void SetMainFunction(TGameMainFunction main) { mMain = main; }

    const str& UserFolder() const { return mUserDir; }
    const str& CommonFolder() const { return mCommonDir; }
    const str& DesktopFolder() const { return mDesktopDir; }

    bool QuitRequested() const { return mQuitRequested; }
    bool CloseRequested() const { return mCloseRequested; }
    unsigned SleepTime() const { return mSleepTime; }

private:
    TEvent MakeEvent(int32_t type);
    void DispatchToHandlers(const TSystemEvent& ev);
    void TranslateKeyboard(const TSystemEvent& ev, TEvent& e);
    void TranslateMouse(const TSystemEvent& ev, TEvent& e);
    void TranslateApplication(const TSystemEvent& ev, TEvent& e);
    void TranslateWindow(const TSystemEvent& ev, TEvent& e);
    void IdleTick(TEvent* e);
    void AppActivate(bool active);
    void HideCursorOverContent();
    void ShowCursorOutsideContent();
    void CheckGraphics(TPlatformHost::EGraphicsStep step, const str& error);

    std::unique_ptr<TPlatformHost> mHost;
    TRandom mRandom;
    uint32_t mStartTime = 0;
    bool mQuitRequested = false;
    TGameMainFunction mMain = nullptr;
    str mCommandLine;
    bool mForeground = true;
    bool mCloseRequested = false;
    str mUserDir, mCommonDir, mDesktopDir;
    TTaskList mIdleTasks;
    TWindowManager* mWindowManager = nullptr;
    std::unique_ptr<TAssetManager> mAssetManager;
    TSoundManager* mSoundManager = nullptr;
    std::unique_ptr<TStringTable> mStringTable;
    float mViewPortScale = 1.0f;
    std::vector<TEvent> mQueue;
    bool mCursorWanted = true;
    bool mFullscreenWanted = false;
    int mCursorMode = 0;
    str mWindowTitle;
    unsigned mWidth = 0, mHeight = 0;

    // Event loop state, once per run.
    bool mQuitSent = false;
    bool mPurged = false;
    unsigned mSleepTime = 0;
    bool mAppHidden = false;
    bool mUnicodeHandler = false;
    uint16_t mLeadSurrogate = 0;

    // Display state.
    bool mDisplayFilled = false;
    bool mCursorInited = false;

    // Frame-rate log.
    int mShowFPS = -1;  // -1 until the environment has been read
    uint32_t mFrameTime[15] = {};
    int mFrameTimeIndex = 0;
    uint32_t mLastFPSTime = 0;
};

// Process-wide input flags, set at start-up.
extern bool gbFlashPlaying;
extern bool gbZvUnicode;
extern bool gbQuenmarrUnicode;
// Height of the main display, refreshed whenever full screen is switched.
extern float gyFlip;
