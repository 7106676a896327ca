#pragma once
// Kinds of window messages (the type of a TMessage); scripts know them by the same names.

#include <cstdint>

enum EWindowMessage : int32_t
{
    kGeneric = 0,
    kCloseWindow = 1,
    kDefaultAction = 2,
    kButtonPress = 3,
    kPressAnyKey = 4,
    kQuitNow = 5,
    kModalClosed = 6,
    kTextEditChanged = 7,
    kCommandOnly = 8,
    kSliderValChanged = 9,
    kSliderMouseUp = 10,
    kSliderPageUp = 11,
    kSliderPageDown = 12,
    kUserMessageBase = 1000,
};
