// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "core/script/script.h"
#include "online/web/flash_host.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"
#include "render/text/text_graphic.h"

void tScene::SetCameraPosition(const tVector2<float>& p) { mCamera = p; }
tVector2<float> tScene::WorldFromScreen(const TPoint& p) const { return {float(p.x) + mCamera.x, float(p.y) + mCamera.y}; }
tVector2<float> tScene::ScreenFromWorld(const tVector2<float>& p) const { return {p.x - mCamera.x, p.y - mCamera.y}; }
bool tScene::IsFadeDone() const { return false; }
void tScene::SetRoomScale(float a, float b, float c, float d) { mRoomNearY = a; mRoomFarY = b; mRoomNearScale = c; mRoomFarScale = d; }
float tScene::ComputeRoomScale(float) const { return 1; }
void tScene::SetTextBoundsXY(int, int) {}
void tScene::SetSaySpec(const tTextSpec& s) { mSaySpec = s; }
void tScene::ModifySaySpec(dfLua&, int) {}
void tScene::Draw() {}
void tScene::DrawOverHud() {}
void tScene::DrawFade() {}
void tScene::UpdateFade() {}
void tScene::UpdateVolume() {}
void tScene::GenerateFloatText(const TPoint&) {}
void tScene::AssignFloatText(const str&, const TPoint&, const TColor*, const TColor*) {}
void tScene::PositionFloatText(const TPoint&) {}
void tScene::ExternalDumpFloatText() { mFloatText.reset(); }
