#include "game/world/state/interface_settings.h"

#include "core/debug/debug_log.h"
#include "core/script/df_lua.h"

bool g_HUDEnabled = true;
bool g_DiaryEnabled = true;
str g_DefaultInventoryWindowText = "obj_nelka";

namespace {

tInterfaceWindowHook gWindowHook = nullptr;

void SwitchWindow(const char* child, bool enable)
{
    if (gWindowHook)
        gWindowHook(child, enable);
}

}  // namespace

bool IsDiaryEnabled()
{
    return g_DiaryEnabled;
}

bool IsHUDEnabled()
{
    return g_HUDEnabled;
}

void SetDiaryEnable(bool enable)
{
    g_DiaryEnabled = enable;
    WriteDbg("SetDiaryEnable(%d)", enable ? 1 : 0);
    SwitchWindow("DiaryButton", enable);
}

void SetHUDEnable(bool enable)
{
    g_HUDEnabled = enable;
    WriteDbg("SetHUDEnable(%d)", enable ? 1 : 0);
    SwitchWindow("INTERCEPTSPEC", enable);
    SwitchWindow("HUDBG", enable);
}

void SetDefaultInventoryWindowText(const str& text)
{
    WriteDbg("SetDefaultInventoryWindowText(%s)", text.c_str());
    g_DefaultInventoryWindowText = text;
}

void SetInterfaceWindowHook(tInterfaceWindowHook hook)
{
    gWindowHook = hook;
}

void BindInterfaceSettingsToLua(dfLua& lua)
{
    lua.bindfunction(&IsDiaryEnabled, "IsDiaryEnabled");
    lua.bindfunction(&IsHUDEnabled, "IsHUDEnabled");
    lua.bindfunction(&SetDiaryEnable, "SetDiaryEnable");
    lua.bindfunction(&SetHUDEnable, "SetHUDEnable");
    lua.bindfunction(&SetDefaultInventoryWindowText, "SetDefaultInventoryWindowText");
}
