#include "core/files/disk_file_data.h"

#include "core/files/regular_file.h"

TDiskFileData::~TDiskFileData()
{
    Close();
}

bool TDiskFileData::Open(const str& path, eFileMode mode)
{
    Close();
    if (path.empty())
        return false;
    const char* how = "rb";
    switch (mode) {
    case kFileWrite:
    case kFileWriteText: how = "wb"; break;
    case kFileAppend:
    case kFileAppendText: how = "ab"; break;
    default: break;
    }
    mReading = how[0] == 'r';
    mStream = mReading ? OpenRegularFile(path) : std::fopen(path.c_str(), how);
    return mStream != nullptr;
}

void TDiskFileData::Close()
{
    if (mStream)
        std::fclose(mStream);
    mStream = nullptr;
    mLastByte = -1;
}

void TDiskFileData::Unget()
{
    if (!mStream || mLastByte < 0)
        return;
    std::ungetc(mLastByte, mStream);
    mLastByte = -1;
}

void TDiskFileData::Seek(long offset, eFileSeek whence)
{
    if (!mStream)
        return;
    int w = SEEK_SET;
    if (whence == kSeekCurrent)
        w = SEEK_CUR;
    else if (whence == kSeekEnd)
        w = SEEK_END;
    std::fseek(mStream, offset, w);
    mLastByte = -1;
}

long TDiskFileData::Size()
{
    if (!mStream)
        return 0;
    long here = std::ftell(mStream);
    std::fseek(mStream, 0, SEEK_END);
    long size = std::ftell(mStream);
    std::fseek(mStream, here, SEEK_SET);
    return size < 0 ? 0 : size;
}

long TDiskFileData::Tell()
{
    return mStream ? std::ftell(mStream) : 0;
}

unsigned long TDiskFileData::Read(void* buffer, unsigned long count)
{
    if (!mStream || !buffer || count == 0)
        return 0;
    size_t n = std::fread(buffer, 1, count, mStream);
    if (n > 0)
        mLastByte = static_cast<unsigned char*>(buffer)[n - 1];
    return n;
}

unsigned long TDiskFileData::Write(const void* buffer, unsigned long count)
{
    if (!mStream || !buffer || count == 0)
        return 0;
    return std::fwrite(buffer, 1, count, mStream);
}

// At the end before a short read, as archive entries and memory files answer, so a reader can
// ask before each record. A peek keeps the stream's buffer: nothing is sought or measured.
bool TDiskFileData::AtEOF()
{
    if (!mStream)
        return true;
    if (!mReading)
        return Tell() >= Size();
    const int c = std::getc(mStream);
    if (c == EOF)
        return true;
    std::ungetc(c, mStream);
    return false;
}
