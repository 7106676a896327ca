#include "ui/style/window_style.h"

#include "core/debug/debug_log.h"
#include "core/script/lua_function.h"
#include "core/script/lua_number.h"
#include "core/script/lua_stack_guard.h"
#include "core/script/lua_table.h"

#include <climits>
#include <cmath>
#include <unordered_set>

namespace {

constexpr const char* kDefaultStyle = "gCurrentDefaultStyle";

// `table` is a stack-relative index or a pseudo-index such as LUA_GLOBALSINDEX.
void RawField(lua_State* L, int table, const char* key)
{
    const bool relative = table < 0 && table > LUA_REGISTRYINDEX;
    lua_pushstring(L, key);
    lua_rawget(L, relative ? table - 1 : table);
}

}  // namespace

TWindowStyle::TWindowStyle(TLuaTable* table) : mState(table ? table->GetState() : nullptr), mTable(table) {}

TWindowStyle::TWindowStyle(lua_State* L, TLuaTable* table) : mState(table ? table->GetState() : L), mTable(table) {}

bool TWindowStyle::PushTag(const str& key)
{
    lua_State* L = mState;
    if (!L)
        return false;
    TLuaStackGuard guard(L);
    if (mTable) {
        mTable->Push();
        if (lua_istable(L, -1)) {
            RawField(L, -1, key.c_str());
            if (!lua_isnil(L, -1)) {
                lua_remove(L, -2);
                guard.Dismiss();
                return true;
            }
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
    }
    // The window's own "parent" is not followed: only default styles chain.
    RawField(L, LUA_GLOBALSINDEX, kDefaultStyle);
    std::unordered_set<const void*> seen;
    while (lua_istable(L, -1)) {
        if (!seen.insert(lua_topointer(L, -1)).second) {
            WriteDbg("Window style chain loops; key '%s' not found", key.c_str());
            return false;
        }
        RawField(L, -1, key.c_str());
        if (!lua_isnil(L, -1)) {
            lua_remove(L, -2);
            guard.Dismiss();
            return true;
        }
        lua_pop(L, 1);
        RawField(L, -1, "parent");
        lua_remove(L, -2);
    }
    return false;
}

double TWindowStyle::GetNumber(const str& key, double def)
{
    if (!PushTag(key))
        return def;
    const double value = lua_tonumber(mState, -1);
    lua_pop(mState, 1);
    return value;
}

int TWindowStyle::GetInt(const str& key, int def)
{
    return NumberToInt(GetNumber(key, def));
}

str TWindowStyle::GetString(const str& key, const str& def)
{
    if (!PushTag(key))
        return def;
    str value(lua_tostring(mState, -1));
    lua_pop(mState, 1);
    return value;
}

TColor TWindowStyle::GetColor(const str& key, const TColor& def)
{
    if (!PushTag(key))
        return def;
    TColor color;
    if (lua_istable(mState, -1)) {
        float* parts[] = {&color.red, &color.green, &color.blue, &color.alpha};
        for (int i = 0; i < 4; ++i) {
            lua_rawgeti(mState, -1, i + 1);
            *parts[i] = static_cast<float>(lua_tonumber(mState, -1));
            lua_pop(mState, 1);
        }
    }
    lua_pop(mState, 1);
    return color;
}

bool TWindowStyle::GetBool(const str& key, bool def)
{
    if (!PushTag(key))
        return def;
    lua_State* L = mState;
    bool value = false;
    const int type = lua_type(L, -1);
    if (type == LUA_TBOOLEAN) {
        value = lua_toboolean(L, -1) != 0;
    } else if (type == LUA_TNUMBER) {
        // NaN is not 0, so it counts as true.
        value = lua_tonumber(L, -1) != 0;
    } else if (type == LUA_TSTRING) {
        WriteDbg("PopBool used on lua string %s", lua_tostring(L, -1));
    } else {
        WriteDbg("PopBool used on a type that isn't a number, a boolean, or nil. (type: %d)", type);
    }
    lua_pop(L, 1);
    return value;
}

TLuaFunction* TWindowStyle::GetFunction(const str& key)
{
    if (!PushTag(key))
        return nullptr;
    if (!lua_isfunction(mState, -1)) {
        lua_pop(mState, 1);
        return nullptr;
    }
    return new TLuaFunction(mState);
}

TLuaTable* TWindowStyle::GetTable(const str& key)
{
    if (!PushTag(key))
        return nullptr;
    if (!lua_istable(mState, -1)) {
        lua_pop(mState, 1);
        return nullptr;
    }
    return new TLuaTable(mState);
}

bool SafeString(const str& text)
{
    const unsigned n = text.length();
    const char* p = text.c_str();
    for (unsigned i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == 0 || c >= 192)
            return false;
    }
    return true;
}
