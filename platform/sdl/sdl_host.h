#pragma once
// The platform host on SDL2: one window with a compatibility-profile GL context, full screen
// by SDL_SetWindowFullscreen, the system cursor and the event source.

#include "core/platform/platform_host.h"
#include "platform/sdl/close_watch.h"

#include <SDL.h>

#include <array>
#include <deque>
#include <memory>

class THoldAlarm;
class TQuitSignals;
class TTestInputScript;

class TSdlHost : public TPlatformHost
{
public:
    TSdlHost();
    ~TSdlHost() override;
    TSdlHost(const TSdlHost&) = delete;
    TSdlHost& operator=(const TSdlHost&) = delete;

    // Whether SDL's video and event systems came up.
    bool IsReady() const { return mReady; }
    // Why the game would run unseen, as the player is told it; empty when there is a display.
    const str& MissingDisplay() const { return mMissingDisplay; }
    SDL_Window* Window() const { return mWindow; }

    EWait WaitEvent(TSystemEvent* out, unsigned timeoutMs) override;
    void QuitUnderWay() override;
    uint32_t Modifiers() override;
    TPoint MousePosition() override;
    void Sleep(unsigned ms) override;

    EGraphicsStep CreateMainWindow(unsigned width, unsigned height, const str& title, str* error) override;
    bool HasMainWindow() override { return mWindow != nullptr; }
    void SetWindowMode(unsigned width, unsigned height, bool fullscreen) override;
    bool IsDisplayCaptured() override;
    void CenterWindow() override;
    void ShowWindow(bool show) override;
    void RaiseWindow() override;
    void HideApplication() override;
    void SetWindowTitle(const str& title) override;
    EGraphicsStep ActivateContext(str* error) override;
    void SwapBuffers() override;
    int PixelSize() override { return mPixelSize; }
    float MainDisplayHeight() override;

    bool IsCursorVisible() override;
    void SetCursorVisible(bool visible) override;
    void SetArrowCursor() override;
    bool IsMouseInContent() override;
    void WarpMouseToWindowCenter() override;
    bool FolderTakenByAnother(const str& lockPath) override;
    str AccountHome() override;
    // Logged in every case; under test input not shown, as no one is there to close it.
    void ShowMessageBox(const str& title, const str& text) override;

private:
    // Waits a moment for the window to fill a display of exactly this size.
    bool AwaitFullScreen(unsigned width, unsigned height);
    // Back to a window of this size, once the window manager has let the window go.
    void LeaveFullScreen(unsigned width, unsigned height);
    // The window manager's frame round the window as SDL last heard of it: top, left, bottom,
    // right.
    std::array<int, 4> Frame() const;
    // Puts the test input that is due behind the pending records.
    void QueueTestInput();
    // A close or quit request waits, seen without the main loop: a quit signal, or a close box
    // or quit event in the system's queue (read at once) or in the pending records.
    bool CloseRequestPending();
    // Why the game is to end now without the player asking (a quit signal, the display gone, a
    // script's os.exit), as the log says it; empty when it is not.
    str EndRequest();
    // Turns a waiting end request, once, into the game's terminate event.
    bool TakeEndRequest(TSystemEvent* out);
    // True once the display went away; the host then stops using SDL's video.
    bool DisplayGone();

    bool mReady = false;
    str mMissingDisplay;
    SDL_Window* mWindow = nullptr;
    SDL_GLContext mContext = nullptr;
    SDL_Cursor* mArrow = nullptr;
    int mPixelSize = 32;
    bool mCaptured = false;             // full screen reached at the asked size
    std::array<int, 4> mWindowFrame{};  // the frame the window had before it went full screen
    // Records made from one SDL event beyond the first, handed out before waiting again.
    std::deque<TSystemEvent> mPending;
    // Test-only replayed input and screenshots; null unless a test asks for them.
    std::unique_ptr<TTestInputScript> mTestInput;
    std::unique_ptr<TQuitSignals> mQuitSignals;
    bool mQuitSignalReported = false;
    // Stop a script that holds the main thread while the program is asked to close.
    TCloseWatch mCloseWatch;
    std::unique_ptr<THoldAlarm> mHoldAlarm;
};

// The window title as SDL wants it: UTF-8 text is kept, other bytes are read as Latin-1.
str TitleAsUtf8(const str& title);
// The text with its spaces turned into line ends where a line would pass `width` bytes; a word
// longer than that stands alone on its line.
str WrapLines(const str& text, unsigned width);
constexpr unsigned kBoxLineWidth = 72;
