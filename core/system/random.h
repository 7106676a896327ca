#pragma once
// The engine's reproducible pseudo-random generator (32-bit Mersenne Twister). Not for security.
//   TRandom r;                    // fixed default seed: the same sequence every run
//   uint32_t seeds[4] = {...}; r.SeedArray(seeds, 4);
//   int die = r.RandRange(1, 6);  float f = r.RandFloat();   // f in [0, 1)

#include <cstdint>

class TRandom
{
public:
    TRandom();

    // Reseeds from key[0 .. length-1]; with length 0 key[0] is used (a null key counts as 0).
    void SeedArray(const uint32_t* key, unsigned int length);
    uint32_t Rand32();
    // [0, 1) with 53-bit resolution (two draws).
    double RandDouble();
    // [0, 1) (one draw).
    float RandFloat();
    // low + trunc((high - low + 1) * u) with u as in RandDouble: low..high inclusive.
    int RandRange(int low, int high);

private:
    static constexpr int N = 624;
    static constexpr int M = 397;

    void InitGenrand(uint32_t s);
    void Regenerate();

    uint32_t mState[N];
    int32_t mIndex = N;
};
