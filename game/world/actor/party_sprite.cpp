#include "game/world/actor/party_sprite.h"

#include "game/world/actor/girl.h"

std::shared_ptr<TPartySprite> TPartySprite::Create(tGirl* actor, int depth)
{
    return std::shared_ptr<TPartySprite>(new TPartySprite(actor, depth));
}

void TPartySprite::Draw(const TDrawSpec&, int)
{
    if (mActor)
        mActor->DrawParty();
}
