// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "game/world/mesh/mesh.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"
#include "render/text/text_graphic.h"

void tGirl::Update() { ++mTickCount; }
void tGirl::SetFinalTarget(const tVector2<float>& p, const str& n) { mFinalTarget = p; mTargetName = n; mFinalTargetWasOutside = false; }
void tGirl::ComputePathToTarget() {}
void tGirl::WalkToTarget() {}
void tGirl::UpdateFacing() {}
void tGirl::MoveAndCollide() {}
void tGirl::WalkToXY(const tVector2<float>&) {}
void tGirl::StopWalking() {}
void tGirl::JumpToPoint(const tVector2<float>& p) { mPosition = mImmediateTarget = mFinalTarget = p; }
void tGirl::JumpToNamedPoint(const str&) {}
bool tGirl::AtTarget() const { return mPosition.x == mFinalTarget.x && mPosition.y == mFinalTarget.y; }
void tGirl::SetDesiredFacing(int d) { mDesiredFacing = DIR(d); }
void tGirl::SetDesiredAngle(float a) { mAngle = a; }
void tGirl::SetFacingImmediate(int d) { mFacing = mDesiredFacing = DIR(d); }
void tGirl::SetFacingByActor(tGirl*) {}
void tGirl::SetWalkSpeed(float s) { mWalkSpeed = s; }
float tGirl::GetWalkSpeed() const { return mWalkSpeed; }
tVector2<float> tGirl::GetZoneWalkToPoint() const { return mPosition; }
bool tGirl::HasZoneWalkToPoint(tVector2<float>*) const { return false; }
bool tGirl::GetZonePoint(const str&, tVector2<float>*) const { return false; }
bool tGirl::GetPolyName(str*) const { return false; }
tVector2<float> tGirl::GetScreenPosition() const { return mPosition; }
int tGirl::OnMouseDown(const TPoint&) { mClicked = true; return 0; }
void tGirl::OnMouseMove(const TPoint&) {}
int tGirl::CallOnClick(tGirl*, tGirl*) { return 0; }
void tGirl::CallPointAtFn(bool) {}
void tGirl::SetPointAtCursor(const str& n, const tVector2<float>& p) { mPointAtCursor = n; mPointAtHotspot = p; }
