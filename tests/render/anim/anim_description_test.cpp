#include "render/anim/animated_texture.h"

#include "core/files/file.h"
#include "tools/animpack/anim_pack.h"

#include "../support/image_writers.h"
#include "../support/render_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

const char* const kWalkXml = R"(<sequence name="walk" source="studio">
 <img name="walk.png" w="64" h="32" regx="3" regy="4"/>
 <framelist>
  <frame name="a" x="0" y="0" w="16" h="32" regx="8" regy="30" alpha="0.5" xform="2 0 0 2 5 6">
   <anchor name="hand" x="12" y="10"/>
   <anchor name="foot" x="4" y="31"/>
  </frame>
  <comment/>
  <frame name="b" x="16" y="0" w="16" h="32"/>
  <frame name="c" x="32" y="0" w="16" h="32" regx="1" regy="2" xform="1  3"/>
 </framelist>
</sequence>
)";

class AnimDescription : public ::testing::Test
{
protected:
    AnimDescription() { UseGLDisplayHandler(); }
    std::shared_ptr<TAnimatedTexture> Parse(const std::string& file, bool xml)
    {
        auto t = std::make_shared<TAnimatedTexture>(file.c_str());
        parsed = xml ? t->ParseFromXML(file.c_str()) : t->ParseFromANM(file.c_str());
        return t;
    }

    TTempAssets assets;
    bool parsed = false;
};

TEST_F(AnimDescription, XmlFramesInheritRegistrationAndTransform)
{
    WriteText(assets.Path("walk.xml"), kWalkXml);
    assets.Scan();
    auto t = Parse("walk.xml", true);
    ASSERT_TRUE(parsed);
    const TAnimDescription& d = t->GetDescription();
    EXPECT_EQ(d.sequenceName, str("walk"));
    EXPECT_EQ(d.source, str("studio"));
    EXPECT_EQ(d.imageName, str("walk.png"));
    EXPECT_EQ(t->GetRegistrationPoint(), TPoint(3, 4));
    EXPECT_EQ(d.sheetWidth, 64);
    ASSERT_EQ(t->GetNumFrames(), 3);

    const TAnimFrame* a = t->GetFrame(0);
    EXPECT_FLOAT_EQ(a->alpha, 0.5f);
    ASSERT_EQ(a->anchors.size(), 2u);
    EXPECT_EQ(a->anchors[1], (TAnimAnchor{"foot", 4, 31}));
    EXPECT_TRUE(a->HasTransform());
    EXPECT_EQ(TVec2(1, 1) * a->TransformMatrix(), TVec2(7, 8));

    // Without regx and xform the previous frame's hold; alpha defaults to 1.
    const TAnimFrame* b = t->GetFrame(1);
    EXPECT_EQ(t->GetRegistrationPoint(1), TPoint(8, 30));
    EXPECT_FLOAT_EQ(b->alpha, 1.0f);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(b->xform[i], a->xform[i]);

    // A doubled space makes the next number count twice; missing values are 0.
    const TAnimFrame* c = t->GetFrame(2);
    EXPECT_EQ(t->GetRegistrationPoint(2), TPoint(1, 2));
    const float expected[6] = {1, 3, 3, 0, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(c->xform[i], expected[i]) << i;

    EXPECT_EQ(t->GetFrameRect(1), TRect(16, 0, 32, 32));
    EXPECT_EQ(t->GetBoundingBox(1), TRect(-8, -30, 8, 2));
    EXPECT_EQ(t->GetFrameRect(3), TRect());
    EXPECT_EQ(t->GetFrameByName("c"), 2);
    EXPECT_EQ(t->GetFrameByName("zz"), -1);
    EXPECT_EQ(d.largestWidth, 16);
    EXPECT_EQ(d.largestHeight, 32);
}

TEST_F(AnimDescription, FirstFrameWithoutTransformHasNone)
{
    WriteText(assets.Path("plain.xml"),
              "<sequence><img name=\"p.png\"/><framelist><frame w=\"4\" h=\"4\"/><frame w=\"4\" h=\"4\"/></framelist>"
              "<script luascript=\"function DoAnim() end\"/></sequence>");
    assets.Scan();
    auto t = Parse("plain.xml", true);
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(t->GetFrame(0)->HasTransform());
    EXPECT_FALSE(t->GetFrame(1)->HasTransform());
    EXPECT_EQ(t->GetScript(), str("function DoAnim() end"));
}

TEST_F(AnimDescription, DefaultScriptListsEveryFrame)
{
    WriteText(assets.Path("four.xml"), "<sequence><img name=\"f.png\"/><framelist><frame w=\"1\"/><frame w=\"1\"/>"
                                       "<frame w=\"1\"/><frame w=\"1\"/></framelist></sequence>");
    assets.Scan();
    auto t = Parse("four.xml", true);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(t->GetScript(), str("function DoAnim()\n    delay(60);\n    frames{1,2,3,4};\nend\n"));
    EXPECT_EQ(DefaultAnimationScript(0), str("function DoAnim()\n    delay(60);\nend\n"));
}

TEST_F(AnimDescription, ScriptElementContentServesWithoutAttribute)
{
    WriteText(assets.Path("s.xml"), "<sequence><img name=\"f.png\"/><framelist><frame w=\"1\"/></framelist>"
                                    "<script>function DoAnim() delay(5) end</script></sequence>");
    assets.Scan();
    auto t = Parse("s.xml", true);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(t->GetScript(), str("function DoAnim() delay(5) end"));
}

TEST_F(AnimDescription, IncompleteXmlFailsWithItsMessage)
{
    const struct
    {
        const char* text;
        const char* message;
    } cases[] = {
        {"<other/>", "does not contain a sequence node"},
        {"<sequence><framelist><frame w=\"1\"/></framelist></sequence>", "does not contain an img node"},
        {"<sequence><img name=\"a.png\"/></sequence>", "does not contain a framelist node"},
        {"<sequence><img name=\"a.png\"/><framelist/></sequence>", "does not contain any frames!"},
    };
    for (const auto& c : cases) {
        WriteText(assets.Path("bad.xml"), c.text);
        assets.Scan();
        TLogCapture log;
        Parse("bad.xml", true);
        EXPECT_FALSE(parsed) << c.text;
        EXPECT_NE(log.Text().find(std::string("Animation bad.xml ") + c.message), std::string::npos) << c.text;
    }
}

TEST_F(AnimDescription, CurrentFrameBoundsAndSize)
{
    WriteText(assets.Path("walk.xml"), kWalkXml);
    assets.Scan();
    auto t = Parse("walk.xml", true);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(t->GetWidth(), 16u);
    t->SetCurrentFrame(5);
    EXPECT_EQ(t->GetCurrentFrame(), 0);
    t->SetCurrentFrame(-1);
    EXPECT_EQ(t->GetCurrentFrame(), -1);
    EXPECT_EQ(t->GetWidth(), 0u);
    EXPECT_EQ(t->GetHeight(), 0u);
    t->SetCurrentFrame(-2);
    EXPECT_EQ(t->GetCurrentFrame(), -1);
}

// A description with everything the binary form carries.
TAnimDescription RichDescription()
{
    TAnimDescription d;
    d.sequenceName = "rich";
    d.source = "test";
    d.imageName = "rich.png";
    d.maskName = "rich_mask.png";
    d.regX = 2;
    d.regY = 3;
    d.sheetWidth = 128;
    d.sheetHeight = 64;
    d.script = "function DoAnim()\n  frames{2,1}\nend\n";
    for (int i = 0; i < 3; ++i) {
        TAnimFrame f;
        f.name = str::getFormatted("f%d", i);
        f.x = i * 20;
        f.width = 20;
        f.height = 30 + i;
        f.regX = 10;
        f.regY = 29;
        f.alpha = 1.0f - 0.25f * static_cast<float>(i);
        if (i == 1) {
            const float m[6] = {0, 1, -1, 0, 4.5f, -2};
            std::copy(m, m + 6, f.xform);
        }
        f.anchors.push_back(TAnimAnchor{str::getFormatted("a%d", i), i, -i});
        d.frames.push_back(f);
    }
    return d;
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(AnimDescription, BothFormsOfOneDescriptionReadAlike)
{
    const TAnimDescription d = RichDescription();
    WriteText(assets.Path("rich.xml"), AnimationXml(d));
    WriteBytes(assets.Path("rich.anm"), AnimationAnm(d));
    assets.Scan();
    auto fromXml = Parse("rich.xml", true);
    ASSERT_TRUE(parsed);
    auto fromAnm = Parse("rich.anm", false);
    ASSERT_TRUE(parsed);
    for (const auto& t : {fromXml, fromAnm}) {
        const TAnimDescription& r = t->GetDescription();
        EXPECT_EQ(r.sequenceName, d.sequenceName);
        EXPECT_EQ(r.imageName, d.imageName);
        EXPECT_EQ(r.maskName, d.maskName);
        EXPECT_EQ(r.script, d.script);
        EXPECT_EQ(t->GetRegistrationPoint(), TPoint(2, 3));
        ASSERT_EQ(r.frames.size(), d.frames.size());
        for (size_t i = 0; i < d.frames.size(); ++i)
            EXPECT_TRUE(r.frames[i] == d.frames[i]) << i;
    }
}

TEST_F(AnimDescription, BinaryVersionOneKeepsFullAlphaAndSkipsItsExtraWords)
{
    TAnimDescription d = RichDescription();
    std::vector<char> v2 = AnimationAnm(d);
    // Rebuild as version 1: four extra words after the sheet record and no frame alpha.
    std::vector<char> v1;
    auto put = [&](int32_t v) {
        for (int s = 0; s < 32; s += 8)
            v1.push_back(static_cast<char>((static_cast<uint32_t>(v) >> s) & 0xFF));
    };
    auto putStr = [&](const str& s) {
        put(static_cast<int32_t>(s.length()));
        v1.insert(v1.end(), s.c_str(), s.c_str() + s.length());
    };
    v1.insert(v1.end(), {'A', 'N', 'I', 'M'});
    put(0);
    put(1);
    putStr("old");
    putStr("");
    v1.insert(v1.end(), {'I', 'M', 'G', 'N'});
    for (int32_t v : {1, 2, 3, 4, 9, 9, 9, 9})
        put(v);
    putStr("old.png");
    putStr("");
    v1.insert(v1.end(), {'F', 'R', 'M', 'S'});
    put(1);
    for (int32_t v : {5, 6, 0, 0, 7, 8})
        put(v);
    for (int i = 0; i < 6; ++i)
        put(i == 0 ? -1 : 0);  // any pattern: stored as read
    putStr("only");
    put(0);
    WriteBytes(assets.Path("old.anm"), v1);
    assets.Scan();
    auto t = Parse("old.anm", false);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(t->GetNumFrames(), 1);
    EXPECT_FLOAT_EQ(t->GetFrame(0)->alpha, 1.0f);
    EXPECT_EQ(t->GetFrame(0)->name, str("only"));
    EXPECT_EQ(t->GetRegistrationPoint(0), TPoint(5, 6));
    EXPECT_EQ(t->GetDescription().imageName, str("old.png"));
    // No script record: the default one.
    EXPECT_EQ(t->GetScript(), DefaultAnimationScript(1));
}

TEST_F(AnimDescription, DamagedBinaryFilesFailWithALogLine)
{
    const std::vector<char> good = AnimationAnm(RichDescription());
    const size_t scriptTag = good.size() - 4 - 4 - RichDescription().script.length();
    // Every cut before the script record (a cut at the tag just loses the script).
    for (size_t cut = 0; cut < good.size(); ++cut) {
        if (cut >= scriptTag && cut < scriptTag + 4)
            continue;
        WriteBytes(assets.Path("cut.anm"), std::vector<char>(good.begin(), good.begin() + ptrdiff_t(cut)));
        assets.Scan();
        TLogCapture log;
        Parse("cut.anm", false);
        EXPECT_FALSE(parsed) << "cut at " << cut;
        if (cut > 0) {
            EXPECT_NE(log.Text().find("Animation cut.anm is damaged"), std::string::npos) << cut;
        }
    }

    // Counts and lengths far beyond the file.
    auto patched = [&](size_t at, int32_t value) {
        std::vector<char> bytes = good;
        for (int s = 0; s < 4; ++s)
            bytes[at + size_t(s)] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * s)) & 0xFF);
        return bytes;
    };
    const size_t nameLength = 12;  // after "ANIM", the ignored word and the version
    const size_t frameCount = 4 + 4 + 4 + (4 + 4) + (4 + 4) + 4 + 16 + (4 + 8) + (4 + 13) + 4;
    for (const auto& bytes :
         {patched(nameLength, 0x7FFFFFFF), patched(frameCount, 0x7FFFFFFF), patched(frameCount, 100000)}) {
        WriteBytes(assets.Path("big.anm"), bytes);
        assets.Scan();
        TLogCapture log;
        Parse("big.anm", false);
        EXPECT_FALSE(parsed);
        EXPECT_NE(log.Text().find("is damaged"), std::string::npos);
    }
    // A negative frame count reads as no frames.
    std::vector<char> negative = patched(frameCount, -5);
    negative.resize(frameCount + 4);
    WriteBytes(assets.Path("neg.anm"), negative);
    assets.Scan();
    auto t = Parse("neg.anm", false);
    EXPECT_TRUE(parsed);
    EXPECT_EQ(t->GetNumFrames(), 0);

    WriteBytes(assets.Path("tag.anm"), patched(0, 0x4D494E41 + 1));
    assets.Scan();
    Parse("tag.anm", false);
    EXPECT_FALSE(parsed);
}

}  // namespace
