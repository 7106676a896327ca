// An actor's particle effect: loading it, where it is emitted, when it is done, and the sprite
// that draws it at a depth.

#include "stage_fixture.h"

#include "core/files/file.h"
#include "game/world/actor/emitter_locus.h"
#include "game/world/actor/party_sprite.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/render/particle_collection.h"
#include "render/anim/animated_sprite.h"

#include <cstring>

namespace {

// Each update makes one particle at the emitter, scaled with the actor, and the effect ends
// once it has made two.
const char* const kSparks = "SetNumParticles(4)\n"
                            "pPosition:Init(dLocus)\n"
                            "pScale:Init(dScale[1])\n"
                            "function Update(s) CreateParticles(1) if GetParticleCount() >= 2 then Done() end end\n";

class ActorParty : public ::testing::Test
{
protected:
    void SetUp() override { TFile::AddMemoryFile("fx/sparks.lua", kSparks, unsigned(std::strlen(kSparks))); }
    void TearDown() override { TFile::AddMemoryFile("fx/sparks.lua", nullptr, 0); }
};

TEST_F(ActorParty, TheEffectIsEmittedAtTheScaledOffsetFromTheFeet)
{
    TestGirl hero;
    hero.JumpToPoint({100, 200});
    hero.SetScale(0.5f);
    hero.SetPartyOffset({0, -50});
    hero.LoadParty("fx/sparks.lua");
    ASSERT_TRUE(hero.HasParty());
    hero.UpdateParty(16);
    EXPECT_FLOAT_EQ(gEmitterLocus.mValue.x, 100);
    EXPECT_FLOAT_EQ(gEmitterLocus.mValue.y, 175);
    EXPECT_FLOAT_EQ(gEmitterScale.mValue.x, 0.5f);
    // The particle read the values through the data sources.
    ASSERT_EQ(hero.mParty->GetParticleCount(), 1);
    const float* particle = hero.mParty->GetCollection().Live().front();
    EXPECT_FLOAT_EQ(particle[0], 100);
    EXPECT_FLOAT_EQ(particle[1], 175);
}

TEST_F(ActorParty, DoneWithoutAnEffectOrWhenTheEffectEnds)
{
    TestGirl hero;
    EXPECT_TRUE(hero.IsPartyDone());
    hero.LoadParty("fx/sparks.lua");
    EXPECT_FALSE(hero.IsPartyDone());
    hero.UpdateParty(16);
    EXPECT_FALSE(hero.IsPartyDone());
    hero.UpdateParty(16);
    EXPECT_TRUE(hero.IsPartyDone());
    hero.DumpParty();
    EXPECT_FALSE(hero.HasParty());
    EXPECT_TRUE(hero.IsPartyDone());
}

TEST_F(ActorParty, AnEffectThatFailsToLoadLeavesNoneBehind)
{
    TestGirl hero;
    hero.SetName("hero");
    hero.LoadParty("fx/sparks.lua");
    TLogCapture log;
    hero.LoadParty("fx/missing.lua");
    EXPECT_NE(log.Text().find("tGirl[hero]::LoadParty(fx/missing.lua) failed"), std::string::npos);
    EXPECT_FALSE(hero.HasParty());
    EXPECT_TRUE(hero.IsPartyDone());
}

TEST_F(ActorParty, OnlyAnEffectWithADepthGetsASpriteWhichLeavesWithIt)
{
    for (const int depth : {0, 5, -3}) {
        TestGirl hero;
        hero.mAnimSprite = TAnimatedSprite::Create(600);
        hero.LoadPartyDepth("fx/sparks.lua", depth);
        EXPECT_EQ(hero.GetPartyDepth(), depth);
        if (depth == 0) {
            EXPECT_EQ(hero.mPartySprite, nullptr);
            EXPECT_TRUE(hero.mAnimSprite->GetChildren().empty());
            continue;
        }
        ASSERT_NE(hero.mPartySprite, nullptr) << depth;
        const std::shared_ptr<TPartySprite> sprite = hero.mPartySprite;
        EXPECT_EQ(sprite->GetParent(), hero.mAnimSprite.get()) << depth;
        EXPECT_EQ(sprite->GetLayer(), depth);
        EXPECT_EQ(sprite->GetActor(), &hero);
        // A new effect replaces the old one and its sprite.
        hero.LoadPartyDepth("fx/sparks.lua", depth);
        EXPECT_NE(hero.mPartySprite, sprite);
        EXPECT_EQ(sprite->GetParent(), nullptr);
        EXPECT_EQ(sprite->GetActor(), nullptr);
        EXPECT_EQ(hero.mAnimSprite->GetChildren().size(), 1u);
        hero.DumpParty();
        EXPECT_TRUE(hero.mAnimSprite->GetChildren().empty()) << depth;
    }
}

}  // namespace
