// The particle functions as particles see them: each expression is run in a new particle's
// init stream (or its animation stream) and the member it was assigned to is read back.

#include "particle_test_fixture.h"

#include "../support/particle_test_support.h"

#include <cmath>
#include <set>

namespace {

using ParticleFunctions = ParticleTest;

TEST_F(ParticleFunctions, ConstantsMembersAndArithmetic)
{
    EXPECT_EQ(Value("3"), Floats({3}));
    EXPECT_EQ(Value("Color(1, 2, 3, 4)"), Floats({1, 2, 3, 4}));
    EXPECT_EQ(Value("pUp"), Floats({0, -1}));
    EXPECT_EQ(Value("Vec2(1, 2) + Vec2(10, 20)"), Floats({11, 22}));
    EXPECT_EQ(Value("Vec3(1, 2, 3) - Vec3(1, 1, 1)"), Floats({0, 1, 2}));
    EXPECT_EQ(Value("Vec2(3, 4) * 2"), Floats({6, 8}));
    EXPECT_EQ(Value("Vec2(3, 4) / 2"), Floats({1.5f, 2}));
    EXPECT_EQ(Value("-Vec2(3, -4)"), Floats({-3, 4}));
    EXPECT_EQ(Value("fDistance(Vec2(1, 1), Vec2(4, 5))"), Floats({5}));
    EXPECT_EQ(Value("fVec(1, 2, 3)"), Floats({1, 2, 3}));
    EXPECT_EQ(Value("fAlpha(Color(1, 0.5, 0, 1), 0.25)"), Floats({1, 0.5f, 0, 0.25f}));
    EXPECT_EQ(Value("fLess(1, 2)"), Floats({1}));
    EXPECT_EQ(Value("fLessEqual(2, 2)"), Floats({1}));
    EXPECT_EQ(Value("fGreater(1, 2)"), Floats({0}));
    EXPECT_EQ(Value("fGreaterEqual(2, 2)"), Floats({1}));
    const std::vector<float> up = Value("f2dRotation(0)");
    EXPECT_FLOAT_EQ(up[0], 1);
    EXPECT_NEAR(up[1], 0, 1e-6);
}

TEST_F(ParticleFunctions, ArgumentsThatDoNotFitStopTheStream)
{
    // The multiplier must be one number on the right.
    EXPECT_EQ(Made("pPosition:Init(Vec2(1, 2))\npOut:Init(pPosition * 2)\n"), Floats({2, 4}));
    EXPECT_EQ(Made("pPosition:Init(Vec2(1, 2))\npOut:Init(pPosition * Vec2(2, 3))\n"), Floats({}));
    EXPECT_EQ(Made("pPosition:Init(Vec2(1, 2))\npOut:Init(2 * pPosition)\n"), Floats({}));
    EXPECT_EQ(Made("pPosition:Init(Vec2(1, 2))\npOut:Init(pPosition + Vec2(2, 3))\n"), Floats({3, 5}));
    // Five scalars do not make a vector; nothing after it runs either.
    EXPECT_EQ(Made("pOut:Init(fVec(1, 2, 3, 4, 5))\npMark:Init(1)\n"), Floats({}));
    EXPECT_EQ(mSystem->GetCollection().Live().front()[15], 0.0f);
    EXPECT_EQ(Value("fRange(Vec2(1, 2), 3)"), Floats({}));
    EXPECT_EQ(Value("fAlpha(Vec2(1, 2), 1)"), Floats({}));
    EXPECT_EQ(Value("fLess(Vec2(1, 2), 3)"), Floats({}));
    EXPECT_EQ(Value("f2dRotation(Vec2(1, 2))"), Floats({}));
    EXPECT_EQ(Value("fPick()"), Floats({}));
}

TEST_F(ParticleFunctions, ShortSecondOperandReadsAsZeroNotAsStaleStack)
{
    // Vec2(99, 99)[1] leaves a stale 99 just past its own float; the sum must not read it.
    EXPECT_EQ(Value("Vec2(1, 2) + Vec2(99, 99)[1]"), Floats({100, 2}));
    EXPECT_EQ(Value("fDistance(Vec2(3, 4), 0)"), Floats({5}));
}

TEST_F(ParticleFunctions, FadeWalksItsDurations)
{
    EXPECT_EQ(Value("fFade(-1, 10, 1, 20)"), Floats({10}));
    EXPECT_EQ(Value("fFade(0.5, 10, 1, 20)"), Floats({15}));
    EXPECT_EQ(Value("fFade(5, 10, 1, 20)"), Floats({20}));
    EXPECT_EQ(Value("fFade(1.5, 10, 1, 20, 2, 40)"), Floats({25}));
    EXPECT_EQ(Value("fFade(0.25, Vec2(0, 100), 1, Vec2(4, 200))"), Floats({1, 125}));
    EXPECT_EQ(Value("fFade(3, 10)"), Floats({10}));
    EXPECT_EQ(Value("fFade(3, 10, 1)"), Floats({10}));
    // A trailing duration holds the last value once the others have passed.
    EXPECT_EQ(Value("fFade(0.5, 10, 1, 20, 1)"), Floats({15}));
    EXPECT_EQ(Value("fFade(9, 10, 1, 20, 1)"), Floats({20}));
    // Values of another size than the first, or durations that are not numbers, do not fit.
    EXPECT_EQ(Value("fFade(0.5, 10, 1, Vec2(1, 2))"), Floats({}));
    EXPECT_EQ(Value("fFade(0.5, 10, Vec2(1, 1), 20)"), Floats({}));
}

TEST_F(ParticleFunctions, CyclesStepParticleAfterParticle)
{
    Made("pOut:Init(fOpenCycle(0, 10, 5))\npK:Init(fClosedCycle(0, 10, 5))\n");
    mSystem->CreateParticles(5);
    // Newest first: the first particle made is the last in the list.
    std::vector<float> open, closed;
    for (size_t i = 6; i-- > 0;) {
        open.push_back(Out(i)[0]);
        closed.push_back(Particle(i)[14]);
    }
    EXPECT_EQ(open, (std::vector<float>{0, 2, 4, 6, 8, 0}));
    EXPECT_EQ(closed, (std::vector<float>{0, 2.5f, 5, 7.5f, 10, 0}));
}

TEST_F(ParticleFunctions, PickAndRangeStayWithinTheirArguments)
{
    Made("pOut:Init(fPick(1, 2, 3))\npK:Init(fRange(10, 20))\n");
    mSystem->CreateParticles(7);
    std::set<float> picked;
    for (size_t i = 0; i < 8; ++i) {
        picked.insert(Out(i)[0]);
        EXPECT_EQ(Out(i)[1], kUntouched);
        EXPECT_GE(Particle(i)[14], 10);
        EXPECT_LT(Particle(i)[14], 20);
    }
    for (float v : picked)
        EXPECT_TRUE(v == 1 || v == 2 || v == 3) << v;
    EXPECT_GE(picked.size(), 2u);
    // A picked vector keeps its own size.
    EXPECT_EQ(Value("fPick(Vec3(1, 2, 3))"), Floats({1, 2, 3}));
    const std::vector<float> r = Value("f2dRadius(2)");
    EXPECT_NEAR(std::hypot(r[0], r[1]), 2.0, 1e-5);
    EXPECT_EQ(r[2], kUntouched);
}

TEST_F(ParticleFunctions, AgeAndTimeScaleFollowTheStep)
{
    mSystem = Load("pOut = Allocate(4)\nSetNumParticles(2)\n"
                   "pOut:Init(fVec(fAge(), 5))\n"
                   "pOut:Anim(fTimeScale(Vec3(1000, 500, 0)) + Vec3(0, 0, 1) * fAge())\n");
    mSystem->CreateParticles(1);
    EXPECT_EQ(Out(0), (std::vector<float>{0, 5, 0, 0}));
    mSystem->Update(16);
    EXPECT_EQ(Out(0), (std::vector<float>{16, 8, 16, 0}));
}

TEST_F(ParticleFunctions, ExpireRemovesOnlyAfterTheAnimationStream)
{
    mSystem = Load("pOut = Allocate(4)\npK = Allocate(1)\nSetNumParticles(4)\n"
                   "Init(fExpire(1))\n"
                   "pK:Anim(pK + 1)\n"
                   "Anim(fExpire(fLess(2, pK)))\n"
                   "pOut:Anim(pOut + 100)\n");
    mSystem->CreateParticles(1);
    ASSERT_EQ(mSystem->GetParticleCount(), 1);  // expiry in the init stream does nothing
    mSystem->Update(16);
    mSystem->Update(16);
    EXPECT_EQ(Out(0)[0], 200);
    mSystem->Update(16);
    // The third step expires it, and the stream still ran to its end.
    EXPECT_EQ(mSystem->GetParticleCount(), 0);
    EXPECT_EQ(mSystem->GetCollection().Free().front()[10], 300);
    // fExpire(0) keeps it and gives 0.
    EXPECT_EQ(Value("fExpire(0)"), Floats({0}));
    EXPECT_EQ(mSystem->GetParticleCount(), 1);
}

TEST_F(ParticleFunctions, IndexingMembersVectorsAndDataSources)
{
    TFailureRecorder failures;
    EXPECT_EQ(Value("pColor[4]"), Floats({1}));
    EXPECT_EQ(Value("fVec(1, 2, 3)[2]"), Floats({2}));
    EXPECT_EQ(Value("fVec(1, 2, 3)[4]"), Floats({}));
    EXPECT_EQ(Value("fVec(1, 2, 3)[0]"), Floats({}));
    // member[5] of a 4-float member reads the next member.
    EXPECT_EQ(Made("pK:Init(42)\npOut:Init(pOut[5])\n"), Floats({42}));
    EXPECT_TRUE(failures.mMessages.empty());

    // Past the particle's last float: reported, nothing pushed, the stream goes on.
    mSystem = Load("pTail = Allocate(4)\nSetNumParticles(1)\nInit(pTail[5])\npTail:Init(Vec2(8, 9))\n");
    mSystem->CreateParticles(1);
    ASSERT_EQ(failures.mMessages.size(), 1u);
    EXPECT_EQ(failures.mMessages[0], "Out of range parameter index [5]");
    EXPECT_EQ(failures.mLines[0], 607);
    EXPECT_EQ(failures.mFiles[0], "luaparticlesystem");
    EXPECT_EQ(Particle(0)[10], 8);
    // An index of 0 lies before the member: refused the same way, never read.
    Value("pColor[0]");
    ASSERT_EQ(failures.mMessages.size(), 2u);
    EXPECT_EQ(failures.mMessages[1], "Out of range parameter index [0]");

    struct TLocus : TParticleFunction
    {
        uint8_t GetReturnSize(int, const uint8_t*) const override { return 2; }
        bool Process(TParticleState&, TParticleMachineState& m) override
        {
            const float v[2] = {400, 300};
            return m.Push(v, 2);
        }
    } locus;
    mSystem = std::make_unique<TLuaParticleSystem>();
    mSystem->RegisterDataSource("dLocus", &locus);
    ASSERT_TRUE(mSystem->Init("pOut = Allocate(4)\nSetNumParticles(1)\npOut:Init(Color(-7, -7, -7, -7))\n"
                              "pOut:Init(fVec(dLocus[2], dLocus[3], dLocus))\n"));
    mSystem->CreateParticles(1);
    EXPECT_EQ(Out(0), (std::vector<float>{300, 0, 400, -7}));
    ASSERT_EQ(failures.mMessages.size(), 3u);
    EXPECT_EQ(failures.mMessages[2], "Out of range parameter index [3] when indexing dLocus");
    EXPECT_EQ(failures.mLines[2], 581);
    mSystem.reset();
}

TEST_F(ParticleFunctions, NewIndexWritesInsideTheParticleOnly)
{
    EXPECT_EQ(Made("Init(CreateValue('newindex', {10, 3, 6}))\n"), Floats({-7, -7, 6, -7}));
    EXPECT_EQ(Made("Init(CreateValue('newindex', {10, 7, 6}))\npMark:Init(1)\n"), Floats({}));
    EXPECT_EQ(mSystem->GetCollection().Live().front()[15], 0.0f);
    EXPECT_EQ(Made("Init(CreateValue('newindex', {-1, 1, 6}))\n"), Floats({}));
}

TEST_F(ParticleFunctions, DebugWritesEveryArgument)
{
    TLogCapture log;
    Value("fDebug(1, Vec2(2, 3))");
    EXPECT_NE(log.Text().find("Particle Values: (1.000000)(2.000000,3.000000)"), std::string::npos);
}

TEST_F(ParticleFunctions, FalseStopsOnlyItsOwnParticleForThatRun)
{
    mSystem = Load("pOut = Allocate(4)\npK = Allocate(1)\npMark = Allocate(1)\nSetNumParticles(4)\n"
                   "pK:Init(fOpenCycle(10, -30, 2))\n"          // first particle 10, second -10
                   "Anim(CreateValue('assign', {7, pK, 1}))\n"  // refused for a negative base
                   "pMark:Anim(pMark + 1)\n");
    mSystem->CreateParticles(2);
    mSystem->Update(16);
    mSystem->Update(16);
    ASSERT_EQ(mSystem->GetParticleCount(), 2);
    const float* second = Particle(0);
    const float* first = Particle(1);
    EXPECT_EQ(first[14], 10);
    EXPECT_EQ(first[10], 7);
    EXPECT_EQ(first[15], 2);
    EXPECT_EQ(second[14], -10);
    EXPECT_EQ(second[15], 0);
}

}  // namespace
