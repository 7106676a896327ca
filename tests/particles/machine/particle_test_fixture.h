#pragma once
// Runs particle expressions through a real particle system and reads back the particle.

#include "core/config/config.h"
#include "core/script/script.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/render/particle_collection.h"

#include <gtest/gtest.h>
#include <lua.h>

#include <memory>
#include <string>
#include <vector>

// Every float of the test member pOut (4 floats after the renderer's 10) starts at this.
constexpr float kUntouched = -7.0f;

class ParticleTest : public testing::Test
{
protected:
    void TearDown() override { TConfig::SetConfig("lpsonescript", ""); }

    // A system from Lua text that must load.
    std::unique_ptr<TLuaParticleSystem> Load(const std::string& text)
    {
        auto system = std::make_unique<TLuaParticleSystem>();
        EXPECT_TRUE(system->Init(text.c_str())) << text;
        return system;
    }

    // pOut of a particle made with `statements` in its init stream (pOut, pK, pMark exist).
    std::vector<float> Made(const std::string& statements)
    {
        mSystem = Load("pOut = Allocate(4)\npK = Allocate(1)\npMark = Allocate(1)\nSetNumParticles(8)\n"
                       "pOut:Init(Color(-7, -7, -7, -7))\n" +
                       statements);
        mSystem->CreateParticles(1);
        return Out(0);
    }

    // pOut of a new particle set to `expression`.
    std::vector<float> Value(const std::string& expression) { return Made("pOut:Init(" + expression + ")\n"); }

    // pOut of the index-th live particle (0: newest).
    std::vector<float> Out(size_t index) const
    {
        const float* p = Particle(index);
        if (!p)
            return {};
        return {p[10], p[11], p[12], p[13]};
    }

    const float* Particle(size_t index) const
    {
        const TParticleList& live = mSystem->GetCollection().Live();
        if (index >= live.size())
            return nullptr;
        auto it = live.begin();
        std::advance(it, static_cast<long>(index));
        return *it;
    }

    std::unique_ptr<TLuaParticleSystem> mSystem;
};

inline std::vector<float> Floats(std::initializer_list<float> values)
{
    std::vector<float> v(values);
    while (v.size() < 4)
        v.push_back(kUntouched);
    return v;
}

// A global number of the system's Lua state.
inline double GlobalNumber(TLuaParticleSystem& s, const char* name)
{
    lua_State* L = s.GetScript()->GetState();
    lua_pushstring(L, name);
    lua_gettable(L, LUA_GLOBALSINDEX);
    const double value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    return value;
}
