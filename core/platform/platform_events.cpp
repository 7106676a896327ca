// The event loop's source: the quit and close flags, the queue, one system event, or an idle
// tick; and the translation of system events into TEvent records.

#include "core/platform/platform_data.h"

#include "core/platform/render_link.h"
#include "core/platform/sound_link.h"
#include "core/platform/window_system_link.h"

#include <algorithm>

namespace {

// Upper case of a character byte in the C locale, for any byte value.
uint8_t UpperByte(uint8_t c)
{
    return (c >= 'a' && c <= 'z') ? uint8_t(c - 'a' + 'A') : c;
}

// Character codes travel as signed bytes: codes from 128 up come out negative.
int32_t AsSignedByte(uint8_t c)
{
    return int32_t(int8_t(c));
}

uint8_t FunctionKeyLetter(uint32_t keyCode)
{
    switch (keyCode) {
    case sysev::kKeyF1: return 'p';
    case sysev::kKeyF2: return 'q';
    case sysev::kKeyF3: return 'r';
    case sysev::kKeyF4: return 's';
    default: return 0;
    }
}

}  // namespace

TEvent TPlatformData::MakeEvent(int32_t type)
{
    TEvent e;
    e.type = type;
    e.modifiers = mHost->Modifiers();
    return e;
}

void TPlatformData::GetEvent(TEvent* e)
{
    if (!e)
        return;
    if (!mPurged && mCursorMode == 1) {
        mPurged = true;
        mQueue.clear();
    }
    if (mPurged && mCursorMode == 0)
        mPurged = false;

    if (mQuitRequested && !mQuitSent) {
        mQuitSent = true;
        mHost->QuitUnderWay();
        *e = MakeEvent(TEvent::kQuit);
        return;
    }
    if (mCloseRequested) {
        mCloseRequested = false;
        if (mWindowManager)
            GetWindowSystemLink().CloseRequested(mWindowManager);
        *e = MakeEvent(TEvent::kCloseRequest);
        return;
    }
    if (!mQueue.empty()) {
        *e = mQueue.back();
        mQueue.pop_back();
        return;
    }

    TSystemEvent ev;
    switch (mHost->WaitEvent(&ev, 1)) {
    case TPlatformHost::EWait::kReceived:
        QueueEvent(ev);
        *e = mQueue.back();
        mQueue.pop_back();
        DispatchToHandlers(ev);
        break;
    case TPlatformHost::EWait::kTimedOut: IdleTick(e); break;
    case TPlatformHost::EWait::kFailed: break;
    }
    if (mSoundManager)
        GetSoundLink().HandleNotifications(mSoundManager);
}

void TPlatformData::IdleTick(TEvent* e)
{
    // In the background each idle tick sleeps 10 ms longer, up to a second.
    if (!mForeground) {
        mSleepTime = std::min(mSleepTime + 10, 1000u);
        mHost->Sleep(mSleepTime);
    } else {
        mSleepTime = 0;
    }
    if (GetRenderLink().IsDisplayFullscreen() && mForeground)
        mHost->RaiseWindow();
    mIdleTasks.DoAll(TTask::kIdleContext);
    *e = MakeEvent(TEvent::kIdle);
}

// Handlers that see events besides the translation: typed text, the system's quit request, its
// termination signal and display changes. Every other event has been translated once already by
// QueueEvent.
void TPlatformData::DispatchToHandlers(const TSystemEvent& ev)
{
    if (ev.eventClass == sysev::kTextInput && ev.kind == sysev::kUnicodeForKeyEvent && mUnicodeHandler)
        HandleUnicodeText(ev);
    else if (ev.eventClass == sysev::kAppleEvent && ev.kind == sysev::kQuitApplication)
        QuitRequestedBySystem();
    else if (ev.eventClass == sysev::kDisplay && ev.kind == sysev::kDisplayConfigurationChanged)
        DisplayConfigurationChanged();
    else if (ev.eventClass == sysev::kAppleEvent && ev.kind == sysev::kTerminateApplication)
        Exit(0);
}

void TPlatformData::AppActivate(bool active)
{
    if (mSoundManager)
        GetSoundLink().AppActivate(mSoundManager, active);
}

void TPlatformData::QueueEvent(const TSystemEvent& ev)
{
    TEvent e = MakeEvent(TEvent::kIdle);
    switch (ev.eventClass) {
    case sysev::kKeyboard: TranslateKeyboard(ev, e); break;
    case sysev::kMouse: TranslateMouse(ev, e); break;
    case sysev::kApplication: TranslateApplication(ev, e); break;
    case sysev::kWindow: TranslateWindow(ev, e); break;
    default: break;
    }
    mQueue.push_back(e);
}

void TPlatformData::TranslateKeyboard(const TSystemEvent& ev, TEvent& e)
{
    const TPoint mouse = mHost->MousePosition();
    e.x = mouse.x;
    e.y = mouse.y;

    if (ev.kind == sysev::kRawKeyUp) {
        e.type = TEvent::kKeyUp;
        e.code = AsSignedByte(UpperByte(ev.charCode));
        return;
    }
    if (ev.kind != sysev::kRawKeyDown && ev.kind != sysev::kRawKeyRepeat)
        return;

    uint8_t ch = UpperByte(ev.charCode);
    const bool functionKey = ch == sysev::kFunctionKeyChar;
    if (functionKey)
        ch = FunctionKeyLetter(ev.keyCode);
    const bool option = (e.modifiers & TEvent::kOptionKey) != 0;

    if (ch == TEvent::kEnter && option) {
        if (!gbFlashPlaying) {
            SetFullscreen(!IsFullscreen());
            e.type = TEvent::kDisplayChanged;
        }
    } else if (ch == 'p' && option) {
        GetRenderLink().ToggleHUD();
    } else if (gbQuenmarrUnicode || gbZvUnicode) {
        // Typed keys arrive through the text-input handler.
    } else {
        if (ev.charCode != 0 && !functionKey) {
            TEvent c = e;
            c.type = TEvent::kChar;
            c.code = AsSignedByte(ev.charCode);
            mQueue.push_back(c);
        }
        e.type = TEvent::kKeyDown;
        e.code = AsSignedByte(ch);
    }
}

void TPlatformData::TranslateMouse(const TSystemEvent& ev, TEvent& e)
{
    e.x = ev.x;
    e.y = ev.y;
    int32_t button = ev.button;
    if (e.modifiers & TEvent::kControlKey)
        button = sysev::kSecondaryButton;
    else if (e.modifiers & TEvent::kOptionKey)
        button = sysev::kTertiaryButton;

    switch (ev.kind) {
    case sysev::kMouseDown:
        if (button == sysev::kPrimaryButton) {
            e.type = TEvent::kMouseDown;
        } else if (button == sysev::kSecondaryButton) {
            e.type = TEvent::kMouseExtended;
            e.code = kRightButtonDown;
        } else if (button == sysev::kTertiaryButton) {
            e.type = TEvent::kMouseExtended;
            e.code = kMiddleButtonDown;
        }
        break;
    case sysev::kMouseUp: {
        if (button == sysev::kPrimaryButton) {
            e.type = TEvent::kMouseUp;
        } else if (button == sysev::kSecondaryButton) {
            e.type = TEvent::kMouseExtended;
            e.code = kRightButtonUp;
        } else if (button == sysev::kTertiaryButton) {
            e.type = TEvent::kMouseExtended;
            e.code = kMiddleButtonUp;
        }
        // The move is queued first so that the release is seen before it.
        TEvent move = e;
        move.type = TEvent::kMouseMove;
        move.code = 0;
        mQueue.push_back(move);
        break;
    }
    case sysev::kMouseMoved:
    case sysev::kMouseDragged:
        e.type = TEvent::kMouseMove;
        if (mWindowManager)
            GetWindowSystemLink().InvalidateScreen(mWindowManager);
        break;
    case sysev::kMouseEntered: HideCursorOverContent(); break;
    case sysev::kMouseExited:
        mHost->SetArrowCursor();
        ShowCursorOutsideContent();
        e.type = TEvent::kMouseLeave;
        break;
    case sysev::kMouseWheelMoved:
        e.type = TEvent::kMouseExtended;
        if (ev.wheelAxis == sysev::kHorizontalAxis)
            e.code = ev.wheelDelta < 0 ? kHorizontalWheelMinus : kHorizontalWheelPlus;
        else if (ev.wheelAxis == sysev::kVerticalAxis)
            e.code = ev.wheelDelta < 0 ? kVerticalWheelMinus : kVerticalWheelPlus;
        else
            e.code = 0;
        break;
    default: break;
    }
}

void TPlatformData::TranslateApplication(const TSystemEvent& ev, TEvent& e)
{
    switch (ev.kind) {
    case sysev::kAppActivated:
        e.type = TEvent::kActivate;
        e.code = 1;
        mForeground = true;
        AppActivate(true);
        if (mFullscreenWanted)
            HideCursorOverContent();
        break;
    case sysev::kAppDeactivated:
        e.type = TEvent::kActivate;
        e.code = 0;
        mForeground = false;
        AppActivate(false);
        if (mFullscreenWanted)
            mHost->HideApplication();
        break;
    case sysev::kAppHidden:
        if (mFullscreenWanted) {
            AppActivate(false);
            SwapDisplayMode();
            mAppHidden = true;
        }
        break;
    case sysev::kAppShown:
        if (mFullscreenWanted && mAppHidden) {
            SwapDisplayMode();
            AppActivate(true);
            mAppHidden = false;
        }
        break;
    default: break;
    }
}

void TPlatformData::TranslateWindow(const TSystemEvent& ev, TEvent& e)
{
    if (!ev.toMainWindow)
        return;
    switch (ev.kind) {
    case sysev::kWindowBoundsChanged: BuildMouseTracker(); break;
    case sysev::kWindowCollapse:
        e.type = TEvent::kActivate;
        e.code = 0;
        mForeground = false;
        AppActivate(false);
        ShowCursorOutsideContent();
        break;
    case sysev::kWindowExpanded:
        e.type = TEvent::kActivate;
        e.code = 1;
        mForeground = true;
        AppActivate(true);
        break;
    case sysev::kWindowClose: mCloseRequested = true; break;
    default: break;
    }
}

void TPlatformData::HandleUnicodeText(const TSystemEvent& ev)
{
    // Records of the whole text in the order the game should see them; the queue is last in,
    // first out, so they are appended back to front.
    std::vector<TEvent> seen;
    auto record = [&](int32_t type, int32_t code) {
        TEvent e;
        e.type = type;
        e.code = code;
        e.modifiers = mHost->Modifiers();
        seen.push_back(e);
    };

    for (uint16_t unit : ev.text) {
        if (gbZvUnicode) {
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                mLeadSurrogate = unit;
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                int32_t cp = unit;
                if (mLeadSurrogate) {
                    cp = (int32_t(mLeadSurrogate) - 0xD800) * 1024 + (int32_t(unit) - 0xDC00) + 0x10000;
                    mLeadSurrogate = 0;
                }
                record(TEvent::kUnicodeChar, cp);
            } else {
                if (unit <= 127)
                    record(TEvent::kKeyDown, AsSignedByte(UpperByte(uint8_t(unit))));
                record(TEvent::kUnicodeChar, unit);
            }
        } else {
            const uint8_t byte = unit >= 256 ? uint8_t('?') : uint8_t(unit);
            record(TEvent::kKeyDown, AsSignedByte(UpperByte(byte)));
            record(TEvent::kChar, byte);
        }
    }
    mQueue.insert(mQueue.end(), seen.rbegin(), seen.rend());
}
