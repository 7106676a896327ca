// What descriptions compile into: the exact instructions of the init and animation streams.

#include "particle_test_fixture.h"

#include "../support/particle_test_support.h"

#include "particles/machine/particle_functions.h"

namespace {

using ParticleCompile = ParticleTest;

TEST_F(ParticleCompile, RendererMembersComeFirstInTheirDeclaredOrder)
{
    auto s = Load("pVelocity = Allocate(2)");
    EXPECT_EQ(s->GetMemberSizes(), (std::vector<uint8_t>{2, 2, 1, 4, 1, 2}));
    EXPECT_EQ(s->GetParticleSize(), 12);
    EXPECT_TRUE(s->GetInitStream().empty());
    EXPECT_TRUE(s->GetAnimStream().empty());
}

TEST_F(ParticleCompile, MemberInitAndAnimCompileIntoAssignments)
{
    auto s = Load("RequireVelocity()\n"
                  "pPosition:Init(Vec2(1, 2))\n"
                  "pVelocity:Init(fRange(Vec2(-5, -5), Vec2(5, 5)))\n"
                  "pPosition:Anim(pPosition + fTimeScale(pVelocity))\n"
                  "pColor:Anim(fFade(fAge(), Color(1, 1, 1, 1), 2, Color(1, 0, 0, 0)))\n");
    EXPECT_EQ(StreamText(s->GetInitStream()), "Push2 Push(0) Push(2) FAssign/3[2,1,1] "
                                              "Push2 Push2 FRange/2[2,2] Push(10) Push(2) FAssign/3[2,1,1]");
    EXPECT_EQ(StreamText(s->GetAnimStream()),
              "Get(0,2) Get(10,2) FTimeScale/1[2] FAdd/2[2,2] Push(0) Push(2) FAssign/3[2,1,1] "
              "FAge Push4 Push(2) Push4 FFade/4[1,4,1,4] Push(5) Push(4) FAssign/3[4,1,1]");
    // More than three arguments keep their sizes apart from the inline ones.
    const PInstruction& fade = s->GetAnimStream()[11];
    EXPECT_EQ(fade.mArgCount, 4);
    EXPECT_EQ(fade.mMoreSizes, (std::vector<uint8_t>{1, 4, 1, 4}));
}

TEST_F(ParticleCompile, BracedListsAndOperators)
{
    auto s = Load("x = Allocate(1)\n"
                  "Init({5})\n"     // one number: nothing
                  "Init({1, 2})\n"  // a 2-vector
                  "Init({x, 2})\n"  // fVec of a member and a number
                  "Init(-x)\n"
                  "Init(pScale * 2 - x / 3)\n"
                  "Init(pColor[2])\n"
                  "Init(fAge()[1])\n"         // indexing an expression
                  "Init(Vec3(1, 2, 3)[3])\n"  // a stored element is plain Lua
                  "Init(fGreater(x, 1))\n");
    EXPECT_EQ(StreamText(s->GetInitStream()), "Push2 "
                                              "Get(10,1) Push(2) FVec/2[1,1] "
                                              "Get(10,1) FUnm/1[1] "
                                              "Get(4,1) Push(2) FMul/2[1,1] Get(10,1) Push(3) FDiv/2[1,1] FSub/2[1,1] "
                                              "Push(5) Push(2) FIndex/2[1,1] "
                                              "FAge Push(1) FVIndex/2[1,1] Push(3) "
                                              "Push(1) Get(10,1) FLt/2[1,1]");
}

TEST_F(ParticleCompile, UnknownFunctionAlertsAndEmitsNothingForIt)
{
    TLogCapture log;
    auto s = Load("function fNope(...) return CreateValue('fNope', arg) end\n"
                  "Init(fNope(1))\n"
                  "Init(fAge())\n");
    EXPECT_NE(log.Text().find("Type not found: fNope"), std::string::npos);
    // Neither the unknown call nor its arguments reach the stream.
    EXPECT_EQ(StreamText(s->GetInitStream()), "FAge");
}

TEST_F(ParticleCompile, DataSourcesCompileAsNegativeMembers)
{
    struct TLocus : TParticleFunction
    {
        uint8_t GetReturnSize(int, const uint8_t*) const override { return 2; }
        bool Process(TParticleState&, TParticleMachineState& m) override
        {
            const float v[2] = {400, 300};
            return m.Push(v, 2);
        }
    } locus, scale;
    TLuaParticleSystem s;
    EXPECT_EQ(s.RegisterDataSource("dLocus", &locus), -1);
    EXPECT_EQ(s.RegisterDataSource("dScale", &scale), -2);
    EXPECT_EQ(locus.mName, str("dLocus"));
    ASSERT_TRUE(s.Init("pPosition:Init(dLocus)\nInit(dScale[1])\n"));
    EXPECT_EQ(StreamText(s.GetInitStream()), "Get(-1,2) Push(0) Push(2) FAssign/3[2,1,1] Push(-2) Push(1) "
                                             "FIndex/2[1,1]");
    EXPECT_EQ(s.GetDataSource(1), &locus);
    EXPECT_EQ(s.GetDataSource(3), nullptr);
}

TEST_F(ParticleCompile, RegisteredFunctionsAreReachableByName)
{
    TLuaParticleSystem s;
    s.RegisterFunction("fTwice", [] { return static_cast<TParticleFunction*>(new FVec); });
    auto shared = std::shared_ptr<TParticleFunction>(FAgeDynamicCreate());
    s.RegisterNamedFunction("fShared", shared);
    ASSERT_TRUE(s.Init("Init(fTwice(1, 2))\n"
                       "function fShared(...) return CreateValue('fShared', arg) end\n"
                       "Init(fShared())\nInit(fShared())\n"));
    EXPECT_EQ(StreamText(s.GetInitStream()), "Push(1) Push(2) FVec/2[1,1] FAge FAge");
    EXPECT_EQ(s.GetInitStream()[3].mFunction, shared);
    EXPECT_EQ(s.GetInitStream()[4].mFunction, shared);
    EXPECT_EQ(shared->mName, str("fShared"));
}

}  // namespace
