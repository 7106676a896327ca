#pragma once
// A GL test whose file layer reads the demo game's assembled data folder.

#include "core/files/file.h"
#include "support/render_test_support.h"

class DemoAssetsGLTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        TFile::mResourceMap.clear();
        TFile::mResourceDir = TV_ASSETS_RESOURCE_DIR;
        TFile::ScanForResources();
    }
    void TearDown() override
    {
        TFile::mResourceMap.clear();
        TFile::mResourceDir = "";
        GLTest::TearDown();
    }
};
