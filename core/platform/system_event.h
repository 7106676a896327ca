#pragma once
// What the operating-system layer hands the event translation: one input in the classes and
// kinds the translation tables are written in, with the parameters those tables read.
// Records can be built by hand, so the translation runs without a display.

#include <cstdint>
#include <vector>

constexpr uint32_t FourCharCode(const char (&s)[5])
{
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
           uint32_t(uint8_t(s[3]));
}

namespace sysev {

// Classes.
constexpr uint32_t kKeyboard = FourCharCode("keyb");
constexpr uint32_t kMouse = FourCharCode("mous");
constexpr uint32_t kApplication = FourCharCode("appl");
constexpr uint32_t kWindow = FourCharCode("wind");
constexpr uint32_t kTextInput = FourCharCode("text");
constexpr uint32_t kCommand = FourCharCode("cmds");
constexpr uint32_t kAppleEvent = FourCharCode("aevt");  // the system's request to quit
constexpr uint32_t kDisplay = FourCharCode("dspl");     // the display configuration
constexpr uint32_t kOther = 0;

// Keyboard kinds.
constexpr uint32_t kRawKeyDown = 1;
constexpr uint32_t kRawKeyRepeat = 2;
constexpr uint32_t kRawKeyUp = 3;
constexpr uint32_t kRawKeyModifiersChanged = 4;
// Mouse kinds.
constexpr uint32_t kMouseDown = 1;
constexpr uint32_t kMouseUp = 2;
constexpr uint32_t kMouseMoved = 5;
constexpr uint32_t kMouseDragged = 6;
constexpr uint32_t kMouseEntered = 8;
constexpr uint32_t kMouseExited = 9;
constexpr uint32_t kMouseWheelMoved = 10;
// Application kinds.
constexpr uint32_t kAppActivated = 1;
constexpr uint32_t kAppDeactivated = 2;
constexpr uint32_t kAppHidden = 107;
constexpr uint32_t kAppShown = 108;
// Window kinds.
constexpr uint32_t kWindowBoundsChanged = 27;
constexpr uint32_t kWindowCollapse = 66;
constexpr uint32_t kWindowExpanded = 70;
constexpr uint32_t kWindowClose = 72;
// Text input kind.
constexpr uint32_t kUnicodeForKeyEvent = 2;
// Command kind.
constexpr uint32_t kProcessCommand = 1;
// Apple-event kind.
constexpr uint32_t kQuitApplication = FourCharCode("quit");
// Display kind: the window's display or the display's configuration changed.
constexpr uint32_t kDisplayConfigurationChanged = 2;

// Mouse buttons.
constexpr int32_t kPrimaryButton = 1;
constexpr int32_t kSecondaryButton = 2;
constexpr int32_t kTertiaryButton = 3;

// Wheel axes.
constexpr int32_t kHorizontalAxis = 0;
constexpr int32_t kVerticalAxis = 1;

// The character code that announces a function key; the key code then says which.
constexpr uint8_t kFunctionKeyChar = 16;
// Key codes of the first four function keys.
constexpr uint32_t kKeyF1 = 122;
constexpr uint32_t kKeyF2 = 120;
constexpr uint32_t kKeyF3 = 99;
constexpr uint32_t kKeyF4 = 118;

}  // namespace sysev

struct TSystemEvent
{
    uint32_t eventClass = sysev::kOther;
    uint32_t kind = 0;
    // Window events: whether their window is the main window.
    bool toMainWindow = true;
    // Mouse events: window-local position.
    int32_t x = 0;
    int32_t y = 0;
    int32_t button = 0;
    int32_t wheelAxis = 0;
    int32_t wheelDelta = 0;
    // Keyboard events: the one-byte character and the key code.
    uint8_t charCode = 0;
    uint32_t keyCode = 0;
    // Text input: the typed text as UTF-16 units.
    std::vector<uint16_t> text;
};
