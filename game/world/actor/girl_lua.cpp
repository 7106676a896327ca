// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/mesh/mesh.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"
#include "render/text/text_graphic.h"

void tGirl::LuaAdd(dfLua&) {}
