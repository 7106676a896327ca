// Compiled streams against the one-particle-at-a-time machine: whole effects over many frames
// must leave the same floats, bit for bit, in the same live order, with the same random draws.

#include "particle_test_fixture.h"

#include "../support/particle_test_support.h"

#include "core/script/script.h"
#include "core/system/random.h"
#include "particles/machine/particle_functions.h"
#include "particles/machine/particle_program.h"
#include "particles/machine/particle_workers.h"

#include <lua.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

// Everything an effect leaves after each frame.
struct TRun
{
    std::vector<std::vector<uint32_t>> frames;  // live particles' floats (as bits), newest first
    std::vector<int> counts;
    uint32_t nextDraw = 0;
    bool initCompiled = false;
    bool animCompiled = false;
};

TRun RunEffect(const std::string& description, bool compiled, int frames, std::initializer_list<int> steps = {16})
{
    const uint32_t seed[1] = {12345};
    TLuaParticleSystem::Random().SeedArray(seed, 1);
    TLuaParticleSystem system;
    system.UseCompiledStreams(compiled);
    EXPECT_TRUE(system.Init(description.c_str()));
    TRun run;
    const std::vector<int> stepList(steps);
    const int size = system.GetParticleSize();
    for (int frame = 0; frame < frames; ++frame) {
        system.Update(stepList[size_t(frame) % stepList.size()]);
        std::vector<uint32_t> bits;
        for (const float* p : system.GetCollection().Live())
            for (int i = 0; i < size; ++i) {
                uint32_t b;
                std::memcpy(&b, p + i, sizeof b);
                bits.push_back(b);
            }
        run.frames.push_back(std::move(bits));
        run.counts.push_back(system.GetParticleCount());
    }
    run.nextDraw = TLuaParticleSystem::Random().Rand32();
    run.initCompiled = system.InitStreamCompiled();
    run.animCompiled = system.AnimStreamCompiled();
    return run;
}

// Runs both ways and compares frame by frame; returns the compiled run.
TRun ExpectSameBothWays(const std::string& description, int frames, std::initializer_list<int> steps = {16})
{
    const TRun reference = RunEffect(description, false, frames, steps);
    const TRun fast = RunEffect(description, true, frames, steps);
    EXPECT_FALSE(reference.initCompiled || reference.animCompiled);
    for (int frame = 0; frame < frames; ++frame) {
        EXPECT_EQ(fast.counts[size_t(frame)], reference.counts[size_t(frame)]) << "frame " << frame;
        if (fast.frames[size_t(frame)] != reference.frames[size_t(frame)]) {
            ADD_FAILURE() << "particles differ after frame " << frame;
            break;
        }
    }
    EXPECT_EQ(fast.nextDraw, reference.nextDraw) << "a different number of random draws";
    return fast;
}

// The benchmark's effect: random launch, motion, spin, fades and expiry.
const char* const kSparks = R"LUA(
RequireVelocity()
pAge = Allocate(1)
pAngle = Allocate(1)
pSpin = Allocate(1)
SetNumParticles(700)
pVelocity:Init(f2dRadius(fRange(20, 60)))
pAngle:Init(fRange(0, 6.2831853))
pSpin:Init(fRange(-3, 3))
pPosition:Anim(pPosition + fTimeScale(pVelocity))
pAge:Anim(pAge + fTimeScale(1))
pAngle:Anim(pAngle + fTimeScale(pSpin))
pUp:Anim(f2dRotation(pAngle))
pColor:Anim(fFade(pAge, Color(1, 1, 1, 1), 2, Color(1, 0.5, 0, 0)))
pScale:Anim(fFade(pAge, 0.5, 2, 1.5))
Anim(fExpire(fLess(2, pAge)))
local gen = NewParticleGenerator()
CreateParticles(300)
function Update(seconds) CreateParticles(gen(250, seconds * 1000)) end
)LUA";

TEST(CompiledStreams, TheSparksEffectMatchesTheMachineOverManyFrames)
{
    const TRun fast = ExpectSameBothWays(kSparks, 260, {16, 16, 33, 0, 7});
    EXPECT_TRUE(fast.initCompiled);
    EXPECT_TRUE(fast.animCompiled);
    // The pool filled, then the first wave expired: the comparison saw particles dying.
    EXPECT_EQ(*std::max_element(fast.counts.begin(), fast.counts.end()), 700);
    EXPECT_LT(fast.counts.back(), 700);
}

TEST(CompiledStreams, LargePoolsSharedOutOverThreadsMatchTheMachine)
{
    // Past the size where independent particles are animated on several threads.
    std::string description = kSparks;
    description.replace(description.find("SetNumParticles(700)"), 20, "SetNumParticles(20000)");
    description.replace(description.find("CreateParticles(300)"), 20, "CreateParticles(17000)");
    description.replace(description.find("gen(250"), 7, "gen(8000");
    ASSERT_GT(TParticleWorkers::Get().GetLaneCount(), 0u);
    const TRun fast = ExpectSameBothWays(description, 140, {16, 16, 33, 0, 7});
    EXPECT_TRUE(fast.animCompiled);
    EXPECT_GE(size_t(*std::max_element(fast.counts.begin(), fast.counts.end())), TParticleProgram::kParallelMinimum);
    // One lane gives the same again.
    TParticleProgram::SetLaneLimit(1);
    const TRun single = RunEffect(description, true, 140, {16, 16, 33, 0, 7});
    TParticleProgram::SetLaneLimit(0);
    EXPECT_TRUE(single.frames == fast.frames);
}

TEST(ParticleWorkers, EveryJobRunsOnceAndALaneRunsOneJobAtATime)
{
    TParticleWorkers workers(3);
    ASSERT_EQ(workers.GetLaneCount(), 4u);
    for (unsigned jobs : {0u, 1u, 7u, 500u}) {
        std::vector<std::atomic<int>> runs(jobs);
        std::vector<std::atomic<int>> busy(workers.GetLaneCount());
        std::atomic<bool> overlap{false};
        std::atomic<bool> badLane{false};
        workers.Run(jobs, [&](unsigned job, unsigned lane) {
            if (lane >= busy.size()) {
                badLane = true;
                return;
            }
            if (busy[lane].fetch_add(1) != 0)
                overlap = true;
            runs[job].fetch_add(1);
            busy[lane].fetch_sub(1);
        });
        EXPECT_FALSE(overlap);
        EXPECT_FALSE(badLane);
        for (unsigned j = 0; j < jobs; ++j)
            EXPECT_EQ(runs[j].load(), 1) << "job " << j << " of " << jobs;
    }
}

TEST(CompiledStreams, EveryCompiledFunctionMatchesTheMachine)
{
    // More particles than one batch, so cycles and draws cross batch boundaries.
    const std::string description = R"LUA(
RequireVelocity()
pA = Allocate(4)
pB = Allocate(3)
pC = Allocate(1)
pD = Allocate(2)
SetNumParticles(400)
pA:Init(fRange(Color(0, 0, 0, 0), Color(1, 2, 3, 4)))
pB:Init(fRange(Vec3(-1, -1, -1), Vec3(1, 1, 1)))
pC:Init(fOpenCycle(0, 10, 7))
pD:Init(Vec2(fClosedCycle(1, 2, 5), fAge()))
pVelocity:Init(f2dRadius(fRange(1, 2)))
pPosition:Anim(pPosition + pVelocity * 2 - -pVelocity / 4)
pA:Anim(fAlpha(pB, pA[2] + pC) + fVec(1, 2, 3, 4))
pB:Anim(fVec(pA[1], pB[3], pB[2]))
pD:Anim(Vec2(pD[2], pD[1]))
pC:Anim(fDistance(pA, pB) + fDistance(pC, 1) * fAge())
pScale:Anim(fFade(fAge() / 16 + pC, 1, 0.5, 2, 3))
pFrame:Anim(fFade(pC, 1, 2, 3, 4, 5, 6, 7))
pColor:Anim(fFade(pC, Color(1, 0, 0, 1), 1, Color(0, 1, 0, 1), 2, Color(0, 0, 1, 0), 0.5))
pUp:Anim(Vec2(fGreater(pC, 3), fLessEqual(pD[1], 1.5)))
pC:Anim(pC + fOpenCycle(0, 1, 3) * fClosedCycle(2, -2, 4) + fRange(0, 0.5))
Anim(fExpire(fLess(30, pC)))
pD:Anim(pD * pD[1])
pA:Anim(-pA)
pB:Anim(pB + Vec3(pB[2], pB[3], pB[1]))
pB:Anim(Vec3(pB[3], pB[1], pB[2]) - pB)
Anim(pScale)
pScale:Anim(pScale + 1)
pFrame:Anim(fVec("a value that compiles to nothing") + pScale)
function Update(seconds) CreateParticles(12) end
)LUA";
    const TRun fast = ExpectSameBothWays(description, 120, {16, 5, 0, 40});
    EXPECT_TRUE(fast.initCompiled);
    EXPECT_TRUE(fast.animCompiled);
    EXPECT_GT(fast.counts.back(), 0);
    // The last statement reads pScale as it was before the one above it wrote it: a value left
    // on the stack keeps the float it read.
    const std::vector<uint32_t>& last = fast.frames.back();
    float scale, frame;
    std::memcpy(&scale, &last[4], 4);
    std::memcpy(&frame, &last[9], 4);
    EXPECT_EQ(frame, scale + scale - 1);
}

TEST(CompiledStreams, FloatsMovedInGroupsAndRotationsOfAnyAngleMatchTheMachine)
{
    const std::vector<std::string> cases = {
        // pScale shares a group of four with pColor, which is written: it must pass through.
        "SetNumParticles(300)\npScale:Init(fRange(1, 3))\npColor:Anim(pColor * 0.5 + fAge())\n",
        // Members that end past the last whole group of four, read and written.
        "pK = Allocate(3)\nSetNumParticles(300)\npK:Init(fRange(Vec3(0, 0, 0), Vec3(1, 2, 3)))\n"
        "pK:Anim(pK + Vec3(pK[3], fAge(), 1))\npFrame:Anim(pK[2])\n",
        // Angles near and far (the far ones take the library's way) side by side in one batch.
        "pAngle = Allocate(1)\nSetNumParticles(300)\npAngle:Init(fPick(fRange(-7, 7), fRange(-3e5, 3e5), 65536, "
        "-65536.01))\npUp:Anim(f2dRotation(pAngle))\npAngle:Anim(pAngle * 1.5)\n",
    };
    for (const std::string& body : cases) {
        SCOPED_TRACE(body);
        const TRun fast = ExpectSameBothWays(body + "function Update(s) CreateParticles(37) end\n", 12, {16, 3});
        EXPECT_TRUE(fast.animCompiled);
    }
}

TEST(CompiledStreams, StreamsThatStopMidwayStopForEveryParticleAlike)
{
    // A vector times a vector stops the stream: the assignment before it happened, the one after
    // never does.
    const std::string description = R"LUA(
pN = Allocate(2)
SetNumParticles(1000)
pN:Init(Vec2(3, 4))
pScale:Anim(pScale + 1)
pN:Anim(pN * Vec2(2, 3))
pFrame:Anim(pFrame + 2)
function Update(seconds) CreateParticles(40) end
)LUA";
    const TRun fast = ExpectSameBothWays(description, 10);
    EXPECT_TRUE(fast.animCompiled);
    // pScale moved on, pFrame never did.
    const std::vector<uint32_t>& last = fast.frames.back();
    ASSERT_GE(last.size(), 12u);
    float scale, frame;
    std::memcpy(&scale, &last[4], 4);
    std::memcpy(&frame, &last[9], 4);
    EXPECT_EQ(scale, 2);
    EXPECT_EQ(frame, 0);
}

TEST(CompiledStreams, StreamsWithDataSourcesOrDebugOutputRunOneParticleAtATime)
{
    // The debug function writes per particle; it stays with the plain machine, with equal results.
    TLogCapture log;
    const TRun fast = ExpectSameBothWays("SetNumParticles(20)\npScale:Anim(pScale + fRange(0, 1))\n"
                                         "Anim(fDebug(pScale))\nfunction Update(s) CreateParticles(3) end\n",
                                         6);
    EXPECT_FALSE(fast.animCompiled);
    EXPECT_TRUE(fast.initCompiled);
    EXPECT_NE(log.Text().find("Particle Values: ("), std::string::npos);
}

TEST(CompiledStreams, ACycleUsedTwiceInOneStreamIsNotCompiled)
{
    auto shared = std::shared_ptr<TParticleFunction>(FOpenCycleDynamicCreate());
    for (bool compiled : {false, true}) {
        TLuaParticleSystem system;
        system.UseCompiledStreams(compiled);
        system.RegisterNamedFunction("sharedCycle", shared);
        shared.get()->mName = "sharedCycle";
        static_cast<FOpenCycle*>(shared.get())->mCounter = 0;
        ASSERT_TRUE(system.Init("SetNumParticles(8)\n"
                                "pScale:Init(CreateValue('sharedCycle', {0, 10, 10}))\n"
                                "pFrame:Init(CreateValue('sharedCycle', {0, 10, 10}))\n"));
        EXPECT_FALSE(system.InitStreamCompiled());
        system.CreateParticles(2);
        const float* newest = system.GetCollection().Live().front();
        // One counter stepped four times: 0, 1 for the first particle, 2, 3 for the second.
        EXPECT_EQ(newest[4], 2);
        EXPECT_EQ(newest[9], 3);
    }
}

TEST(CompiledStreams, AProgramRefusesWhatItCannotRunAlike)
{
    TLuaParticleSystem system;
    ASSERT_TRUE(system.Init("pK = Allocate(1)\nSetNumParticles(4)\n"
                            "pScale:Anim(pScale + fPick(1, 2))\n"));
    TParticleProgram program;
    EXPECT_FALSE(program.Build(system.GetAnimStream(), system.GetParticleSize()));
    EXPECT_EQ(program.GetOpCount() + program.GetFrameOpCount(), 0u);
    TLuaParticleSystem plain;
    ASSERT_TRUE(plain.Init("SetNumParticles(4)\npScale:Anim(pScale * 2 + fTimeScale(3))\n"));
    ASSERT_TRUE(program.Build(plain.GetAnimStream(), plain.GetParticleSize()));
    // The time-scaled constant is worked out once per run, not per particle; per particle remain
    // a multiply and an add that writes the member itself.
    EXPECT_EQ(program.GetFrameOpCount(), 1u);
    EXPECT_EQ(program.GetOpCount(), 2u);
    // Motion is one op per particle that writes the position itself.
    TLuaParticleSystem moving;
    ASSERT_TRUE(moving.Init("RequireVelocity()\nSetNumParticles(4)\n"
                            "pPosition:Anim(pPosition + fTimeScale(pVelocity))\n"));
    ASSERT_TRUE(program.Build(moving.GetAnimStream(), moving.GetParticleSize()));
    EXPECT_EQ(program.GetOpCount(), 1u);
}

TEST(CompiledStreams, UpdateHandsTheScriptTheSecondsItsTextWouldHave)
{
    TLuaParticleSystem system;
    ASSERT_TRUE(system.Init("function Update(seconds) seen = seconds end\n"));
    for (int ms : {16, 1, 7, 33, 0, 999, 123457, 16, -5}) {
        system.Update(ms);
        const int step = ms > 0 ? ms : 0;
        system.GetScript()->DoLuaString(
            str::getFormatted("expected = %f", static_cast<double>(static_cast<float>(step) / 1000.0f)));
        EXPECT_EQ(GlobalNumber(system, "seen"), GlobalNumber(system, "expected")) << ms;
    }
}

TEST(CompiledStreams, UpdateErrorsAreReportedAndTheNextFrameRunsOn)
{
    TLuaParticleSystem system;
    ASSERT_TRUE(system.Init("SetNumParticles(4)\nn = 0\n"
                            "function Update(s) n = n + 1 if n == 1 then error('boom') end CreateParticles(1) end\n"));
    {
        TLogCapture log;
        system.Update(16);
        const std::string text = log.Text();
        EXPECT_NE(text.find("boom"), std::string::npos);
        EXPECT_NE(text.find("when running Update(0.016000);"), std::string::npos);
    }
    system.Update(16);
    EXPECT_EQ(system.GetParticleCount(), 1);
    EXPECT_EQ(lua_gettop(system.GetScript()->GetState()), 0);

    // No Update at all: reported, nothing else happens.
    TLuaParticleSystem empty;
    ASSERT_TRUE(empty.Init("Update = nil\n"));
    TLogCapture log;
    empty.Update(16);
    EXPECT_NE(log.Text().find("Update(0.016000);"), std::string::npos);
    EXPECT_EQ(lua_gettop(empty.GetScript()->GetState()), 0);
}

}  // namespace
