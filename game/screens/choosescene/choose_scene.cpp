#include "game/screens/choosescene/choose_scene.h"

#include "core/script/lua_number.h"
#include "game/interface/windows/window_helpers.h"
#include "game/screens/choosescene/game_start.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/scenelist/scene_list.h"

#include <string>

namespace {

TChooseScene* Self(lua_State* L)
{
    return static_cast<TChooseScene*>(tWindowGlobals::Owner(L));
}

// The scene number argument; false (logged) when it is not a number.
bool SceneArg(lua_State* L, const char* function, int* n)
{
    if (!lua_isnumber(L, 1)) {
        LOGIT("%s: a scene number is needed\n", function);
        return false;
    }
    *n = LuaToInt(L, 1);
    return true;
}

int GetCurrentSelectedSceneLua(lua_State* L)
{
    lua_pushnumber(L, Self(L)->GetCurrentSelectedScene());
    return 1;
}

int SetCurrentSceneLua(lua_State* L)
{
    int n = 0;
    if (SceneArg(L, "SetCurrentScene", &n))
        gCurrentScene = n;
    return 0;
}

// A start that takes a scene number and answers whether the scene loaded.
template <bool (*Start)(int)>
int StartLua(lua_State* L, const char* function)
{
    int n = 0;
    if (!SceneArg(L, function, &n))
        return 0;
    lua_pushboolean(L, Start(n));
    return 1;
}

int JumpToSceneLua(lua_State* L)
{
    return StartLua<&LoadSceneNumber>(L, "JumpToScene");
}

int StartAtSceneLua(lua_State* L)
{
    return StartLua<&StartAtScene>(L, "StartAtScene");
}

// A title as a Lua string literal, for the log line that shows the call.
std::string Quoted(const str& text)
{
    std::string out = "\"";
    for (const char* c = text.c_str(); *c; ++c) {
        if (*c == '"' || *c == '\\')
            out += '\\';
        out += *c;
    }
    return out + '"';
}

}  // namespace

TChooseScene::TChooseScene()
{
    mGlobals.Bind("GetCurrentSelectedScene", &GetCurrentSelectedSceneLua);
    mGlobals.Bind("SetCurrentScene", &SetCurrentSceneLua);
    mGlobals.Bind("JumpToScene", &JumpToSceneLua);
    mGlobals.Bind("StartAtScene", &StartAtSceneLua);
}

TWindow* TChooseScene::DynamicCreate()
{
    return new TChooseScene;
}

void TChooseScene::SetSceneList()
{
    std::string titles = "{";
    for (const tSceneDesc& desc : g_SceneDescs)
        titles += Quoted(desc.title) + ",";
    titles += "}";
    const int count = int(g_SceneDescs.size());
    LOGIT("TOTAL COMMAND = UpdateSceneList( %d, %d, %s )\n", gCurrentScene, count, titles.c_str());
    CallScriptFunction("UpdateSceneList", [&](lua_State* L) {
        lua_pushnumber(L, gCurrentScene);
        lua_pushnumber(L, count);
        lua_newtable(L);
        int i = 0;
        for (const tSceneDesc& desc : g_SceneDescs) {
            lua_pushlstring(L, desc.title.c_str(), desc.title.length());
            lua_rawseti(L, -2, ++i);
        }
        return 3;
    });
}

int TChooseScene::GetCurrentSelectedScene()
{
    return FirstButtonOn(this, "button", int(g_SceneDescs.size()));
}

void TChooseScene::PostChildrenInit(TWindowStyle& style)
{
    TWindow::PostChildrenInit(style);
    SetSceneList();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"TChooseScene", TChooseScene::ClassId(), &TChooseScene::DynamicCreate},
};
