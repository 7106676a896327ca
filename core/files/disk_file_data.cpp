#include "core/files/disk_file_data.h"

#include "core/debug/debug_log.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    mStream = mReading ? OpenRegular(path) : std::fopen(path.c_str(), how);
    return mStream != nullptr;
}

// A pipe would block the program until someone writes to it, and a folder reads as a file of
// absurd size: only regular files are read.
FILE* TDiskFileData::OpenRegular(const str& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        WriteDbg("Not reading '%s': not a regular file", path.c_str());
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* stream = fdopen(fd, "rb");
    if (!stream)
        close(fd);
    return stream;
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
