#pragma once
// A private user folder per test: "user:" names resolve inside a fresh temporary folder,
// and the data-home variables point there too, so no test touches the real home folder.

#include "core/files/file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class UserFolderTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        mDir = UseFreshUserFolder();
        ASSERT_FALSE(mDir.empty());
    }

    // Makes a new temporary folder the user folder (and the data home); its path, or empty
    // when it could not be made.
    static std::string UseFreshUserFolder()
    {
        char pattern[] = "/tmp/tv-xmlprefs-XXXXXX";
        if (!mkdtemp(pattern))
            return std::string();
        const std::string dir = pattern;
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
        setenv("HOME", dir.c_str(), 1);
        TFile::ShutDownFileSystem();
        TFile::TFolders folders;
        folders.user = dir.c_str();
        folders.common = (dir + "/common").c_str();
        folders.desktop = (dir + "/desktop").c_str();
        TFile::SetFolders(folders);
        return dir;
    }

    void TearDown() override
    {
        TFile::ShutDownFileSystem();
        std::error_code ec;
        std::filesystem::remove_all(mDir, ec);
    }

    std::string Path(const std::string& name) const { return mDir + "/" + name; }

    void WriteRaw(const std::string& name, const void* data, size_t size) const
    {
        std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), std::streamsize(size));
    }

    void WriteRaw(const std::string& name, const std::string& text) const { WriteRaw(name, text.data(), text.size()); }

    std::vector<char> ReadRaw(const std::string& name) const
    {
        std::ifstream in(Path(name), std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }

    std::string mDir;
};
