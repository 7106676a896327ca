#include "game/demo/demo_data.h"

#include "game/demo/demo_run.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

TDataCopy::TDataCopy()
{
    char pattern[] = "/tmp/tv_demo_data_XXXXXX";
    if (!mkdtemp(pattern))
        return;
    mDir = pattern;
    fs::copy(BuildRoot() + "/assets", mDir + "/assets", fs::copy_options::recursive);
}

TDataCopy::~TDataCopy()
{
    std::error_code ec;
    if (!mDir.empty())
        fs::remove_all(mDir, ec);
}

void TDataCopy::Write(const std::string& file, const std::string& text) const
{
    WriteBytes(mDir + "/assets/" + file, text);
}

void TDataCopy::Append(const std::string& file, const std::string& text) const
{
    std::ofstream(mDir + "/assets/" + file, std::ios::app | std::ios::binary) << text;
}

void TDataCopy::Remove(const std::string& file) const
{
    fs::remove(mDir + "/assets/" + file);
}

void TDataCopy::Scramble(const std::string& file, uint32_t seed, size_t offset, size_t count) const
{
    const std::string path = mDir + "/assets/" + file;
    std::string bytes = ReadBytes(path);
    ScrambleBytes(bytes, seed, offset, count ? count : bytes.size());
    WriteBytes(path, bytes);
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void ScrambleBytes(std::string& bytes, uint32_t seed, size_t offset, size_t count)
{
    std::mt19937 random(seed);
    for (size_t i = offset; i < bytes.size() && i < offset + count; ++i)
        bytes[i] = char(random());
}
