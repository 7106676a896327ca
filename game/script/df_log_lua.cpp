#include "game/script/df_log_lua.h"

#include "core/script/df_lua.h"
#include "game/script/df_log.h"

namespace {

void LuaLog(str text)
{
    LOGIT("%s\n", text.c_str());
}

}  // namespace

void BindLogToLua(dfLua& lua)
{
    lua.bindfunction(&LuaLog, "LOGIT");
}
