// The particle system's life: loading descriptions, creating particles into a fixed pool,
// updating through the script, and the shared-script mode.

#include "particle_test_fixture.h"

#include "../support/particle_test_support.h"

#include "core/script/script.h"

#include <lua.h>

namespace {

using ParticleSystem = ParticleTest;

TEST_F(ParticleSystem, CreateParticlesCarriesFractionsAndStopsAtAFullPool)
{
    mSystem = Load("SetNumParticles(3)\npScale:Init(fOpenCycle(0, 10, 10))\n");
    mSystem->CreateParticles(0.5f);
    EXPECT_EQ(mSystem->GetParticleCount(), 0);
    mSystem->CreateParticles(0.5f);
    EXPECT_EQ(mSystem->GetParticleCount(), 1);
    mSystem->CreateParticles(2.75f);
    EXPECT_EQ(mSystem->GetParticleCount(), 3);
    // Newest first, each started from the renderer's prototype.
    EXPECT_EQ(Particle(0)[4], 2);
    EXPECT_EQ(Particle(2)[4], 0);
    EXPECT_EQ(Particle(0)[3], -1);
    EXPECT_EQ(Particle(0)[8], 1);
    // Full: a unit is spent without a particle, the rest stays owed.
    mSystem->CreateParticles(1);
    EXPECT_EQ(mSystem->GetParticleCount(), 3);
    EXPECT_EQ(mSystem->GetCollection().Free().size(), 0u);
}

TEST_F(ParticleSystem, AnEmptyPoolNeverMakesParticles)
{
    mSystem = Load("SetNumParticles(0)\n");
    mSystem->CreateParticles(5);
    EXPECT_EQ(mSystem->GetParticleCount(), 0);
    auto unsized = Load("pScale:Init(2)\n");
    unsized->CreateParticles(5);
    EXPECT_EQ(unsized->GetParticleCount(), 0);
}

TEST_F(ParticleSystem, UpdateRunsTheScriptThenAnimatesAndDoneEndsIt)
{
    mSystem = Load("SetNumParticles(10)\n"
                   "pPosition:Anim(pPosition + fTimeScale(Vec2(100, 0)))\n"
                   "total = 0\n"
                   "function Update(seconds)\n"
                   "  total = total + seconds\n"
                   "  CreateParticles(1)\n"
                   "  if GetParticleCount() >= 3 then Done() end\n"
                   "end\n");
    EXPECT_FALSE(mSystem->IsDone());
    mSystem->Update(16);
    EXPECT_DOUBLE_EQ(GlobalNumber(*mSystem, "total"), 0.016);
    mSystem->Update(16);
    mSystem->Update(16);
    EXPECT_TRUE(mSystem->IsDone());
    ASSERT_EQ(mSystem->GetParticleCount(), 3);
    // The newest was created and then moved once, the oldest three times.
    EXPECT_FLOAT_EQ(Particle(0)[0], 1.6f);
    EXPECT_FLOAT_EQ(Particle(2)[0], 4.8f);
}

TEST_F(ParticleSystem, GeneratorsAndTimeoutsFromTheLibrary)
{
    mSystem = Load("gen = NewParticleGenerator()\n"
                   "a = gen(50, 16) b = gen(50, 16) c = gen(50, 16)\n"
                   "zero = ParticlesPerSecond(0, 100)\n"
                   "t = NewTimeout(0.02)\n"
                   "t1 = t(0.016) and 1 or 0  t2 = t(0.016) and 1 or 0  t3 = t(0.016) and 1 or 0\n"
                   "blend = kBlendAdditiveAlpha\n"
                   "SetBlendMode(kBlendSubtractive)\n");
    EXPECT_EQ(GlobalNumber(*mSystem, "a"), 0);
    EXPECT_EQ(GlobalNumber(*mSystem, "b"), 1);
    EXPECT_EQ(GlobalNumber(*mSystem, "c"), 1);
    EXPECT_EQ(GlobalNumber(*mSystem, "zero"), 0);
    EXPECT_EQ(GlobalNumber(*mSystem, "t1"), 0);
    EXPECT_EQ(GlobalNumber(*mSystem, "t2"), 0);
    EXPECT_EQ(GlobalNumber(*mSystem, "t3"), 1);
    EXPECT_EQ(GlobalNumber(*mSystem, "blend"), 2);
}

TEST_F(ParticleSystem, GravityAndSpawn)
{
    mSystem = Load("SetUpGravity(1000)\nSetNumParticles(4)\n"
                   "made = 0\nfunction Create() made = made + 1 end\nSpawn(2)\n");
    EXPECT_EQ(GlobalNumber(*mSystem, "made"), 1);
    EXPECT_EQ(mSystem->GetParticleCount(), 2);
    mSystem->Update(10);
    EXPECT_FLOAT_EQ(Particle(0)[11], 10);  // pVelocity.y after 10 ms of 1000 px/s²
}

TEST_F(ParticleSystem, DescriptionFilesLoadAndMissingOnesLeaveTheSystemEmpty)
{
    TParticleTempAssets assets;
    assets.Write("fx/sparks.lua", "SetNumParticles(2)\npScale:Init(3)\n"
                                  "function Update(s) CreateParticles(1) end\n");
    TLuaParticleSystem s;
    ASSERT_TRUE(s.Init("fx/sparks.lua"));
    s.Update(16);
    ASSERT_EQ(s.GetParticleCount(), 1);
    EXPECT_EQ(s.GetCollection().Live().front()[4], 3);

    TLogCapture log;
    TLuaParticleSystem missing;
    EXPECT_FALSE(missing.Init("fx/nothing.lua"));
    missing.Update(16);
    EXPECT_EQ(missing.GetParticleCount(), 0);
    EXPECT_FALSE(missing.IsDone());
    EXPECT_NE(log.Text().find("fx/nothing.lua"), std::string::npos);
}

TEST_F(ParticleSystem, SharedScriptModeKeepsEachSystemsUpdateApart)
{
    TConfig::SetConfig("lpsonescript", "1");
    auto a = Load("SetNumParticles(5)\nfunction Update(s) CreateParticles(1) end\n");
    auto b = Load("SetNumParticles(5)\nfunction Update(s) CreateParticles(2) Done() end\n");
    EXPECT_EQ(a->GetScript(), b->GetScript());
    EXPECT_NE(a->GetSystemNumber(), b->GetSystemNumber());
    a->Update(16);
    b->Update(16);
    a->Update(16);
    EXPECT_EQ(a->GetParticleCount(), 2);
    EXPECT_EQ(b->GetParticleCount(), 2);
    EXPECT_FALSE(a->IsDone());
    EXPECT_TRUE(b->IsDone());
    // The state outlives a system that leaves it; the other keeps its own Update.
    b.reset();
    a->Update(16);
    EXPECT_EQ(a->GetParticleCount(), 3);
    auto c = Load("SetNumParticles(1)\n");
    EXPECT_EQ(c->GetScript(), a->GetScript());
}

TEST_F(ParticleSystem, WithoutSharedModeEachSystemHasItsOwnState)
{
    auto a = Load("x = 1\n");
    auto b = Load("x = 2\n");
    EXPECT_NE(a->GetScript(), b->GetScript());
    EXPECT_EQ(GlobalNumber(*a, "x"), 1);
    EXPECT_EQ(GlobalNumber(*b, "x"), 2);
}

}  // namespace
