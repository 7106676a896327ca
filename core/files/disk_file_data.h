#pragma once
// A plain disk file behind a TFile.

#include <cstdio>

#include "core/files/file.h"

class TDiskFileData : public TFileData
{
public:
    TDiskFileData() = default;
    ~TDiskFileData() override;

    bool Open(const str& path, eFileMode mode) override;
    void Close() override;
    void Unget() override;
    void Seek(long offset, eFileSeek whence) override;
    long Size() override;
    long Tell() override;
    unsigned long Read(void* buffer, unsigned long count) override;
    unsigned long Write(const void* buffer, unsigned long count) override;
    bool AtEOF() override;

private:
    FILE* mStream = nullptr;
    int mLastByte = -1;  // pushed back by Unget
    bool mReading = false;
};
