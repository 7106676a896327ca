#include "game/world/mesh/mesh_lua.h"

#include "core/debug/debug_log.h"
#include "game/world/mesh/mesh.h"

tVector2<float> Get(TypeWrapper<tVector2<float>>, dfLua& lua, int index)
{
    lua_State* L = lua.GetState();
    tVector2<float> point;
    if (lua_type(L, index) != LUA_TTABLE) {
        WriteDbg("LUA_GET(Vector2) didn't get a table");
        return point;
    }
    const int table = index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
    auto field = [&](const char* key, float& component) {
        lua_pushstring(L, key);
        lua_gettable(L, table);
        if (lua_type(L, -1) == LUA_TNUMBER)
            component = float(lua_tonumber(L, -1));
        lua_pop(L, 1);
    };
    field("x", point.x);
    field("y", point.y);
    return point;
}

void Put(dfLua& lua, const tVector2<float>& point)
{
    lua_State* L = lua.GetState();
    lua_newtable(L);
    lua_pushstring(L, "x");
    lua_pushnumber(L, point.x);
    lua_settable(L, -3);
    lua_pushstring(L, "y");
    lua_pushnumber(L, point.y);
    lua_settable(L, -3);
}

tClassInfo tMesh::civ("tMesh", &tMesh::Factory, &tMesh::LuaAdd, &baseObj::civ);

baseObj* tMesh::Factory()
{
    return new tMesh;
}

void tMesh::LuaAdd(dfLua& lua)
{
    lua.setmethod(&tMesh::LuaSetPolyState, "SetPolyState");
    lua.setmethod(&tMesh::LuaPolyCollide, "PolyCollide");
    lua.setmethod(&tMesh::LuaLookupPolyLabelByIndex, "LookupPolyLabelByIndex");
    lua.setmethod(&tMesh::LuaLookupVertByLabel, "LookupVertByLabel");
    lua.setmethod(&tMesh::LuaVertExists, "VertExists");
}

int tMesh::LuaSetPolyState(dfLua& lua)
{
    SetPolyState(Get(TypeWrapper<str>(), lua, 2), Get(TypeWrapper<bool>(), lua, 3));
    return 0;
}

int tMesh::LuaPolyCollide(dfLua& lua)
{
    Put(lua, PolyCollide(Get(TypeWrapper<tVector2<float>>(), lua, 2)));
    return 1;
}

int tMesh::LuaLookupPolyLabelByIndex(dfLua& lua)
{
    const std::optional<str> label = LookupPolyLabelByIndex(lua.tointeger(2));
    if (label)
        Put(lua, *label);
    else
        lua_pushnil(lua.GetState());
    return 1;
}

int tMesh::LuaLookupVertByLabel(dfLua& lua)
{
    Put(lua, LookupVertByLabel(Get(TypeWrapper<str>(), lua, 2)));
    return 1;
}

int tMesh::LuaVertExists(dfLua& lua)
{
    Put(lua, VertExists(Get(TypeWrapper<str>(), lua, 2)));
    return 1;
}
