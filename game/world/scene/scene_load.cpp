// STUB: replaced by the owner of this file.
#include "game/world/actor/girl.h"
#include "game/world/scene/scene.h"
#include "core/script/script.h"
#include "online/web/flash_host.h"
#include "render/anim/animated_texture.h"
#include "render/sprite/sprite.h"
#include "render/text/text_graphic.h"

bool tScene::LoadSceneByName(const str&, bool) { return false; }
str tScene::ComputeAssetName(const str& n) const { return mAssetFolder + n; }
void tScene::SetAssetPath(const str& p) { mAssetFolder = p; }
int tScene::LoadAtlas(const str&) { return 1; }
bool tScene::AddBGImage(const str&, int, int) { return false; }
int tScene::LoadLightmap(const str&) { return 0; }
TColor32 tScene::GetLightmapPixel(const tVector2<float>&) const { return TColor32(0xffffffffu); }
int tScene::LoadGround(const str&) { return 1; }
int tScene::LoadVerts(const str&) { return 1; }
int tScene::LoadMesh(const str&) { return 1; }
tGirl* tScene::Spawn(dfLua&, const tVector2<float>&) { return nullptr; }
int tScene::BareSpawn(dfLua&) { return 0; }
bool tScene::HasAtlasTexture(const str&) const { return false; }
bool tScene::AssignAtlasTexture(const std::shared_ptr<TAnimatedSprite>&, const str&) { return false; }
void tScene::ReloadTextures() {}
void PrepareLuaEnvironment(dfLua&) {}
void ValidateLua(dfLua&, const str&) {}
