#pragma once
// A compiled stream run over many particles at once. The stack machine's sizes, and so where a
// stream stops, depend only on the instructions, so a stream of the common functions can be
// worked out once: every stack value becomes a set of registers (one float per particle of a
// batch), and each instruction one loop over the batch. Random draws are taken in the order the
// one-particle-at-a-time machine takes them, and a cycle steps particle after particle, so the
// results are the same float for float. Large pools of particles that cannot affect one another
// (no draws, no cycles) are shared out over the particle worker threads.
//   TParticleProgram program;
//   if (program.Build(system.GetAnimStream(), particleSize)) program.Run(particles, n, 16, dead);
//
// Streams with data sources, debug output, picks, computed indices or functions of other
// classes are refused; the caller runs those one particle at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct PInstruction;
class FOpenCycle;

class TParticleProgram
{
public:
    // Particles per batch: the registers of one batch stay in the first-level cache.
    static constexpr unsigned kBatch = 128;
    // Pools from this size on are shared out over the particle worker threads when
    // CanRunInParallel.
    static constexpr size_t kParallelMinimum = 16384;

    // Most lanes (threads) Run may use; 0: as many as there are workers, 1: the caller only.
    static void SetLaneLimit(unsigned lanes) { mLaneLimit = lanes; }

    // False (and an empty program) when the stream cannot be compiled.
    bool Build(const std::vector<PInstruction>& stream, uint32_t floatCount);
    // Runs the stream over `count` particles (in order, or spread over threads when the order
    // cannot matter); dead[i] is set (never cleared) when particle i expired.
    void Run(float* const* particles, size_t count, uint32_t elapsed, uint8_t* dead);
    // Run in pieces: Begin once, then batches of at most kBatch particles in order. With more
    // than one lane, batches on different lanes may run at once, in any order, when
    // CanRunInParallel.
    void Begin(uint32_t elapsed, unsigned lanes = 1);
    void RunBatch(float* const* batch, unsigned count, uint8_t* dead, unsigned lane = 0);
    // True when no particle's results depend on the particles before it (no random draws, no
    // cycles).
    bool CanRunInParallel() const { return mParallel; }
    // Asks the cache for the floats a batch will touch.
    void Prefetch(const float* particle) const
    {
        __builtin_prefetch(particle + mFirstFloat, 1);
        __builtin_prefetch(particle + mLastFloat, 1);
    }

    // Ops run for every batch, and once per run.
    size_t GetOpCount() const { return mOps.size(); }
    size_t GetFrameOpCount() const { return mFrameOps.size(); }

    enum EKind : uint8_t
    {
        kCopy,
        kAdd,
        kSub,
        kMul,
        kDiv,
        kNeg,
        kLt,
        kLe,
        kExpire,
        kDistance,
        kRotation,
        kRange,
        kRadius,
        kFade,
        kCycle,
        // a + b x s: a time-scaled step added on.
        kMulAdd,
    };

    struct TOp
    {
        EKind kind;
        // Components of the result.
        uint8_t n = 0;
        bool closed = false;
        uint16_t dst[4] = {};
        // Index of the first source register in mSources and how many there are.
        uint32_t src = 0;
        uint16_t srcCount = 0;
        // Random ops: where their draws start within one particle's draws.
        uint16_t draw = 0;
        // Fades: the argument count (the time, then values and durations).
        uint16_t args = 0;
        FOpenCycle* cycle = nullptr;
    };

private:
    // What one thread needs to run batches: registers and scratch.
    struct TLane
    {
        std::vector<float> regs;
        std::vector<uint32_t> draws;
        std::vector<const float*> pointers;
        uint8_t dead[kBatch] = {};
        float fadeAt[kBatch] = {};
        uint32_t fadeHold[kBatch] = {};
    };

    void Clear();
    void RunOps(TLane& lane, const std::vector<TOp>& ops, unsigned count);
    // Particle floats into the registers and back.
    void LoadBatch(float* const* batch, unsigned n, float* regs) const;
    void StoreBatch(float* const* batch, unsigned n, const float* regs) const;
    // One batch on one lane: the same loops built for plain, 256-bit and 512-bit registers.
    void RunBatchIn(TLane& lane, float* const* batch, unsigned n, uint8_t* dead);
    void RunBatchPlain(TLane& lane, float* const* batch, unsigned n, uint8_t* dead);
    void RunBatchAvx2(TLane& lane, float* const* batch, unsigned n, uint8_t* dead);
    void RunBatchAvx512(TLane& lane, float* const* batch, unsigned n, uint8_t* dead);
    // Registers lie this many floats apart: not a power of two, so that one particle's column
    // of registers spreads over the cache's sets.
    static constexpr unsigned kRegStride = kBatch + 16;
    static float* Reg(TLane& lane, uint16_t r) { return lane.regs.data() + size_t(r) * kRegStride; }

    std::vector<TOp> mOps;
    // Ops whose sources are the same for every particle: run once per Run.
    std::vector<TOp> mFrameOps;
    std::vector<uint16_t> mSources;
    // Particle float -> register, read before the ops and written back after them.
    std::vector<std::pair<uint8_t, uint16_t>> mLoads;
    std::vector<std::pair<uint8_t, uint16_t>> mStores;
    // Registers are given as offsets into the lane's registers.
    struct TMove
    {
        uint32_t at;
        uint32_t reg;
    };
    // Four neighbouring floats of the particle moved together: one transpose for four particles.
    struct TBlock
    {
        uint32_t at;
        uint32_t reg[4];
    };
    // Every group of four floats inside the particle that the program touches is read whole;
    // one that holds a stored float is written whole (its other floats go back unchanged).
    std::vector<TBlock> mLoadBlocks;
    std::vector<TBlock> mStoreBlocks;
    // The floats outside the groups, one at a time.
    std::vector<TMove> mLoadMoves;
    std::vector<TMove> mStoreMoves;
    // The first and last float the program touches in a particle.
    uint8_t mFirstFloat = 0;
    uint8_t mLastFloat = 0;
    uint16_t mSecondsReg = 0;
    uint16_t mAgeReg = 0;
    uint16_t mDrawsPerParticle = 0;
    uint16_t mRegCount = 0;
    static unsigned mLaneLimit;
    bool mParallel = false;
    std::vector<std::unique_ptr<TLane>> mLanes;
};
