#include "game/world/inventory/inventory_lua.h"

#include "core/script/lua_table.h"
#include "game/world/common/world_lua.h"
#include "game/world/common/world_scene.h"
#include "game/world/inventory/inventory.h"

#include <memory>

int lf_AddInventory(tInventory& bag, lua_State* L)
{
    int at = lua_gettop(L);
    bool announce = true;
    if (at > 1 && lua_isboolean(L, at)) {
        announce = lua_toboolean(L, at) != 0;
        --at;
    }
    if (at < 2 || !lua_istable(L, at))
        return 0;
    lua_pushvalue(L, at);
    TLuaTable desc(L);
    tInventoryEntry e;
    e.text = WorldLocalise(LuaFieldStr(desc, "text"));
    e.anim = LuaFieldStr(desc, "anim");
    e.cursor = LuaFieldStr(desc, "cursor");
    e.cantuse = LuaFieldStr(desc, "cantuse");
    if (std::unique_ptr<TLuaTable> hot{desc.GetTable("cursor_hot")}) {
        e.hotX = float(hot->GetNumber("x", 0.0));
        e.hotY = float(hot->GetNumber("y", 0.0));
    }
    bag.AddInventory(LuaFieldStr(desc, "key"), e, announce);
    return 0;
}

namespace {

#define BAG_SELF(name)                                  \
    tInventory* bag = WorldSelf<tInventory>(L, name);   \
    if (!bag)                                           \
        return 0

int LuaMove(lua_State* L)
{
    BAG_SELF("MoveInventory");
    bag->MoveInventory(LuaArgInt(L, 2));
    return 0;
}

int LuaPosition(lua_State* L)
{
    BAG_SELF("PositionInventoryForVisibility");
    bag->PositionInventoryForVisibility(LuaArgStr(L, 2));
    return 0;
}

int LuaJump(lua_State* L)
{
    BAG_SELF("JumpInventoryToTarget");
    bag->JumpInventoryToTarget();
    return 0;
}

int LuaRemove(lua_State* L)
{
    BAG_SELF("RemoveInventory");
    bag->RemoveInventory(LuaArgStr(L, 2));
    return 0;
}

int LuaCheck(lua_State* L)
{
    BAG_SELF("CheckInventory");
    lua_pushboolean(L, bag->CheckInventory(LuaArgStr(L, 2)));
    return 1;
}

int LuaAdd(lua_State* L)
{
    BAG_SELF("AddInventory");
    return lf_AddInventory(*bag, L);
}

int LuaShow(lua_State* L)
{
    BAG_SELF("ShowInventory");
    bag->ShowInventory(LuaArgStr(L, 2), lua_toboolean(L, 3) != 0);
    return 0;
}

int LuaLocation(lua_State* L)
{
    BAG_SELF("GetInventoryLocation");
    float x = 0, y = 0;
    bag->GetInventoryLocation(LuaArgStr(L, 2), &x, &y);
    lua_newtable(L);
    lua_pushstring(L, "x");
    lua_pushnumber(L, x);
    lua_rawset(L, -3);
    lua_pushstring(L, "y");
    lua_pushnumber(L, y);
    lua_rawset(L, -3);
    return 1;
}

int LuaDescription(lua_State* L)
{
    BAG_SELF("SetItemDescription");
    bag->SetItemDescription(LuaArgStr(L, 2), LuaArgStr(L, 3));
    return 0;
}

int LuaParameter(lua_State* L)
{
    BAG_SELF("SetItemParameter");
    bag->SetItemParameter(LuaArgStr(L, 2), LuaArgInt(L, 3));
    return 0;
}

}  // namespace

void InventoryLuaAdd(lua_State* L)
{
    SetWorldMethod(L, "MoveInventory", LuaMove);
    SetWorldMethod(L, "PositionInventoryForVisibility", LuaPosition);
    SetWorldMethod(L, "JumpInventoryToTarget", LuaJump);
    SetWorldMethod(L, "RemoveInventory", LuaRemove);
    SetWorldMethod(L, "CheckInventory", LuaCheck);
    SetWorldMethod(L, "AddInventory", LuaAdd);
    SetWorldMethod(L, "ShowInventory", LuaShow);
    SetWorldMethod(L, "GetInventoryLocation", LuaLocation);
    SetWorldMethod(L, "SetItemDescription", LuaDescription);
    SetWorldMethod(L, "SetItemParameter", LuaParameter);
}
