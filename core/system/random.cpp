#include "core/system/random.h"

#include <algorithm>

namespace {

constexpr uint32_t kMatrix[2] = {0u, 0x9908B0DFu};
constexpr uint32_t kUpper = 0x80000000u;
constexpr uint32_t kLower = 0x7FFFFFFFu;

}  // namespace

TRandom::TRandom()
{
    static const uint32_t kDefaultKey[4] = {0xD4C4CF4Bu, 0x3E2019A7u, 0xE6489797u, 0x5746FCB5u};
    SeedArray(kDefaultKey, 4);
}

void TRandom::InitGenrand(uint32_t s)
{
    mState[0] = s;
    for (int i = 1; i < N; ++i)
        mState[i] = 1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + static_cast<uint32_t>(i);
    mIndex = N;
}

void TRandom::SeedArray(const uint32_t* key, unsigned int length)
{
    static const uint32_t kZero = 0;
    if (!key) {
        key = &kZero;
        length = 0;
    }
    InitGenrand(19650218u);
    int i = 1;
    unsigned j = 0;
    for (unsigned k = std::max<unsigned>(N, length); k; --k) {
        mState[i] = (mState[i] ^ ((mState[i - 1] ^ (mState[i - 1] >> 30)) * 1664525u)) + key[j] + j;
        ++i;
        ++j;
        if (i >= N) {
            mState[0] = mState[N - 1];
            i = 1;
        }
        if (j >= length)
            j = 0;
    }
    for (int k = N - 1; k; --k) {
        mState[i] = (mState[i] ^ ((mState[i - 1] ^ (mState[i - 1] >> 30)) * 1566083941u)) - static_cast<uint32_t>(i);
        ++i;
        if (i >= N) {
            mState[0] = mState[N - 1];
            i = 1;
        }
    }
    mState[0] = 0x80000000u;
    mIndex = N;
}

void TRandom::Regenerate()
{
    int k = 0;
    uint32_t y;
    for (; k < N - M; ++k) {
        y = (mState[k] & kUpper) | (mState[k + 1] & kLower);
        mState[k] = mState[k + M] ^ (y >> 1) ^ kMatrix[y & 1];
    }
    for (; k < N - 1; ++k) {
        y = (mState[k] & kUpper) | (mState[k + 1] & kLower);
        mState[k] = mState[k + (M - N)] ^ (y >> 1) ^ kMatrix[y & 1];
    }
    y = (mState[N - 1] & kUpper) | (mState[0] & kLower);
    mState[N - 1] = mState[M - 1] ^ (y >> 1) ^ kMatrix[y & 1];
    mIndex = 0;
}

uint32_t TRandom::Rand32()
{
    if (mIndex >= N)
        Regenerate();
    uint32_t y = mState[mIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

double TRandom::RandDouble()
{
    const uint32_t a = Rand32() >> 5, b = Rand32() >> 6;
    return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

float TRandom::RandFloat()
{
    return static_cast<float>(Rand32() * 2.3283063671497593e-10);
}

int TRandom::RandRange(int low, int high)
{
    const double u = RandDouble();
    // In 64 bits: the span of the full int range does not fit in an int.
    const double span = static_cast<double>(static_cast<int64_t>(high) - low + 1);
    return static_cast<int>(low + static_cast<int64_t>(span * u));
}
