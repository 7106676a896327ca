#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/script/best_ref.h"
#include "render/anim/animated_texture.h"
#include "render/texture/texture.h"

namespace {

std::vector<std::string> gAsked;
std::vector<std::string> gPresent;  // image names that load
std::shared_ptr<TTexture> gTexture;

bool Present(const str& name)
{
    for (const std::string& p : gPresent)
        if (p == name.c_str())
            return true;
    return false;
}

std::shared_ptr<TTexture> Merged(const str& image, const str& mask)
{
    gAsked.push_back(std::string("merged ") + image.c_str() + " " + mask.c_str());
    return Present(image) && Present(mask) ? gTexture : nullptr;
}

std::shared_ptr<TTexture> Plain(const str& image)
{
    gAsked.push_back(std::string("plain ") + image.c_str());
    return Present(image) ? gTexture : nullptr;
}

std::shared_ptr<TAnimatedTexture> Animated(const str& name, const str& image, const str& mask)
{
    gAsked.push_back(std::string("anim ") + name.c_str() + "|" + image.c_str() + "|" + mask.c_str());
    return nullptr;
}

class BestRefTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gAsked.clear();
        gPresent.clear();
        // A texture would need a renderer; the results are only compared, never used.
        static char token;
        gTexture = std::shared_ptr<TTexture>(std::shared_ptr<char>(), reinterpret_cast<TTexture*>(&token));
        SetBestRefSource(TBestRefSource{&Merged, &Plain, &Animated});
    }
    void TearDown() override
    {
        SetBestRefSource(TBestRefSource{});
        gTexture.reset();
    }
};

}  // namespace

TEST_F(BestRefTest, FormIsRememberedPerName)
{
    gPresent = {"lamp?simple", "lamp.mask", "sky", "sky?simple"};
    // Colour and mask: remembered; later calls go straight to the merged form.
    EXPECT_EQ(BestRef("lamp", "?simple"), gTexture);
    EXPECT_EQ(BestRef("lamp", "?simple"), gTexture);
    // Plain only.
    EXPECT_EQ(BestRef("sky", ""), gTexture);
    EXPECT_EQ(BestRef("sky", "?simple"), gTexture);
    // Nothing: never asked again, even once the file appears.
    EXPECT_EQ(BestRef("ghost", ""), nullptr);
    gPresent.push_back("ghost");
    EXPECT_EQ(BestRef("ghost", ""), nullptr);
    const std::vector<std::string> expected = {
        "merged lamp?simple lamp.mask",
        "merged lamp?simple lamp.mask",
        "merged sky sky.mask",
        "plain sky",
        "plain sky?simple",
        "merged ghost ghost.mask",
        "plain ghost",
    };
    EXPECT_EQ(gAsked, expected);
}

// The sheet's image and mask are named from the description's folder, which the texture puts
// in front of them.
TEST_F(BestRefTest, AnimatedNamesLoseTheirFirstXmlAndTheirFolder)
{
    EXPECT_EQ(BestAnimatedRef("anim/door.xml"), nullptr);
    EXPECT_EQ(BestAnimatedRef("a.xml/b.xml"), nullptr);
    const std::vector<std::string> expected = {
        "anim anim/door|door|door.mask",
        "anim anim/door||",
        "anim a/b.xml|b.xml|b.xml.mask",
        "anim a/b.xml||",
    };
    EXPECT_EQ(gAsked, expected);
    EXPECT_EQ(BestFrameByName(nullptr, "lamp"), -1);
}
