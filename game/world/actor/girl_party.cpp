#include "game/world/actor/girl.h"

#include "core/script/script.h"
#include "game/script/df_log.h"
#include "game/world/actor/emitter_locus.h"
#include "game/world/actor/party_sprite.h"
#include "game/world/scene/scene.h"
#include "particles/machine/lua_particle_system.h"
#include "render/anim/animated_sprite.h"

namespace {

// Writes the actor's emitter position and scale into the shared data sources; the position.
tVector2<float> PlaceEmitters(const tGirl& actor)
{
    const tVector2<float> scale = actor.GetEffectiveScale();
    const tVector2<float> offset = actor.GetPartyOffset();
    const tVector2<float> position = actor.GetPosition();
    const tVector2<float> locus(position.x + offset.x * scale.x, position.y + offset.y * scale.y);
    gEmitterLocus.mValue = TVec2(locus.x, locus.y);
    gEmitterScale.mValue = TVec2(scale.x, scale.y);
    return locus;
}

}  // namespace

void tGirl::LoadPartyDepth(const str& file, int depth)
{
    DumpParty();
    auto party = std::make_unique<TLuaParticleSystem>();
    dfLua lua(party->GetScript()->GetState());
    PrepareLuaEnvironment(lua);
    party->RegisterFunction(gEmitterLocus.GetTypeName(), &TEmitterLocusDynamicCreate);
    party->RegisterDataSource("dLocus", &gEmitterLocus);
    party->RegisterDataSource("dScale", &gEmitterScale);
    const str path = mScene ? mScene->ComputeAssetName(file) : file;
    // An effect that did not load would never end, and ON_PARTY waits would hang on it.
    if (!party->Init(path)) {
        LOGIT("tGirl[%s]::LoadParty(%s) failed\n", mName.c_str(), path.c_str());
        return;
    }
    mParty = std::move(party);
    mPartyDepth = depth;
    if (depth == 0)
        return;
    mPartySprite = TPartySprite::Create(this, depth);
    if (!HangPartySprite())
        LOGIT("tGirl[%s]::LoadParty(%s) has no sprite to draw in\n", mName.c_str(), path.c_str());
}

bool tGirl::HangPartySprite()
{
    if (!mPartySprite)
        return false;
    std::shared_ptr<TSprite> holder = mImageSprite;
    if (!holder)
        holder = mAnimSprite;
    if (!holder)
        holder = GetSceneSpriteHolder();
    if (TSprite* parent = mPartySprite->GetParent()) {
        if (parent == holder.get())
            return true;
        parent->RemoveChild(mPartySprite);
    }
    if (!holder)
        return false;
    holder->AddChild(mPartySprite);
    return true;
}

void tGirl::DumpParty()
{
    mParty.reset();
    if (!mPartySprite)
        return;
    mPartySprite->SetActor(nullptr);
    if (TSprite* parent = mPartySprite->GetParent())
        parent->RemoveChild(mPartySprite);
    mPartySprite.reset();
}

bool tGirl::IsPartyDone() const
{
    return !mParty || mParty->IsDone();
}

void tGirl::UpdateParty(int ms)
{
    if (!mParty)
        return;
    PlaceEmitters(*this);
    mParty->Update(ms);
}

void tGirl::DrawParty()
{
    if (!mParty)
        return;
    const tVector2<float> locus = PlaceEmitters(*this);
    // A new-style effect places its particles in the world from dLocus itself.
    tVector2<float> at = (mFlags & AFLAG_NEW_PARTY) ? tVector2<float>(0, 0) : locus;
    if (!(mFlags & AFLAG_FIXED_SCREEN) && mScene)
        at = mScene->ScreenFromWorld(at);
    mParty->Draw(TVec3(at.x, at.y, 0));
}
