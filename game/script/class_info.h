#pragma once
// The game-world classes that scripts see as objects. Each has a record (tClassInfo, a static
// member named civ) that registers itself before main; the records build the Lua method
// tables (global "vtable", each class's table chained to its parent's) and let scripts make
// objects by class name: obj = Factory("tScene").
//   class tThing : public baseObj {
//   public:
//       static tClassInfo civ;
//       static baseObj* Factory() { return new tThing; }
//       static void LuaAdd(dfLua& lua) { lua.setmethod(&tThing::Poke, "Poke"); }
//       tThing() { mClassInfo = &civ; }
//   };
//   tClassInfo tThing::civ("tThing", &tThing::Factory, &tThing::LuaAdd, &baseObj::civ);

#include <memory>
#include <vector>

#include "core/script/df_lua.h"

class baseObj;
class dfLuaTable;

class tClassInfo
{
public:
    using TFactory = baseObj* (*)();
    using TLuaAdd = void (*)(dfLua& lua);

    // Registers itself.
    tClassInfo(const char* name, TFactory factory, TLuaAdd luaAdd, tClassInfo* parent);

    const char* name;
    TFactory factory;
    TLuaAdd addToLua;
    tClassInfo* parent;

    static void RegisterClassInfo(tClassInfo* record);
    // Exact (case-sensitive) match; null for a null or empty name or an unknown one.
    static tClassInfo* GetClassInfoByName(const char* name);
    // Every class's method table, then the global "Factory".
    static void AddAllClassInfoToLua(dfLua& lua);
    // In registration order; made on first use, so any static initialiser may register.
    static std::vector<tClassInfo*>& ClassInfoReg();
};

class baseObj
{
public:
    static tClassInfo civ;
    static baseObj* Factory();
    static void LuaAdd(dfLua& lua);

    baseObj();
    virtual ~baseObj();

    // The object's Lua table: "this" is the object, the metatable its class's entry.
    void CreateLuaObj(dfLua& lua);
    // Replaces the object's table (the old one released first); takes ownership.
    void AssignLuaObj(dfLuaTable* table);
    // Clears the table's "this", so later calls from scripts report a missing object, and
    // releases the table.
    void DumpLuaObj();
    dfLuaTable* GetLuaObj() const { return mLuaObj.get(); }
    tClassInfo* GetClassInfo() const { return mClassInfo; }
    // Hands the object to its Lua table (made by CreateLuaObj): it is deleted once no script
    // reaches the table any more, or when the state closes. What "Factory" makes is owned so.
    void GiveToLuaTable();

protected:
    // A copy is a new object of the same class: no table, and the table of an object assigned
    // to stays its own.
    baseObj(const baseObj& other);
    baseObj& operator=(const baseObj& other);

    std::unique_ptr<dfLuaTable> mLuaObj;
    tClassInfo* mClassInfo;

private:
    static int ReleaseGivenObject(lua_State* L);
    // The keeper's pointer to this object, cleared if the object goes first.
    baseObj** mKeeperSlot = nullptr;
};

// Lua: Factory(className) -> the new object's table, or nothing for an unknown class.
int lf_Factory(lua_State* L);
