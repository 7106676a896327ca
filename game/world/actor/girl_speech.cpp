// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/mesh/mesh.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"
#include "render/text/text_graphic.h"

void tGirl::SayRawEx(const str&, int, bool) {}
void tGirl::SayID(const str&, int) {}
void tGirl::UpdateText() {}
void tGirl::StopTalk() {}
void tGirl::StopMouth() {}
void tGirl::SetSaySpec(const tTextSpec& s) { mSaySpec = s; }
int tGirl::ModifySaySpec(dfLua&) { return 0; }
int tGirl::OfferChoices(dfLua&) { return 0; }
void tGirl::DrawTextA() {}
