#pragma once
// The result of the game's loaders: 0 for success, 1 for failure. Scripts receive it as a
// boolean that is true on success.
//   DFRES LoadMesh(const str& name);   // bound with setmethod: scene:LoadMesh("x") == true

#include "core/script/df_lua.h"

enum DFRES : int
{
    DFRES_OK = 0,
    DFRES_FAIL = 1,
};

inline DFRES DFResult(int loaderResult)
{
    return loaderResult == 0 ? DFRES_OK : DFRES_FAIL;
}

void Put(dfLua& lua, DFRES value);
