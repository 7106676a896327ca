// Reading picture descriptions: shapes, colours, animated values and the faults reported.

#include "tools/imagegen/image_description.h"
#include "tools/support/tool_run.h"

#include <gtest/gtest.h>

namespace {

TImageDescription Parse(const std::string& text, int frame = 0, int frames = 1)
{
    TImageDescription d;
    std::string error;
    EXPECT_TRUE(ParseImageDescription("test.img", text, frame, frames, &d, &error)) << error;
    return d;
}

std::string ParseError(const std::string& text)
{
    TImageDescription d;
    std::string error;
    EXPECT_FALSE(ParseImageDescription("test.img", text, 0, 1, &d, &error)) << text;
    return error;
}

TEST(ImageDescription, ShapesAndColoursAreRead)
{
    const TImageDescription d = Parse("# comment\nsize 64 32\nfill #102030\n"
                                      "roundframe 1 2 30 20 5 2 #ff800040   # translucent\n"
                                      "gradient 0 0 64 32 #000000 #FFFFFF horizontal\n"
                                      "ring 10 12 8 3 #00ff00\n");
    EXPECT_EQ(d.width, 64);
    EXPECT_EQ(d.height, 32);
    ASSERT_EQ(d.shapes.size(), 4u);
    EXPECT_EQ(d.shapes[0].kind, EShape::kFill);
    EXPECT_NEAR(d.shapes[0].colour.g, 0x20 / 255.0, 1e-9);
    EXPECT_DOUBLE_EQ(d.shapes[0].colour.a, 1.0) << "six digits are opaque";
    const TShape& f = d.shapes[1];
    EXPECT_EQ(f.kind, EShape::kRoundFrame);
    EXPECT_DOUBLE_EQ(f.x, 1);
    EXPECT_DOUBLE_EQ(f.h, 20);
    EXPECT_DOUBLE_EQ(f.radius, 5);
    EXPECT_DOUBLE_EQ(f.thickness, 2);
    EXPECT_NEAR(f.colour.a, 0x40 / 255.0, 1e-9);
    EXPECT_TRUE(d.shapes[2].horizontal);
    EXPECT_DOUBLE_EQ(d.shapes[2].colourTo.b, 1.0);
    EXPECT_EQ(d.shapes[3].kind, EShape::kRing);
    EXPECT_DOUBLE_EQ(d.shapes[3].thickness, 3);
}

TEST(ImageDescription, AnimatedValuesFollowTheFrame)
{
    const std::string text = "size 8 8\ncircle 0~10~0 4 2 #ffffff\n";
    EXPECT_DOUBLE_EQ(Parse(text, 0, 4).shapes[0].x, 0);
    EXPECT_DOUBLE_EQ(Parse(text, 1, 4).shapes[0].x, 5);
    EXPECT_DOUBLE_EQ(Parse(text, 2, 4).shapes[0].x, 10);
    EXPECT_DOUBLE_EQ(Parse(text, 3, 4).shapes[0].x, 5);
    // A still picture takes the first key.
    EXPECT_DOUBLE_EQ(Parse(text).shapes[0].x, 0);
    TImageDescription d;
    std::string error;
    EXPECT_FALSE(ParseImageDescription("test.img", text, 4, 4, &d, &error));
    EXPECT_EQ(error, "test.img: frame 4 of 4 does not exist");
}

TEST(ImageDescription, FaultsNameTheFileAndLine)
{
    EXPECT_EQ(ParseError("rect 0 0 1 1 #fff\n"), "test.img:1: 'size' must come before 'rect'");
    EXPECT_EQ(ParseError("size 8 8\nrect 0 0 1 1 #fff\n"), "test.img:2: bad colour '#fff' (#RRGGBB or #RRGGBBAA)");
    EXPECT_EQ(ParseError("size 8 8\nrect 0 0 1 1 #ggffff\n"),
              "test.img:2: bad colour '#ggffff' (#RRGGBB or #RRGGBBAA)");
    EXPECT_EQ(ParseError("size 8 8\nrect 0 0 1 #ffffff\n"), "test.img:2: expected 'rect X Y W H COLOUR'");
    EXPECT_EQ(ParseError("size 8 8\nstar 1 2 3\n"), "test.img:2: unknown command 'star'");
    EXPECT_EQ(ParseError("size 0 8\n"), "test.img:1: width '0' out of range (1 to 2048)");
    EXPECT_EQ(ParseError("size 9000 8\n"), "test.img:1: width '9000' out of range (1 to 2048)");
    EXPECT_EQ(ParseError("size 8.5 8\n"), "test.img:1: the size is a whole number of pixels");
    EXPECT_EQ(ParseError("size 8 8\nsize 8 8\n"), "test.img:2: 'size' given twice");
    EXPECT_EQ(ParseError("size 8 8\nrect 0 0 -1 1 #ffffff\n"), "test.img:2: width '-1' out of range (0 to 8192)");
    EXPECT_EQ(ParseError("size 8 8\ncircle 1~x 1 1 #ffffff\n"), "test.img:2: bad centre x 'x'");
    EXPECT_EQ(ParseError("size 8 8\ngradient 0 0 8 8 #000000 #ffffff diagonal\n"),
              "test.img:2: a gradient runs 'vertical' or 'horizontal', not 'diagonal'");
    EXPECT_EQ(ParseError("# only a comment\n"), "test.img:1: the description has no 'size'");
}

TEST(ImageDescription, BinaryGarbageIsReportedNotTrusted)
{
    const std::string error = ParseError("size 16 16\n" + BinaryGarbage(4096));
    EXPECT_EQ(error.rfind("test.img:", 0), 0u) << error;
}

}  // namespace
