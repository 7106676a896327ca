// What actors say: how long it stays, the moving mouth, voice lines, the say spec from
// scripts, choices, and where the text lands on the screen.

#include "stage_fixture.h"

#include "game/world/actor/say_box.h"
#include "render/text/text_graphic.h"

namespace {

TEST(ActorSpeech, TimedTextClearsItselfAndUntimedTextStays)
{
    const struct
    {
        int duration;
        bool shownAfter119, shownAfter120;
    } cases[] = {{120, true, false}, {-1, true, true}, {0, true, true}, {1, false, false}};
    for (const auto& c : cases) {
        TestScene scene;
        TestGirl& hero = *scene.Add("hero");
        hero.mTickCount = 1000;
        hero.SayRaw("Hello", c.duration);
        ASSERT_TRUE(hero.HasText()) << c.duration;
        const auto advance = [&](int ticks) {
            for (int t = 0; t < ticks; ++t) {
                ++hero.mTickCount;
                hero.UpdateText();
            }
        };
        advance(119);
        EXPECT_EQ(hero.HasText(), c.shownAfter119) << c.duration;
        advance(1);
        EXPECT_EQ(hero.HasText(), c.shownAfter120) << c.duration;
        EXPECT_EQ(hero.TestFlag(AFLAG_TALKING), c.shownAfter120) << c.duration;
    }
}

TEST(ActorSpeech, DotsShowWithoutMovingTheMouth)
{
    const struct
    {
        const char* text;
        bool talking;
    } cases[] = {{"...", false}, {"\xE2\x80\xA6", false}, {"Hello...", true}, {"..", true}};
    for (const auto& c : cases) {
        TestScene scene;
        TestGirl& hero = *scene.Add("hero");
        hero.SayRaw(c.text, -1);
        EXPECT_TRUE(hero.HasText()) << c.text;
        EXPECT_EQ(hero.TestFlag(AFLAG_TALKING), c.talking) << c.text;
        hero.StopMouth();
        EXPECT_FALSE(hero.TestFlag(AFLAG_TALKING)) << c.text;
        EXPECT_TRUE(hero.HasText()) << c.text;
    }
}

TEST(ActorSpeech, ModifySaySpecChangesOnlyTheKeysGiven)
{
    const struct
    {
        const char* table;
        TRect box;
    } cases[] = {
        {"{w = 100}", TRect(-200, -200, -100, -40)},
        {"{x = 10}", TRect(10, -200, 410, -40)},
        {"{y = 5, h = 20}", TRect(-200, 5, 200, 25)},
        {"{}", TRect(-200, -200, 200, -40)},
    };
    for (const auto& c : cases) {
        TestScene scene;
        TestGirl& hero = *scene.Add("hero");
        scene.Run((std::string("hero:ModifySaySpec(") + c.table + ")").c_str());
        EXPECT_EQ(hero.GetSaySpec().box, c.box) << c.table;
        EXPECT_EQ(hero.GetSaySpec().font, str("fonts/arial.mvec")) << c.table;
    }
}

TEST(ActorSpeech, SayShowsTheLocalisedLineAndPlaysItsVoiceUnlessTold)
{
    const std::string sheet = "<?xml version=\"1.0\"?><Workbook><Worksheet><Table>"
                              "<Row><Cell><Data>hello</Data></Cell><Cell><Data>Nice day.</Data></Cell></Row>"
                              "</Table></Worksheet></Workbook>";
    for (const bool noVox : {false, true}) {
        TestScene scene;
        ASSERT_TRUE(scene.Strings().Table().MergeStringData(sheet.data(), sheet.size()));
        TestGirl& hero = *scene.Add("hero");
        if (noVox)
            hero.AddFlag(AFLAG_NO_VOX);
        const std::string log = scene.Run("hero:Say('hello', -1)");
        ASSERT_TRUE(hero.HasText()) << noVox;
        EXPECT_EQ(std::string(hero.GetText()->GetText().c_str()), "Nice day.") << noVox;
        EXPECT_EQ(log.find("PlayVox(audio/vox/hello") != std::string::npos, !noVox) << log;
    }
}

TEST(ActorSpeech, OfferChoicesReadsEntriesUpToTheFirstEmptyOne)
{
    TestScene scene;
    TheScene() = &scene;
    TestGirl& hero = *scene.Add("hero");
    hero.SayRaw("Well?", 50);
    const std::string log = scene.Run("hero:OfferChoices({choices = {'a|Apples', 'b|Pears', '', 'c|Plums'}})");
    TheScene() = nullptr;
    EXPECT_NE(log.find("SEEING CHOICE a|Apples"), std::string::npos) << log;
    EXPECT_NE(log.find("SEEING CHOICE b|Pears"), std::string::npos) << log;
    EXPECT_EQ(log.find("c|Plums"), std::string::npos) << log;
    EXPECT_FALSE(hero.HasText());
    // The removed line's timer is gone with it: it cannot clear the choices later.
    EXPECT_EQ(hero.mTextEndTick, 0);
}

TEST(ActorSpeech, ClampedSpeechStaysInsideTheScenesVisibleArea)
{
    TestScene scene;
    scene.SetScreenSize({1024, 768});
    TestGirl& hero = *scene.Add("hero", {1000, 760});
    tTextSpec spec = tGirl::DefaultActorSaySpec();
    spec.clamp = CLAMP_SCREEN;
    spec.anchor = ANCHOR_TOP;
    spec.box = TRect(-200, 0, 200, 160);  // below the feet, past the bottom edge
    hero.SetSaySpec(spec);
    hero.SayRaw("Hello there", -1);
    TRect text;
    hero.PlaceSpeech(&text);
    ASSERT_GT(text.right - text.left, 0);
    EXPECT_EQ(text.right, 1024);
    EXPECT_EQ(text.bottom, 768);
}

TEST(SayBox, ScaledAboutItsCentreAndTopAndPlacedByTheAnchor)
{
    tTextSpec spec = tGirl::DefaultActorSaySpec();  // (-200, -200)-(200, -40), anchor centre
    tTextSpec bottom = spec, top = spec, odd = spec;
    bottom.anchor = ANCHOR_BOTTOM;
    top.anchor = ANCHOR_TOP;
    odd.box = TRect(-101, -51, 100, 0);  // 201 x 51
    const struct
    {
        const char* name;
        const tTextSpec& spec;
        float scale;
        tVector2<float> position, camera;
        TRect want;
    } cases[] = {
        {"centre", spec, 1, {400, 500}, {0, 0}, TRect(200, 220, 600, 380)},
        {"centre at half size", spec, 0.5f, {400, 500}, {0, 0}, TRect(200, 320, 600, 480)},
        {"bottom", bottom, 1, {400, 500}, {0, 0}, TRect(200, 140, 600, 300)},
        {"top", top, 1, {400, 500}, {0, 0}, TRect(200, 300, 600, 460)},
        {"camera and fractions", spec, 1, {400.9f, 500.7f}, {100.5f, 50.2f}, TRect(100, 170, 500, 330)},
        {"odd sizes truncate toward zero", odd, 0.5f, {0, 0}, {0, 0}, TRect(-100, -50, 101, 1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceSayBox(c.spec, c.scale, c.position, c.camera), c.want) << c.name;
}

TEST(SayBox, TextOutsideTheAreaIsShiftedBackLeftAndTopFirst)
{
    const TRect area(0, 0, 800, 600);
    const struct
    {
        TRect text;
        TPoint shift;
    } cases[] = {
        {TRect(10, 10, 100, 50), TPoint(0, 0)},      {TRect(-30, 10, 100, 50), TPoint(30, 0)},
        {TRect(750, 10, 850, 50), TPoint(-50, 0)},   {TRect(-10, 10, 900, 50), TPoint(10, 0)},
        {TRect(10, -5, 100, 50), TPoint(0, 5)},      {TRect(10, 580, 100, 620), TPoint(0, -20)},
        {TRect(-20, 590, 50, 640), TPoint(20, -40)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShiftIntoArea(c.text, area), c.shift) << c.text.left << "," << c.text.top;
}

}  // namespace
