#pragma once
// Parameters of varying size laid out one after another in a buffer of 32-bit values: each slot
// has a size (in values) and a start offset; the offset after a slot's own is its end.
//   uint8_t sizes[TParamSet::kSlots]; uint32_t values[...];
//   TParamSet set; set.mSizes = sizes; set.mValues = values;
//   uint8_t layout[] = {3, 1}; set.ResetPartial(0, layout, 2);   // offsets 0, 3, 4

#include <cstdint>

struct TParamSet
{
    static constexpr unsigned kSlots = 256;

    uint32_t* mValues = nullptr;
    // kSlots entries, owned by the user of the set.
    uint8_t* mSizes = nullptr;
    uint32_t mOffsets[kSlots] = {};
    uint32_t mUsed = 0;

    // Slots start .. start + count - 1 take the given sizes; earlier slots and the values stay.
    // Refused with a log line when start + count passes the last slot or no size array is set.
    // True when applied.
    bool ResetPartial(unsigned int start, const uint8_t* sizes, unsigned int count);
};
