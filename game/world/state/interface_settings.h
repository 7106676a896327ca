#pragma once
// The three interface settings of the in-game root window that scripts change, saved with the
// game per player and not per slot. The root window shows or hides its parts through the hook
// it installs.
//   SetInterfaceWindowHook([](const char* child, bool on) { ... });
//   SetHUDEnable(false);   -- script: SetHUDEnable(false)

#include "core/text/str.h"

class dfLua;

// The interface layer is shown (initially true).
extern bool g_HUDEnabled;
// The diary button is usable (initially true).
extern bool g_DiaryEnabled;
// The description line's text when nothing is pointed at (initially "obj_nelka").
extern str g_DefaultInventoryWindowText;

bool IsDiaryEnabled();
bool IsHUDEnabled();
// Each stores the setting, logs it, and switches the parts it governs through the hook:
// "INTERCEPTSPEC" and "HUDBG" for the interface layer, "DiaryButton" for the diary.
void SetDiaryEnable(bool enable);
void SetHUDEnable(bool enable);
void SetDefaultInventoryWindowText(const str& text);

// Enables or disables a named part of the game window; null (the default) does nothing.
using tInterfaceWindowHook = void (*)(const char* child, bool enable);
void SetInterfaceWindowHook(tInterfaceWindowHook hook);

// The five as Lua globals of the same names.
void BindInterfaceSettingsToLua(dfLua& lua);
