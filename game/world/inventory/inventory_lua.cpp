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

int LuaAdd(lua_State* L)
{
    tInventory* bag = WorldSelf<tInventory>(L);
    return bag ? lf_AddInventory(*bag, L) : 0;
}

int LuaLocation(lua_State* L)
{
    tInventory* bag = WorldSelf<tInventory>(L);
    if (!bag)
        return 0;
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

}  // namespace

void InventoryLuaAdd(lua_State* L)
{
    SetWorldMethod<&tInventory::MoveInventory>(L, "MoveInventory");
    SetWorldMethod<&tInventory::PositionInventoryForVisibility>(L, "PositionInventoryForVisibility");
    SetWorldMethod<&tInventory::JumpInventoryToTarget>(L, "JumpInventoryToTarget");
    SetWorldMethod<&tInventory::RemoveInventory>(L, "RemoveInventory");
    SetWorldMethod<&tInventory::CheckInventory>(L, "CheckInventory");
    SetWorldMethod(L, "AddInventory", LuaAdd);
    SetWorldMethod<&tInventory::ShowInventory>(L, "ShowInventory");
    SetWorldMethod(L, "GetInventoryLocation", LuaLocation);
    SetWorldMethod<&tInventory::SetItemDescription>(L, "SetItemDescription");
    SetWorldMethod<&tInventory::SetItemParameter>(L, "SetItemParameter");
}
