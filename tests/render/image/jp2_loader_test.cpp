#include "render/image/jp2_image.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"

#include <gtest/gtest.h>

namespace {

struct TLoaded
{
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, side = 0, alpha = -1;
    bool ok = false;
    ~TLoaded() { EzJp2FreeImage(pixels); }
};

void Load(const std::string& path, TLoaded& out)
{
    out.ok = EzJp2LoadImage(("::" + path).c_str(), &out.pixels, &out.width, &out.height, &out.side, &out.alpha);
}

TTestImage Pattern(int w, int h, bool withAlpha)
{
    TTestImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.At(x, y) = (withAlpha ? uint32_t((x * 13 + y) & 0xFF) << 24 : 0xFF000000u) |
                           uint32_t(x * 15 & 0xFF) << 16 | uint32_t(y * 27 & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF);
    return img;
}

class Jp2Loader : public ::testing::Test
{
protected:
    TTempAssets assets;
};

TEST_F(Jp2Loader, RgbImageIsExactAndEdgeExtended)
{
    const TTestImage img = Pattern(17, 9, false);
    const std::string path = assets.Path("p.jp2");
    ASSERT_TRUE(WriteJp2(path, img, 3));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.width, 17);
    EXPECT_EQ(l.height, 9);
    EXPECT_EQ(l.side, 32);
    EXPECT_EQ(l.alpha, 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(BlockPixel(l.pixels, 32, x, y), img.pixels[size_t(y) * 17 + x]) << x << "," << y;
    // Columns 17..31 repeat column 16; rows 9..31 repeat row 8.
    for (int y = 0; y < 9; ++y)
        for (int x = 17; x < 32; ++x)
            ASSERT_EQ(BlockPixel(l.pixels, 32, x, y), BlockPixel(l.pixels, 32, 16, y));
    for (int y = 9; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(BlockPixel(l.pixels, 32, x, y), BlockPixel(l.pixels, 32, x, 8));
}

TEST_F(Jp2Loader, AlphaComponentIsReported)
{
    const TTestImage img = Pattern(8, 8, true);
    const std::string path = assets.Path("a.jp2");
    ASSERT_TRUE(WriteJp2(path, img, 4));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.alpha, 1);
    EXPECT_EQ(BlockPixel(l.pixels, 8, 5, 3), img.pixels[3 * 8 + 5]);
}

TEST_F(Jp2Loader, GreyWithAndWithoutAlpha)
{
    TTestImage img(5, 3);
    for (int i = 0; i < 15; ++i)
        img.pixels[size_t(i)] = uint32_t(i * 17) << 24 | uint32_t(i * 10) << 16;
    const std::string grey = assets.Path("g.jp2");
    ASSERT_TRUE(WriteJp2(grey, img, 1));
    TLoaded g;
    Load(grey, g);
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.alpha, 0);
    EXPECT_EQ(BlockPixel(g.pixels, 8, 4, 2), 0xFF000000u | 0x8C8C8Cu);

    const std::string greyAlpha = assets.Path("ga.jp2");
    ASSERT_TRUE(WriteJp2(greyAlpha, img, 2));
    TLoaded ga;
    Load(greyAlpha, ga);
    ASSERT_TRUE(ga.ok);
    EXPECT_EQ(ga.alpha, 1);
    EXPECT_EQ(BlockPixel(ga.pixels, 8, 4, 2), uint32_t(14 * 17) << 24 | 0x8C8C8Cu);

    // Subsampled grey cannot be read: the whole block is zero, alpha included.
    const std::string halfGrey = assets.Path("hg.jp2");
    ASSERT_TRUE(WriteJp2(halfGrey, img, 1, false, 2));
    TLoaded hg;
    Load(halfGrey, hg);
    ASSERT_TRUE(hg.ok);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(BlockPixel(hg.pixels, 8, x, y), 0u) << x << "," << y;
}

TEST_F(Jp2Loader, BareCodestreamLoads)
{
    const TTestImage img = Pattern(6, 6, false);
    const std::string path = assets.Path("c.j2k");
    ASSERT_TRUE(WriteJp2(path, img, 3, true));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(BlockPixel(l.pixels, 8, 2, 4), img.pixels[4 * 6 + 2]);
}

TEST_F(Jp2Loader, BadSignatureTruncatedAndDamagedFilesFail)
{
    const std::string fake = assets.Path("fake.jp2");
    ASSERT_TRUE(WriteBytes(fake, std::vector<unsigned char>(80, 1)));
    TLoaded f;
    {
        TLogCapture log;
        Load(fake, f);
        EXPECT_NE(log.Text().find("not a JPEG-2000 file"), std::string::npos);
    }
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.pixels, nullptr);

    const std::string good = assets.Path("good.jp2");
    ASSERT_TRUE(WriteJp2(good, Pattern(64, 64, false), 3));
    std::vector<unsigned char> bytes = ReadBytes(good);
    for (size_t keep : {size_t(20), size_t(60), bytes.size() / 2}) {
        std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + static_cast<long>(keep));
        const std::string truncated = assets.Path("truncated.jp2");
        ASSERT_TRUE(WriteBytes(truncated, cut));
        TLoaded t;
        TLogCapture log;
        Load(truncated, t);
        EXPECT_FALSE(t.ok) << keep;
        EXPECT_EQ(t.pixels, nullptr);
        EXPECT_NE(log.Text().find("JPEG-2000 decoder"), std::string::npos) << keep;
    }
}

}  // namespace
