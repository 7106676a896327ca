// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "core/script/script.h"
#include "online/web/flash_host.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"
#include "render/text/text_graphic.h"

void tScene::Update() {}
void tScene::UpdateMouseCursor() {}
bool tScene::OnMouseDown(const TPoint&) { return true; }
bool tScene::OnMouseMove(const TPoint&) { return true; }
void tScene::ChainTo(const str& n) { mChainTo = n; }
void tScene::ChainToSubScene(const str& n) { mChainToSubScene = n; }
void tScene::DoPopup(const str& i, const str& t, const str& b) { mPopup = {i, t, b}; mPopupPending = true; }
void tScene::GameOver() { mGameOver = true; }
void tScene::ReturnFromScene() {}
void tScene::StartFlash(const str&) {}
void tScene::DumpFlash() { mFlash.reset(); }
tGirl* tScene::GetActorByName(const char* n) const { return GetActorByName(str(n ? n : "")); }
tGirl* tScene::GetActorByName(const str& n) const { for (auto& a : mActors) if (a && a->GetName() == n) return a.get(); return nullptr; }
void tScene::DepthSortActors() {}
void tScene::DumpActors() { mActors.clear(); mCameraActor = mPointedActor = mConversationPartner = nullptr; }
bool tScene::InFollowClicksMode() const { return false; }
bool tScene::AnyWaitingForClick() const { return false; }
tGirl* tScene::CheckWorldPoint(const tVector2<float>&) const { return nullptr; }
bool tScene::HasActor(const tGirl* g) const { for (auto& a : mActors) if (a.get() == g) return g != nullptr; return false; }
void tScene::SetConversationMode(bool on, tGirl* p) { mConversationMode = on; mConversationPartner = p; }
void tScene::ChoiceClicked() {}
bool tScene::IsBGConversationAborted() const { return mBGConversationAborted; }
void tScene::AbortBGConversation(bool b) { mBGConversationAborted = b; }
void tScene::DumpScene() { DumpActors(); }
void tScene::AdjustBGVoxAlpha(float) {}
float GetBGVoxAlpha() { return 1; }
bool InUseMode() { return false; }
void GenerateClickSound(int) {}
