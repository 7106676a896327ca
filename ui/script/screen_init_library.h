#pragma once
// The built-in Lua library "ScreenInit": the message, alignment and button constants and the
// layout vocabulary (DoWindow, MakeDialog, DoModal, DisplayDialog, WaitForMessage, Pause, ...)
// that the window script runs in its state at construction.

#include <cstddef>

const char* ScreenInitSource();
size_t ScreenInitLength();
