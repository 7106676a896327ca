#pragma once
// A hidden GL context (one per test program), a fresh renderer and asset manager per test, and
// a private asset folder with the file layer pointed at it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/files/asset.h"
#include "core/files/file.h"
#include "render/gl/gl_display_handler.h"
#include "render/renderer/renderer.h"

// Makes the one context current, creating it on first use; false when GL is not available.
bool EnsureEngineGLContext();

class EngineGLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureEngineGLContext()) << "no OpenGL context";
        TAssetManager::SetInstance(&mManager);
        TRenderer::ShutDown();
        TRenderer::GetInstance();
        ASSERT_NE(TGLDisplayHandler::GetInstance(), nullptr);
        TGLDisplayHandler::GetInstance()->SetDisplay(128, 64, false, false, false, false);

        char pattern[] = "/tmp/tv_engine_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mRoot = pattern;
        std::filesystem::create_directories(mRoot + "/assets");
        TFile::mResourceMap.clear();
        TFile::mResourceDir = mRoot.c_str();
    }

    void TearDown() override
    {
        TRenderer::ShutDown();
        TAssetManager::SetInstance(nullptr);
        TFile::mResourceMap.clear();
        TFile::mResourceDir = str();
        std::error_code ignored;
        std::filesystem::remove_all(mRoot, ignored);
    }

    // Writes assets/<name>, making its folders.
    void Put(const std::string& name, const void* bytes, size_t size)
    {
        const std::filesystem::path path = std::filesystem::path(mRoot) / "assets" / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary).write(static_cast<const char*>(bytes), std::streamsize(size));
    }
    void Put(const std::string& name, const std::string& text) { Put(name, text.data(), text.size()); }
    void Put(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        Put(name, bytes.data(), bytes.size());
    }

    // Makes the file layer see what was written.
    static void Scan()
    {
        TFile::mResourceMap.clear();
        TFile::ScanFolderForResources("assets", "");
    }

    TAssetManager mManager;
    std::string mRoot;
};
