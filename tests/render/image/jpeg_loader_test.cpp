#include "render/image/jpeg_image.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"

#include <gtest/gtest.h>

namespace {

struct TLoaded
{
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, side = 0;
    bool ok = false;
    ~TLoaded() { EzJpegFreeImage(pixels); }
};

void Load(const std::string& path, TLoaded& out)
{
    out.ok = EzJpegLoadImage(("::" + path).c_str(), &out.pixels, &out.width, &out.height, &out.side);
}

// Four solid quadrants, large enough that compression leaves their centres nearly exact.
TTestImage Quadrants(int w, int h)
{
    TTestImage img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.At(x, y) =
                x < w / 2 ? (y < h / 2 ? 0xFFFF0000u : 0xFF00FF00u) : (y < h / 2 ? 0xFF0000FFu : 0xFFFFFFFFu);
    return img;
}

class JpegLoader : public ::testing::Test
{
protected:
    TTempAssets assets;
};

TEST_F(JpegLoader, ColourImageIsOpaqueBgraWithZeroPadding)
{
    const std::string path = assets.Path("q.jpg");
    ASSERT_TRUE(WriteJpeg(path, Quadrants(48, 40)));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.width, 48);
    EXPECT_EQ(l.height, 40);
    EXPECT_EQ(l.side, 64);
    EXPECT_TRUE(NearColor(BlockPixel(l.pixels, 64, 8, 8), 0xFFFF0000u, 8));
    EXPECT_TRUE(NearColor(BlockPixel(l.pixels, 64, 8, 32), 0xFF00FF00u, 8));
    EXPECT_TRUE(NearColor(BlockPixel(l.pixels, 64, 40, 8), 0xFF0000FFu, 8));
    EXPECT_TRUE(NearColor(BlockPixel(l.pixels, 64, 40, 32), 0xFFFFFFFFu, 8));
    for (int y = 0; y < 40; y += 3)
        EXPECT_EQ(BlockPixel(l.pixels, 64, 47, y) >> 24, 0xFFu);
    for (int x = 48; x < 64; ++x)
        EXPECT_EQ(BlockPixel(l.pixels, 64, x, 5), 0u);
    for (int y = 40; y < 64; ++y)
        EXPECT_EQ(BlockPixel(l.pixels, 64, 5, y), 0u);
}

TEST_F(JpegLoader, GreyImageHasEqualChannels)
{
    TTestImage img(16, 16, 0xFF808080u);
    const std::string path = assets.Path("g.jpg");
    ASSERT_TRUE(WriteJpeg(path, img, 95, true));
    TLoaded l;
    Load(path, l);
    ASSERT_TRUE(l.ok);
    const uint32_t p = BlockPixel(l.pixels, 16, 7, 7);
    EXPECT_EQ((p >> 16) & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
    EXPECT_TRUE(NearColor(p, 0xFF808080u, 3));
}

TEST_F(JpegLoader, BadSignatureAndEmptyFileFailWithLogLine)
{
    const std::string path = assets.Path("fake.jpg");
    ASSERT_TRUE(WriteBytes(path, std::vector<unsigned char>(100, 'z')));
    TLoaded l;
    {
        TLogCapture log;
        Load(path, l);
        EXPECT_NE(log.Text().find("JPEG decoder"), std::string::npos);
    }
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.pixels, nullptr);

    const std::string empty = assets.Path("empty.jpg");
    ASSERT_TRUE(WriteBytes(empty, {}));
    TLoaded e;
    {
        TLogCapture log;
        Load(empty, e);
        EXPECT_NE(log.Text().find("JPEG decoder"), std::string::npos);
    }
    EXPECT_FALSE(e.ok);
}

TEST_F(JpegLoader, FileCutShortLoadsWithWhatItHolds)
{
    const std::string good = assets.Path("good.jpg");
    TTestImage noisy(128, 128);
    for (int i = 0; i < 128 * 128; ++i)
        noisy.pixels[size_t(i)] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    ASSERT_TRUE(WriteJpeg(good, noisy));
    std::vector<unsigned char> bytes = ReadBytes(good);
    ASSERT_GT(bytes.size(), 4000u);
    TLoaded whole;
    Load(good, whole);
    ASSERT_TRUE(whole.ok);

    // Only the end marker missing: the same picture. Cut inside the image data: the rows that
    // arrived, the rest filled.
    const struct
    {
        size_t keep;
        int exactRows;
    } cases[] = {{bytes.size() - 2, 128}, {bytes.size() / 3, 16}};
    for (const auto& c : cases) {
        const std::string cutPath = assets.Path("cut.jpg");
        ASSERT_TRUE(WriteBytes(cutPath, std::vector<unsigned char>(bytes.begin(), bytes.begin() + long(c.keep))));
        TLoaded t;
        {
            TLogCapture log;
            Load(cutPath, t);
            EXPECT_NE(log.Text().find("cut.jpg is cut short"), std::string::npos) << c.keep << log.Text();
        }
        ASSERT_TRUE(t.ok) << c.keep;
        EXPECT_EQ(t.width, 128);
        EXPECT_EQ(t.side, 128);
        for (int y = 0; y < c.exactRows; ++y)
            for (int x = 0; x < 128; ++x)
                ASSERT_EQ(BlockPixel(t.pixels, 128, x, y), BlockPixel(whole.pixels, 128, x, y))
                    << c.keep << " " << x << "," << y;
        EXPECT_EQ(BlockPixel(t.pixels, 128, 100, 127) >> 24, 0xFFu) << c.keep;
    }
}

TEST_F(JpegLoader, HeaderCutShortAndDamagedFilesFail)
{
    const std::string good = assets.Path("good.jpg");
    ASSERT_TRUE(WriteJpeg(good, TTestImage(64, 64, 0xFF204060u)));
    std::vector<unsigned char> bytes = ReadBytes(good);

    // Header cut short: the library's error path, which must not end the process.
    std::vector<unsigned char> header(bytes.begin(), bytes.begin() + 30);
    const std::string shortFile = assets.Path("short.jpg");
    ASSERT_TRUE(WriteBytes(shortFile, header));
    TLoaded s;
    Load(shortFile, s);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.pixels, nullptr);

    // A frame header claiming zero width.
    std::vector<unsigned char> damaged = bytes;
    for (size_t i = 0; i + 8 < damaged.size(); ++i) {
        if (damaged[i] == 0xFF && damaged[i + 1] == 0xC0) {
            damaged[i + 7] = 0;
            damaged[i + 8] = 0;
            break;
        }
    }
    const std::string bad = assets.Path("damaged.jpg");
    ASSERT_TRUE(WriteBytes(bad, damaged));
    TLoaded d;
    Load(bad, d);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.pixels, nullptr);
}

}  // namespace
