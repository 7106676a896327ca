#pragma once
// The engine's input record. Producers push onto a last-in-first-out queue, so where one
// input gives two records the one meant to be seen second is pushed first.

#include <cstdint>

// Codes carried by an extended mouse event (type 6).
enum EExtendedMouseEvent : int32_t
{
    kRightButtonUp = 0,
    kRightButtonDown = 1,
    kMiddleButtonUp = 2,
    kMiddleButtonDown = 3,
    kHorizontalWheelPlus = 4,  // delta of 0 or more
    kHorizontalWheelMinus = 5,
    kVerticalWheelPlus = 6,
    kVerticalWheelMinus = 7,
};

struct TEvent
{
    enum EType : int32_t
    {
        kIdle = 1,
        kNothing = 2,  // the window manager ignores it
        kCloseRequest = 3,
        kQuit = 4,
        kMouseDown = 5,
        kMouseExtended = 6,
        kMouseUp = 7,
        kMouseMove = 8,
        kMouseLeave = 9,
        kMouseHover = 10,
        kKeyDown = 11,
        kKeyUp = 12,
        kChar = 13,  // 8-bit character
        kUnicodeChar = 14,
        kRedraw = 15,
        kReleaseLayer = 17,
        kActivate = 18,  // code 1 activated, 0 deactivated
        kDisplayChanged = 19,
    };

    enum EModifier : uint32_t
    {
        kShiftKey = 1,
        kControlKey = 2,
        kOptionKey = 4,
    };

    static constexpr int32_t kEnter = 13;
    static constexpr int32_t kEscape = 27;
    static constexpr int32_t kLeft = 28;
    static constexpr int32_t kRight = 29;
    static constexpr int32_t kUp = 30;
    static constexpr int32_t kDown = 31;
    static constexpr int32_t kDelete = 127;
    static constexpr int32_t kPaste = 0;

    int32_t type = kIdle;
    int32_t code = 0;
    int32_t x = 0;  // window-local pixels, top left is 0, 0
    int32_t y = 0;
    uint32_t modifiers = 0;

    bool operator==(const TEvent&) const = default;
};
static_assert(sizeof(TEvent) == 20, "five 32-bit words");
