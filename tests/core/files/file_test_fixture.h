#pragma once
// A private resources folder per test, with the file layer's process-wide state reset
// around each test so tests can run in one process or apart.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/config/config.h"
#include "core/files/file.h"
#include "core/files/flat_file.h"

class FileLayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tv_files_XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        ASSERT_NE(mkdtemp(buffer.data()), nullptr);
        root = buffer.data();
        ResetState();
        TFile::mResourceDir = root.c_str();
        TFile::SetFolders(
            {(root + "/home/User Data").c_str(), (root + "/home/Common").c_str(), (root + "/home/Desktop").c_str()});
    }

    void TearDown() override
    {
        ResetState();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

    static void ResetState()
    {
        TFile::mResourceMap.clear();
        TFile::mIgnoredFiles.clear();
        TFlatFile::mFlatFiles.clear();
        TFile::mResourceDir = "";
        TFile::SetFolders({});
        TFile::mRegisterFiles = nullptr;
        TConfig::Clear();
    }

    // Writes a file below the resources folder (or at an absolute path), making its folders.
    std::string Put(const std::string& path, const std::string& bytes)
    {
        std::filesystem::path p = path[0] == '/' ? std::filesystem::path(path) : std::filesystem::path(root) / path;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

    void PutBytes(const std::string& path, const std::vector<unsigned char>& bytes)
    {
        Put(path, std::string(bytes.begin(), bytes.end()));
    }

    // The whole content of a logical name, or "<missing>" when it does not open.
    static std::string Slurp(const char* name, eFileMode mode = kFileRead)
    {
        TFile f;
        if (!f.Open(name, mode))
            return "<missing>";
        std::string out;
        char chunk[7];  // small on purpose: reads cross chunk boundaries
        unsigned long n;
        while ((n = f.Read(chunk, sizeof chunk)) > 0)
            out.append(chunk, n);
        return out;
    }

    std::string root;
};
