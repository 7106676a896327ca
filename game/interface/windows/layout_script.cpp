#include "game/interface/windows/layout_script.h"

#include <lua.h>

#include "game/script/df_log.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

TWindowScriptBase* LayoutScript()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    return wm ? wm->GetScript() : nullptr;
}

}  // namespace

lua_State* LayoutScriptState()
{
    TWindowScriptBase* script = LayoutScript();
    return script ? script->GetState() : nullptr;
}

bool RunLayoutText(const str& code)
{
    TWindowScriptBase* script = LayoutScript();
    if (!script) {
        LOGIT("No window script to run '%s'\n", code.c_str());
        return false;
    }
    return script->DoLuaString(code) == 0;
}

bool RunLayoutText(const char* function, const str& code)
{
    lua_State* L = LayoutScriptState();
    if (!L) {
        LOGIT("No window script to run '%s'\n", code.c_str());
        return false;
    }
    lua_getglobal(L, function);
    const bool defined = lua_isfunction(L, -1);
    lua_pop(L, 1);
    if (!defined) {
        LOGIT("The layout defines no function %s\n", function);
        return false;
    }
    return RunLayoutText(code);
}
