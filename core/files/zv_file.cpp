// The stdio-like layer over TFile and the decoder stream callbacks.

#include <cstdint>
#include <cstdio>

#include "core/files/file.h"

TFile* zv_open(const char* name, eFileMode mode)
{
    if (!name)
        return nullptr;
    TFile* file = new TFile;
    if (!file->Open(name, mode)) {
        delete file;
        return nullptr;
    }
    return file;
}

void zv_close(TFile* file)
{
    delete file;
}

unsigned long zv_read(TFile* file, void* buffer, unsigned long count)
{
    return file ? file->Read(buffer, count) : 0;
}

unsigned long zv_write(TFile* file, const void* buffer, unsigned long count)
{
    return file ? file->Write(buffer, count) : 0;
}

void zv_seek(TFile* file, long offset, eFileSeek whence)
{
    if (file)
        file->Seek(offset, whence);
}

long zv_tell(TFile* file)
{
    return file ? file->Tell() : -1;
}

bool zv_eof(TFile* file)
{
    return file ? file->AtEOF() : true;
}

void zv_ungetc(TFile* file)
{
    if (file)
        file->Unget();
}

int zv_error(TFile* file)
{
    return (!file || !file->IsValid()) ? 1 : 0;
}

int zv_getc(TFile* file)
{
    if (!file || file->AtEOF())
        return -1;
    unsigned char c = 0;
    if (file->Read(&c, 1) != 1)
        return -1;
    return c;
}

char* zv_gets(TFile* file, char* buffer, int size)
{
    if (!file || !file->IsValid() || !buffer || size <= 0)
        return nullptr;
    int stored = 0;
    while (stored < size - 1) {
        unsigned char c = 0;
        if (file->Read(&c, 1) != 1)
            break;
        buffer[stored++] = static_cast<char>(c);
        if (c == 10 || c == 13)
            break;
    }
    buffer[stored] = 0;
    // A last line without a line end is still a line.
    return stored > 0 ? buffer + stored : nullptr;
}

size_t zv_read_func(void* buffer, size_t size, size_t count, void* source)
{
    TFile* file = static_cast<TFile*>(source);
    if (!file || !buffer || size == 0 || count == 0)
        return 0;
    if (count > SIZE_MAX / size)
        count = SIZE_MAX / size;
    unsigned long got = zv_read(file, buffer, size * count);
    size_t partial = got % size;
    // Leave a cut element to be read whole next time.
    if (partial)
        zv_seek(file, -static_cast<long>(partial), kSeekCurrent);
    return got / size;
}

int zv_seek_func(void* source, int64_t offset, int whence)
{
    TFile* file = static_cast<TFile*>(source);
    if (!file)
        return -1;
    eFileSeek how = kSeekStart;
    if (whence == SEEK_CUR)
        how = kSeekCurrent;
    else if (whence == SEEK_END)
        how = kSeekEnd;
    zv_seek(file, static_cast<long>(offset), how);
    return 0;
}

int zv_close_func(void* source)
{
    zv_close(static_cast<TFile*>(source));
    return 0;
}

long zv_tell_func(void* source)
{
    return zv_tell(static_cast<TFile*>(source));
}
