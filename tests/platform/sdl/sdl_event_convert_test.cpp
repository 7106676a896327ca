// SDL events to system-event records, built by hand: no display needed.

#include "platform/sdl/sdl_event_convert.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TSdlInputState State()
{
    TSdlInputState s;
    s.mainWindowId = 7;
    s.mouse = TPoint(12, 34);
    return s;
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
}

SDL_Event TextEvent(const char* text)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, text, sizeof e.text.text - 1);
    return e;
}

SDL_Event WindowEvent(Uint8 what, Uint32 window = 7)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    e.window.windowID = window;
    return e;
}

std::vector<TSystemEvent> Convert(const SDL_Event& e, const SDL_Event* text = nullptr)
{
    std::vector<TSystemEvent> out;
    ConvertSdlEvent(e, State(), text, out);
    return out;
}

TEST(SdlEventConvert, SpecialKeysGiveTheirCodesAndATextRecord)
{
    struct
    {
        SDL_Keycode sym;
        uint8_t ch;
    } cases[] = {{SDLK_RETURN, 13}, {SDLK_ESCAPE, 27}, {SDLK_LEFT, 28},    {SDLK_RIGHT, 29},
                 {SDLK_UP, 30},     {SDLK_DOWN, 31},   {SDLK_DELETE, 127}, {SDLK_BACKSPACE, 8}};
    for (auto c : cases) {
        auto out = Convert(KeyEvent(SDL_KEYDOWN, c.sym));
        ASSERT_EQ(out.size(), 2u) << c.sym;
        EXPECT_EQ(out[0].eventClass, sysev::kKeyboard);
        EXPECT_EQ(out[0].kind, sysev::kRawKeyDown);
        EXPECT_EQ(out[0].charCode, c.ch);
        EXPECT_EQ(out[0].x, 12);
        EXPECT_EQ(out[0].y, 34);
        EXPECT_EQ(out[1].eventClass, sysev::kTextInput);
        EXPECT_EQ(out[1].text, (std::vector<uint16_t>{c.ch}));
    }
    auto up = Convert(KeyEvent(SDL_KEYUP, SDLK_ESCAPE));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].kind, sysev::kRawKeyUp);
    EXPECT_EQ(up[0].charCode, 27);
}

TEST(SdlEventConvert, FunctionKeysCarryTheFunctionCharAndTheirKeyCode)
{
    auto f1 = Convert(KeyEvent(SDL_KEYDOWN, SDLK_F1));
    EXPECT_EQ(f1[0].charCode, sysev::kFunctionKeyChar);
    EXPECT_EQ(f1[0].keyCode, sysev::kKeyF1);
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_F2))[0].keyCode, sysev::kKeyF2);
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_F3))[0].keyCode, sysev::kKeyF3);
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_F4))[0].keyCode, sysev::kKeyF4);
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_F1, KMOD_NONE, 1))[0].kind, sysev::kRawKeyRepeat);
}

TEST(SdlEventConvert, PrintableKeysTakeTheirCharacterFromTheFollowingText)
{
    SDL_Event text = TextEvent("\xc3\xa9");  // é
    auto out = Convert(KeyEvent(SDL_KEYDOWN, SDLK_e), &text);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].charCode, 0xE9);
    SDL_Event upper = TextEvent("A");
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_a, KMOD_LSHIFT), &upper)[0].charCode, 'A');
    // Without text (Control held): the key's own letter, shifted when Shift is down.
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_c, KMOD_LCTRL))[0].charCode, 'c');
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_c, KMOD_LCTRL | KMOD_LSHIFT))[0].charCode, 'C');
    // Text beyond Latin-1 gives no byte.
    SDL_Event wide = TextEvent("\xe2\x98\xba");
    EXPECT_EQ(Convert(KeyEvent(SDL_KEYDOWN, SDLK_UNKNOWN), &wide)[0].charCode, 0);
}

TEST(SdlEventConvert, TextBecomesUtf16WithSurrogates)
{
    auto out = Convert(TextEvent("a\xf0\x9f\x98\x80\xc3\xa9"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].eventClass, sysev::kTextInput);
    EXPECT_EQ(out[0].kind, sysev::kUnicodeForKeyEvent);
    EXPECT_EQ(out[0].text, (std::vector<uint16_t>{'a', 0xD83D, 0xDE00, 0xE9}));
    // Broken sequences become replacement characters, never a crash or lost text.
    EXPECT_EQ(Utf8ToUtf16("\xff"
                          "b\xc3"),
              (std::vector<uint16_t>{0xFFFD, 'b', 0xFFFD}));
    EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), (std::vector<uint16_t>{0xFFFD}));
    EXPECT_TRUE(Utf8ToUtf16(nullptr).empty());
}

TEST(SdlEventConvert, MouseButtonsMotionAndWheel)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 3;
    e.button.y = 4;
    e.button.windowID = 7;
    auto out = Convert(e);
    EXPECT_EQ(out[0].eventClass, sysev::kMouse);
    EXPECT_EQ(out[0].kind, sysev::kMouseDown);
    EXPECT_EQ(out[0].button, sysev::kSecondaryButton);
    EXPECT_EQ(out[0].x, 3);
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_MIDDLE;
    out = Convert(e);
    EXPECT_EQ(out[0].kind, sysev::kMouseUp);
    EXPECT_EQ(out[0].button, sysev::kTertiaryButton);

    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 9;
    e.motion.state = SDL_BUTTON_LMASK;
    EXPECT_EQ(Convert(e)[0].kind, sysev::kMouseDragged);
    e.motion.state = 0;
    EXPECT_EQ(Convert(e)[0].kind, sysev::kMouseMoved);

    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -2;
    out = Convert(e);
    EXPECT_EQ(out[0].kind, sysev::kMouseWheelMoved);
    EXPECT_EQ(out[0].wheelAxis, sysev::kVerticalAxis);
    EXPECT_EQ(out[0].wheelDelta, -2);
    EXPECT_EQ(out[0].x, 12);
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_EQ(Convert(e)[0].wheelDelta, 2);
    e.wheel.y = 0;
    e.wheel.x = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    EXPECT_EQ(Convert(e)[0].wheelAxis, sysev::kHorizontalAxis);
}

TEST(SdlEventConvert, WindowEventsAndQuit)
{
    struct
    {
        Uint8 what;
        uint32_t cls, kind;
        uint32_t appKind = 0;  // the application's record that follows, if any
    } cases[] = {
        {SDL_WINDOWEVENT_CLOSE, sysev::kWindow, sysev::kWindowClose},
        {SDL_WINDOWEVENT_MINIMIZED, sysev::kWindow, sysev::kWindowCollapse, sysev::kAppHidden},
        {SDL_WINDOWEVENT_RESTORED, sysev::kWindow, sysev::kWindowExpanded, sysev::kAppShown},
        {SDL_WINDOWEVENT_RESIZED, sysev::kWindow, sysev::kWindowBoundsChanged},
        {SDL_WINDOWEVENT_FOCUS_GAINED, sysev::kApplication, sysev::kAppActivated},
        {SDL_WINDOWEVENT_FOCUS_LOST, sysev::kApplication, sysev::kAppDeactivated},
        // The manager maps and unmaps a window on its own: the player did nothing.
        {SDL_WINDOWEVENT_HIDDEN, sysev::kOther, 0},
        {SDL_WINDOWEVENT_SHOWN, sysev::kOther, 0},
        {SDL_WINDOWEVENT_ENTER, sysev::kMouse, sysev::kMouseEntered},
        {SDL_WINDOWEVENT_LEAVE, sysev::kMouse, sysev::kMouseExited},
        {SDL_WINDOWEVENT_DISPLAY_CHANGED, sysev::kDisplay, sysev::kDisplayConfigurationChanged},
    };
    for (auto c : cases) {
        auto out = Convert(WindowEvent(c.what));
        ASSERT_EQ(out.size(), c.appKind ? 2u : 1u) << int(c.what);
        EXPECT_EQ(out[0].eventClass, c.cls) << int(c.what);
        EXPECT_EQ(out[0].kind, c.kind) << int(c.what);
        EXPECT_TRUE(out[0].toMainWindow);
        if (c.appKind) {
            EXPECT_EQ(out[1].eventClass, sysev::kApplication) << int(c.what);
            EXPECT_EQ(out[1].kind, c.appKind) << int(c.what);
        }
    }
    EXPECT_FALSE(Convert(WindowEvent(SDL_WINDOWEVENT_CLOSE, 99))[0].toMainWindow);

    SDL_Event quit;
    std::memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    auto out = Convert(quit);
    EXPECT_EQ(out[0].eventClass, sysev::kAppleEvent);
    EXPECT_EQ(out[0].kind, sysev::kQuitApplication);

    SDL_Event other;
    std::memset(&other, 0, sizeof other);
    other.type = SDL_KEYMAPCHANGED;
    out = Convert(other);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].eventClass, sysev::kOther);
}

TEST(SdlEventConvert, ModifiersAreShiftControlOption)
{
    EXPECT_EQ(ModifierBits(KMOD_NONE), 0u);
    EXPECT_EQ(ModifierBits(KMOD_RSHIFT), 1u);
    EXPECT_EQ(ModifierBits(KMOD_LCTRL), 2u);
    EXPECT_EQ(ModifierBits(KMOD_RALT), 4u);
    EXPECT_EQ(ModifierBits(KMOD_LSHIFT | KMOD_LALT | KMOD_GUI | KMOD_CAPS), 5u);
}

}  // namespace
