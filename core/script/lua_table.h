#pragma once
// A Lua table held by compiled code, with typed reads of its fields. Every read leaves the
// stack as it found it, also when a metamethod raises a Lua error.
//   lua_getglobal(L, "style");
//   TLuaTable style(L);
//   double size = style.GetNumber("size", 12);
//   TColor ink = style.GetColor(str("ink"), TColor(0, 0, 0, 1));

#include "core/math/color.h"
#include "core/script/lua_object_wrapper.h"
#include "core/text/str.h"

class TLuaTable : public TLuaObjectWrapper
{
public:
    // Anchors the table on the top of the stack (pops it).
    explicit TLuaTable(lua_State* L) : TLuaObjectWrapper(L) {}
    ~TLuaTable() override = default;

    // Pushes the field; a nil field is popped again and gives false.
    bool PushValue(double index) const;
    bool PushValue(const char* key) const;

    // Lua's number-to-text conversion applies; the default when the field is nil.
    str GetString(double index, const str& def) const;
    // A field that is neither a number nor numeric text reads 0; the default when nil.
    double GetNumber(double index, double def) const;
    double GetNumber(const char* key, double def) const;
    // A new wrapper owned by the caller when the field is a table, else null.
    TLuaTable* GetTable(double index) const;
    TLuaTable* GetTable(const char* key) const;
    // Elements 1 to 4 of the field's table are red, green, blue and alpha; each missing one,
    // and a field that is not a table, keeps the default.
    TColor GetColor(const str& key, const TColor& def) const;
    TColor GetColor(double index, const TColor& def) const;

    // Releases a wrapper that Lua code may still be running with: the script that owns the
    // state deletes it at its next call into Lua. A state without an owning script (no
    // "_SCRIPT") deletes it at once; the table itself lives on while Lua refers to it.
    static void DeferDelete(TLuaTable* table);

private:
    template <class Key>
    bool PushField(Key key) const;
    static TColor ColorFrom(TLuaTable* table, const TColor& def);
};
