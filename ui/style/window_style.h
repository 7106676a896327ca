#pragma once
// Typed reads of a window's settings: the window's own Lua table first, then the current
// default style ("gCurrentDefaultStyle") and the chain of its "parent" tables. A key found
// nowhere gives the caller's default. Every read leaves the Lua stack as it found it.
//   TWindowStyle style(table);
//   int x = style.GetInt("x", 0);
//   bool fit = style.GetBool("fit", false);

#include <lua.h>

#include "core/math/color.h"
#include "core/text/str.h"

class TLuaFunction;
class TLuaTable;

class TWindowStyle
{
public:
    // The table is not owned; the reads run in the table's own state.
    explicit TWindowStyle(TLuaTable* table);
    // A window without a table of its own reads the default style of L alone.
    TWindowStyle(lua_State* L, TLuaTable* table);
    virtual ~TWindowStyle() = default;

    double GetNumber(const str& key, double def);
    // GetNumber truncated toward zero.
    int GetInt(const str& key, int def);
    str GetString(const str& key, const str& def);
    // A table's elements 1 to 4 are red, green, blue, alpha (missing ones 0).
    TColor GetColor(const str& key, const TColor& def);
    // Booleans as they are, numbers true unless 0; texts and other values are false (logged).
    bool GetBool(const str& key, bool def);
    // New wrappers owned by the caller; null when the key is absent.
    TLuaFunction* GetFunction(const str& key);
    TLuaTable* GetTable(const str& key);

    TLuaTable* GetLuaTable() const { return mTable; }
    lua_State* GetState() const { return mState; }

private:
    // Pushes the value found for the key; false (nothing pushed) when it is absent.
    bool PushTag(const str& key);

    lua_State* mState = nullptr;
    TLuaTable* mTable = nullptr;
};

// True when the text is empty or has no zero byte and no byte of 192 or above (no lead
// byte of a multi-byte character).
bool SafeString(const str& text);
