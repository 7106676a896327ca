// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/mesh/mesh.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"
#include "render/text/text_graphic.h"

tGirl::~tGirl() {}
void tGirl::Draw() {}
void tGirl::LoadImage(const str&) {}
void tGirl::RegisterAnimFile(const str&) {}
void tGirl::RegisterAnimFileFromLua(dfLua&) {}
void tGirl::UnregisterAnimFile(const str&) {}
void tGirl::SelectAnimFile(const str&) {}
void tGirl::CreateAnimatedSprite() {}
bool tGirl::PlayAnim(const str&) { return false; }
bool tGirl::PlayAnim_LL(const str&) { return false; }
bool tGirl::TestAnim(TAnimatedSprite*, const str&) { return false; }
bool tGirl::SafePlayAnim(TAnimatedSprite*, const str&) { return false; }
void tGirl::SetAppropriateAnim() {}
bool tGirl::HasGraphics() const { return false; }
tVector2<float> tGirl::GetImageSize() const { return {0, 0}; }
void tGirl::SetScale(float s) { mScaleX = mScaleY = s; }
float tGirl::GetBGScale() const { return 1; }
tVector2<float> tGirl::GetEffectiveScale() const { return {mScaleX, mScaleY}; }
void tGirl::SetDepthMode(int m) { mDepthMode = m; }
void tGirl::SetDepthValue(int v) { mDepthValue = v; }
std::shared_ptr<TSprite> tGirl::GetSceneSpriteHolder() const { return nullptr; }
void tGirl::UpdateImage() {}
void tGirl::AssignZone(tMesh* zone) { mZone.reset(zone); }
void tGirl::DumpZone() { mZone.reset(); }
void tGirl::LoadZone(const str&) {}
