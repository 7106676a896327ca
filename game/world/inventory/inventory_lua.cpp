#include "game/world/inventory/inventory.h"

#include "core/script/lua_table.h"
#include "game/world/common/world_lua.h"
#include "game/world/common/world_scene.h"
#include "game/world/mesh/mesh_lua.h"

#include <memory>

tClassInfo tInventory::civ("tInventory", &tInventory::Factory, &tInventory::LuaAdd, &baseObj::civ);

int tInventory::lf_AddInventory(dfLua& lua)
{
    lua_State* L = lua.GetState();
    int at = lua_gettop(L);
    bool announce = true;
    if (at > 1 && lua_isboolean(L, at)) {
        announce = lua_toboolean(L, at) != 0;
        --at;
    }
    // Index 1 is the bag itself.
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
    AddInventory(LuaFieldStr(desc, "key"), e, announce);
    return 0;
}

void tInventory::LuaAdd(dfLua& lua)
{
    using Location = tVector2<float> (tInventory::*)(const str&) const;
    lua.setmethod(&tInventory::MoveInventory, "MoveInventory");
    lua.setmethod(&tInventory::PositionInventoryForVisibility, "PositionInventoryForVisibility");
    lua.setmethod(&tInventory::JumpInventoryToTarget, "JumpInventoryToTarget");
    lua.setmethod(&tInventory::RemoveInventory, "RemoveInventory");
    lua.setmethod(&tInventory::CheckInventory, "CheckInventory");
    lua.setmethod(&tInventory::lf_AddInventory, "AddInventory");
    lua.setmethod(&tInventory::ShowInventory, "ShowInventory");
    lua.setmethod(static_cast<Location>(&tInventory::GetInventoryLocation), "GetInventoryLocation");
    lua.setmethod(&tInventory::SetItemDescription, "SetItemDescription");
    lua.setmethod(&tInventory::SetItemParameter, "SetItemParameter");
}
