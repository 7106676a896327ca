// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/mesh/mesh.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"
#include "render/text/text_graphic.h"

lua_State* tGirl::GenerateThread() { return nullptr; }
int tGirl::lf_StartProc(dfLua&) { return 0; }
void tGirl::RunScript(int) {}
void tGirl::ResumeHelper(int) {}
int tGirl::IsTimeToRunScript() { return 0; }
void tGirl::Signal() {}
int tGirl::lf_WalkTo(dfLua&) { return 0; }
int tGirl::lf_Spawn(dfLua&) { return 0; }
void tGirl::ForgetActor(const tGirl*) {}
