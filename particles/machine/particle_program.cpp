#include "particles/machine/particle_program.h"

#include "core/system/random.h"
#include "particles/machine/lua_particle_system.h"
#include "particles/machine/particle_functions.h"
#include "particles/machine/particle_index_math.h"
#include "particles/machine/particle_trig.h"
#include "particles/machine/particle_workers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <typeinfo>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

// A batch's loops are also built for wider registers, and the widest the processor has is picked
// at the first run (a plain call: no loader tricks, which the sanitizers do not survive). None
// of these loops fuses a multiply and an add, so every width rounds as the one-particle machine.
#if defined(__x86_64__) && defined(__GNUC__)
#define TV_WIDE_BATCHES 1
#endif
#define TV_BATCH_BODY __attribute__((always_inline)) inline

namespace {

constexpr uint16_t kNoReg = 0xFFFF;
// Registers above this would not fit the 16-bit register numbers.
constexpr unsigned kMaxRegs = 0xFFF0;

enum ERegClass : uint8_t
{
    kVarying,
    kConstant,
    // The same for every particle of one run (elapsed time and what follows from it).
    kFrame,
};

// A value on the machine's stack while compiling: which register holds each component.
struct TSymbol
{
    uint8_t size = 0;
    uint16_t reg[4] = {kNoReg, kNoReg, kNoReg, kNoReg};
};

template <class T>
bool Is(const TParticleFunction* f)
{
    return typeid(*f) == typeid(T);
}

class TBuilder
{
public:
    TBuilder(uint32_t floatCount, std::vector<TParticleProgram::TOp>& ops, std::vector<TParticleProgram::TOp>& frameOps,
             std::vector<uint16_t>& sources)
        : mFloatCount(floatCount), mOps(ops), mFrameOps(frameOps), mSources(sources)
    {
        std::fill(std::begin(mParticleReg), std::end(mParticleReg), kNoReg);
    }

    // False: the stream cannot be compiled. A stream that stops for every particle at some
    // instruction compiles up to it.
    bool Compile(const std::vector<PInstruction>& stream);

    uint16_t NewReg(ERegClass c)
    {
        if (mClass.size() >= kMaxRegs) {
            mTooBig = true;
            return 0;
        }
        mClass.push_back(c);
        mUses.push_back(0);
        mConstValue.push_back(0);
        return static_cast<uint16_t>(mClass.size() - 1);
    }

    uint16_t Constant(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        auto found = mConstants.find(bits);
        if (found != mConstants.end())
            return found->second;
        const uint16_t r = NewReg(kConstant);
        if (!mTooBig)
            mConstValue[r] = value;
        mConstants[bits] = r;
        return r;
    }

    // A float is read from the particle only when the stream reads it before writing it.
    uint16_t ParticleReg(unsigned f, bool read)
    {
        if (mParticleReg[f] == kNoReg)
            mParticleReg[f] = NewReg(kVarying);
        if (read && !mWritten[f] && !mLoaded[f]) {
            mLoaded[f] = true;
            mLoads.push_back({static_cast<uint8_t>(f), mParticleReg[f]});
        }
        return mParticleReg[f];
    }

    uint16_t Temp()
    {
        if (!mFreeTemps.empty()) {
            const uint16_t r = mFreeTemps.back();
            mFreeTemps.pop_back();
            return r;
        }
        const uint16_t r = NewReg(kVarying);
        mIsTemp.resize(mClass.size(), false);
        mIsTemp[r] = true;
        return r;
    }

    bool IsTemp(uint16_t r) const { return r < mIsTemp.size() && mIsTemp[r]; }
    bool SameForAll(uint16_t r) const { return mClass[r] != kVarying; }

    void Push(const TSymbol& s)
    {
        for (unsigned c = 0; c < s.size; ++c)
            if (IsTemp(s.reg[c]))
                ++mUses[s.reg[c]];
        mStack.push_back(s);
    }

    // Drops the top `count` values; temps nobody holds any more become free after the op that
    // read them was emitted (the caller emits first).
    void Pop(unsigned count)
    {
        for (unsigned k = 0; k < count; ++k) {
            const TSymbol& s = mStack.back();
            for (unsigned c = 0; c < s.size; ++c)
                if (IsTemp(s.reg[c]) && --mUses[s.reg[c]] == 0)
                    mFreeTemps.push_back(s.reg[c]);
            mStack.pop_back();
        }
    }

    // Emits an op; its result registers are fresh temps, or frame registers when every source is
    // the same for all particles and the op has no effect beyond its result.
    TSymbol Emit(TParticleProgram::TOp op, const std::vector<uint16_t>& sources, bool pure)
    {
        bool frame = pure;
        for (uint16_t s : sources)
            frame = frame && SameForAll(s);
        op.src = static_cast<uint32_t>(mSources.size());
        op.srcCount = static_cast<uint16_t>(sources.size());
        mSources.insert(mSources.end(), sources.begin(), sources.end());
        TSymbol result;
        result.size = op.n;
        for (unsigned c = 0; c < op.n; ++c) {
            result.reg[c] = op.dst[c] = frame ? NewReg(kFrame) : Temp();
            if (!frame)
                NoteWriter(op.dst[c], static_cast<int>(mOps.size()));
        }
        (frame ? mFrameOps : mOps).push_back(op);
        return result;
    }

    // Before particle float f is written, stack values still reading it take a copy.
    void DetachReaders(unsigned f)
    {
        const uint16_t r = mParticleReg[f];
        if (r == kNoReg)
            return;
        for (TSymbol& s : mStack)
            for (unsigned c = 0; c < s.size; ++c)
                if (s.reg[c] == r) {
                    const uint16_t copy = Temp();
                    NoteWriter(copy, -1);
                    EmitCopy(copy, r);
                    ++mUses[copy];
                    s.reg[c] = copy;
                }
    }

    void EmitCopy(uint16_t to, uint16_t from)
    {
        TParticleProgram::TOp op{TParticleProgram::kCopy};
        op.n = 1;
        op.dst[0] = to;
        op.src = static_cast<uint32_t>(mSources.size());
        op.srcCount = 1;
        mSources.push_back(from);
        mOps.push_back(op);
    }

    // Writes `value` into particle float f. When the op that made the value can write the float
    // itself (nothing between it and here touches either), it does so and no copy is needed.
    void Store(unsigned f, uint16_t value, bool soleHolder)
    {
        const uint16_t target = ParticleReg(f, false);
        mWritten[f] = true;
        if (target == value)
            return;
        if (std::find_if(mStores.begin(), mStores.end(), [f](const auto& s) { return s.first == f; }) == mStores.end())
            mStores.push_back({static_cast<uint8_t>(f), target});
        if (!(soleHolder && Retarget(value, target)))
            EmitCopy(target, value);
    }

    bool Retarget(uint16_t temp, uint16_t target)
    {
        using P = TParticleProgram;
        if (!IsTemp(temp) || mUses[temp] != 1 || temp >= mWriter.size() || mWriter[temp] < 0)
            return false;
        const size_t k = static_cast<size_t>(mWriter[temp]);
        for (size_t later = k + 1; later < mOps.size(); ++later) {
            const P::TOp& op = mOps[later];
            for (unsigned c = 0; c < op.n; ++c)
                if (op.dst[c] == target || op.dst[c] == temp)
                    return false;
            for (unsigned i = 0; i < op.srcCount; ++i)
                if (mSources[op.src + i] == target || mSources[op.src + i] == temp)
                    return false;
        }
        P::TOp& op = mOps[k];
        unsigned component = op.n;
        for (unsigned c = 0; c < op.n; ++c)
            if (op.dst[c] == temp)
                component = c;
        if (component == op.n)
            return false;
        // The op may read the float it now writes only where each component reads its own.
        for (unsigned i = 0; i < op.srcCount; ++i)
            if (mSources[op.src + i] == target && SourceComponent(op, i) != static_cast<int>(component))
                return false;
        op.dst[component] = target;
        mWriter[temp] = -1;
        return true;
    }

    // The result component that source i of an elementwise op feeds; -1 when it feeds every
    // component or the op is not elementwise.
    static int SourceComponent(const TParticleProgram::TOp& op, unsigned i)
    {
        using P = TParticleProgram;
        switch (op.kind) {
        case P::kCopy:
        case P::kNeg: return static_cast<int>(i);
        case P::kAdd:
        case P::kSub: return static_cast<int>(i % op.n);
        case P::kMulAdd: return i < 2u * op.n ? static_cast<int>(i % op.n) : -1;
        case P::kLt:
        case P::kLe:
        case P::kExpire: return 0;
        default: return -1;
        }
    }

    // a + (b x s) in one op when the multiply was the last op and nothing else holds its result.
    bool FuseMulAdd(unsigned n, const std::vector<uint16_t>& sources, unsigned count)
    {
        using P = TParticleProgram;
        if (mOps.empty())
            return false;
        const P::TOp mul = mOps.back();
        if (mul.kind != P::kMul || mul.n != n)
            return false;
        for (unsigned c = 0; c < n; ++c) {
            if (sources[n + c] != mul.dst[c] || !IsTemp(mul.dst[c]) || mUses[mul.dst[c]] != 1)
                return false;
            for (unsigned k = 0; k < n; ++k)
                if (sources[c] == mul.dst[k])
                    return false;
        }
        std::vector<uint16_t> fused(sources.begin(), sources.begin() + n);
        for (unsigned c = 0; c <= n; ++c)
            fused.push_back(mSources[mul.src + c]);
        mOps.pop_back();
        P::TOp op{P::kMulAdd};
        op.n = static_cast<uint8_t>(n);
        const TSymbol result = Emit(op, fused, true);
        Pop(count);
        Push(result);
        return true;
    }

    void NoteWriter(uint16_t reg, int op)
    {
        if (mWriter.size() <= reg)
            mWriter.resize(size_t(reg) + 1, -1);
        mWriter[reg] = op;
    }

    bool ConstantOf(uint16_t r, float* value) const
    {
        if (mClass[r] != kConstant)
            return false;
        *value = mConstValue[r];
        return true;
    }

    uint32_t mFloatCount;
    std::vector<TParticleProgram::TOp>& mOps;
    std::vector<TParticleProgram::TOp>& mFrameOps;
    std::vector<uint16_t>& mSources;
    std::vector<uint8_t> mClass;
    std::vector<uint32_t> mUses;
    std::vector<float> mConstValue;
    std::vector<bool> mIsTemp;
    std::vector<uint16_t> mFreeTemps;
    std::map<uint32_t, uint16_t> mConstants;
    uint16_t mParticleReg[256];
    bool mLoaded[256] = {};
    bool mWritten[256] = {};
    std::vector<std::pair<uint8_t, uint16_t>> mLoads;
    std::vector<std::pair<uint8_t, uint16_t>> mStores;
    std::vector<TSymbol> mStack;
    // The op (index in mOps) that last wrote each temp; -1 when unknown.
    std::vector<int> mWriter;
    uint16_t mSecondsReg = kNoReg;
    uint16_t mAgeReg = kNoReg;
    uint16_t mDraws = 0;
    bool mTooBig = false;
};

bool TBuilder::Compile(const std::vector<PInstruction>& stream)
{
    using P = TParticleProgram;
    // A cycle keeps its count in the function object: one object stepping in two places of a
    // stream would interleave differently when run a batch at a time.
    std::vector<const TParticleFunction*> cycles;
    for (const PInstruction& instruction : stream) {
        const TParticleFunction* f = instruction.mFunction.get();
        if (f && (Is<FOpenCycle>(f) || Is<FClosedCycle>(f))) {
            if (std::find(cycles.begin(), cycles.end(), f) != cycles.end())
                return false;
            cycles.push_back(f);
        }
    }

    for (const PInstruction& instruction : stream) {
        TParticleFunction* f = instruction.mFunction.get();
        if (!f)
            return false;
        const unsigned count = instruction.mArgCount;
        if (count > mStack.size())
            return true;
        const size_t at = mStack.size() - count;
        // The result goes to the write index, which must be a slot of the stack.
        if (at >= TParticleValueStack::kSlots)
            return true;
        auto arg = [&](unsigned i) -> const TSymbol& { return mStack[at + i]; };
        auto size = [&](unsigned i) -> unsigned { return arg(i).size; };
        // Every float of the arguments, one after another (as they lie on the real stack).
        auto flat = [&]() {
            std::vector<uint16_t> regs;
            for (unsigned i = 0; i < count; ++i)
                for (unsigned c = 0; c < size(i); ++c)
                    regs.push_back(arg(i).reg[c]);
            return regs;
        };
        // b as n floats: components past its own size read as 0.
        auto padded = [&](unsigned i, unsigned n, std::vector<uint16_t>& out) {
            for (unsigned c = 0; c < n; ++c)
                out.push_back(c < size(i) ? arg(i).reg[c] : Constant(0.0f));
        };
        auto simple = [&](P::EKind kind, unsigned n, const std::vector<uint16_t>& sources, bool pure) {
            P::TOp op{kind};
            op.n = static_cast<uint8_t>(n);
            const TSymbol result = Emit(op, sources, pure);
            Pop(count);
            Push(result);
        };
        // The result may hold registers of the arguments: they stay held across the pop.
        auto replaceWith = [&](const TSymbol& result) {
            Push(result);
            const TSymbol held = mStack.back();
            mStack.pop_back();
            Pop(count);
            mStack.push_back(held);
        };

        if (Is<FPush<float>>(f) || Is<FPush<TVec2>>(f) || Is<FPush<TVec3>>(f) || Is<FPush<TVec4>>(f)) {
            const float* values = nullptr;
            unsigned n = 0;
            if (auto* p1 = dynamic_cast<FPush<float>*>(f))
                values = p1->mValue, n = 1;
            else if (auto* p2 = dynamic_cast<FPush<TVec2>*>(f))
                values = p2->mValue, n = 2;
            else if (auto* p3 = dynamic_cast<FPush<TVec3>*>(f))
                values = p3->mValue, n = 3;
            else if (auto* p4 = dynamic_cast<FPush<TVec4>*>(f))
                values = p4->mValue, n = 4;
            TSymbol s;
            s.size = static_cast<uint8_t>(n);
            for (unsigned c = 0; c < n; ++c)
                s.reg[c] = Constant(values[c]);
            replaceWith(s);
        } else if (Is<FGetParticleParam>(f)) {
            const auto* get = static_cast<const FGetParticleParam*>(f);
            if (get->mBase < 0)
                return false;  // a data source: anything may happen in it
            if (static_cast<uint32_t>(get->mBase) + get->mSize > mFloatCount || get->mSize > 4)
                return true;
            TSymbol s;
            s.size = static_cast<uint8_t>(get->mSize);
            for (unsigned c = 0; c < get->mSize; ++c)
                s.reg[c] = ParticleReg(static_cast<unsigned>(get->mBase) + c, true);
            replaceWith(s);
        } else if (Is<FAssign>(f)) {
            if (count != 3 || size(1) != 1 || size(2) != 1)
                return true;
            float baseValue = 0;
            if (!ConstantOf(arg(1).reg[0], &baseValue))
                return false;
            const int base = particle_index::Truncated(baseValue);
            const unsigned n = size(0);
            if (base < 0 || static_cast<uint32_t>(base) + n > mFloatCount)
                return true;
            TSymbol value = arg(0);
            // A value read from the floats being written is copied first (a swap must see the
            // old floats).
            for (unsigned c = 0; c < n; ++c)
                for (unsigned k = 0; k < n; ++k)
                    if (k != c && value.reg[c] == mParticleReg[unsigned(base) + k]) {
                        P::TOp op{P::kCopy};
                        op.n = 1;
                        value.reg[c] = Emit(op, {value.reg[c]}, false).reg[0];
                        break;
                    }
            // The value's temps stay held until stored: copies made for the stack below must
            // not land in them.
            for (unsigned c = 0; c < n; ++c)
                if (IsTemp(value.reg[c]))
                    ++mUses[value.reg[c]];
            Pop(count);
            for (unsigned c = 0; c < n; ++c) {
                DetachReaders(unsigned(base) + c);
                const bool once = std::count(value.reg, value.reg + n, value.reg[c]) == 1;
                Store(unsigned(base) + c, value.reg[c], once);
            }
            for (unsigned c = 0; c < n; ++c)
                if (IsTemp(value.reg[c]) && --mUses[value.reg[c]] == 0)
                    mFreeTemps.push_back(value.reg[c]);
        } else if (Is<FTimeScale>(f)) {
            if (count != 1)
                return true;
            if (mSecondsReg == kNoReg)
                mSecondsReg = NewReg(kFrame);
            std::vector<uint16_t> sources;
            for (unsigned c = 0; c < size(0); ++c)
                sources.push_back(arg(0).reg[c]);
            sources.push_back(mSecondsReg);
            simple(P::kMul, size(0), sources, true);
        } else if (Is<FExpire>(f)) {
            if (count != 1 || size(0) != 1)
                return true;
            simple(P::kExpire, 1, {arg(0).reg[0]}, false);
        } else if (Is<FAge>(f)) {
            if (count != 0)
                return true;
            if (mAgeReg == kNoReg)
                mAgeReg = NewReg(kFrame);
            TSymbol s;
            s.size = 1;
            s.reg[0] = mAgeReg;
            replaceWith(s);
        } else if (Is<FVec>(f)) {
            const std::vector<uint16_t> floats = flat();
            if (count < 1 || count > 4 || floats.size() < count)
                return true;
            TSymbol s;
            s.size = static_cast<uint8_t>(count);
            for (unsigned c = 0; c < count; ++c)
                s.reg[c] = floats[c];
            replaceWith(s);
        } else if (Is<FAdd>(f) || Is<FSub>(f)) {
            if (count != 2)
                return true;
            const unsigned n = size(0);
            std::vector<uint16_t> sources(arg(0).reg, arg(0).reg + n);
            padded(1, n, sources);
            if (!(Is<FAdd>(f) && FuseMulAdd(n, sources, count)))
                simple(Is<FAdd>(f) ? P::kAdd : P::kSub, n, sources, true);
        } else if (Is<FMul>(f) || Is<FDiv>(f)) {
            if (count != 2 || size(1) != 1)
                return true;
            const unsigned n = size(0);
            std::vector<uint16_t> sources(arg(0).reg, arg(0).reg + n);
            sources.push_back(arg(1).reg[0]);
            simple(Is<FMul>(f) ? P::kMul : P::kDiv, n, sources, true);
        } else if (Is<FUnm>(f)) {
            if (count != 1)
                return true;
            simple(P::kNeg, size(0), std::vector<uint16_t>(arg(0).reg, arg(0).reg + size(0)), true);
        } else if (Is<FDistance>(f)) {
            if (count != 2)
                return true;
            const unsigned n = size(0);
            std::vector<uint16_t> sources(arg(0).reg, arg(0).reg + n);
            padded(1, n, sources);
            P::TOp op{P::kDistance};
            op.n = 1;
            // The op needs n; it is the half of its sources.
            const TSymbol result = Emit(op, sources, true);
            Pop(count);
            Push(result);
        } else if (Is<FAlpha>(f)) {
            if (count != 2 || size(0) < 3)
                return true;
            if (size(1) == 0)
                return false;  // the alpha would be whatever float lies next
            TSymbol s;
            s.size = 4;
            s.reg[0] = arg(0).reg[0];
            s.reg[1] = arg(0).reg[1];
            s.reg[2] = arg(0).reg[2];
            s.reg[3] = arg(1).reg[0];
            replaceWith(s);
        } else if (Is<FVIndex>(f)) {
            if (count != 2 || size(1) != 1)
                return true;
            float k = 0;
            if (!ConstantOf(arg(1).reg[0], &k))
                return false;
            const int i = particle_index::ZeroBased(k);
            if (i < 0 || i >= static_cast<int>(size(0)))
                return true;
            TSymbol s;
            s.size = 1;
            s.reg[0] = arg(0).reg[i];
            replaceWith(s);
        } else if (Is<FIndex>(f)) {
            if (count != 2 || size(0) != 1 || size(1) != 1)
                return true;
            float baseValue = 0, k = 0;
            if (!ConstantOf(arg(0).reg[0], &baseValue) || !ConstantOf(arg(1).reg[0], &k))
                return false;
            const int base = particle_index::Truncated(baseValue);
            const int i = particle_index::ZeroBased(k);
            const int j = (base & 0xFF) + i;
            // Data sources and reported misses stay with the one-particle machine.
            if (base < 0 || i < 0 || j >= static_cast<int>(mFloatCount))
                return false;
            TSymbol s;
            s.size = 1;
            s.reg[0] = ParticleReg(static_cast<unsigned>(j), true);
            replaceWith(s);
        } else if (Is<FLt>(f) || Is<FLe>(f)) {
            if (count != 2 || size(0) != 1 || size(1) != 1)
                return true;
            simple(Is<FLt>(f) ? P::kLt : P::kLe, 1, {arg(0).reg[0], arg(1).reg[0]}, true);
        } else if (Is<FRange>(f)) {
            if (count != 2 || size(0) != size(1))
                return true;
            const unsigned n = size(0);
            std::vector<uint16_t> sources(arg(0).reg, arg(0).reg + n);
            sources.insert(sources.end(), arg(1).reg, arg(1).reg + n);
            P::TOp op{P::kRange};
            op.n = static_cast<uint8_t>(n);
            op.draw = mDraws;
            mDraws = static_cast<uint16_t>(mDraws + n);
            const TSymbol result = Emit(op, sources, false);
            Pop(count);
            Push(result);
        } else if (Is<F2dRadius>(f)) {
            if (count < 1 || count > 2 || size(0) != 1 || (count == 2 && size(1) != 2))
                return true;
            P::TOp op{P::kRadius};
            op.n = 2;
            op.draw = mDraws;
            mDraws = static_cast<uint16_t>(mDraws + 1);
            const TSymbol result = Emit(op, {arg(0).reg[0]}, false);
            Pop(count);
            Push(result);
        } else if (Is<F2dRotation>(f)) {
            if (count != 1 || size(0) != 1)
                return true;
            simple(P::kRotation, 2, {arg(0).reg[0]}, true);
        } else if (Is<FFade>(f)) {
            if (count < 2 || size(0) != 1)
                return true;
            const unsigned n = size(1);
            for (unsigned i = 2; i < count; ++i)
                if (size(i) != (i % 2 == 1 ? n : 1u))
                    return true;
            P::TOp op{P::kFade};
            op.n = static_cast<uint8_t>(n);
            op.args = static_cast<uint16_t>(count);
            const TSymbol result = Emit(op, flat(), true);
            Pop(count);
            Push(result);
        } else if (Is<FOpenCycle>(f) || Is<FClosedCycle>(f)) {
            if (count != 3 || size(0) != size(1) || size(2) != 1)
                return true;
            if (size(0) == 0)
                return false;
            P::TOp op{P::kCycle};
            op.n = 1;
            op.closed = Is<FClosedCycle>(f);
            op.cycle = static_cast<FOpenCycle*>(f);
            const TSymbol result = Emit(op, {arg(0).reg[0], arg(1).reg[0], arg(2).reg[0]}, false);
            Pop(count);
            Push(result);
        } else {
            return false;
        }
        if (mTooBig || mDraws > 4096)
            return false;
    }
    return !mTooBig;
}

// [0, 1) from one 32-bit draw, as the random functions make it.
inline double Unit(uint32_t draw)
{
    return static_cast<double>(draw) / 4294967296.0;
}

}  // namespace

void TParticleProgram::Clear()
{
    mOps.clear();
    mFrameOps.clear();
    mSources.clear();
    mLoads.clear();
    mStores.clear();
    mLoadMoves.clear();
    mStoreMoves.clear();
    mLoadBlocks.clear();
    mStoreBlocks.clear();
    mLanes.clear();
    mRegCount = 0;
    mParallel = false;
    mDrawsPerParticle = 0;
}

bool TParticleProgram::Build(const std::vector<PInstruction>& stream, uint32_t floatCount)
{
    Clear();
    TBuilder builder(std::min<uint32_t>(floatCount, 255), mOps, mFrameOps, mSources);
    if (!builder.Compile(stream)) {
        Clear();
        return false;
    }
    if (builder.mSecondsReg == kNoReg)
        builder.mSecondsReg = builder.NewReg(kFrame);
    if (builder.mAgeReg == kNoReg)
        builder.mAgeReg = builder.NewReg(kFrame);
    if (builder.mTooBig) {
        Clear();
        return false;
    }
    mSecondsReg = builder.mSecondsReg;
    mAgeReg = builder.mAgeReg;
    mLoads = builder.mLoads;
    mStores = builder.mStores;
    const uint32_t floats = std::min<uint32_t>(floatCount, 255);
    std::vector<uint16_t> regOf(floats, kNoReg);
    std::vector<uint8_t> stored(floats, 0);
    std::vector<uint8_t> inBlock(floats, 0);
    for (const auto& [f, r] : mLoads)
        regOf[f] = r;
    for (const auto& [f, r] : mStores) {
        regOf[f] = r;
        stored[f] = 1;
    }
    std::vector<uint16_t> touched = regOf;
    auto addBlock = [&](uint32_t at) {
        TBlock block{at, {}};
        for (uint32_t c = 0; c < 4; ++c) {
            // A float the program does not touch still needs a place while it passes through.
            if (regOf[at + c] == kNoReg)
                regOf[at + c] = builder.NewReg(kVarying);
            block.reg[c] = static_cast<uint32_t>(regOf[at + c]) * kRegStride;
            inBlock[at + c] = 1;
        }
        mLoadBlocks.push_back(block);
        if (std::any_of(stored.begin() + at, stored.begin() + at + 4, [](uint8_t s) { return s != 0; }))
            mStoreBlocks.push_back(block);
    };
    for (uint32_t at = 0; at + 4 <= floats; at += 4)
        if (std::any_of(touched.begin() + at, touched.begin() + at + 4, [](uint16_t r) { return r != kNoReg; }))
            addBlock(at);
    // The last few floats go in a group that ends with the particle, overlapping the one before
    // (a float in both is read twice and written twice from the same register).
    if (floats % 4 != 0 && floats >= 4) {
        bool wanted = false;
        for (uint32_t f = floats - floats % 4; f < floats; ++f)
            wanted = wanted || touched[f] != kNoReg;
        if (wanted)
            addBlock(floats - 4);
    }
    if (builder.mTooBig) {
        Clear();
        return false;
    }
    auto moves = [&inBlock](std::vector<std::pair<uint8_t, uint16_t>> access) {
        std::sort(access.begin(), access.end());
        std::vector<TMove> out;
        for (const auto& [f, r] : access)
            if (!inBlock[f])
                out.push_back({f, static_cast<uint32_t>(r) * kRegStride});
        return out;
    };
    mLoadMoves = moves(mLoads);
    mStoreMoves = moves(mStores);
    mFirstFloat = 255;
    mLastFloat = 0;
    for (const auto& access : {mLoads, mStores})
        for (const auto& [f, r] : access) {
            mFirstFloat = std::min<uint8_t>(mFirstFloat, f);
            mLastFloat = std::max<uint8_t>(mLastFloat, f);
        }
    if (mFirstFloat > mLastFloat)
        mFirstFloat = mLastFloat = 0;
    mDrawsPerParticle = builder.mDraws;
    mRegCount = static_cast<uint16_t>(builder.mClass.size());
    mLanes.push_back(std::make_unique<TLane>());
    TLane& lane = *mLanes.front();
    lane.regs.assign(size_t(mRegCount) * kRegStride, 0.0f);
    for (uint16_t r = 0; r < mRegCount; ++r)
        if (builder.mClass[r] == kConstant)
            std::fill_n(Reg(lane, r), kBatch, builder.mConstValue[r]);
    lane.draws.assign(size_t(mDrawsPerParticle) * kBatch, 0);
    // Particles are independent unless they share the generator or a cycle's count.
    mParallel = mDrawsPerParticle == 0 &&
                std::none_of(mOps.begin(), mOps.end(), [](const TOp& op) { return op.kind == kCycle; });
    return true;
}

TV_BATCH_BODY void TParticleProgram::RunOps(TLane& lane, const std::vector<TOp>& ops, unsigned exact)
{
    // Loops of one particle at a time run over the batch's particles; loops that treat each
    // particle alike run on to a whole number of the widest registers (the columns past the
    // batch are spare room): no leftover loop to build or take.
    static_assert(kBatch % 16 == 0 && kRegStride >= kBatch);
    const unsigned count = (exact + 15u) & ~15u;
    auto Reg = [&lane](uint16_t r) { return lane.regs.data() + size_t(r) * kRegStride; };
    const uint32_t* draws = lane.draws.data();
    for (const TOp& op : ops) {
        const uint16_t* src = mSources.data() + op.src;
        switch (op.kind) {
        case kCopy: {
            float* d = Reg(op.dst[0]);
            const float* a = Reg(src[0]);
            for (unsigned i = 0; i < count; ++i)
                d[i] = a[i];
            break;
        }
        case kAdd:
        case kSub:
            for (unsigned c = 0; c < op.n; ++c) {
                float* d = Reg(op.dst[c]);
                const float* a = Reg(src[c]);
                const float* b = Reg(src[op.n + c]);
                if (op.kind == kAdd)
                    for (unsigned i = 0; i < count; ++i)
                        d[i] = a[i] + b[i];
                else
                    for (unsigned i = 0; i < count; ++i)
                        d[i] = a[i] - b[i];
            }
            break;
        case kMul:
        case kDiv:
            for (unsigned c = 0; c < op.n; ++c) {
                float* d = Reg(op.dst[c]);
                const float* a = Reg(src[c]);
                const float* b = Reg(src[op.n]);
                if (op.kind == kMul)
                    for (unsigned i = 0; i < count; ++i)
                        d[i] = a[i] * b[i];
                else
                    for (unsigned i = 0; i < count; ++i)
                        d[i] = a[i] / b[i];
            }
            break;
        case kMulAdd:
            for (unsigned c = 0; c < op.n; ++c) {
                float* d = Reg(op.dst[c]);
                const float* a = Reg(src[c]);
                const float* b = Reg(src[op.n + c]);
                const float* k = Reg(src[2 * op.n]);
                for (unsigned i = 0; i < count; ++i) {
                    const float step = b[i] * k[i];
                    d[i] = a[i] + step;
                }
            }
            break;
        case kNeg:
            for (unsigned c = 0; c < op.n; ++c) {
                float* d = Reg(op.dst[c]);
                const float* a = Reg(src[c]);
                for (unsigned i = 0; i < count; ++i)
                    d[i] = -a[i];
            }
            break;
        case kLt:
        case kLe: {
            float* d = Reg(op.dst[0]);
            const float* a = Reg(src[0]);
            const float* b = Reg(src[1]);
            if (op.kind == kLt)
                for (unsigned i = 0; i < count; ++i)
                    d[i] = a[i] < b[i] ? 1.0f : 0.0f;
            else
                for (unsigned i = 0; i < count; ++i)
                    d[i] = a[i] <= b[i] ? 1.0f : 0.0f;
            break;
        }
        case kExpire: {
            float* d = Reg(op.dst[0]);
            const float* a = Reg(src[0]);
            for (unsigned i = 0; i < exact; ++i) {
                const bool expired = a[i] != 0;
                d[i] = expired ? 1.0f : 0.0f;
                lane.dead[i] |= expired ? 1 : 0;
            }
            break;
        }
        case kDistance: {
            const unsigned n = op.srcCount / 2;
            float* d = Reg(op.dst[0]);
            for (unsigned i = 0; i < exact; ++i) {
                double sum = 0;
                for (unsigned c = 0; c < n; ++c) {
                    const double e = static_cast<double>(Reg(src[c])[i]) - static_cast<double>(Reg(src[n + c])[i]);
                    sum += e * e;
                }
                d[i] = static_cast<float>(std::sqrt(sum));
            }
            break;
        }
        case kRotation: {
            float* x = Reg(op.dst[0]);
            float* y = Reg(op.dst[1]);
            const float* a = Reg(src[0]);
            // The widened loop first, then the few far angles again (looked for only when the
            // batch has any).
            unsigned far = 0;
            for (unsigned i = 0; i < count; ++i) {
                particle_trig::CosSinNear(a[i], &x[i], &y[i]);
                far |= particle_trig::IsNear(a[i]) ? 0u : 1u;
            }
            if (far)
                for (unsigned i = 0; i < exact; ++i)
                    if (!particle_trig::IsNear(a[i]))
                        particle_trig::CosSinFar(a[i], &x[i], &y[i]);
            break;
        }
        case kRange:
            for (unsigned c = 0; c < op.n; ++c) {
                float* d = Reg(op.dst[c]);
                const float* a = Reg(src[c]);
                const float* b = Reg(src[op.n + c]);
                const uint32_t* r = draws + op.draw + c;
                for (unsigned i = 0; i < count; ++i)
                    d[i] = a[i] + static_cast<float>(Unit(r[size_t(i) * mDrawsPerParticle])) * (b[i] - a[i]);
            }
            break;
        case kRadius: {
            float* x = Reg(op.dst[0]);
            float* y = Reg(op.dst[1]);
            const float* radius = Reg(src[0]);
            const uint32_t* r = draws + op.draw;
            for (unsigned i = 0; i < exact; ++i) {
                const float rr = radius[i];
                const double angle = 2.0 * 3.1415927 * Unit(r[size_t(i) * mDrawsPerParticle]);
                x[i] = rr * static_cast<float>(std::cos(angle));
                y[i] = rr * static_cast<float>(std::sin(angle));
            }
            break;
        }
        case kFade: {
            // Sources: t, then values (n floats) and durations (1 float) alternating.
            const unsigned n = op.n;
            const unsigned args = op.args;
            lane.pointers.resize(op.srcCount);
            for (unsigned k = 0; k < op.srcCount; ++k)
                lane.pointers[k] = Reg(src[k]);
            const float* const* in = lane.pointers.data();
            float* out[4] = {};
            for (unsigned c = 0; c < n; ++c)
                out[c] = Reg(op.dst[c]);
            const float* time = in[0];
            if (args == 4) {
                // The usual fade, one value into the next over one duration: where each particle
                // stands first, then the components (loops the compiler can widen).
                const float* duration = in[1 + n];
                float* f = lane.fadeAt;
                uint32_t* hold = lane.fadeHold;
                for (unsigned i = 0; i < count; ++i) {
                    float t = time[i];
                    if (t < 0)
                        t = 0;
                    const float d = duration[i];
                    // Worked out for every particle (no branch): unused where the fade is over.
                    hold[i] = d > t ? 0u : ~0u;
                    f[i] = t / d;
                }
                for (unsigned c = 0; c < n; ++c) {
                    const float* from = in[1 + c];
                    const float* to = in[2 + n + c];
                    float* o = out[c];
                    for (unsigned i = 0; i < count; ++i) {
                        const float a = from[i];
                        const float b = to[i];
                        const float blend = a + (b - a) * f[i];
                        // Picked by mask: a select the compiler can widen.
                        const uint32_t pick =
                            (std::bit_cast<uint32_t>(b) & hold[i]) | (std::bit_cast<uint32_t>(blend) & ~hold[i]);
                        o[i] = std::bit_cast<float>(pick);
                    }
                }
                break;
            }
            auto value = [&](unsigned j) { return in + 1 + (j - 1) / 2 * (n + 1); };
            auto duration = [&](unsigned j) { return in[1 + (j - 2) / 2 * (n + 1) + n]; };
            for (unsigned i = 0; i < exact; ++i) {
                float t = time[i];
                if (t < 0)
                    t = 0;
                unsigned at = 1;
                bool done = false;
                while (at + 2 < args) {
                    const float d = duration(at + 1)[i];
                    if (d > t) {
                        const float* const* from = value(at);
                        const float* const* to = value(at + 2);
                        const float f = t / d;
                        for (unsigned c = 0; c < n; ++c) {
                            const float a = from[c][i];
                            out[c][i] = a + (to[c][i] - a) * f;
                        }
                        done = true;
                        break;
                    }
                    t -= d;
                    at += 2;
                }
                if (!done) {
                    const float* const* last = value(at);
                    for (unsigned c = 0; c < n; ++c)
                        out[c][i] = last[c][i];
                }
            }
            break;
        }
        case kCycle: {
            float* d = Reg(op.dst[0]);
            const float* a = Reg(src[0]);
            const float* b = Reg(src[1]);
            const float* steps = Reg(src[2]);
            int counter = op.cycle->mCounter;
            for (unsigned i = 0; i < exact; ++i) {
                const float t = static_cast<float>(counter) / (op.closed ? steps[i] - 1 : steps[i]);
                d[i] = a[i] + (b[i] - a[i]) * t;
                counter += 1;
                if (!(static_cast<float>(counter) < steps[i]))
                    counter = 0;
            }
            op.cycle->mCounter = counter;
            break;
        }
        }
    }
}

void TParticleProgram::Begin(uint32_t elapsed, unsigned lanes)
{
    if (mLanes.empty())
        return;
    TLane& first = *mLanes.front();
    std::fill_n(Reg(first, mSecondsReg), kBatch, static_cast<float>(elapsed) / 1000.0f);
    std::fill_n(Reg(first, mAgeReg), kBatch, static_cast<float>(elapsed));
    RunOps(first, mFrameOps, kBatch);
    // Other lanes start from the first one's registers: constants and this run's frame values.
    while (mLanes.size() < lanes)
        mLanes.push_back(std::make_unique<TLane>());
    for (unsigned l = 1; l < lanes; ++l) {
        mLanes[l]->regs = first.regs;
        mLanes[l]->draws.resize(first.draws.size());
    }
}

TV_BATCH_BODY void TParticleProgram::LoadBatch(float* const* batch, unsigned n, float* regs) const
{
    for (const TBlock& b : mLoadBlocks) {
        float* c0 = regs + b.reg[0];
        float* c1 = regs + b.reg[1];
        float* c2 = regs + b.reg[2];
        float* c3 = regs + b.reg[3];
        unsigned i = 0;
#if defined(__SSE__)
        for (; i + 4 <= n; i += 4) {
            __m128 r0 = _mm_loadu_ps(batch[i] + b.at);
            __m128 r1 = _mm_loadu_ps(batch[i + 1] + b.at);
            __m128 r2 = _mm_loadu_ps(batch[i + 2] + b.at);
            __m128 r3 = _mm_loadu_ps(batch[i + 3] + b.at);
            _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
            _mm_storeu_ps(c0 + i, r0);
            _mm_storeu_ps(c1 + i, r1);
            _mm_storeu_ps(c2 + i, r2);
            _mm_storeu_ps(c3 + i, r3);
        }
#endif
        for (; i < n; ++i) {
            const float* p = batch[i] + b.at;
            c0[i] = p[0];
            c1[i] = p[1];
            c2[i] = p[2];
            c3[i] = p[3];
        }
    }
    for (const TMove& m : mLoadMoves) {
        float* column = regs + m.reg;
        for (unsigned i = 0; i < n; ++i)
            column[i] = batch[i][m.at];
    }
}

TV_BATCH_BODY void TParticleProgram::StoreBatch(float* const* batch, unsigned n, const float* regs) const
{
    for (const TBlock& b : mStoreBlocks) {
        const float* c0 = regs + b.reg[0];
        const float* c1 = regs + b.reg[1];
        const float* c2 = regs + b.reg[2];
        const float* c3 = regs + b.reg[3];
        unsigned i = 0;
#if defined(__SSE__)
        for (; i + 4 <= n; i += 4) {
            __m128 r0 = _mm_loadu_ps(c0 + i);
            __m128 r1 = _mm_loadu_ps(c1 + i);
            __m128 r2 = _mm_loadu_ps(c2 + i);
            __m128 r3 = _mm_loadu_ps(c3 + i);
            _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
            _mm_storeu_ps(batch[i] + b.at, r0);
            _mm_storeu_ps(batch[i + 1] + b.at, r1);
            _mm_storeu_ps(batch[i + 2] + b.at, r2);
            _mm_storeu_ps(batch[i + 3] + b.at, r3);
        }
#endif
        for (; i < n; ++i) {
            float* p = batch[i] + b.at;
            p[0] = c0[i];
            p[1] = c1[i];
            p[2] = c2[i];
            p[3] = c3[i];
        }
    }
    for (const TMove& m : mStoreMoves) {
        const float* column = regs + m.reg;
        for (unsigned i = 0; i < n; ++i)
            batch[i][m.at] = column[i];
    }
}

TV_BATCH_BODY void TParticleProgram::RunBatchIn(TLane& lane, float* const* batch, unsigned n, uint8_t* dead)
{
    float* const regs = lane.regs.data();
    LoadBatch(batch, n, regs);
    // Drawn particle after particle, in stream order within each: the order the one-particle
    // machine draws in.
    const size_t draws = size_t(n) * mDrawsPerParticle;
    if (draws > 0) {
        TRandom& random = TLuaParticleSystem::Random();
        for (size_t k = 0; k < draws; ++k)
            lane.draws[k] = random.Rand32();
    }
    std::memset(lane.dead, 0, n);
    RunOps(lane, mOps, n);
    StoreBatch(batch, n, regs);
    for (unsigned i = 0; i < n; ++i)
        dead[i] |= lane.dead[i];
}

void TParticleProgram::RunBatchPlain(TLane& lane, float* const* batch, unsigned n, uint8_t* dead)
{
    RunBatchIn(lane, batch, n, dead);
}

#if defined(TV_WIDE_BATCHES)
__attribute__((target("avx2"))) void TParticleProgram::RunBatchAvx2(TLane& lane, float* const* batch, unsigned n,
                                                                     uint8_t* dead)
{
    RunBatchIn(lane, batch, n, dead);
}

__attribute__((target("avx512f"))) void TParticleProgram::RunBatchAvx512(TLane& lane, float* const* batch,
                                                                         unsigned n, uint8_t* dead)
{
    RunBatchIn(lane, batch, n, dead);
}
#endif

void TParticleProgram::RunBatch(float* const* batch, unsigned n, uint8_t* dead, unsigned laneNumber)
{
    if (n == 0 || laneNumber >= mLanes.size())
        return;
    using TBatchRunner = void (TParticleProgram::*)(TLane&, float* const*, unsigned, uint8_t*);
    static const TBatchRunner runner = [] {
#if defined(TV_WIDE_BATCHES)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f"))
            return &TParticleProgram::RunBatchAvx512;
        if (__builtin_cpu_supports("avx2"))
            return &TParticleProgram::RunBatchAvx2;
#endif
        return &TParticleProgram::RunBatchPlain;
    }();
    (this->*runner)(*mLanes[laneNumber], batch, n, dead);
}

unsigned TParticleProgram::mLaneLimit = 0;

void TParticleProgram::Run(float* const* particles, size_t count, uint32_t elapsed, uint8_t* dead)
{
    if (count == 0 || mLanes.empty())
        return;
    const size_t batches = (count + kBatch - 1) / kBatch;
    if (mParallel && count >= kParallelMinimum && mLaneLimit != 1) {
        TParticleWorkers& workers = TParticleWorkers::Get();
        const unsigned lanes = mLaneLimit == 0 ? workers.GetLaneCount() : std::min(mLaneLimit, workers.GetLaneCount());
        if (lanes > 1) {
            Begin(elapsed, lanes);
            // A few batches per job: fewer hand-overs, and each lane walks neighbouring particles.
            constexpr size_t kBatchesPerJob = 4;
            const size_t jobs = (batches + kBatchesPerJob - 1) / kBatchesPerJob;
            workers.Run(static_cast<unsigned>(jobs), [&](unsigned job, unsigned lane) {
                const size_t end = std::min(count, (job + 1) * kBatchesPerJob * kBatch);
                for (size_t start = job * kBatchesPerJob * kBatch; start < end; start += kBatch)
                    RunBatch(particles + start, static_cast<unsigned>(std::min<size_t>(kBatch, end - start)),
                             dead + start, lane);
            });
            return;
        }
    }
    Begin(elapsed);
    for (size_t start = 0; start < count; start += kBatch) {
        // Live particles lie anywhere in the pool: ask for the next batch's while this one runs.
        for (size_t i = start + kBatch; i < std::min(count, start + 2 * kBatch); ++i)
            Prefetch(particles[i]);
        RunBatch(particles + start, static_cast<unsigned>(std::min<size_t>(kBatch, count - start)), dead + start);
    }
}
