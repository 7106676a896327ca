#include "game/world/datafile/dfile.h"

#include <cstring>

#include "core/debug/debug_log.h"
#include "core/files/file.h"

// ---- DFileBase ----

void DFileBase::ReadBytes(unsigned char* buffer, uint32_t n)
{
    std::memset(buffer, 0, n);
    if (!Read(buffer, n))
        mReadFailed = true;
}

uint32_t DFileBase::Get16LH()
{
    unsigned char b[2];
    ReadBytes(b, 2);
    return b[0] | (uint32_t(b[1]) << 8);
}

uint32_t DFileBase::Get32LH()
{
    unsigned char b[4];
    ReadBytes(b, 4);
    return b[0] | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

uint32_t DFileBase::Get32HL()
{
    unsigned char b[4];
    ReadBytes(b, 4);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

str DFileBase::GetPstring()
{
    uint32_t n = Get16LH();
    str text;
    // Grown as the bytes arrive: a damaged length costs nothing before the data is there.
    char chunk[256];
    while (n > 0 && !mReadFailed) {
        const uint32_t take = n < sizeof chunk ? n : uint32_t(sizeof chunk);
        ReadBytes(reinterpret_cast<unsigned char*>(chunk), take);
        text += str(chunk, take);
        n -= take;
    }
    return text;
}

// ---- DFileTFile ----

DFileTFile::DFileTFile() : mFile(std::make_unique<TFile>()) {}

DFileTFile::~DFileTFile()
{
    Close();
}

bool DFileTFile::Open(const str& name, FMODE mode)
{
    Close();
    mName = name;
    mMode = mode;
    mReadFailed = false;
    mOpen = mFile->Open(name, kFileRead);
    if (!mOpen)
        WriteDbg("Failed to open (%s)", name.c_str());
    return mOpen;
}

void DFileTFile::Close()
{
    if (!mOpen)
        return;
    mOpen = false;
    mFile->Close();
}

bool DFileTFile::Read(void* buffer, uint32_t n)
{
    if (!mOpen)
        return n == 0;
    return mFile->Read(buffer, n) == n;
}

bool DFileTFile::Write(const void* buffer, uint32_t n)
{
    if (!mOpen)
        return n == 0;
    return mFile->Write(buffer, n) == n;
}

int64_t DFileTFile::Tell()
{
    return mOpen ? int64_t(int32_t(mFile->Tell())) : -1;
}

int64_t DFileTFile::Size()
{
    return mOpen ? int64_t(int32_t(mFile->Size())) : 0;
}

bool DFileTFile::SetLength(int64_t length)
{
    if (mOpen)
        mFile->Seek(int32_t(length), kSeekStart);
    return true;
}

bool DFileTFile::Seek(int64_t position)
{
    if (!mOpen)
        return false;
    mFile->Seek(int32_t(position), kSeekStart);
    return Tell() == position;
}

bool DFileTFile::SeekForward(int64_t distance)
{
    if (!mOpen)
        return false;
    const int64_t from = Tell();
    mFile->Seek(int32_t(distance), kSeekCurrent);
    return Tell() == from + distance;
}

bool DFileTFile::AtEnd()
{
    return mOpen ? mFile->AtEOF() : true;
}
