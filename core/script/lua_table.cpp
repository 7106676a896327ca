#include "core/script/lua_table.h"

#include <memory>

#include "core/script/lua_stack_guard.h"
#include "core/script/script.h"

namespace {

void PushKey(lua_State* L, double index)
{
    lua_pushnumber(L, index);
}
void PushKey(lua_State* L, const char* key)
{
    lua_pushstring(L, key ? key : "");
}

}  // namespace

template <class Key>
bool TLuaTable::PushField(Key key) const
{
    lua_State* L = GetState();
    TLuaStackGuard guard(L);
    Push();
    const int type = lua_type(L, -1);
    if (type != LUA_TTABLE && type != LUA_TUSERDATA)
        return false;  // nothing to index: the guard drops the value
    PushKey(L, key);
    lua_gettable(L, -2);
    lua_remove(L, -2);
    if (lua_type(L, -1) == LUA_TNIL)
        return false;
    guard.Dismiss();
    return true;
}

bool TLuaTable::PushValue(double index) const
{
    return PushField(index);
}

bool TLuaTable::PushValue(const char* key) const
{
    return PushField(key);
}

str TLuaTable::GetString(double index, const str& def) const
{
    if (!PushValue(index))
        return def;
    lua_State* L = GetState();
    str result(lua_tostring(L, -1));
    lua_pop(L, 1);
    return result;
}

double TLuaTable::GetNumber(double index, double def) const
{
    if (!PushValue(index))
        return def;
    double result = lua_tonumber(GetState(), -1);
    lua_pop(GetState(), 1);
    return result;
}

double TLuaTable::GetNumber(const char* key, double def) const
{
    if (!PushValue(key))
        return def;
    double result = lua_tonumber(GetState(), -1);
    lua_pop(GetState(), 1);
    return result;
}

TLuaTable* TLuaTable::GetTable(double index) const
{
    if (!PushValue(index))
        return nullptr;
    if (!lua_istable(GetState(), -1)) {
        lua_pop(GetState(), 1);
        return nullptr;
    }
    return new TLuaTable(GetState());
}

TLuaTable* TLuaTable::GetTable(const char* key) const
{
    if (!PushValue(key))
        return nullptr;
    if (!lua_istable(GetState(), -1)) {
        lua_pop(GetState(), 1);
        return nullptr;
    }
    return new TLuaTable(GetState());
}

TColor TLuaTable::ColorFrom(TLuaTable* table, const TColor& def)
{
    std::unique_ptr<TLuaTable> held(table);
    if (!held)
        return def;
    TColor color = def;
    color.red = static_cast<float>(held->GetNumber(1, def.red));
    color.green = static_cast<float>(held->GetNumber(2, def.green));
    color.blue = static_cast<float>(held->GetNumber(3, def.blue));
    color.alpha = static_cast<float>(held->GetNumber(4, def.alpha));
    return color;
}

TColor TLuaTable::GetColor(const str& key, const TColor& def) const
{
    return ColorFrom(GetTable(key.c_str()), def);
}

TColor TLuaTable::GetColor(double index, const TColor& def) const
{
    return ColorFrom(GetTable(index), def);
}

void TLuaTable::DeferDelete(TLuaTable* table)
{
    if (!table)
        return;
    lua_State* L = table->GetState();
    lua_pushstring(L, "_SCRIPT");
    lua_rawget(L, LUA_GLOBALSINDEX);
    auto* script = lua_type(L, -1) == LUA_TLIGHTUSERDATA ? static_cast<TScript*>(lua_touserdata(L, -1)) : nullptr;
    lua_pop(L, 1);
    if (script)
        script->DeferDeleteTable(table);
    else
        delete table;
}
