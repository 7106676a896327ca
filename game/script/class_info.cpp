#include "game/script/class_info.h"

#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"

tClassInfo::tClassInfo(const char* name, TFactory factory, TLuaAdd luaAdd, tClassInfo* parent)
    : name(name), factory(factory), addToLua(luaAdd), parent(parent)
{
    RegisterClassInfo(this);
}

std::vector<tClassInfo*>& tClassInfo::ClassInfoReg()
{
    static std::vector<tClassInfo*> registry;
    return registry;
}

void tClassInfo::RegisterClassInfo(tClassInfo* record)
{
    if (record)
        ClassInfoReg().push_back(record);
}

tClassInfo* tClassInfo::GetClassInfoByName(const char* name)
{
    if (!name || !*name)
        return nullptr;
    for (tClassInfo* record : ClassInfoReg())
        if (StringMatch(record->name, name))
            return record;
    return nullptr;
}

void tClassInfo::AddAllClassInfoToLua(dfLua& lua)
{
    lua_State* L = lua.GetState();
    for (tClassInfo* record : ClassInfoReg()) {
        lua.createvtable(record->name, record->parent ? record->parent->name : nullptr);
        if (record->addToLua)
            record->addToLua(lua);
        lua_pop(L, 1);
    }
    lua_pushcfunction(L, &lf_Factory);
    lua.setglobal("Factory");
}

// ---- baseObj ------------------------------------------------------------------------------

tClassInfo baseObj::civ("baseObj", &baseObj::Factory, &baseObj::LuaAdd, nullptr);

baseObj::baseObj() : mClassInfo(&civ) {}

baseObj::~baseObj()
{
    DumpLuaObj();
}

baseObj* baseObj::Factory()
{
    return new baseObj;
}

void baseObj::LuaAdd(dfLua&) {}

void baseObj::CreateLuaObj(dfLua& lua)
{
    if (mLuaObj) {
        LOGIT("ASSERT: %s\n", "GetLuaObj() == NULL");
        dfDebugBreak();
    }
    lua.newcobject(mClassInfo->name, this);
    AssignLuaObj(new dfLuaTable(lua, mClassInfo->name));
}

void baseObj::AssignLuaObj(dfLuaTable* table)
{
    // The old table loses its "this" too: a script still holding it must not reach this
    // object through it once the object is gone.
    DumpLuaObj();
    mLuaObj.reset(table);
}

void baseObj::DumpLuaObj()
{
    if (!mLuaObj)
        return;
    lua_State* L = mLuaObj->GetState();
    mLuaObj->push();
    if (lua_istable(L, -1)) {
        lua_pushstring(L, "this");
        lua_pushnil(L);
        lua_rawset(L, -3);
    }
    lua_pop(L, 1);
    mLuaObj.reset();
}

int lf_Factory(lua_State* L)
{
    dfLua lua(L);
    if (lua_type(L, -1) != LUA_TSTRING) {
        LOGIT("lf_Factory called without string\n");
        lua.stackdump("lf_Factory");
        return 0;
    }
    const char* name = lua_tostring(L, -1);
    tClassInfo* record = tClassInfo::GetClassInfoByName(name);
    if (!record) {
        LOGIT("lf_Factory called with bad string[%s]\n", name);
        lua.stackdump("lf_Factory");
        return 0;
    }
    if (!record->factory) {
        LOGIT("lf_Factory: class %s cannot be made by scripts\n", name);
        return 0;
    }
    baseObj* object = record->factory();
    object->CreateLuaObj(lua);
    object->GetLuaObj()->push();
    return 1;
}
