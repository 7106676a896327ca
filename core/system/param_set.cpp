#include "core/system/param_set.h"

#include "core/debug/debug_log.h"

#include <cstring>

bool TParamSet::ResetPartial(unsigned int start, const uint8_t* sizes, unsigned int count)
{
    // The end offset of the last slot is written too, so start + count must name an entry.
    if (start >= kSlots || count > kSlots - 1 - start) {
        WriteDbg("TParamSet::ResetPartial: start %u + count %u passes the last offset %u; nothing changed.", start,
                 count, kSlots - 1);
        return false;
    }
    if (count > 0 && (!sizes || !mSizes)) {
        WriteDbg("TParamSet::ResetPartial: no size array.");
        return false;
    }
    mUsed = start + count;
    // The set's own array is used as it is, indexed from its first slot.
    const uint8_t* layout = sizes;
    if (count > 0 && sizes != mSizes) {
        std::memmove(mSizes + start, sizes, count);
        layout = mSizes + start;
    }
    for (unsigned i = 0; i < count; ++i)
        mOffsets[start + i + 1] = mOffsets[start + i] + layout[i];
    return true;
}
