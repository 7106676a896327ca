#pragma once
// A particle effect described by a Lua script. The script allocates per-particle members, sizes
// the pool and writes member:Init(expression) / member:Anim(expression); the expressions compile
// into two instruction streams (run once on every new particle, and on every live particle per
// update) for a small stack machine over the particle's floats. The script's Update(seconds)
// creates particles and ends the effect.
//   TLuaParticleSystem sparks;                      // draws with the 2D renderer
//   sparks.Init("fx/sparks.lua");                   // or Lua text
//   sparks.Update(16); sparks.Draw(TVec3(400, 300, 0));
//
// Streams made only of the common functions run compiled (TParticleProgram), many particles at
// a time, with exactly the results of the one-particle machine; the rest run one particle at a
// time.
//
// Descriptions are data: anything over the machine's 8-bit limits (member and particle sizes,
// argument counts, stack depth, value sizes) or an Allocate after SetNumParticles makes the
// description fail to load, with a log line, leaving the system empty.
// With the configuration "lpsonescript" non-zero all systems share one Lua state and keep their
// Update functions apart as "Update<number>".

#include "core/files/asset_map.h"
#include "core/math/vec.h"
#include "core/system/failure.h"
#include "core/system/param_set.h"
#include "core/text/str.h"
#include "particles/machine/particle_function.h"
#include "particles/render/particle_renderer.h"

#include <lua.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class TParticleCollection;
class TParticleProgram;
class TParticleRenderer;
class TRandom;
class TScript;
class TScriptCode;

// One compiled call: the function and its argument sizes as the compiler saw them.
struct PInstruction
{
    std::shared_ptr<TParticleFunction> mFunction;
    uint8_t mArgCount = 0;
    uint8_t mInlineSizes[3] = {};
    // Sizes of instructions with more than three arguments.
    std::vector<uint8_t> mMoreSizes;

    const uint8_t* GetArgSizes() const { return mArgCount > 3 ? mMoreSizes.data() : mInlineSizes; }
};

class TLuaParticleSystem
{
public:
    // Largest pool SetNumParticles accepts.
    static constexpr int kMaxParticles = 1 << 20;

    // Without a renderer the system makes (and owns) a 2D one.
    explicit TLuaParticleSystem(TParticleRenderer* renderer = nullptr);
    virtual ~TLuaParticleSystem();
    TLuaParticleSystem(const TLuaParticleSystem&) = delete;
    TLuaParticleSystem& operator=(const TLuaParticleSystem&) = delete;

    // A name containing ".lua" is a description file, anything else Lua text. False when the
    // file does not exist or the description failed to load.
    virtual bool Init(const str& description);
    // Runs the script's Update with the seconds, then the animation stream on every particle.
    virtual void Update(int ms);
    void Draw(const TVec3& position);
    bool IsDone() const { return mDone; }
    int GetParticleCount() const;

    // Makes a function (not owned) readable by scripts under `name`, as a member handle;
    // returns its (negative) handle base, 0 when refused.
    int RegisterDataSource(const str& name, TParticleFunction* function);
    // Scripts reach the factory's functions as name(...).
    void RegisterFunction(const str& name, TParticleFunctionFactory factory);
    // A shared function instance that scripts reach by name.
    void RegisterNamedFunction(const str& name, std::shared_ptr<TParticleFunction> function);
    // Empties members, streams and pool and builds the Lua side afresh.
    void NewScript();
    // Adds n (possibly fractional) particles owed to the pool; whole ones are made now.
    void CreateParticles(float n);

    TScript* GetScript() const { return mScript; }
    TParticleRenderer* GetRenderer() const { return mRenderer; }
    const TParticleCollection& GetCollection() const { return *mCollection; }
    const std::vector<PInstruction>& GetInitStream() const { return mInitStream; }
    const std::vector<PInstruction>& GetAnimStream() const { return mAnimStream; }
    uint8_t GetParticleSize() const { return mParticleSize; }
    const std::vector<uint8_t>& GetMemberSizes() const { return mMemberSizes; }
    // Data source `number` counting from 1, or null.
    TParticleFunction* GetDataSource(int number) const
    {
        return number >= 1 && number <= static_cast<int>(mDataSources.size()) ? mDataSources[size_t(number - 1)]
                                                                              : nullptr;
    }
    int GetSystemNumber() const { return mSystemNumber; }

    // Streams of the common functions run compiled, many particles at a time, with the same
    // results as one particle at a time; off runs every stream one particle at a time (to check
    // the one against the other).
    void UseCompiledStreams(bool use) { mUseCompiledStreams = use; }
    // Whether the stream runs compiled now (compiling it when it changed).
    bool InitStreamCompiled() { return InitProgram() != nullptr; }
    bool AnimStreamCompiled() { return AnimProgram() != nullptr; }

    // The generator every particle function draws from (shared by all systems).
    static TRandom& Random();
    // Reports an index error of a running stream to the current failure handler.
    static void ReportFailure(const str& message, int line);
    static TFailure mDefaultFailureHandler;
    static TFailure* mFailureHandler;

private:
    friend struct TParticleLuaBindings;

    struct TRunStep
    {
        TParticleFunction* function;
        uint8_t argCount;
    };

    bool SharedScriptMode() const;
    // Binds the script-side globals to this system.
    void BindGlobals(lua_State* L);
    // Runs a chunk; false (after the report) when it could not be loaded or raised an error.
    bool RunChunk(const char* data, size_t length, const char* chunkName);
    void ProcessParticles(uint32_t ms);
    // A particle's run state over this system's member layout, before a particle is given.
    TParticleState NewParticleState() const;
    // Runs a stream over one particle's floats; false when the particle died in it.
    bool RunStream(const std::vector<TRunStep>& stream, float* particle, uint32_t ms, TParticleState& state,
                   TParticleMachineState& machine) const;
    // Appends the pending stream to a stream, following the deepest stack it can reach.
    void Accumulate(lua_State* L, std::vector<PInstruction>& stream, std::vector<TRunStep>& run, uint32_t& depth);
    void ResetPool();
    void DiscardDescription();
    // Calls the script's update function (by global name) with the step in seconds.
    void CallScriptUpdate(const str& function, uint32_t step);
    void StreamsChanged();
    // The stream's compiled form, built again when it changed; null when it cannot be compiled
    // or compiled streams are off.
    TParticleProgram* CompiledProgram(std::unique_ptr<TParticleProgram>& program, bool& stale,
                                      const std::vector<PInstruction>& stream);
    TParticleProgram* InitProgram();
    TParticleProgram* AnimProgram();

    // What the script side calls; a limit failure marks the load failed and raises a Lua error.
    int Allocate(lua_State* L);
    int CompileParam(lua_State* L);
    int CompileTable(lua_State* L);
    bool AssignFits(lua_State* L, int args);
    int SetNumParticles(lua_State* L);
    void SetTexture(const str& name);
    std::shared_ptr<TParticleFunction> GetParticleFunction(const str& name);
    // Marks the load failed and raises a Lua error (so it never returns normally).
    int LimitFailure(lua_State* L, const str& what);

    bool mOwnsRenderer = false;
    TParticleRenderer* mRenderer = nullptr;
    std::unique_ptr<TParticleCollection> mCollection;
    TScript* mScript = nullptr;
    int mSystemNumber = 0;
    std::shared_ptr<TScriptCode> mScriptCode;
    str mBaseFolder;
    uint8_t mParticleSize = 0;
    std::unique_ptr<float[]> mParticleBuffer;
    std::vector<uint8_t> mMemberSizes;
    // Member sizes and offsets as one layout (offsets are the same in every particle).
    uint8_t mMemberLayoutSizes[TParamSet::kSlots] = {};
    TParamSet mMemberLayout;
    std::vector<TParticleFunction*> mDataSources;
    std::map<str, TParticleFunctionFactory> mFunctionFactories;
    std::map<str, std::shared_ptr<TParticleFunction>> mNamedFunctions;
    std::vector<PInstruction> mInitStream;
    std::vector<PInstruction> mAnimStream;
    std::vector<PInstruction> mPendingStream;
    std::vector<TRunStep> mInitRun;
    std::vector<TRunStep> mAnimRun;
    // Deepest stack each stream can reach, counted as it compiles.
    uint32_t mInitDepth = 0;
    uint32_t mAnimDepth = 0;
    TAssetMap mAssets;
    float mAlphaScale = 1.0f;
    bool mDone = false;
    float mCreateAccumulator = 0;
    bool mPoolSized = false;
    bool mLoadFailed = false;
    str mLoadFailure;

    std::unique_ptr<TParticleProgram> mInitProgram;
    std::unique_ptr<TParticleProgram> mAnimProgram;
    bool mInitProgramStale = true;
    bool mAnimProgramStale = true;
    bool mUseCompiledStreams = true;
    // Kept between updates so a frame allocates nothing.
    std::vector<float*> mBatchParticles;
    std::vector<uint8_t> mBatchDead;
    // The last step's seconds, as the script sees them, and as text.
    uint32_t mUpdateStep = 0xFFFFFFFFu;
    double mUpdateSeconds = 0;
    str mUpdateArgument;
};
