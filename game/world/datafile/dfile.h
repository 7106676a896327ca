#pragma once
// The game's binary data files, read front to back through the engine's logical file names
// (folders and archives alike). Made on the stack for one file:
//   DFileTFile f;
//   if (!f.Open("rooms/hall.dverts", 1)) return 1;
//   uint32_t magic = f.Get32HL();
//   if (f.ReadFailed()) ...   // a short read anywhere since Open
// Missing bytes read as 0; every short read is remembered, so a loader checks once per record
// instead of trusting the end-of-file state.

#include <cstdint>
#include <memory>

#include "core/text/str.h"

class TFile;

class DFileBase
{
public:
    using FMODE = int32_t;

    virtual ~DFileBase() = default;
    virtual bool Open(const str& name, FMODE mode) = 0;
    virtual bool Read(void* buffer, uint32_t n) = 0;
    virtual bool Write(const void* buffer, uint32_t n) = 0;
    virtual void Flush() = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
    virtual bool SetLength(int64_t length) = 0;
    virtual bool Seek(int64_t position) = 0;
    virtual bool SeekForward(int64_t distance) = 0;
    virtual bool AtEnd() = 0;
    virtual void Close() = 0;

    uint32_t Get16LH();
    uint32_t Get32LH();
    uint32_t Get32HL();
    str GetPstring();

    // True once any read through the functions above came up short since the last Open.
    bool ReadFailed() const { return mReadFailed; }
    const str& GetName() const { return mName; }
    FMODE GetMode() const { return mMode; }
    bool IsOpen() const { return mOpen; }

protected:
    FMODE mMode = 0;
    str mName;
    bool mOpen = false;
    bool mReadFailed = false;

private:
    // n bytes into buffer, the missing ones zeroed.
    void ReadBytes(unsigned char* buffer, uint32_t n);
};

class DFileTFile : public DFileBase
{
public:
    DFileTFile();
    ~DFileTFile() override;
    DFileTFile(const DFileTFile&) = delete;
    DFileTFile& operator=(const DFileTFile&) = delete;

    // Always opens for reading; the mode is only recorded.
    bool Open(const str& name, FMODE mode) override;
    bool Read(void* buffer, uint32_t n) override;
    bool Write(const void* buffer, uint32_t n) override;
    void Flush() override {}
    int64_t Tell() override;
    int64_t Size() override;
    // Moves to `length`; the file keeps its size.
    bool SetLength(int64_t length) override;
    bool Seek(int64_t position) override;
    bool SeekForward(int64_t distance) override;
    bool AtEnd() override;
    void Close() override;

private:
    std::unique_ptr<TFile> mFile;
};
