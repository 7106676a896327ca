#pragma once
// A copy of the built data folder that a test may change: files replaced, appended to,
// removed or overwritten with junk. The copy goes when the object does.

#include <cstdint>
#include <string>

class TDataCopy
{
public:
    TDataCopy();
    ~TDataCopy();
    TDataCopy(const TDataCopy&) = delete;
    TDataCopy& operator=(const TDataCopy&) = delete;

    // The folder holding assets/, for TDemoRun; empty when the copy failed.
    const std::string& Dir() const { return mDir; }
    // `file` names a file below assets/.
    void Write(const std::string& file, const std::string& text) const;
    void Append(const std::string& file, const std::string& text) const;
    void Remove(const std::string& file) const;
    // `count` bytes from `offset` on (the whole file when count is 0) become bytes of a
    // generator seeded with `seed`.
    void Scramble(const std::string& file, uint32_t seed, size_t offset = 0, size_t count = 0) const;

private:
    std::string mDir;
};

// Bytes of the file (empty when it does not open), and writing them back.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Overwrites a range of the bytes with those of a generator seeded with `seed`.
void ScrambleBytes(std::string& bytes, uint32_t seed, size_t offset, size_t count);
