#include "core/files/get_char.h"

#include <cstring>

TGetCharFile::TGetCharFile(const str& name, eFileMode mode) : mFile(zv_open(name.c_str(), mode)), mName(name) {}

TGetCharFile::TGetCharFile(TFile* file, const str& name) : mFile(file), mName(name) {}

TGetCharFile::~TGetCharFile()
{
    zv_close(mFile);
}

int TGetCharFile::DoGetChar()
{
    return mFile ? zv_getc(mFile) : -1;
}

int TGetCharFile::UngetChar(int c)
{
    if (!mFile)
        return -1;
    zv_seek(mFile, -1, kSeekCurrent);
    return c;
}

void TGetCharFile::Rewind()
{
    if (mFile)
        zv_seek(mFile, 0, kSeekStart);
}

void TGetCharFile::ReOpenAsBinary()
{
    if (!mFile)
        return;
    zv_close(mFile);
    mFile = zv_open(mName.c_str(), kFileRead);
}

TGetCharString::TGetCharString(const char* text, int32_t length) : mText(text)
{
    if (!text)
        mLength = 0;
    else
        mLength = length < 0 ? static_cast<int32_t>(std::strlen(text)) : length;
}

int TGetCharString::DoGetChar()
{
    if (mPosition >= mLength)
        return -1;
    // As a byte: 0xFF must not look like the end marker.
    return static_cast<unsigned char>(mText[mPosition++]);
}

int TGetCharString::UngetChar(int c)
{
    if (mPosition < 1)
        return -1;
    --mPosition;
    return c;
}
