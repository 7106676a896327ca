#pragma once
// Game objects passed as script arguments. A script hands an object over as its table, whose
// field "this" holds the compiled object's address; the address is only compared, never
// followed, until it is known to belong to a live object.
//   if (tGirl* other = GetSceneActor(GetScene(), lua, 2)) SetFacingByActor(other);

#include "core/script/df_lua.h"

class baseObj;
class tGirl;
class tScene;

// The address an object argument carries: a table's "this" ("object.this was not userdata\n"
// and null when it holds none), or a bare address (with a warning). Anything else: null.
baseObj* Get(TypeWrapper<baseObj*>, dfLua& lua, int index);

// The actor of `scene` that the argument carries; null (logged) when it carries none or one
// that is not a live actor of that scene.
tGirl* GetSceneActor(const tScene* scene, dfLua& lua, int index);
