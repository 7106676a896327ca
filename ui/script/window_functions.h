#pragma once
// The compiled functions that layouts and interface scripts call (GenericCreate, PushModal,
// EnableWindow, GetLabel, HandleGetMessage, PostMessage and the rest), bound as Lua globals of
// the window script's state.

#include <lua.h>

#include "core/text/str.h"

class TWindowScript;

void BindWindowFunctions(TWindowScript* script, lua_State* L);

// "&Quit" gives "Quit" and the hot key "@Q"; a label without "&" (or whose "&" is last, or is
// followed by a byte of 192 or above) gives an empty key.
void StripKeyFromLabel(const str& label, str* stripped, str* key);
// The label with the key's last character (found ignoring case) wrapped in <u> and </u>.
str TagHotKey(const str& key, const str& label);
// A layout position resolved against the window's extent and its parent's (no alignment).
int ResolveLayoutPosition(int position, int extent, int parentExtent);
