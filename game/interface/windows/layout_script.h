#pragma once
// Calls from a game window into its layout's script: Lua text run at once in the window
// manager's state, for the functions a layout must define ("UpdateButtons", "SwitchModes").
//   RunLayoutText("UpdateButtons", "UpdateButtons();");

#include "core/text/str.h"

struct lua_State;

// The window manager's script state; null without a window script.
lua_State* LayoutScriptState();
// Runs code when the global `function` is a function; otherwise logs that the layout lacks
// it. False when nothing ran or the code failed (the script logs the error).
bool RunLayoutText(const char* function, const str& code);
// Runs code in the window manager's state; false when there is none or the code failed.
bool RunLayoutText(const str& code);
