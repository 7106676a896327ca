#pragma once
// Single-character sources with one step of push-back, for the XML reader.
// Both sources return bytes as 0..255 and -1 only at the end.

#include <cstdint>

#include "core/files/file.h"

class TGetChar
{
public:
    virtual ~TGetChar() = default;
    // The next byte (0..255), or -1 at the end.
    virtual int DoGetChar() = 0;
    // Steps back by one byte and returns c; -1 when that is impossible.
    virtual int UngetChar(int c) = 0;
    virtual void Rewind() = 0;

    // State kept for the reader that consumes the characters.
    int32_t mEndOfInput = 0;  // non-zero: the source counts as exhausted
    int32_t mDepth = 0;       // element nesting depth during a parse
    int32_t mStopMode = 0;    // 0 to the end, 1 after the first top-level element, 2 after the first tag
    bool mTagCut = false;     // a tag was cut off by the end of the input
    bool mTooDeep = false;    // elements nested deeper than the reader goes; reading stopped
    bool mUnclosed = false;   // the input ended inside an element
    bool mTopLevelClosed = false;
};

class TGetCharFile : public TGetChar
{
public:
    // Opens `name` through zv_open; IsValid() tells whether that worked.
    explicit TGetCharFile(const str& name, eFileMode mode = kFileReadText);
    // Takes ownership of a handle from zv_open (may be null).
    TGetCharFile(TFile* file, const str& name);
    ~TGetCharFile() override;
    TGetCharFile(const TGetCharFile&) = delete;
    TGetCharFile& operator=(const TGetCharFile&) = delete;

    int DoGetChar() override;
    int UngetChar(int c) override;
    void Rewind() override;
    // Closes the file and opens the same name again with kFileRead.
    virtual void ReOpenAsBinary();

    bool IsValid() const { return mFile != nullptr; }
    const str& GetName() const { return mName; }

private:
    TFile* mFile = nullptr;
    str mName;
};

class TGetCharString : public TGetChar
{
public:
    // `text` is not copied and must outlive the reader; a negative length means strlen.
    explicit TGetCharString(const char* text, int32_t length = -1);

    int DoGetChar() override;
    int UngetChar(int c) override;
    void Rewind() override { mPosition = 0; }

private:
    const char* mText = nullptr;
    int32_t mPosition = 0;
    int32_t mLength = 0;
};
