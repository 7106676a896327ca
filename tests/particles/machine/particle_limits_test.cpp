// Descriptions over the machine's limits fail to load with a log line and leave the system empty.

#include "particle_test_fixture.h"

#include "../support/particle_test_support.h"

#include "particles/machine/particle_functions.h"

#include <string>

namespace {

class ParticleLimits : public ParticleTest
{
protected:
    // Loads text that must fail; returns the log.
    std::string Refused(const std::string& text, TLuaParticleSystem* system = nullptr)
    {
        TLogCapture log;
        std::unique_ptr<TLuaParticleSystem> own;
        if (!system) {
            own = std::make_unique<TLuaParticleSystem>();
            system = own.get();
        }
        EXPECT_FALSE(system->Init(text.c_str())) << text;
        EXPECT_TRUE(system->GetInitStream().empty());
        EXPECT_TRUE(system->GetAnimStream().empty());
        system->CreateParticles(3);
        EXPECT_EQ(system->GetParticleCount(), 0);
        const std::string out = log.Text();
        EXPECT_NE(out.find("failed to load"), std::string::npos) << out;
        return out;
    }

    static std::string Repeat(const std::string& line, int times)
    {
        std::string text;
        for (int i = 0; i < times; ++i)
            text += line;
        return text;
    }
};

TEST_F(ParticleLimits, MemberSizes)
{
    EXPECT_NE(Refused("x = Allocate(5)\n").find("member size 5"), std::string::npos);
    Refused("x = Allocate(0)\n");
    Refused("x = Allocate(1.5)\n");
    Refused("x = Allocate('big')\n");
}

TEST_F(ParticleLimits, TotalParticleSize)
{
    // 10 renderer floats + 245 = 255 fits; one more does not.
    Load(Repeat("Allocate(4)\n", 61) + "Allocate(1)\nSetNumParticles(2)\n");
    EXPECT_NE(Refused(Repeat("Allocate(4)\n", 61) + "Allocate(2)\n").find("over 255"), std::string::npos);
}

TEST_F(ParticleLimits, AllocateAfterThePoolIsSized)
{
    Refused("SetNumParticles(4)\nRequireVelocity()\n");
    Refused("SetNumParticles(-1)\n");
}

TEST_F(ParticleLimits, ArgumentCount)
{
    std::string args;
    for (int i = 0; i < 256; ++i)
        args += (i ? ", " : "") + std::to_string(i % 7);
    Load("Init(CreateValue('fPick', {" + args.substr(0, args.rfind(',')) + "}))\n");
    EXPECT_NE(Refused("Init(CreateValue('fPick', {" + args + "}))\n").find("256 arguments"), std::string::npos);
}

TEST_F(ParticleLimits, StackDepth)
{
    auto fits = Load(Repeat("Init(1)\n", 255) + "SetNumParticles(1)\n");
    fits->CreateParticles(1);
    EXPECT_EQ(fits->GetParticleCount(), 1);
    Refused(Repeat("Anim(1)\n", 256));
}

TEST_F(ParticleLimits, ValueSizes)
{
    struct TWide : TParticleFunction
    {
        uint8_t GetReturnSize(int, const uint8_t*) const override { return 5; }
        bool Process(TParticleState&, TParticleMachineState&) override { return true; }
    } wide;
    TLuaParticleSystem s;
    TLogCapture log;
    EXPECT_EQ(s.RegisterDataSource("dWide", &wide), 0);
    EXPECT_NE(log.Text().find("dWide"), std::string::npos);

    TLuaParticleSystem custom;
    custom.RegisterFunction("fWide", [] { return static_cast<TParticleFunction*>(new TWide); });
    EXPECT_NE(Refused("Init(fWide(1))\n", &custom).find("5 floats"), std::string::npos);
}

TEST_F(ParticleLimits, MembersOfAnotherSystemInSharedMode)
{
    TConfig::SetConfig("lpsonescript", "1");
    auto big = Load("pExtra = Allocate(4)\nSetNumParticles(1)\n");
    // The shared state still holds pExtra, which lies past this system's 10 floats.
    TLuaParticleSystem small;
    EXPECT_NE(Refused("SetNumParticles(1)\npExtra:Init(Color(1, 1, 1, 1))\n", &small).find("lies outside"),
              std::string::npos);
}

TEST_F(ParticleLimits, AFailedLoadLeavesTheNextDescriptionUsable)
{
    TLuaParticleSystem s;
    Refused("x = Allocate(9)\n", &s);
    s.NewScript();
    ASSERT_TRUE(s.Init("SetNumParticles(2)\npScale:Init(4)\n"));
    s.CreateParticles(1);
    ASSERT_EQ(s.GetParticleCount(), 1);
    EXPECT_EQ(s.GetCollection().Live().front()[4], 4);
}

}  // namespace
