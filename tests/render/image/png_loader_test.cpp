#include "render/image/png_image.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"

#include <gtest/gtest.h>

namespace {

struct TLoaded
{
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, side = 0, alpha = -1;
    unsigned long unused = 99;
    bool ok = false;
    ~TLoaded() { EzPngFreeImage(pixels); }
};

void Load(const std::string& path, TLoaded& out)
{
    out.ok =
        EzPngLoadImage(("::" + path).c_str(), &out.pixels, &out.width, &out.height, &out.side, &out.unused, &out.alpha);
}

class PngLoader : public ::testing::Test
{
protected:
    TTempAssets assets;
};

TEST_F(PngLoader, RgbImageFillsTopLeftOfPowerOfTwoBlockWithZeroPadding)
{
    TTestImage img(300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            img.At(x, y) = 0xFF000000u | uint32_t(x & 0xFF) << 16 | uint32_t(y) << 8 | uint32_t((x + y) & 0xFF);
    const std::string path = assets.Path("rgb.png");
    ASSERT_TRUE(WritePng(path, img, 2));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.width, 300);
    EXPECT_EQ(l.height, 200);
    EXPECT_EQ(l.side, 512);
    EXPECT_EQ(l.alpha, 0);
    EXPECT_EQ(l.unused, 0u);
    EXPECT_EQ(BlockPixel(l.pixels, 512, 0, 0), img.At(0, 0));
    EXPECT_EQ(BlockPixel(l.pixels, 512, 299, 199), img.At(299, 199));
    EXPECT_EQ(BlockPixel(l.pixels, 512, 123, 45), img.At(123, 45));
    for (int x = 300; x < 512; x += 17)
        EXPECT_EQ(BlockPixel(l.pixels, 512, x, 10), 0u);
    for (int y = 200; y < 512; y += 13)
        EXPECT_EQ(BlockPixel(l.pixels, 512, 5, y), 0u);
    EXPECT_EQ(BlockPixel(l.pixels, 512, 511, 511), 0u);
}

TEST_F(PngLoader, OnePixelImageHasSideOne)
{
    TTestImage img(1, 1, 0xFF123456u);
    const std::string path = assets.Path("one.png");
    ASSERT_TRUE(WritePng(path, img, 2));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.side, 1);
    EXPECT_EQ(BlockPixel(l.pixels, 1, 0, 0), 0xFF123456u);
}

TEST_F(PngLoader, GreyBecomesEqualChannelsAndOpaque)
{
    TTestImage img(4, 4);
    for (int i = 0; i < 16; ++i)
        img.pixels[size_t(i)] = 0xFF000000u | uint32_t(i * 16) << 16;
    const std::string path = assets.Path("grey.png");
    ASSERT_TRUE(WritePng(path, img, 0));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.alpha, 0);
    EXPECT_EQ(BlockPixel(l.pixels, 4, 3, 2), 0xFF000000u | 0xB0B0B0u);
    EXPECT_EQ(BlockPixel(l.pixels, 4, 0, 0), 0xFF000000u);
}

TEST_F(PngLoader, AlphaAndPaletteTransparencyAreReported)
{
    TTestImage img(3, 2);
    img.At(0, 0) = 0x00FF0000u;
    img.At(1, 0) = 0x8000FF00u;
    img.At(2, 0) = 0xFF0000FFu;
    img.At(0, 1) = 0xFFFFFFFFu;
    img.At(1, 1) = 0xFFFFFFFFu;
    img.At(2, 1) = 0x40102030u;

    const std::string rgba = assets.Path("rgba.png");
    ASSERT_TRUE(WritePng(rgba, img, 6));
    TLoaded a;
    Load(rgba, a);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.alpha, 1);
    EXPECT_EQ(BlockPixel(a.pixels, 4, 1, 0), 0x8000FF00u);
    EXPECT_EQ(BlockPixel(a.pixels, 4, 2, 1), 0x40102030u);

    const std::string pal = assets.Path("pal.png");
    ASSERT_TRUE(WritePng(pal, img, 3, true));
    TLoaded p;
    Load(pal, p);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.alpha, 1);
    EXPECT_EQ(BlockPixel(p.pixels, 4, 0, 0), 0x00FF0000u);
    EXPECT_EQ(BlockPixel(p.pixels, 4, 2, 1), 0x40102030u);

    // A colour key in a grey or RGB image marks its pixels transparent, but the image does not
    // count as one with alpha.
    for (int type : {0, 2}) {
        const std::string keyed = assets.Path("keyed.png");
        ASSERT_TRUE(WritePng(keyed, img, type, true));
        TLoaded k;
        Load(keyed, k);
        ASSERT_TRUE(k.ok);
        EXPECT_EQ(k.alpha, 0) << type;
        EXPECT_EQ(BlockPixel(k.pixels, 4, 0, 0) >> 24, 0u) << type;
    }

    const std::string opaquePal = assets.Path("pal_opaque.png");
    TTestImage solid(2, 2, 0xFF336699u);
    ASSERT_TRUE(WritePng(opaquePal, solid, 3, false));
    TLoaded o;
    Load(opaquePal, o);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.alpha, 0);
    EXPECT_EQ(BlockPixel(o.pixels, 2, 1, 1), 0xFF336699u);
}

TEST_F(PngLoader, BadSignatureFailsWithNullPixelsAndLogLine)
{
    const std::string path = assets.Path("fake.png");
    ASSERT_TRUE(WriteBytes(path, std::vector<unsigned char>(64, 'x')));
    TLoaded l;
    TLogCapture log;
    Load(path, l);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.pixels, nullptr);
    EXPECT_NE(log.Text().find("not a PNG file"), std::string::npos);
}

TEST_F(PngLoader, TruncatedAndDamagedFilesFailWithoutEndingTheProcess)
{
    TTestImage img(64, 64, 0xFF808080u);
    for (int i = 0; i < 64; ++i)
        img.At(i, i) = 0xFF00FF00u;
    const std::string good = assets.Path("good.png");
    ASSERT_TRUE(WritePng(good, img, 6));
    std::vector<unsigned char> bytes = ReadBytes(good);
    ASSERT_GT(bytes.size(), 100u);

    std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
    const std::string truncated = assets.Path("truncated.png");
    ASSERT_TRUE(WriteBytes(truncated, cut));
    TLoaded t;
    {
        TLogCapture log;
        Load(truncated, t);
        EXPECT_NE(log.Text().find("Read Error"), std::string::npos);
    }
    EXPECT_FALSE(t.ok);
    EXPECT_EQ(t.pixels, nullptr);

    std::vector<unsigned char> damaged = bytes;
    for (size_t i = 40; i < damaged.size() - 20; i += 7)
        damaged[i] ^= 0x5A;
    const std::string bad = assets.Path("damaged.png");
    ASSERT_TRUE(WriteBytes(bad, damaged));
    TLoaded d;
    {
        TLogCapture log;
        Load(bad, d);
        EXPECT_NE(log.Text().find("PNG decoder"), std::string::npos);
    }
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.pixels, nullptr);
}

TEST_F(PngLoader, MissingFileAndNullNameFail)
{
    TLoaded l;
    Load(assets.Path("nothing.png"), l);
    EXPECT_FALSE(l.ok);
    unsigned char* pixels = reinterpret_cast<unsigned char*>(1);
    int w, h, s;
    EXPECT_FALSE(EzPngLoadImage(nullptr, &pixels, &w, &h, &s, nullptr, nullptr));
    EXPECT_EQ(pixels, nullptr);
}

}  // namespace
