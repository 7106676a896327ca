#pragma once
// Shared helpers of the render tests: one hidden GL context per test program, a fresh renderer
// per test, pixel read-back, a temporary asset folder and a log capture.

#include "core/math/color.h"
#include "core/text/str.h"

class TTexture;

#include <gtest/gtest.h>

#include "common/log_capture.h"
#include <cstdint>
#include <memory>
#include <string>

constexpr int kTestDisplayWidth = 256;
constexpr int kTestDisplayHeight = 128;

// Makes the context current (creating it on first use); false when no GL is available.
bool EnsureGLContext();
// Renderers made from now on use the OpenGL display handler; textures made without drawing need
// it for their surfaces even where there is no context.
void UseGLDisplayHandler();

// A fresh renderer with a display of kTestDisplayWidth × kTestDisplayHeight, cleared to
// transparent black, clip and viewport covering the display.
class GLTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Pixel (x, y) of the frame, top-left origin, as 0xAARRGGBB.
    static uint32_t ReadPixel(int x, int y);
};

// Pixel (x, y) of a texture through Lock, as 0xAARRGGBB (0xDEADBEEF when it cannot be locked).
uint32_t TexturePixel(const std::shared_ptr<TTexture>& texture, int x, int y);

// Whether two pixels differ by at most `tolerance` in every channel.
bool NearColor(uint32_t a, uint32_t b, int tolerance);

// A temporary folder made the asset folder ("assets/" inside it) for the life of the object.
class TTempAssets
{
public:
    TTempAssets();
    ~TTempAssets();
    // The disk path of an asset-relative name; folders are made as needed.
    std::string Path(const std::string& name) const;
    // Rescans the asset folder after files were written.
    void Scan() const;
    const std::string& Root() const { return mRoot; }

private:
    std::string mRoot;
};
