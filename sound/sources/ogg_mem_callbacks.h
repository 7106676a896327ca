#pragma once
// vorbisfile callbacks over a whole compressed file held in memory.

#include <cstddef>
#include <cstdint>

struct TOggMemRecord
{
    unsigned char* data = nullptr;  // owned (new[])
    int32_t size = 0;
    int32_t position = 0;
};

struct TOggMem
{
    static size_t ogg_mem_read(void* ptr, size_t size, size_t count, void* record);
    static int ogg_mem_seek(void* record, int64_t offset, int whence);
    // Frees the data and the record.
    static int ogg_mem_close(void* record);
    static long ogg_mem_tell(void* record);
};
