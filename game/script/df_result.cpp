#include "game/script/df_result.h"

void Put(dfLua& lua, DFRES value)
{
    lua_pushboolean(lua.GetState(), value == DFRES_OK);
}
