#pragma once
// References from compiled code to Lua values. The value lives in the Lua registry under a
// light userdata holding the reference's own address: constructing anchors the value on top
// of the stack (and pops it), destroying removes the anchor. A reference must not outlive
// its state.
//   lua_getglobal(L, "scene");
//   dfLuaTable scene(lua, "scene");
//   str title = scene.getfield_as_string("title");

#include <memory>

#include "core/script/df_lua.h"
#include "core/text/str.h"

class dfLuaObj
{
public:
    // Takes the value on top of the stack of `lua`'s state; `name` (not copied) is for logs.
    dfLuaObj(dfLua& lua, const char* name);
    virtual ~dfLuaObj();
    dfLuaObj(const dfLuaObj&) = delete;
    dfLuaObj& operator=(const dfLuaObj&) = delete;

    // The value no longer kept alive by this reference: once Lua holds it nowhere else it is
    // collected, and push() gives nil.
    void MakeWeak();
    void push();
    // Pushes the value onto another state (a thread of the same interpreter).
    void PushSelfOnto(dfLua& lua);
    bool isfunction();
    bool istable();

    unsigned GetId() const { return mId; }
    const char* GetName() const { return mName; }
    lua_State* GetState() const { return mLua.GetState(); }

protected:
    unsigned mId;
    const char* mName;
    dfLua mLua;
    bool mWeak = false;
};

class dfLuaTable : public dfLuaObj
{
public:
    dfLuaTable(dfLua& lua, const char* name) : dfLuaObj(lua, name) {}

    // Push the field's value and leave it on the stack.
    void getfield(const char* key);
    void getfield(int index);
    // Not a string or number: the empty text.
    str getfield_as_string(const char* key);
    str getfield_as_string(int index);
    int getfield_as_integer(const char* key);
    float getfield_as_number(const char* key);
    float getfield_as_number(int index);
    // The caller owns the result; getfield_as_table gives null for a field that is no table.
    std::unique_ptr<dfLuaObj> getfield_as_obj(const char* key);
    std::unique_ptr<dfLuaTable> getfield_as_table(const char* key);
    bool hasfield(const char* key);
    bool hasfield(int index);
    int getn();
    // Stores the other reference's value under `key` (moved across when the states differ).
    void setfield(const char* key, dfLuaObj* value);
    void setenumvalue(const char* key, int value);
    void zapfield(const char* key);

private:
    // Pushes the table; a value that is no table is replaced by nil and false is returned.
    bool PushTable();
};
