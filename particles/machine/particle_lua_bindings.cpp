// The globals a particle description sees, each bound to its particle system.

#include "core/debug/debug_log.h"
#include "core/script/lua_number.h"
#include "core/script/script.h"
#include "core/system/random.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/render/particle_renderer.h"

#include <lauxlib.h>

#include <cstring>

struct TParticleLuaBindings
{
    static TLuaParticleSystem* Self(lua_State* L)
    {
        return static_cast<TLuaParticleSystem*>(lua_touserdata(L, lua_upvalueindex(1)));
    }

    static int RandomRange(lua_State* L)
    {
        const int low = LuaToInt(L, 1);
        const int high = LuaToInt(L, 2);
        lua_pushnumber(L, TLuaParticleSystem::Random().RandRange(low, high));
        return 1;
    }

    static int RandomFloat(lua_State* L)
    {
        lua_pushnumber(L, TLuaParticleSystem::Random().RandFloat());
        return 1;
    }

    // Upvalue 2: how many numbers the option takes (1 to 4).
    static int SetRendererOption(lua_State* L)
    {
        const int count = LuaToInt(L, lua_upvalueindex(2));
        if (!lua_isstring(L, 1)) {
            WriteDbg("SetRendererOption%d: the option name must be a string.", count);
            return 0;
        }
        float values[4] = {0, 0, 0, 0};
        for (int i = 0; i < count && i < 4; ++i)
            values[i] = static_cast<float>(lua_tonumber(L, i + 2));
        Self(L)->mRenderer->SetRendererOption(lua_tostring(L, 1), values);
        return 0;
    }

    static int SetNumParticles(lua_State* L) { return Self(L)->SetNumParticles(L); }

    static int SetTexture(lua_State* L)
    {
        if (!lua_isstring(L, 1)) {
            WriteDbg("_SetTexture: the texture name must be a string.");
            return 0;
        }
        Self(L)->SetTexture(lua_tostring(L, 1));
        return 0;
    }

    static int CreateParticles(lua_State* L)
    {
        Self(L)->CreateParticles(static_cast<float>(lua_tonumber(L, 1)));
        return 0;
    }

    static int Allocate(lua_State* L) { return Self(L)->Allocate(L); }
    static int CompileParam(lua_State* L) { return Self(L)->CompileParam(L); }

    static int GetParticleMemberParts(lua_State* L)
    {
        uint32_t handle = 0;
        if (lua_type(L, 1) == LUA_TUSERDATA && lua_touserdata(L, 1))
            std::memcpy(&handle, lua_touserdata(L, 1), sizeof handle);
        else
            handle = static_cast<uint32_t>(NumberToLong(lua_tonumber(L, 1)));
        lua_pushnumber(L, static_cast<int16_t>(handle & 0xFFFF));
        lua_pushnumber(L, static_cast<uint16_t>(handle >> 16));
        return 2;
    }

    static int GetParticleCount(lua_State* L)
    {
        lua_pushnumber(L, Self(L)->GetParticleCount());
        return 1;
    }

    static int AccumulateInitStream(lua_State* L)
    {
        TLuaParticleSystem* self = Self(L);
        self->Accumulate(L, self->mInitStream, self->mInitRun, self->mInitDepth);
        return 0;
    }

    static int AccumulateAnimStream(lua_State* L)
    {
        TLuaParticleSystem* self = Self(L);
        self->Accumulate(L, self->mAnimStream, self->mAnimRun, self->mAnimDepth);
        return 0;
    }

    static int Done(lua_State* L)
    {
        Self(L)->mDone = true;
        return 0;
    }

    static void Bind(lua_State* L, TLuaParticleSystem* self, const char* name, lua_CFunction function)
    {
        lua_pushstring(L, name);
        lua_pushlightuserdata(L, self);
        lua_pushcclosure(L, function, 1);
        lua_settable(L, LUA_GLOBALSINDEX);
    }
};

void TLuaParticleSystem::BindGlobals(lua_State* L)
{
    using B = TParticleLuaBindings;
    const int height = lua_gettop(L);
    lua_register(L, "RandomRange", &B::RandomRange);
    lua_register(L, "RandomFloat", &B::RandomFloat);
    B::Bind(L, this, "CreateParticles", &B::CreateParticles);
    B::Bind(L, this, "Done", &B::Done);
    B::Bind(L, this, "GetParticleCount", &B::GetParticleCount);
    B::Bind(L, this, "SetNumParticles", &B::SetNumParticles);
    B::Bind(L, this, "_SetTexture", &B::SetTexture);
    for (int count = 1; count <= 4; ++count) {
        lua_pushstring(L, str::getFormatted("SetRendererOption%d", count).c_str());
        lua_pushlightuserdata(L, this);
        lua_pushnumber(L, count);
        lua_pushcclosure(L, &B::SetRendererOption, 2);
        lua_settable(L, LUA_GLOBALSINDEX);
    }
    B::Bind(L, this, "Allocate", &B::Allocate);
    B::Bind(L, this, "CompileParam", &B::CompileParam);
    B::Bind(L, this, "GetParticleMemberParts", &B::GetParticleMemberParts);
    B::Bind(L, this, "AccumulateInitStream", &B::AccumulateInitStream);
    B::Bind(L, this, "AccumulateAnimStream", &B::AccumulateAnimStream);
    lua_settop(L, height);
}
