#include "sound/sources/ogg_mem_callbacks.h"

#include <cstdio>
#include <cstring>

size_t TOggMem::ogg_mem_read(void* ptr, size_t size, size_t count, void* record)
{
    auto* r = static_cast<TOggMemRecord*>(record);
    if (!r || size == 0 || count == 0)
        return 0;
    size_t left = static_cast<size_t>(r->size - r->position);
    // Whole elements only; count * size may not overflow past what is left anyway.
    size_t n = count > left / size ? left / size : count;
    std::memcpy(ptr, r->data + r->position, n * size);
    r->position += static_cast<int32_t>(n * size);
    return n;
}

int TOggMem::ogg_mem_seek(void* record, int64_t offset, int whence)
{
    auto* r = static_cast<TOggMemRecord*>(record);
    int64_t pos;
    switch (whence) {
    case SEEK_SET: pos = offset; break;
    case SEEK_END: pos = static_cast<int64_t>(r->size) + offset; break;
    case SEEK_CUR: pos = static_cast<int64_t>(r->position) + offset; break;
    default: return -1;
    }
    if (pos < 0)
        pos = 0;
    if (pos > r->size)
        pos = r->size;
    r->position = static_cast<int32_t>(pos);
    return 0;
}

int TOggMem::ogg_mem_close(void* record)
{
    auto* r = static_cast<TOggMemRecord*>(record);
    if (r) {
        delete[] r->data;
        delete r;
    }
    return 0;
}

long TOggMem::ogg_mem_tell(void* record)
{
    return static_cast<TOggMemRecord*>(record)->position;
}
