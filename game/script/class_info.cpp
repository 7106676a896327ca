#include "game/script/class_info.h"

#include <lauxlib.h>

#include "game/script/df_log.h"
#include "game/script/df_lua_obj.h"

namespace {

char kHomeStateKey;
char kKeeperField;
const char* const kKeeperMetatable = "baseObj keeper";

// The state the classes were added to: objects made from a coroutine are bound to it, since
// the coroutine may be gone long before the object.
lua_State* HomeState(lua_State* L)
{
    lua_pushlightuserdata(L, &kHomeStateKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
    lua_State* home = static_cast<lua_State*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return home ? home : L;
}

}  // namespace

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
    lua_pushlightuserdata(L, &kHomeStateKey);
    lua_pushlightuserdata(L, L);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

// ---- baseObj ------------------------------------------------------------------------------

tClassInfo baseObj::civ("baseObj", &baseObj::Factory, &baseObj::LuaAdd, nullptr);

baseObj::baseObj() : mClassInfo(&civ) {}

baseObj::baseObj(const baseObj& other) : mClassInfo(other.mClassInfo) {}

baseObj& baseObj::operator=(const baseObj&)
{
    return *this;
}

baseObj::~baseObj()
{
    if (mKeeperSlot)
        *mKeeperSlot = nullptr;
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

void baseObj::GiveToLuaTable()
{
    if (!mLuaObj || mKeeperSlot)
        return;
    lua_State* L = mLuaObj->GetState();
    mLuaObj->MakeWeak();
    // The table holds a userdata whose finaliser deletes the object: the object lives exactly
    // as long as its table.
    mLuaObj->push();
    mKeeperSlot = static_cast<baseObj**>(lua_newuserdata(L, sizeof(baseObj*)));
    *mKeeperSlot = this;
    if (luaL_newmetatable(L, kKeeperMetatable)) {
        lua_pushstring(L, "__gc");
        lua_pushcfunction(L, &baseObj::ReleaseGivenObject);
        lua_rawset(L, -3);
    }
    lua_setmetatable(L, -2);
    lua_pushlightuserdata(L, &kKeeperField);
    lua_insert(L, -2);
    lua_rawset(L, -3);
    lua_pop(L, 1);
}

int baseObj::ReleaseGivenObject(lua_State* L)
{
    auto** slot = static_cast<baseObj**>(lua_touserdata(L, 1));
    if (!slot || !*slot)
        return 0;
    baseObj* object = *slot;
    *slot = nullptr;
    object->mKeeperSlot = nullptr;
    delete object;
    return 0;
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
    dfLua home(HomeState(L));
    object->CreateLuaObj(home);
    // On the caller's stack before the table's anchor turns weak.
    object->GetLuaObj()->PushSelfOnto(lua);
    object->GiveToLuaTable();
    return 1;
}
