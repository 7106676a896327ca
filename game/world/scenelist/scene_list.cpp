#include "game/world/scenelist/scene_list.h"

#include "core/script/script.h"
#include "game/script/df_log.h"
#include "game/world/awards/awards_manager.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

#include <lua.h>

std::vector<tSceneDesc> g_SceneDescs;

namespace {

tSceneListReaders& Readers()
{
    static tSceneListReaders readers;
    return readers;
}

// Pushes entry i of the table on the top.
void PushEntry(lua_State* L, int i)
{
    lua_pushnumber(L, i);
    lua_gettable(L, -2);
}

// A field as the binding reads text: anything without a text form is empty.
str StringField(lua_State* L, int i)
{
    PushEntry(L, i);
    const char* s = lua_tostring(L, -1);
    str value = s ? str(s) : str();
    lua_pop(L, 1);
    return value;
}

float NumberField(lua_State* L, int i)
{
    PushEntry(L, i);
    const float value = static_cast<float>(lua_tonumber(L, -1));
    lua_pop(L, 1);
    return value;
}

// Reads the table on the top into g_SceneDescs, up to the first entry of another kind.
void ReadScenes(lua_State* L)
{
    for (int i = 1;; ++i) {
        PushEntry(L, i);
        tSceneDesc desc;
        if (lua_type(L, -1) == LUA_TSTRING) {
            desc.title = desc.name = lua_tostring(L, -1);
            desc.folder = "quest/";
        } else if (lua_istable(L, -1)) {
            desc.title = StringField(L, 1);
            desc.folder = StringField(L, 2);
            desc.name = StringField(L, 3);
        } else {
            lua_pop(L, 1);
            return;
        }
        lua_pop(L, 1);
        g_SceneDescs.push_back(desc);
    }
}

void ReadCursors(lua_State* L, const tSceneListReaders& readers)
{
    for (int i = 1;; ++i) {
        PushEntry(L, i);
        if (!lua_istable(L, -1)) {
            lua_pop(L, 1);
            return;
        }
        const str name = StringField(L, 1);
        const str base = StringField(L, 2);
        const float x = NumberField(L, 3);
        const float y = NumberField(L, 4);
        lua_pop(L, 1);
        if (readers.addCursor)
            readers.addCursor(name, base + ".hw", base + ".sw", x, y);
    }
}

}  // namespace

void SetSceneListReaders(tSceneListReaders readers)
{
    Readers() = std::move(readers);
}

void InitializeSceneNames()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    TWindowScriptBase* script = wm ? wm->GetScript() : nullptr;
    InitializeSceneNames("quest/scenelist.lua", script ? script->GetState() : nullptr);
}

void InitializeSceneNames(const str& name, lua_State* mainState)
{
    // The list's own state, closed on return.
    TScript script;
    lua_State* L = script.GetState();
    if (!script.RunScript(name)) {
        LOGIT("RunScript failed\n");
        return;
    }
    gAwardsManager.InitializeAwardInfo(L);
    const tSceneListReaders& readers = Readers();

    g_SceneDescs.clear();
    lua_getglobal(L, "scenelist");
    if (lua_istable(L, -1))
        ReadScenes(L);
    else
        LOGIT("scenelist wasn't a table\n");
    lua_pop(L, 1);

    if (mainState) {
        lua_pushnumber(mainState, static_cast<lua_Number>(g_SceneDescs.size()));
        lua_setglobal(mainState, "kSceneCount");
    }

    lua_getglobal(L, "cursorlist");
    if (lua_istable(L, -1))
        ReadCursors(L, readers);
    else
        LOGIT("No cursorlist table\n");
    lua_pop(L, 1);
}

const tSceneDesc* FindSceneDesc(const str& name)
{
    for (const tSceneDesc& desc : g_SceneDescs)
        if (desc.name == name)
            return &desc;
    return nullptr;
}
