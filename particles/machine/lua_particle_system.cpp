#include "particles/machine/lua_particle_system.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/script/script.h"
#include "core/script/script_code.h"
#include "core/system/random.h"
#include "particles/machine/c_locale_format.h"
#include "particles/machine/particle_functions.h"
#include "particles/machine/particle_library.h"
#include "particles/machine/particle_program.h"
#include "particles/render/particle_collection.h"
#include "particles/render/particle_renderer_2d.h"

#include <lauxlib.h>
#include <lualib.h>

#include <algorithm>
#include <charconv>
#include <cstring>

TFailure TLuaParticleSystem::mDefaultFailureHandler;
TFailure* TLuaParticleSystem::mFailureHandler = &TLuaParticleSystem::mDefaultFailureHandler;

namespace {

// Shared by every particle system of the process.
TRandom* gRandom = nullptr;
int gRandomCount = 0;
// The one Lua state of shared-script mode and the number of systems using it.
TScript* gScript = nullptr;
int gScriptUseCount = 0;
int gUpdateCount = 0;

}  // namespace

TLuaParticleSystem::TLuaParticleSystem(TParticleRenderer* renderer)
    : mOwnsRenderer(renderer == nullptr),
      mRenderer(renderer ? renderer : new T2dParticleRenderer),
      mCollection(std::make_unique<TParticleCollection>())
{
    mMemberLayout.mSizes = mMemberLayoutSizes;
    if (!gRandom)
        gRandom = new TRandom;
    ++gRandomCount;
    NewScript();
}

TLuaParticleSystem::~TLuaParticleSystem()
{
    if (mScript && mScript == gScript) {
        --gScriptUseCount;
        if (gScriptUseCount > 0) {
            lua_State* L = mScript->GetState();
            // This system's Update goes with it.
            lua_pushstring(L, str::getFormatted("Update%d", mSystemNumber).c_str());
            lua_pushnil(L);
            lua_settable(L, LUA_GLOBALSINDEX);
            lua_setgcthreshold(L, 0);
            lua_setgcthreshold(L, 20);
        } else {
            delete gScript;
            gScript = nullptr;
        }
    } else {
        delete mScript;
    }
    mScript = nullptr;
    if (--gRandomCount == 0) {
        delete gRandom;
        gRandom = nullptr;
    }
    mCollection.reset();
    mParticleBuffer.reset();
    if (mOwnsRenderer)
        delete mRenderer;
}

TRandom& TLuaParticleSystem::Random()
{
    if (!gRandom)
        gRandom = new TRandom;
    return *gRandom;
}

void TLuaParticleSystem::ReportFailure(const str& message, int line)
{
    TFailure* handler = mFailureHandler ? mFailureHandler : &mDefaultFailureHandler;
    handler->Failure(message.c_str(), line, "luaparticlesystem");
}

bool TLuaParticleSystem::SharedScriptMode() const
{
    return TConfig::GetConfig("lpsonescript", "").to_int() != 0;
}

int TLuaParticleSystem::GetParticleCount() const
{
    return mCollection->GetCount();
}

void TLuaParticleSystem::ResetPool()
{
    mCollection->Reset();
    mParticleBuffer.reset();
    mPoolSized = false;
}

void TLuaParticleSystem::NewScript()
{
    DiscardDescription();
    mDataSources.clear();
    mMemberSizes.clear();

    bool fresh = false;
    if (SharedScriptMode() && gScript) {
        if (mScript != gScript) {
            if (mScript)
                delete mScript;
            mScript = gScript;
            ++gScriptUseCount;
        }
    } else {
        if (mScript == gScript && mScript) {
            // Leaving the shared state (the mode was switched off): it stays with its other users.
            if (--gScriptUseCount == 0)
                delete gScript;
            gScript = nullptr;
        } else {
            delete mScript;
        }
        mScript = new TScript;
        fresh = true;
        lua_State* L = mScript->GetState();
        luaopen_math(L);
        lua_settop(L, 0);
        luaL_newmetatable(L, "ParticleMemberMT");
        lua_pushstring(L, "ParticleMemberMT");
        lua_pushvalue(L, -2);
        lua_settable(L, LUA_GLOBALSINDEX);
        lua_settop(L, 0);
        if (SharedScriptMode()) {
            gScript = mScript;
            gScriptUseCount = 1;
        }
    }

    static const struct
    {
        const char* name;
        TParticleFunctionFactory factory;
    } kOperators[] = {{"assign", FAssignDynamicCreate},
                      {"lt", FLtDynamicCreate},
                      {"le", FLeDynamicCreate},
                      {"add", FAddDynamicCreate},
                      {"unm", FUnmDynamicCreate},
                      {"mul", FMulDynamicCreate},
                      {"div", FDivDynamicCreate},
                      {"sub", FSubDynamicCreate},
                      {"index", FIndexDynamicCreate},
                      {"vindex", FVIndexDynamicCreate},
                      {"newindex", FNewIndexDynamicCreate}};
    for (const auto& op : kOperators)
        mFunctionFactories[op.name] = op.factory;
    static const struct
    {
        const char* name;
        TParticleFunctionFactory factory;
    } kFunctions[] = {{"fTimeScale", FTimeScaleDynamicCreate},
                      {"fAge", FAgeDynamicCreate},
                      {"fPick", FPickDynamicCreate},
                      {"fFade", FFadeDynamicCreate},
                      {"fOpenCycle", FOpenCycleDynamicCreate},
                      {"fClosedCycle", FClosedCycleDynamicCreate},
                      {"fAlpha", FAlphaDynamicCreate},
                      {"fDebug", FDebugDynamicCreate},
                      {"fDistance", FDistanceDynamicCreate},
                      {"f2dRadius", F2dRadiusDynamicCreate},
                      {"f2dRotation", F2dRotationDynamicCreate},
                      {"fVec", FVecDynamicCreate},
                      {"fRange", FRangeDynamicCreate},
                      {"fExpire", FExpireDynamicCreate},
                      {"fLess", FLtDynamicCreate},
                      {"fLessEqual", FLeDynamicCreate}};
    for (const auto& f : kFunctions)
        RegisterFunction(f.name, f.factory);

    lua_State* L = mScript->GetState();
    BindGlobals(L);
    if (fresh)
        RunChunk(kParticleLibrarySource, std::strlen(kParticleLibrarySource), "particles.lua");
    mParticleSize = 0;
    mMemberLayout.ResetPartial(0, mMemberLayoutSizes, 0);
    const str init = mRenderer->GetLuaInitString();
    RunChunk(init.c_str(), init.length(), "TLuaParticleSystem ParticleRenderer init string");
}

void TLuaParticleSystem::RegisterFunction(const str& name, TParticleFunctionFactory factory)
{
    mFunctionFactories[name] = factory;
    if (mScript)
        mScript->DoLuaString(
            str::getFormatted("function %s(...) return CreateValue('%s',arg); end", name.c_str(), name.c_str()));
}

void TLuaParticleSystem::RegisterNamedFunction(const str& name, std::shared_ptr<TParticleFunction> function)
{
    mNamedFunctions[name] = std::move(function);
}

bool TLuaParticleSystem::RunChunk(const char* data, size_t length, const char* chunkName)
{
    lua_State* L = mScript->GetState();
    const int height = lua_gettop(L);
    bool ran = false;
    if (luaL_loadbuffer(L, data, length, chunkName) == 0) {
        ran = mScript->RunFunction(0, 0) == 0;
    } else {
        const char* message = lua_tostring(L, -1);
        WriteDbg("Lua error: %s", message ? message : "(no message)");
    }
    lua_settop(L, height);
    return ran;
}

bool TLuaParticleSystem::Init(const str& description)
{
    mCreateAccumulator = 0;
    mLoadFailed = false;
    mLoadFailure = str();
    if (description.find(str(".lua")) != str::npos) {
        if (!TFile::Exists(description)) {
            WriteDbg("TLuaParticleSystem: particle description %s does not exist.", description.c_str());
            return false;
        }
        const unsigned slash = description.find('/', str::kFromEnd);
        mBaseFolder = slash == str::npos ? str() : description.substr(0, static_cast<int>(slash + 1));
        str error;
        mScriptCode = TScriptCode::Get(description, mBaseFolder + "?;assets/?;assets/fx/?", &error);
        if (mScriptCode)
            RunChunk(mScriptCode->GetData(), mScriptCode->GetLength(), description.c_str());
        else
            WriteDbg("TLuaParticleSystem: %s did not compile: %s", description.c_str(), error.c_str());
    } else {
        mScript->DoLuaString(description);
    }
    if (mLoadFailed) {
        WriteDbg("TLuaParticleSystem: particle description %s failed to load: %s",
                 description.find(str(".lua")) != str::npos ? description.c_str() : "(text)", mLoadFailure.c_str());
        DiscardDescription();
        mDone = false;
        return false;
    }
    if (SharedScriptMode() && mScript == gScript) {
        mSystemNumber = ++gUpdateCount;
        mScript->DoLuaString(str::getFormatted("Update%d=Update", mSystemNumber));
    }
    mDone = false;
    return true;
}

void TLuaParticleSystem::DiscardDescription()
{
    mInitStream.clear();
    mAnimStream.clear();
    mPendingStream.clear();
    mInitRun.clear();
    mAnimRun.clear();
    mInitDepth = 0;
    mAnimDepth = 0;
    ResetPool();
    StreamsChanged();
}

void TLuaParticleSystem::StreamsChanged()
{
    mInitProgramStale = true;
    mAnimProgramStale = true;
}

TParticleProgram* TLuaParticleSystem::CompiledProgram(std::unique_ptr<TParticleProgram>& program, bool& stale,
                                                      const std::vector<PInstruction>& stream)
{
    if (stale) {
        stale = false;
        if (!program)
            program = std::make_unique<TParticleProgram>();
        if (!program->Build(stream, mParticleSize))
            program.reset();
    }
    return mUseCompiledStreams ? program.get() : nullptr;
}

TParticleProgram* TLuaParticleSystem::InitProgram()
{
    return CompiledProgram(mInitProgram, mInitProgramStale, mInitStream);
}

TParticleProgram* TLuaParticleSystem::AnimProgram()
{
    return CompiledProgram(mAnimProgram, mAnimProgramStale, mAnimStream);
}

void TLuaParticleSystem::CallScriptUpdate(const str& function, uint32_t step)
{
    if (step != mUpdateStep) {
        // The number the script would read from the text "Update(%f);".
        const double seconds = static_cast<double>(static_cast<float>(step) / 1000.0f);
        mUpdateArgument = CLocaleFormat("%f", seconds);
        mUpdateSeconds = 0;
        const char* text = mUpdateArgument.c_str();
        std::from_chars(text, text + mUpdateArgument.length(), mUpdateSeconds);
        mUpdateStep = step;
    }
    lua_State* L = mScript->GetState();
    const int height = lua_gettop(L);
    // As running the text would: the search path is set, then the function looked up.
    lua_pushstring(L, "LUA_PATH");
    lua_pushstring(L, TScript::mLuaPath.c_str());
    lua_rawset(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, function.c_str());
    lua_gettable(L, LUA_GLOBALSINDEX);
    // The text the call stands for: what errors name.
    auto code = [&] { return function + "(" + mUpdateArgument + ");"; };
    if (!lua_isfunction(L, -1)) {
        lua_settop(L, height);
        // Whatever the script made of it, the text path reports it in its own words.
        mScript->DoLuaString(code());
        return;
    }
    lua_pushnumber(L, mUpdateSeconds);
    const int status = mScript->RunFunction(1, 0);
    if (status != 0 && lua_type(L, -1) == LUA_TSTRING) {
        const str message = str::getFormatted("Lua Error: %s\n\twhen running", lua_tostring(L, -1));
        WriteDbg("DoLuaString %s %s", message.c_str(), code().c_str());
        lua_pushstring(L, "LuaErrorMessage");
        lua_rawget(L, LUA_GLOBALSINDEX);
        if (!lua_isnil(L, -1)) {
            lua_pushstring(L, message.c_str());
            if (lua_pcall(L, 1, 0, 0) != 0)
                WriteDbg("Lua error: %s", lua_isstring(L, -1) ? lua_tostring(L, -1) : "(no message)");
        }
    }
    if (lua_gettop(L) > height)
        lua_settop(L, height);
}

void TLuaParticleSystem::Update(int ms)
{
    // A clock that ran backwards counts as no time.
    const uint32_t step = ms > 0 ? static_cast<uint32_t>(ms) : 0;
    if (mScript == gScript && gScript && mSystemNumber != 0) {
        // The shared state's globals may belong to another system by now.
        BindGlobals(mScript->GetState());
        CallScriptUpdate(str::getFormatted("Update%d", mSystemNumber), step);
    } else {
        static const str kUpdate("Update");
        CallScriptUpdate(kUpdate, step);
    }
    ProcessParticles(step);
}

void TLuaParticleSystem::Draw(const TVec3& position)
{
    if (mCollection->GetCount() > 0)
        mRenderer->Draw(position, mAlphaScale, mCollection->Live(), mCollection->GetCapacity());
}

bool TLuaParticleSystem::RunStream(const std::vector<TRunStep>& stream, float* particle, uint32_t ms,
                                   TParticleState& state, TParticleMachineState& machine) const
{
    state.mData = particle;
    state.mElapsed = ms;
    state.mAlive = true;
    machine.Clear();
    for (const TRunStep& step : stream) {
        // Too few values below: the arguments did not fit.
        if (step.argCount > machine.mTop)
            break;
        machine.mWriteIndex = static_cast<uint8_t>(machine.mTop - step.argCount);
        machine.mArgCount = step.argCount;
        if (!step.function->Process(state, machine))
            break;
        machine.mTop = machine.mWriteIndex;
    }
    return state.mAlive;
}

TParticleState TLuaParticleSystem::NewParticleState() const
{
    TParticleState state;
    state.mMembers = &mMemberLayout;
    state.mMemberCount = static_cast<uint32_t>(mMemberSizes.size());
    state.mFloatCount = mParticleSize;
    return state;
}

void TLuaParticleSystem::CreateParticles(float n)
{
    if (!(n == n))
        return;
    mCreateAccumulator += n;
    TParticleValueStack stack;
    TParticleMachineState machine(this, &stack);
    TParticleState state = NewParticleState();
    const float* prototype = mRenderer->GetPrototypeParticle();
    const int prototypeSize = std::min<int>(mRenderer->GetPrototypeParticleSize(), mParticleSize);
    TParticleProgram* program = InitProgram();
    mBatchParticles.clear();
    while (mCreateAccumulator >= 1.0f) {
        mCreateAccumulator -= 1.0f;
        float* particle = mCollection->TakeFree();
        if (!particle)
            break;
        std::fill(particle, particle + mParticleSize, 0.0f);
        if (prototype && prototypeSize > 0)
            std::copy(prototype, prototype + prototypeSize, particle);
        // Nothing a new particle's init does reaches the next one's slot: run them together.
        if (program)
            mBatchParticles.push_back(particle);
        else
            RunStream(mInitRun, particle, 0, state, machine);
    }
    if (program && !mBatchParticles.empty()) {
        mBatchDead.assign(mBatchParticles.size(), 0);
        program->Run(mBatchParticles.data(), mBatchParticles.size(), 0, mBatchDead.data());
    }
}

void TLuaParticleSystem::ProcessParticles(uint32_t ms)
{
    if (mCollection->GetCount() == 0)
        return;
    // Every live particle runs, then the dead leave in list order: the same as retiring each one
    // when its stream ends, since no stream reaches another particle's slot.
    const TParticleList& live = mCollection->Live();
    mBatchParticles.assign(live.begin(), live.end());
    mBatchDead.assign(mBatchParticles.size(), 0);
    if (TParticleProgram* program = AnimProgram()) {
        program->Run(mBatchParticles.data(), mBatchParticles.size(), ms, mBatchDead.data());
    } else {
        TParticleValueStack stack;
        TParticleMachineState machine(this, &stack);
        TParticleState state = NewParticleState();
        for (size_t i = 0; i < mBatchParticles.size(); ++i)
            mBatchDead[i] = RunStream(mAnimRun, mBatchParticles[i], ms, state, machine) ? 0 : 1;
    }
    mCollection->RetireMarked(mBatchDead.data());
}
