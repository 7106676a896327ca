#pragma once
// A fixture that installs fresh text services with two round-number fonts served from memory:
// "fonts/round.mvec" (a-z, '<', '>') and the fallback "fonts/default.mvec" ('#', 'Z').

#include "core/text/str.h"
#include "render/text/font_data.h"
#include "render/text/mini_vec_draw.h"
#include "render/text/pixel_surface.h"
#include "render/text/text_graphic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

// Pixels in memory for the drawer, filled with one value.
struct TMemorySurface
{
    std::vector<TColor32> pixels;
    TPixelSurface surface;

    TMemorySurface(int w, int h, uint32_t fill = 0) : pixels(size_t(w) * h, TColor32(fill))
    {
        surface.pixels = pixels.data();
        surface.width = w;
        surface.height = h;
        surface.pitch = w;
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * surface.width + x].Value(); }
    int CountNonZero() const
    {
        int n = 0;
        for (TColor32 p : pixels)
            n += p.Value() != 0;
        return n;
    }
    int CountDifferent(uint32_t value) const
    {
        int n = 0;
        for (TColor32 p : pixels)
            n += p.Value() != value;
        return n;
    }
};

struct TTextGraphicDeleter
{
    void operator()(TTextGraphic* t) const { t->Destroy(); }
};
using TTextGraphicPtr = std::unique_ptr<TTextGraphic, TTextGraphicDeleter>;

// Installs fresh text services and the two fonts for its lifetime.
class TTextTestServices
{
public:
    TTextTestServices();
    ~TTextTestServices();

    std::vector<uint8_t> mFace;
    std::vector<uint8_t> mFallback;
    std::unique_ptr<TZvMiniVecDraw> mDrawer;
    std::unique_ptr<TFontData> mFonts;
};

// Round font, line height 25 (one font unit per quarter pixel), white.
TTextGraphicPtr MakeRoundText(const char* text, unsigned width = 100, unsigned height = 100, unsigned flags = 0,
                              const char* font = "fonts/round.mvec");

class TextFixture : public ::testing::Test
{
protected:
    void SetUp() override { mServices = std::make_unique<TTextTestServices>(); }
    void TearDown() override { mServices.reset(); }
    TTextGraphicPtr Make(const char* text, unsigned width = 100, unsigned height = 100, unsigned flags = 0,
                         const char* font = "fonts/round.mvec")
    {
        return MakeRoundText(text, width, height, flags, font);
    }

    std::unique_ptr<TTextTestServices> mServices;
};
