#pragma once
// The game's debug log for scripts: the Lua global "LOGIT" writes its one text argument as a
// line, verbatim (the text is never read as a format).
//   LOGIT("Menu shown: " .. file)

class dfLua;

void BindLogToLua(dfLua& lua);
