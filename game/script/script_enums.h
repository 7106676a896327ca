#pragma once
// The enumerations that compiled code and scripts share. Each is published on a Lua state as
// a global table of the same name mapping each value's name to its number (DIR.NE == 2,
// DEPTH.DEPTH_BY_POLY == -5); scripts pass the numbers back to compiled methods unchecked.
//   AddEnumsToLua(lua);        // all but STARTMODE, which the settings publish
//   LOGIT("%s\n", DIR_NAME(dir));

#include <cstdint>

#include "core/script/df_lua.h"

enum AFLAG : int32_t
{
    AFLAG_OBJECT_COLLIDE_DETECT = 0x1,
    AFLAG_OBJECT_COLLIDE_CAUSE = 0x2,
    AFLAG_FIXED_HALO = 0x4,
    AFLAG_SPECIAL_ANIM = 0x8,
    AFLAG_TALKING = 0x10,
    AFLAG_SCALE_BY_Y = 0x20,
    AFLAG_USE_LIGHTMAP = 0x40,
    AFLAG_HALO_FOR_USE_ONLY = 0x80,
    AFLAG_IGNORE_GROUND_MESH = 0x100,
    AFLAG_NO_VOX = 0x200,
    AFLAG_X_FLIPPABLE = 0x400,
    AFLAG_FIXED_SCREEN = 0x800,
    AFLAG_NEW_PARTY = 0x1000,
    AFLAG_NON_SPEECH = 0x2000,
};
enum ANCHOR : int32_t
{
    ANCHOR_TOP,
    ANCHOR_CENTER,
    ANCHOR_BOTTOM
};
enum HALIGN : int32_t
{
    HALIGN_LEFT,
    HALIGN_CENTER,
    HALIGN_RIGHT
};
enum BAG : int32_t
{
    BAG_INV = 0,
    BAG_MAGIC = 1,
    BAG_NONE = -1
};
enum BLENDMODE : int32_t
{
    BLENDMODE_NORMAL,
    BLENDMODE_OPAQUE,
    BLENDMODE_ADD,
    BLENDMODE_SUBTRACT,
    BLENDMODE_MULTIPLY,
};
enum BOOK : int32_t
{
    BOOK_PRI = 0,
    BOOK_SEC = 1,
    BOOK_EDU = 2,
    BOOK_NONE = -1
};
enum CLAMP : int32_t
{
    CLAMP_NONE = 0,
    CLAMP_SCREEN = 1
};
enum DEPTH : int32_t
{
    DEPTH_FRONTMOST = -1,
    DEPTH_BACKMOST = -2,
    DEPTH_BY_Y = -3,
    DEPTH_BY_POLY = -5,
    DEPTH_FIXED = -4,
    DEPTH_OVER_HUD = -6,
};
enum DFKEY : int32_t
{
    DFKEY_NONE,
    DFKEY_ESCAPE
};
enum DIR : int32_t
{
    DIR_NONE,
    DIR_N,
    DIR_NE,
    DIR_E,
    DIR_SE,
    DIR_S,
    DIR_SW,
    DIR_W,
    DIR_NW
};
enum MODE : int32_t
{
    MODE_NONE,
    MODE_CUTSCENE,
    MODE_FOLLOWCLICKS,
    MODE_STATIC
};
enum MOTION : int32_t
{
    MOTION_STAND,
    MOTION_WALK,
    MOTION_SPECIAL
};
enum RESPONSE : int32_t
{
    RESPONSE_WALKTO,
    RESPONSE_IGNORE,
    RESPONSE_INV_HANDLED,
    RESPONSE_INV_UNHANDLED
};
enum RESUME : int32_t
{
    RESUME_NONE,
    RESUME_ON_WALKTO,
    RESUME_ON_DELAY,
    RESUME_NOW,
    RESUME_ON_CLICK,
    RESUME_ON_SIGNAL,
    RESUME_ON_NEWPOLY,
    RESUME_ON_ABORT,
    RESUME_ON_ANIM,
    RESUME_ON_PARTY,
    RESUME_ON_FADE,
    RESUME_ON_CHOICE,
    RESUME_ON_VOXDONE,
    RESUME_ON_VOXQUITEDONE,
    RESUME_ON_BGVOXDONE,
    RESUME_ON_BGVOXQUITEDONE,
    RESUME_ON_OTHER_WALKTO,
    RESUME_ON_OTHER_ANIM,
    RESUME_ON_MUSICDONE,
    RESUME_ON_MUSICQUITEDONE,
    RESUME_ON_BGABORT,
};
enum STARTMODE : int32_t
{
    STARTMODE_NONE,
    STARTMODE_NEW,
    STARTMODE_LOAD,
    STARTMODE_RESUME
};

// A name map's entry; a map ends with a null name.
struct EnumPair
{
    const char* name;
    int32_t value;
};

extern const EnumPair AFLAG_map[];
extern const EnumPair BAG_map[];
extern const EnumPair BOOK_map[];
extern const EnumPair CLAMP_map[];
extern const EnumPair DEPTH_map[];
// Name lists: a name's value is its position. Each ends with a null name.
extern const char* const ANCHOR_names[];
extern const char* const HALIGN_names[];
extern const char* const BLENDMODE_names[];
extern const char* const DFKEY_names[];
extern const char* const DIR_names[];
extern const char* const MODE_names[];
extern const char* const MOTION_names[];
extern const char* const RESPONSE_names[];
extern const char* const RESUME_names[];
extern const char* const STARTMODE_names[];

void AddAFLAGToLua(dfLua& lua);
void AddANCHORToLua(dfLua& lua);
void AddHALIGNToLua(dfLua& lua);
void AddBAGToLua(dfLua& lua);
void AddBLENDMODEToLua(dfLua& lua);
void AddBOOKToLua(dfLua& lua);
void AddCLAMPToLua(dfLua& lua);
void AddDEPTHToLua(dfLua& lua);
void AddDFKEYToLua(dfLua& lua);
void AddDIRToLua(dfLua& lua);
void AddMODEToLua(dfLua& lua);
void AddMOTIONToLua(dfLua& lua);
void AddRESPONSEToLua(dfLua& lua);
void AddRESUMEToLua(dfLua& lua);
void AddSTARTMODEToLua(dfLua& lua);
// Every table but STARTMODE.
void AddEnumsToLua(dfLua& lua);

// The map's name for the value; null when it has none.
const char* BAG_NAME(BAG bag);
const char* BOOK_NAME(BOOK book);
// "BADDIR" outside 0 to 8.
const char* DIR_NAME(DIR dir);

// Read with dfLua::tointeger, unchecked.
AFLAG Get(TypeWrapper<AFLAG>, dfLua& lua, int index);
BAG Get(TypeWrapper<BAG>, dfLua& lua, int index);
DEPTH Get(TypeWrapper<DEPTH>, dfLua& lua, int index);
DIR Get(TypeWrapper<DIR>, dfLua& lua, int index);
MODE Get(TypeWrapper<MODE>, dfLua& lua, int index);
void Put(dfLua& lua, MODE value);
