#include "platform/sdl/sdl_host.h"

#include "platform/sdl/gl_context.h"

#include "core/debug/debug_log.h"
#include "core/script/script_exit.h"
#include "core/script/script_interrupt.h"
#include "platform/sdl/account_home.h"
#include "platform/sdl/display_loss.h"
#include "platform/sdl/folder_lock.h"
#include "platform/sdl/harmless_signals.h"
#include "platform/sdl/hold_alarm.h"
#include "platform/sdl/quit_signals.h"
#include "platform/sdl/sdl_event_convert.h"
#include "platform/sdl/test_input_script.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// How long a window manager is given to answer a switch to full screen, and the way back.
constexpr int kFullScreenAnswerMs = 500;
constexpr int kManagerAnswerMs = 1000;

// The window manager answers in its own time: its news is read until `done` holds.
bool AwaitWindowManager(int ms, const std::function<bool()>& done)
{
    for (int waited = 0;; waited += 10) {
        SDL_PumpEvents();
        if (done())
            return true;
        if (waited >= ms)
            return false;
        SDL_Delay(10);
    }
}

bool IsValidUtf8(const char* s)
{
    for (const uint16_t u : Utf8ToUtf16(s))
        if (u == 0xFFFD)
            return false;
    // U+FFFD typed on purpose is rare in a title; it only costs a Latin-1 reading.
    return true;
}

}  // namespace

str WrapLines(const str& text, unsigned width)
{
    std::string out;
    unsigned column = 0;
    std::string word;
    auto flushWord = [&] {
        if (word.empty())
            return;
        if (column > 0 && column + 1 + word.size() > width) {
            out += '\n';
            column = 0;
        } else if (column > 0) {
            out += ' ';
            ++column;
        }
        out += word;
        column += unsigned(word.size());
        word.clear();
    };
    for (const char* p = text.c_str(); *p; ++p) {
        if (*p == ' ') {
            flushWord();
        } else if (*p == '\n') {
            flushWord();
            out += '\n';
            column = 0;
        } else {
            word += *p;
        }
    }
    flushWord();
    return str(out.c_str());
}

str TitleAsUtf8(const str& title)
{
    if (IsValidUtf8(title.c_str()))
        return title;
    std::string out;
    for (const char* p = title.c_str(); *p; ++p) {
        const uint8_t c = uint8_t(*p);
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return str(out.c_str());
}

TSdlHost::TSdlHost() : mCloseWatch([] { return uint32_t(SDL_GetTicks()); }, [this] { return CloseRequestPending(); })
{
    // Closing the one window is the game's close request, not a quit behind its back.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // SDL would turn a termination signal into its quit event, which the game answers with a
    // question; the signal is caught here instead and ends the game.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    CatchDisplayLoss();
    const int started = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    IgnoreHarmlessSignals();
    mQuitSignals = std::make_unique<TQuitSignals>();
    mHoldAlarm = std::make_unique<THoldAlarm>();
    mHoldAlarm->Restart(TCloseWatch::kHoldLimitMs, TCloseWatch::kLookIntervalMs);
    SetScriptInterruptCheck([this] { return mCloseWatch.ShouldStopScript(); });
    mMissingDisplay = NoDisplay(started == 0).c_str();
    if (started != 0) {
        WriteDbg("SDL video could not start: %s", SDL_GetError());
        return;
    }
    if (!mMissingDisplay.empty()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return;
    }
    WatchDisplay();
    mReady = true;
    mTestInput = TTestInputScript::FromEnvironment();
}

TSdlHost::~TSdlHost()
{
    SetScriptInterruptCheck(nullptr);
    mHoldAlarm.reset();
    DisarmScriptInterrupt();
    ClearScriptQuitRequest();
    // A display that went away since the game last waited for events is not asked to close
    // anything.
    if (mWindow)
        DisplayAnswers(mWindow);
    DisplayGone();
    if (mContext) {
        SDL_GL_MakeCurrent(mWindow, nullptr);
        SDL_GL_DeleteContext(mContext);
    }
    if (mWindow)
        SDL_DestroyWindow(mWindow);
    if (mArrow)
        SDL_FreeCursor(mArrow);
    if (mReady)
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

TPlatformHost::EWait TSdlHost::WaitEvent(TSystemEvent* out, unsigned timeoutMs)
{
    // The alarm is pushed back first, so it cannot fire while the hooks come off.
    mHoldAlarm->Restart(TCloseWatch::kHoldLimitMs, TCloseWatch::kLookIntervalMs);
    mCloseWatch.MainLoopTurned();
    DisarmScriptInterrupt();
    if (TakeEndRequest(out))
        return EWait::kReceived;
    if (mPending.empty() && mReady && mTestInput)
        QueueTestInput();
    if (!mPending.empty()) {
        *out = std::move(mPending.front());
        mPending.pop_front();
        return EWait::kReceived;
    }
    if (!mReady) {
        SDL_Delay(timeoutMs);
        return EWait::kTimedOut;
    }
    SDL_Event event;
    const bool received = SDL_WaitEventTimeout(&event, int(timeoutMs));
    // The display met gone in the wait: no frame may follow, as the driver would draw into
    // buffers of a size it can no longer ask for.
    if (TakeEndRequest(out))
        return EWait::kReceived;
    if (!received)
        return EWait::kTimedOut;

    SDL_Event text;
    const SDL_Event* following = nullptr;
    if (event.type == SDL_KEYDOWN && SDL_PeepEvents(&text, 1, SDL_PEEKEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT) == 1)
        following = &text;

    TSdlInputState state;
    state.mainWindowId = mWindow ? SDL_GetWindowID(mWindow) : 0;
    state.mouse = MousePosition();
    state.keyMods = uint16_t(SDL_GetModState());
    std::vector<TSystemEvent> records;
    ConvertSdlEvent(event, state, following, records);
    *out = std::move(records.front());
    for (size_t i = 1; i < records.size(); ++i)
        mPending.push_back(std::move(records[i]));
    return EWait::kReceived;
}

void TSdlHost::QuitUnderWay()
{
    TQuitSignals::Taken();
}

void TSdlHost::QueueTestInput()
{
    const uint32_t windowId = mWindow ? SDL_GetWindowID(mWindow) : 0;
    const std::vector<SDL_Event> due = mTestInput->TakeDue(SDL_GetTicks(), windowId);
    std::vector<TSystemEvent> records;
    for (size_t i = 0; i < due.size(); ++i) {
        TSdlInputState state;
        state.mainWindowId = windowId;
        state.mouse = MousePosition();
        state.keyMods = uint16_t(SDL_GetModState());
        const bool textFollows = due[i].type == SDL_KEYDOWN && i + 1 < due.size() && due[i + 1].type == SDL_TEXTINPUT;
        ConvertSdlEvent(due[i], state, textFollows ? &due[i + 1] : nullptr, records);
    }
    for (TSystemEvent& record : records)
        mPending.push_back(std::move(record));
}

bool TSdlHost::TakeEndRequest(TSystemEvent* out)
{
    const str ending = EndRequest();
    if (ending.empty() || mQuitSignalReported)
        return false;
    mQuitSignalReported = true;
    TQuitSignals::Taken();
    WriteDbg("%s", ending.c_str());
    *out = TSystemEvent();
    out->eventClass = sysev::kAppleEvent;
    out->kind = sysev::kTerminateApplication;
    return true;
}

str TSdlHost::EndRequest()
{
    // Asked whatever else ends the game: the host stops using a display that is gone.
    const bool gone = DisplayGone();
    if (TQuitSignals::Arrived())
        return "A signal from the system ends the game.";
    if (gone)
        return "The display went away: the game ends without it.";
    if (ScriptAskedToQuit())
        return str(("A script ends the game: " + ScriptQuitRequest()).c_str());
    return str();
}

bool TSdlHost::DisplayGone()
{
    if (!DisplayLost())
        return false;
    // Its window, context and cursor are left to the process's end: freeing them would ask the
    // display again. A host that is not ready asks SDL's video for nothing.
    mReady = false;
    mWindow = nullptr;
    mContext = nullptr;
    mArrow = nullptr;
    return true;
}

bool TSdlHost::CloseRequestPending()
{
    if (!EndRequest().empty())
        return true;
    if (!mReady)
        return false;
    SDL_PumpEvents();
    if (mTestInput)
        QueueTestInput();
    for (const TSystemEvent& record : mPending) {
        if ((record.eventClass == sysev::kWindow && record.kind == sysev::kWindowClose) ||
            (record.eventClass == sysev::kAppleEvent && record.kind == sysev::kQuitApplication))
            return true;
    }
    SDL_Event events[64];
    const int count = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_QUIT, SDL_WINDOWEVENT);
    for (int i = 0; i < count; ++i) {
        if (events[i].type == SDL_QUIT ||
            (events[i].type == SDL_WINDOWEVENT && events[i].window.event == SDL_WINDOWEVENT_CLOSE))
            return true;
    }
    return false;
}

uint32_t TSdlHost::Modifiers()
{
    return ModifierBits(uint16_t(SDL_GetModState()));
}

TPoint TSdlHost::MousePosition()
{
    if (mTestInput && mTestInput->HasMouse())
        return mTestInput->Mouse();
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    return TPoint(x, y);
}

void TSdlHost::Sleep(unsigned ms)
{
    SDL_Delay(ms);
}

TPlatformHost::EGraphicsStep TSdlHost::CreateMainWindow(unsigned width, unsigned height, const str& title, str* error)
{
    // Gone: no window is made, and the game ends at its next event.
    if (mWindow || DisplayGone())
        return EGraphicsStep::kNone;
    if (!mReady) {
        *error = "no video system";
        return EGraphicsStep::kPixelFormat;
    }
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    // A 32-bit depth buffer first; most drivers offer 24.
    for (int depth : {32, 24}) {
        SetEngineGLAttributes(depth);
        const str shownTitle = TitleAsUtf8(title);
        {
            const TDriverSetUp setUp;
            mWindow = SDL_CreateWindow(shownTitle.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       int(width), int(height), flags);
        }
        // A display that went away gets no GL context: the driver meets a loss in calls that
        // cannot fail cleanly.
        if (mWindow)
            DisplayAnswers(mWindow);
        if (DisplayGone())
            return EGraphicsStep::kNone;
        if (!mWindow)
            continue;
        {
            const TDriverSetUp setUp;
            mContext = SDL_GL_CreateContext(mWindow);
        }
        if (mContext)
            break;
        SDL_DestroyWindow(mWindow);
        mWindow = nullptr;
    }
    if (!mWindow) {
        *error = SDL_GetError();
        return EGraphicsStep::kPixelFormat;
    }
    int r = 0, g = 0, b = 0, a = 0;
    SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &r);
    SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &g);
    SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &b);
    SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &a);
    mPixelSize = r + g + b + a;
    return EGraphicsStep::kNone;
}

void TSdlHost::SetWindowMode(unsigned width, unsigned height, bool fullscreen)
{
    if (!mWindow)
        return;
    mCaptured = false;
    if (!fullscreen)
        LeaveFullScreen(width, height);
    else
        SDL_SetWindowSize(mWindow, int(width), int(height));
    if (!fullscreen)
        return;
    // The display switches to the closest mode of the game's size.
    SDL_DisplayMode want{SDL_PIXELFORMAT_UNKNOWN, int(width), int(height), 0, nullptr};
    SDL_DisplayMode mode;
    if (SDL_GetClosestDisplayMode(SDL_GetWindowDisplayIndex(mWindow), &want, &mode))
        SDL_SetWindowDisplayMode(mWindow, &mode);
    // A hidden window only asks for full screen once it is shown.
    SDL_ShowWindow(mWindow);
    // Where a window, its frame and the pointer stood, for a refused switch to put them back.
    const bool fromWindow = !(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN);
    SDL_PumpEvents();
    if (fromWindow)
        mWindowFrame = Frame();
    int x = 0, y = 0, pointerX = 0, pointerY = 0;
    SDL_GetWindowPosition(mWindow, &x, &y);
    SDL_GetGlobalMouseState(&pointerX, &pointerY);
    if (SDL_SetWindowFullscreen(mWindow, SDL_WINDOW_FULLSCREEN) != 0) {
        WriteDbg("Full screen refused: %s", SDL_GetError());
    } else if (!AwaitFullScreen(width, height)) {
        // A window manager that ignores the request, or a display with no mode of the game's
        // size, would show the game in a corner of a black screen: a window is better.
        WriteDbg("Full screen refused: the display gives no %u x %u mode", width, height);
    } else {
        mCaptured = true;
        return;
    }
    LeaveFullScreen(width, height);
    if (!fromWindow)
        return;
    SDL_SetWindowPosition(mWindow, x, y);
    // Leaving full screen puts the pointer back at its place in the window as it was then, the
    // full screen's corner when the manager had not yet answered.
    int nowX = 0, nowY = 0;
    SDL_GetGlobalMouseState(&nowX, &nowY);
    if (nowX != pointerX || nowY != pointerY)
        SDL_WarpMouseGlobal(pointerX, pointerY);
}

void TSdlHost::LeaveFullScreen(unsigned width, unsigned height)
{
    const bool wasFull = (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(mWindow, 0);
    // A window of fixed size is moved back to the place SDL last heard of when it is resized,
    // allowing for the frame it last heard of: until the window manager has given the window
    // back its size and its frame, that is the full screen's corner, or a frame's width off.
    if (wasFull) {
        AwaitWindowManager(kManagerAnswerMs, [&] {
            int w = 0, h = 0;
            SDL_GetWindowSize(mWindow, &w, &h);
            return w == int(width) && h == int(height) && Frame() == mWindowFrame;
        });
    }
    SDL_SetWindowSize(mWindow, int(width), int(height));
}

std::array<int, 4> TSdlHost::Frame() const
{
    std::array<int, 4> frame{};
    SDL_GetWindowBordersSize(mWindow, &frame[0], &frame[1], &frame[2], &frame[3]);
    return frame;
}

bool TSdlHost::AwaitFullScreen(unsigned width, unsigned height)
{
    return AwaitWindowManager(kFullScreenAnswerMs, [&] {
        int w = 0, h = 0;
        SDL_GetWindowSize(mWindow, &w, &h);
        SDL_DisplayMode shown;
        const bool full = (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0;
        return full && w == int(width) && h == int(height) &&
               SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(mWindow), &shown) == 0 && shown.w == int(width) &&
               shown.h == int(height);
    });
}

bool TSdlHost::IsDisplayCaptured()
{
    return mCaptured && mWindow && (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0;
}

void TSdlHost::CenterWindow()
{
    if (mWindow)
        SDL_SetWindowPosition(mWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void TSdlHost::ShowWindow(bool show)
{
    // The game hides its window while the application is hidden, which here is the window
    // minimised: out of sight already, and where the player brings it back from. Taken off the
    // desktop as well, it would be on no task list or window switcher; taken off and back, as
    // around a switch to full screen, it would lose the keyboard focus, which comes back as the
    // player leaving the game.
    if (mWindow && show)
        SDL_ShowWindow(mWindow);
}

void TSdlHost::RaiseWindow()
{
    // Raising a window that already has the keyboard would only make the desktop flicker.
    if (mWindow && !(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_INPUT_FOCUS))
        SDL_RaiseWindow(mWindow);
}

void TSdlHost::HideApplication()
{
    if (mWindow)
        SDL_MinimizeWindow(mWindow);
}

void TSdlHost::SetWindowTitle(const str& title)
{
    if (mWindow)
        SDL_SetWindowTitle(mWindow, TitleAsUtf8(title).c_str());
}

TPlatformHost::EGraphicsStep TSdlHost::ActivateContext(str* error)
{
    // Nothing to draw on: the game ends at its next event.
    if (DisplayGone())
        return EGraphicsStep::kNone;
    if (!mWindow || !mContext) {
        *error = "no window";
        return EGraphicsStep::kDrawable;
    }
    if (SDL_GL_MakeCurrent(mWindow, mContext) != 0) {
        *error = SDL_GetError();
        return EGraphicsStep::kCurrentContext;
    }
    // Wait for the vertical retrace where the driver can.
    SDL_GL_SetSwapInterval(1);
    return EGraphicsStep::kNone;
}

void TSdlHost::SwapBuffers()
{
    if (mWindow && mTestInput && !mTestInput->ScreenshotPath().empty()) {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(mWindow, &w, &h);
        std::vector<uint8_t> rgba;
        if (ReadBackBuffer(w, h, &rgba))
            mTestInput->WriteScreenshot(w, h, rgba);
    }
    if (mWindow && !DisplayGone())
        SDL_GL_SwapWindow(mWindow);
}

float TSdlHost::MainDisplayHeight()
{
    SDL_Rect bounds;
    if (!mReady || SDL_GetDisplayBounds(0, &bounds) != 0)
        return 0.0f;
    return float(bounds.h);
}

bool TSdlHost::IsCursorVisible()
{
    return mReady && SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

void TSdlHost::SetCursorVisible(bool visible)
{
    if (mReady)
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void TSdlHost::SetArrowCursor()
{
    if (!mReady)
        return;
    if (!mArrow)
        mArrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (mArrow)
        SDL_SetCursor(mArrow);
}

bool TSdlHost::IsMouseInContent()
{
    if (mTestInput && mTestInput->HasMouse())
        return mWindow != nullptr;
    return mWindow && SDL_GetMouseFocus() == mWindow;
}

bool TSdlHost::FolderTakenByAnother(const str& lockPath)
{
    return LockFolder(lockPath) == EFolderLock::kTaken;
}

str TSdlHost::AccountHome()
{
    return ::AccountHome();
}

void TSdlHost::ShowMessageBox(const str& title, const str& text)
{
    WriteDbg("Message box for the player: %s: %s", title.c_str(), text.c_str());
    if (mTestInput)
        return;
    // Needs no window and no video system: SDL makes its own box where it can.
    const str shownTitle = TitleAsUtf8(title);
    // The box does not wrap lines of its own: a long one runs off the screen.
    const str shownText = TitleAsUtf8(WrapLines(text, kBoxLineWidth));
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, shownTitle.c_str(), shownText.c_str(), mWindow) != 0)
        WriteDbg("The message box could not be shown: %s", SDL_GetError());
}

void TSdlHost::WarpMouseToWindowCenter()
{
    if (!mWindow)
        return;
    int w = 0, h = 0;
    SDL_GetWindowSize(mWindow, &w, &h);
    SDL_WarpMouseInWindow(mWindow, w / 2, h / 2);
}
