#include "core/platform/platform.h"
#include "game/script/best_ref.h"
#include "game/script/df_log.h"
#include "game/world/actor/actor_colour.h"
#include "game/world/actor/anim_choice.h"
#include "game/world/actor/depth_mode.h"
#include "game/world/actor/girl.h"
#include "game/world/common/debug_flags.h"
#include "game/world/common/game_clock.h"
#include "game/world/common/walk_speed.h"
#include "game/world/mesh/mesh.h"
#include "game/world/scene/scene.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/sprite_script.h"
#include "render/text/text_graphic.h"

#include <lua.h>

namespace {

str SceneAsset(const tScene* scene, const str& name)
{
    return scene ? scene->ComputeAssetName(name) : name;
}

// Takes a sprite out of whichever holder shows it.
void Unhold(const std::shared_ptr<TSprite>& sprite)
{
    if (sprite && sprite->GetParent())
        sprite->GetParent()->RemoveChild(sprite);
}

void Hold(const std::shared_ptr<TSprite>& holder, const std::shared_ptr<TSprite>& sprite)
{
    if (holder && sprite)
        holder->AddChild(sprite);
}

// A draw spec at `at` scaled by `scale`, in `colour`.
TDrawSpec PlacedSpec(const tVector2<float>& at, const tVector2<float>& scale, const TColor& colour, uint32_t flags)
{
    TDrawSpec spec;
    spec.matrix.Scale(scale.x, scale.y);
    spec.matrix[2] = TVec3(at.x, at.y, 1);
    spec.color = colour;
    spec.flags = flags;
    return spec;
}

}  // namespace

tGirl::~tGirl()
{
    DumpZone();
    DumpParty();
    Unhold(mImageSprite);
    Unhold(mAnimSprite);
    mText.reset();
    AssignScriptThread(nullptr);
}

void tGirl::Draw()
{
    if (mZone)
        PlaceZone();
    DrawTextA();
    if (mZone && debugflag[0] && TPlatform::IsEnabled(TPlatform::kCheatMode)) {
        // A fixed zone lies in the world already; a relative one follows the actor.
        const tVector2<float> camera = mScene ? mScene->GetCameraPosition() : tVector2<float>();
        mZone->Draw((mFlags & AFLAG_FIXED_HALO) ? tVector2<float>() - camera : mPosition - camera);
    }
}

void tGirl::PlaceZone() const
{
    const tVector2<float> offset = tVector2<float>() - mHotspot;
    const tVector2<float> scale = GetEffectiveScale();
    if (mZone->GetOffset() != offset)
        mZone->AssignOffset(offset);
    if (mZone->GetScale() != scale)
        mZone->AssignScale(scale);
}

void tGirl::LoadImage(const str& name)
{
    LoadImageSprite(name);
    HangPartySprite();
}

void tGirl::LoadImageSprite(const str& name)
{
    Unhold(mImageSprite);
    mImageSprite.reset();
    if (name.empty())
        return;
    if (mScene && mScene->HasAtlasTexture(name)) {
        Unhold(mAnimSprite);
        mAnimSprite = TAnimatedSprite::Create(mDepthValue);
        mAnimSprite->SetClock(GameClock());
        mScene->AssignAtlasTexture(mAnimSprite, name);
        Hold(GetSceneSpriteHolder(), mAnimSprite);
        mCurrentAnimFile = name;
        return;
    }
    std::shared_ptr<TTexture> texture = BestRef(SceneAsset(mScene, name), "");
    if (!texture) {
        LOGIT("tGirl::LoadImage(%s) failed to find image\n", name.c_str());
        return;
    }
    mImageSprite = TSprite::Create(mDepthValue, texture);
    mImageSprite->mSpec = TDrawSpec(TVec2(0, 0), 1, 1, 0);
    Hold(GetSceneSpriteHolder(), mImageSprite);
}

void tGirl::RegisterAnimFile(const str& file)
{
    if (::RegisterAnimFile(mAnimNames, SceneAsset(mScene, file)))
        mCurrentAnimFile = str();
}

void tGirl::RegisterAnimFileFromLua(dfLua& lua)
{
    lua_State* L = lua.GetState();
    if (!L || lua_gettop(L) < 1)
        return;
    if (lua_type(L, -1) == LUA_TSTRING) {
        const str file(lua_tostring(L, -1));
        lua_pop(L, 1);
        RegisterAnimFile(file);
        return;
    }
    if (lua_istable(L, -1)) {
        for (int i = 1;; ++i) {
            lua_rawgeti(L, -1, i);
            const str file(lua_isstring(L, -1) ? lua_tostring(L, -1) : "");
            lua_pop(L, 1);
            if (file.empty())
                break;
            RegisterAnimFile(file);
        }
    }
    lua_pop(L, 1);
}

void tGirl::UnregisterAnimFile(const str& file)
{
    const str resolved = SceneAsset(mScene, file);
    mAnimNames.Unregister(resolved);
    if (mCurrentAnimFile == resolved)
        mCurrentAnimFile = str();
}

void tGirl::CreateAnimatedSprite()
{
    if (mAnimSprite)
        return;
    mAnimSprite = TAnimatedSprite::Create(mDepthValue);
    mAnimSprite->SetClock(GameClock());
    Hold(GetSceneSpriteHolder(), mAnimSprite);
    HangPartySprite();
}

void tGirl::SelectAnimFile(const str& file)
{
    Unhold(mAnimSprite);
    mAnimSprite.reset();
    mCurrentAnimFile = str();
    if (file.empty()) {
        HangPartySprite();
        return;
    }
    CreateAnimatedSprite();
    const str resolved = SceneAsset(mScene, file);
    std::shared_ptr<TAnimatedTexture> texture = BestAnimatedRef(resolved);
    if (!texture) {
        LOGIT("tGirl::SelectAnimFile(%s) failed to find file\n", resolved.c_str());
        return;
    }
    mAnimSprite->SetTexture(texture);
    mCurrentAnimFile = resolved;
    mAnimSprite->mSpec = TDrawSpec(TVec2(mPosition.x, mPosition.y), 1, 1, 0);
}

bool tGirl::PlayAnim(const str& name)
{
    const bool here = !mCurrentAnimFile.empty() && TestAnim(mAnimSprite.get(), name);
    if (!here) {
        if (const str* file = mAnimNames.FileOf(name))
            SelectAnimFile(str(*file));
    }
    return PlayAnim_LL(name);
}

bool tGirl::PlayAnim_LL(const str& name)
{
    mXFlipped = false;
    return SafePlayAnim(mAnimSprite.get(), name);
}

bool tGirl::TestAnim(TAnimatedSprite* sprite, const str& name)
{
    TSpriteScript* script = sprite ? sprite->GetScript() : nullptr;
    if (!script || !script->GetState())
        return false;
    lua_State* L = script->GetState();
    lua_getglobal(L, name.c_str());
    const bool defined = !lua_isnil(L, -1);
    lua_pop(L, 1);
    return defined;
}

bool tGirl::SafePlayAnim(TAnimatedSprite* sprite, const str& name)
{
    if (!TestAnim(sprite, name))
        return false;
    lua_State* L = sprite->GetScript()->GetState();
    lua_pushnumber(L, RangedWalkSpeed());
    lua_setglobal(L, "walkspeed");
    lua_getglobal(L, "vtable");
    const bool prepared = !lua_isnil(L, -1);
    lua_pop(L, 1);
    if (!prepared) {
        dfLua lua(L);
        PrepareLuaEnvironment(lua);
    }
    sprite->Play(name);
    return true;
}

void tGirl::SetAppropriateAnim()
{
    if (!mAnimSprite)
        return;
    const tAnimChoice choice{mFacing, mAngle, mFlags, mMotion, mScene && mScene->IsConversationMode()};
    bool flipped = false;
    if (ChooseAnim(
            choice, [this](const str& name) { return PlayAnim(name); }, &flipped))
        mXFlipped = flipped;
}

bool tGirl::HasGraphics() const
{
    if (mImageSprite && mImageSprite->GetTexture())
        return true;
    return mAnimSprite && mAnimSprite->GetAnimatedTexture();
}

tVector2<float> tGirl::GetImageSize() const
{
    if (mImageSprite && mImageSprite->GetTexture()) {
        const std::shared_ptr<TTexture> texture = mImageSprite->GetTexture();
        return {float(texture->GetWidth()), float(texture->GetHeight())};
    }
    if (mAnimSprite && mAnimSprite->GetAnimatedTexture()) {
        const TRect frame = mAnimSprite->GetAnimatedTexture()->GetFrameRect(mAnimSprite->GetCurrentFrame());
        return {float(frame.right - frame.left), float(frame.bottom - frame.top)};
    }
    return {0, 0};
}

void tGirl::SetScale(float scale)
{
    mScaleX = mScaleY = scale;
}

float tGirl::GetBGScale() const
{
    if (!(mFlags & AFLAG_SCALE_BY_Y) || !mScene)
        return 1;
    return mScene->ComputeRoomScale(mPosition.y);
}

tVector2<float> tGirl::GetEffectiveScale() const
{
    const float bg = GetBGScale();
    return {mScaleX * bg, mScaleY * bg};
}

void tGirl::SetDepthMode(int mode)
{
    const std::shared_ptr<TSprite> oldHolder = GetSceneSpriteHolder();
    int depth = mDepthValue;
    ApplyDepthMode(mode, &depth);
    SetDepthValue(depth);
    mDepthMode = mode;
    const std::shared_ptr<TSprite> newHolder = GetSceneSpriteHolder();
    if (newHolder == oldHolder)
        return;
    const std::shared_ptr<TSprite> sprites[] = {mImageSprite, mAnimSprite};
    for (const std::shared_ptr<TSprite>& sprite : sprites) {
        if (!sprite)
            continue;
        if (oldHolder && sprite->GetParent() == oldHolder.get())
            oldHolder->RemoveChild(sprite);
        Hold(newHolder, sprite);
    }
    HangPartySprite();
}

void tGirl::SetDepthValue(int value)
{
    if (value != mDepthValue) {
        if (mScene)
            mScene->DepthSortNeeded();
        mDepthValue = value;
    }
    if (mImageSprite && mImageSprite->GetLayer() != value)
        mImageSprite->SetLayer(value);
    if (mAnimSprite && mAnimSprite->GetLayer() != value)
        mAnimSprite->SetLayer(value);
}

std::shared_ptr<TSprite> tGirl::GetSceneSpriteHolder() const
{
    if (!mScene)
        return nullptr;
    return mDepthMode == DEPTH_OVER_HUD ? mScene->GetOverHudHolder() : mScene->GetWorldHolder();
}

void tGirl::UpdateImage()
{
    const TColor32 light =
        (mFlags & AFLAG_USE_LIGHTMAP) && mScene ? mScene->GetLightmapPixel(mPosition) : TColor32(0xffffffffu);
    const TColor colour = ActorColour(mTint, mAlpha, mFlags, light);
    const tVector2<float> scale = GetEffectiveScale();
    if (mAnimSprite)
        mAnimSprite->mSpec = PlacedSpec(mPosition, scale, colour, mXFlipped ? TDrawSpec::kFlipH : 0);
    if (mImageSprite) {
        const uint32_t flags = (mXFlipped ? TDrawSpec::kFlipH : 0) | TDrawSpec::kUseCentre;
        mImageSprite->mSpec = PlacedSpec(mPosition - mHotspot, scale, colour, flags);
    }
}

void tGirl::AssignZone(tMesh* zone)
{
    mZone.reset(zone);
}

void tGirl::DumpZone()
{
    mZone.reset();
}

void tGirl::LoadZone(const str& name)
{
    auto zone = std::make_unique<tMesh>();
    zone->name = mName;
    const str base = SceneAsset(mScene, name);
    // A zone that does not load stays empty: nothing clicks the actor, and the log says why.
    if (zone->LoadVertlist(base + ".dverts") != 0 || zone->LoadPolylist(base + ".dmesh") != 0)
        LOGIT("tGirl[%s]::LoadZone(%s) failed\n", mName.c_str(), base.c_str());
    AssignZone(zone.release());
}
