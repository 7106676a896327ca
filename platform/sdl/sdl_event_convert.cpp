#include "platform/sdl/sdl_event_convert.h"

namespace {

// Keys whose character is a control code, as the translation tables expect them.
struct TSpecialKey
{
    SDL_Keycode sym;
    uint8_t charCode;
    uint32_t keyCode;
};

constexpr uint8_t kFn = sysev::kFunctionKeyChar;

const TSpecialKey kSpecialKeys[] = {
    {SDLK_RETURN, 13, 36},
    {SDLK_KP_ENTER, 13, 76},
    {SDLK_ESCAPE, 27, 53},
    {SDLK_BACKSPACE, 8, 51},
    {SDLK_TAB, 9, 48},
    {SDLK_DELETE, 127, 117},
    {SDLK_LEFT, 28, 123},
    {SDLK_RIGHT, 29, 124},
    {SDLK_UP, 30, 126},
    {SDLK_DOWN, 31, 125},
    {SDLK_HOME, 1, 115},
    {SDLK_END, 4, 119},
    {SDLK_PAGEUP, 11, 116},
    {SDLK_PAGEDOWN, 12, 121},
    {SDLK_F1, kFn, sysev::kKeyF1},
    {SDLK_F2, kFn, sysev::kKeyF2},
    {SDLK_F3, kFn, sysev::kKeyF3},
    {SDLK_F4, kFn, sysev::kKeyF4},
    {SDLK_F5, kFn, 96},
    {SDLK_F6, kFn, 97},
    {SDLK_F7, kFn, 98},
    {SDLK_F8, kFn, 100},
    {SDLK_F9, kFn, 101},
    {SDLK_F10, kFn, 109},
    {SDLK_F11, kFn, 103},
    {SDLK_F12, kFn, 111},
    {SDLK_F13, kFn, 105},
    {SDLK_F14, kFn, 107},
    {SDLK_F15, kFn, 113},
};

const TSpecialKey* FindSpecialKey(SDL_Keycode sym)
{
    for (const TSpecialKey& k : kSpecialKeys)
        if (k.sym == sym)
            return &k;
    return nullptr;
}

// The first code point of UTF-8 text, or -1 when there is none.
int32_t FirstCodePoint(const char* text)
{
    std::vector<uint16_t> units = Utf8ToUtf16(text);
    if (units.empty())
        return -1;
    return units[0];
}

// The character a printable key gives without text input (Control held, say).
uint8_t PrintableKeyChar(SDL_Keycode sym, uint16_t mods)
{
    if (sym < 32 || sym > 126)
        return 0;
    uint8_t c = uint8_t(sym);
    if (c >= 'a' && c <= 'z' && ((mods & KMOD_SHIFT) != 0) != ((mods & KMOD_CAPS) != 0))
        c = uint8_t(c - 'a' + 'A');
    return c;
}

void ConvertKey(const SDL_KeyboardEvent& key, const TSdlInputState& state, const SDL_Event* followingText,
                std::vector<TSystemEvent>& out)
{
    TSystemEvent ev;
    ev.eventClass = sysev::kKeyboard;
    ev.x = state.mouse.x;
    ev.y = state.mouse.y;
    const bool down = key.type == SDL_KEYDOWN;
    ev.kind = !down ? sysev::kRawKeyUp : key.repeat ? sysev::kRawKeyRepeat : sysev::kRawKeyDown;

    const TSpecialKey* special = FindSpecialKey(key.keysym.sym);
    if (special) {
        ev.charCode = special->charCode;
        ev.keyCode = special->keyCode;
    } else {
        int32_t cp = -1;
        if (down && followingText && followingText->type == SDL_TEXTINPUT)
            cp = FirstCodePoint(followingText->text.text);
        if (cp >= 0 && cp <= 255)
            ev.charCode = uint8_t(cp);
        else
            ev.charCode = PrintableKeyChar(key.keysym.sym, key.keysym.mod);
        ev.keyCode = uint32_t(key.keysym.scancode);
    }
    out.push_back(ev);

    // Control keys send no text of their own here, yet the text-input path expects them.
    if (down && special) {
        TSystemEvent text;
        text.eventClass = sysev::kTextInput;
        text.kind = sysev::kUnicodeForKeyEvent;
        text.text.push_back(special->charCode);
        out.push_back(text);
    }
}

int32_t MacButton(uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return sysev::kPrimaryButton;
    case SDL_BUTTON_RIGHT: return sysev::kSecondaryButton;
    case SDL_BUTTON_MIDDLE: return sysev::kTertiaryButton;
    default: return int32_t(sdlButton);  // the extra buttons stay untranslated
    }
}

void ConvertWindowEvent(const SDL_WindowEvent& w, const TSdlInputState& state, TSystemEvent& ev)
{
    ev.toMainWindow = w.windowID == state.mainWindowId;
    ev.x = state.mouse.x;
    ev.y = state.mouse.y;
    switch (w.event) {
    case SDL_WINDOWEVENT_ENTER:
        ev.eventClass = sysev::kMouse;
        ev.kind = sysev::kMouseEntered;
        break;
    case SDL_WINDOWEVENT_LEAVE:
        ev.eventClass = sysev::kMouse;
        ev.kind = sysev::kMouseExited;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        ev.eventClass = sysev::kApplication;
        ev.kind = sysev::kAppActivated;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        ev.eventClass = sysev::kApplication;
        ev.kind = sysev::kAppDeactivated;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        ev.eventClass = sysev::kWindow;
        ev.kind = sysev::kWindowCollapse;
        break;
    case SDL_WINDOWEVENT_RESTORED:
        ev.eventClass = sysev::kWindow;
        ev.kind = sysev::kWindowExpanded;
        break;
    case SDL_WINDOWEVENT_CLOSE:
        ev.eventClass = sysev::kWindow;
        ev.kind = sysev::kWindowClose;
        break;
    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
        ev.eventClass = sysev::kDisplay;
        ev.kind = sysev::kDisplayConfigurationChanged;
        break;
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        ev.eventClass = sysev::kWindow;
        ev.kind = sysev::kWindowBoundsChanged;
        break;
    default: break;
    }
}

}  // namespace

uint32_t ModifierBits(uint16_t keyMods)
{
    uint32_t bits = 0;
    if (keyMods & KMOD_SHIFT)
        bits |= 1;
    if (keyMods & KMOD_CTRL)
        bits |= 2;
    if (keyMods & KMOD_ALT)
        bits |= 4;
    return bits;
}

std::vector<uint16_t> Utf8ToUtf16(const char* text)
{
    std::vector<uint16_t> out;
    if (!text)
        return out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        uint32_t cp = 0xFFFD;
        int extra = 0;
        uint32_t min = 0;
        if (*p < 0x80) {
            cp = *p;
        } else if ((*p & 0xE0) == 0xC0) {
            cp = *p & 0x1F;
            extra = 1;
            min = 0x80;
        } else if ((*p & 0xF0) == 0xE0) {
            cp = *p & 0x0F;
            extra = 2;
            min = 0x800;
        } else if ((*p & 0xF8) == 0xF0) {
            cp = *p & 0x07;
            extra = 3;
            min = 0x10000;
        } else {
            extra = -1;
        }
        ++p;
        bool ok = extra >= 0;
        for (int i = 0; ok && i < extra; ++i) {
            if ((*p & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (*p & 0x3F);
            ++p;
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(uint16_t(0xD800 + (cp >> 10)));
            out.push_back(uint16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(uint16_t(cp));
        }
    }
    return out;
}

void ConvertSdlEvent(const SDL_Event& event, const TSdlInputState& state, const SDL_Event* followingText,
                     std::vector<TSystemEvent>& out)
{
    TSystemEvent ev;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: ConvertKey(event.key, state, followingText, out); return;
    case SDL_TEXTINPUT:
        ev.eventClass = sysev::kTextInput;
        ev.kind = sysev::kUnicodeForKeyEvent;
        ev.text = Utf8ToUtf16(event.text.text);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        ev.eventClass = sysev::kMouse;
        ev.kind = event.type == SDL_MOUSEBUTTONDOWN ? sysev::kMouseDown : sysev::kMouseUp;
        ev.button = MacButton(event.button.button);
        ev.x = event.button.x;
        ev.y = event.button.y;
        ev.toMainWindow = event.button.windowID == state.mainWindowId;
        break;
    case SDL_MOUSEMOTION:
        ev.eventClass = sysev::kMouse;
        ev.kind = event.motion.state ? sysev::kMouseDragged : sysev::kMouseMoved;
        ev.x = event.motion.x;
        ev.y = event.motion.y;
        ev.toMainWindow = event.motion.windowID == state.mainWindowId;
        break;
    case SDL_MOUSEWHEEL: {
        ev.eventClass = sysev::kMouse;
        ev.kind = sysev::kMouseWheelMoved;
        ev.x = state.mouse.x;
        ev.y = state.mouse.y;
        const int sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        if (event.wheel.y != 0) {
            ev.wheelAxis = sysev::kVerticalAxis;
            ev.wheelDelta = sign * event.wheel.y;
        } else {
            ev.wheelAxis = sysev::kHorizontalAxis;
            ev.wheelDelta = sign * event.wheel.x;
        }
        break;
    }
    case SDL_WINDOWEVENT: ConvertWindowEvent(event.window, state, ev); break;
    case SDL_QUIT:
        ev.eventClass = sysev::kAppleEvent;
        ev.kind = sysev::kQuitApplication;
        break;
    default: break;
    }
    out.push_back(ev);
    // Minimising is how this desktop hides an application. The window's being unmapped and
    // mapped again is not: the manager does that on its own, and so does the game's own hiding.
    if (event.type == SDL_WINDOWEVENT &&
        (event.window.event == SDL_WINDOWEVENT_MINIMIZED || event.window.event == SDL_WINDOWEVENT_RESTORED)) {
        ev.eventClass = sysev::kApplication;
        ev.kind = event.window.event == SDL_WINDOWEVENT_MINIMIZED ? sysev::kAppHidden : sysev::kAppShown;
        out.push_back(ev);
    }
}
