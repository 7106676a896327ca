#pragma once
// A sprite that draws its actor's particle effect where it stands in the sprite tree, so an
// effect with a depth is drawn among the other sprites at that depth. The actor detaches it
// (SetActor(nullptr)) before the effect or the actor goes away.

#include "render/sprite/sprite.h"

#include <memory>

class tGirl;

class TPartySprite : public TSprite
{
    TV_SPRITE_CLASS(TPartySprite, TSprite)

public:
    static std::shared_ptr<TPartySprite> Create(tGirl* actor, int depth);

    // The spec is not used: the effect places itself.
    void Draw(const TDrawSpec& spec, int depth) override;
    tGirl* GetActor() const { return mActor; }
    void SetActor(tGirl* actor) { mActor = actor; }

protected:
    TPartySprite(tGirl* actor, int depth) : TSprite(depth), mActor(actor) {}

private:
    tGirl* mActor;
};
