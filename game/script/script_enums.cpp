#include "game/script/script_enums.h"

#include "game/script/df_lua_obj.h"

const EnumPair AFLAG_map[] = {
    {"AFLAG_OBJECT_COLLIDE_DETECT", 0x1},
    {"AFLAG_OBJECT_COLLIDE_CAUSE", 0x2},
    {"AFLAG_FIXED_HALO", 0x4},
    {"AFLAG_SPECIAL_ANIM", 0x8},
    {"AFLAG_TALKING", 0x10},
    {"AFLAG_SCALE_BY_Y", 0x20},
    {"AFLAG_USE_LIGHTMAP", 0x40},
    {"AFLAG_HALO_FOR_USE_ONLY", 0x80},
    {"AFLAG_IGNORE_GROUND_MESH", 0x100},
    {"AFLAG_NO_VOX", 0x200},
    {"AFLAG_X_FLIPPABLE", 0x400},
    {"AFLAG_FIXED_SCREEN", 0x800},
    {"AFLAG_NEW_PARTY", 0x1000},
    {"AFLAG_NON_SPEECH", 0x2000},
    {nullptr, 0},
};
const EnumPair BAG_map[] = {{"BAG_INV", 0}, {"BAG_MAGIC", 1}, {"BAG_NONE", -1}, {nullptr, 0}};
const EnumPair BOOK_map[] = {{"BOOK_PRI", 0}, {"BOOK_SEC", 1}, {"BOOK_EDU", 2}, {"BOOK_NONE", -1}, {nullptr, 0}};
const EnumPair CLAMP_map[] = {{"CLAMP_NONE", 0}, {"CLAMP_SCREEN", 1}, {nullptr, 0}};
const EnumPair DEPTH_map[] = {
    {"DEPTH_FRONTMOST", -1}, {"DEPTH_BACKMOST", -2}, {"DEPTH_BY_Y", -3}, {"DEPTH_BY_POLY", -5},
    {"DEPTH_FIXED", -4},     {"DEPTH_OVER_HUD", -6}, {nullptr, 0},
};

const char* const ANCHOR_names[] = {"TOP", "CENTER", "BOTTOM", nullptr};
const char* const HALIGN_names[] = {"LEFT", "CENTER", "RIGHT", nullptr};
const char* const BLENDMODE_names[] = {"BLENDMODE_NORMAL",   "BLENDMODE_OPAQUE",   "BLENDMODE_ADD",
                                       "BLENDMODE_SUBTRACT", "BLENDMODE_MULTIPLY", nullptr};
const char* const DFKEY_names[] = {"NONE", "ESCAPE", nullptr};
const char* const DIR_names[] = {"NONE", "N", "NE", "E", "SE", "S", "SW", "W", "NW", nullptr};
const char* const MODE_names[] = {"NONE", "CUTSCENE", "FOLLOWCLICKS", "STATIC", nullptr};
const char* const MOTION_names[] = {"STAND", "WALK", "SPECIAL", nullptr};
const char* const RESPONSE_names[] = {"WALKTO", "IGNORE", "INV_HANDLED", "INV_UNHANDLED", nullptr};
const char* const RESUME_names[] = {
    "NONE",
    "ON_WALKTO",
    "ON_DELAY",
    "NOW",
    "ON_CLICK",
    "ON_SIGNAL",
    "ON_NEWPOLY",
    "ON_ABORT",
    "ON_ANIM",
    "ON_PARTY",
    "ON_FADE",
    "ON_CHOICE",
    "ON_VOXDONE",
    "ON_VOXQUITEDONE",
    "ON_BGVOXDONE",
    "ON_BGVOXQUITEDONE",
    "ON_OTHER_WALKTO",
    "ON_OTHER_ANIM",
    "ON_MUSICDONE",
    "ON_MUSICQUITEDONE",
    "ON_BGABORT",
    nullptr,
};
const char* const STARTMODE_names[] = {"NONE", "NEW", "LOAD", "RESUME", nullptr};

namespace {

// A fresh global table named `name`, held through a table reference while it is filled.
template <class Fill>
void Publish(dfLua& lua, const char* name, Fill fill)
{
    lua_State* L = lua.GetState();
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua.setglobal(name);
    dfLuaTable table(lua, name);
    fill(table);
}

void PublishMap(dfLua& lua, const char* name, const EnumPair* map)
{
    Publish(lua, name, [map](dfLuaTable& table) {
        for (const EnumPair* p = map; p->name; ++p)
            table.setenumvalue(p->name, p->value);
    });
}

void PublishList(dfLua& lua, const char* name, const char* const* names)
{
    Publish(lua, name, [names](dfLuaTable& table) {
        for (int i = 0; names[i]; ++i)
            table.setenumvalue(names[i], i);
    });
}

const char* MapName(const EnumPair* map, int32_t value)
{
    for (const EnumPair* p = map; p->name; ++p)
        if (p->value == value)
            return p->name;
    return nullptr;
}

}  // namespace

void AddAFLAGToLua(dfLua& lua)
{
    PublishMap(lua, "AFLAG", AFLAG_map);
}
void AddANCHORToLua(dfLua& lua)
{
    PublishList(lua, "ANCHOR", ANCHOR_names);
}
void AddHALIGNToLua(dfLua& lua)
{
    PublishList(lua, "HALIGN", HALIGN_names);
}
void AddBAGToLua(dfLua& lua)
{
    PublishMap(lua, "BAG", BAG_map);
}
void AddBLENDMODEToLua(dfLua& lua)
{
    PublishList(lua, "BLENDMODE", BLENDMODE_names);
}
void AddBOOKToLua(dfLua& lua)
{
    PublishMap(lua, "BOOK", BOOK_map);
}
void AddCLAMPToLua(dfLua& lua)
{
    PublishMap(lua, "CLAMP", CLAMP_map);
}
void AddDEPTHToLua(dfLua& lua)
{
    PublishMap(lua, "DEPTH", DEPTH_map);
}
void AddDFKEYToLua(dfLua& lua)
{
    PublishList(lua, "DFKEY", DFKEY_names);
}
void AddDIRToLua(dfLua& lua)
{
    PublishList(lua, "DIR", DIR_names);
}
void AddMODEToLua(dfLua& lua)
{
    PublishList(lua, "MODE", MODE_names);
}
void AddMOTIONToLua(dfLua& lua)
{
    PublishList(lua, "MOTION", MOTION_names);
}
void AddRESPONSEToLua(dfLua& lua)
{
    PublishList(lua, "RESPONSE", RESPONSE_names);
}
void AddRESUMEToLua(dfLua& lua)
{
    PublishList(lua, "RESUME", RESUME_names);
}
void AddSTARTMODEToLua(dfLua& lua)
{
    PublishList(lua, "STARTMODE", STARTMODE_names);
}

void AddEnumsToLua(dfLua& lua)
{
    AddRESUMEToLua(lua);
    AddDIRToLua(lua);
    AddDEPTHToLua(lua);
    AddMODEToLua(lua);
    AddMOTIONToLua(lua);
    AddAFLAGToLua(lua);
    AddBAGToLua(lua);
    AddBOOKToLua(lua);
    AddRESPONSEToLua(lua);
    AddDFKEYToLua(lua);
    AddCLAMPToLua(lua);
    AddANCHORToLua(lua);
    AddHALIGNToLua(lua);
    AddBLENDMODEToLua(lua);
}

const char* BAG_NAME(BAG bag)
{
    return MapName(BAG_map, bag);
}

const char* BOOK_NAME(BOOK book)
{
    return MapName(BOOK_map, book);
}

const char* DIR_NAME(DIR dir)
{
    return static_cast<uint32_t>(dir) <= 8 ? DIR_names[dir] : "BADDIR";
}

AFLAG Get(TypeWrapper<AFLAG>, dfLua& lua, int index)
{
    return static_cast<AFLAG>(lua.tointeger(index));
}
BAG Get(TypeWrapper<BAG>, dfLua& lua, int index)
{
    return static_cast<BAG>(lua.tointeger(index));
}
DEPTH Get(TypeWrapper<DEPTH>, dfLua& lua, int index)
{
    return static_cast<DEPTH>(lua.tointeger(index));
}
DIR Get(TypeWrapper<DIR>, dfLua& lua, int index)
{
    return static_cast<DIR>(lua.tointeger(index));
}
MODE Get(TypeWrapper<MODE>, dfLua& lua, int index)
{
    return static_cast<MODE>(lua.tointeger(index));
}

void Put(dfLua& lua, MODE value)
{
    lua_pushinteger(lua.GetState(), value);
}
