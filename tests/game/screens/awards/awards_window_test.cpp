// The awards window: stepping through the twelve awards with keys and messages, the title and
// the body or teaser by whether the award is earned, the generic texts as fallbacks.

#include <gtest/gtest.h>

#include "core/platform/event.h"
#include "game/interface/layout_fixture.h"
#include "game/screens/awards/awards_window.h"
#include "game/script/window_autoreg.h"
#include "game/world/awards/awards_manager.h"
#include "game/world/strings/localised_strings.h"
#include "ui/widgets/text.h"

namespace {

class AwardsWindowTest : public GameLayoutTest
{
protected:
    void SetUp() override
    {
        GameLayoutTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        saved = gAwardsManager;
        gAwardsManager = tAwardsManager();
        for (int i = 0; i < tAwardsWindow::kAwardCount; ++i)
            gAwardsManager.AddAwardDef(("award" + std::to_string(i)).c_str(), 10);
    }
    void TearDown() override
    {
        gAwardsManager = saved;
        GameLayoutTest::TearDown();
    }
    tAwardsWindow* Window()
    {
        Layout("Text{ name = 'item_title', w = 100, h = 20 }, Text{ name = 'item_body', w = 100, h = 20 },"
               " tAwardsWindow{ name = 'awards', w = 100, h = 100 }");
        return GetCast<tAwardsWindow>(Find("awards"));
    }
    str TextOf(const char* name) { return GetCast<TText>(Find(name))->GetText(); }

    tAwardsManager saved;
};

TEST_F(AwardsWindowTest, KeysAndMessagesStepWithinTheList)
{
    tAwardsWindow* awards = Window();
    ASSERT_NE(awards, nullptr);
    EXPECT_EQ(awards->GetShownName(), "award0");
    EXPECT_TRUE(awards->OnKeyDown(char(TEvent::kUp), 0));
    EXPECT_EQ(awards->GetIndex(), 0) << "up on the first stays on the first";
    for (int i = 0; i < 20; ++i)
        awards->OnKeyDown(char(TEvent::kDown), 0);
    EXPECT_EQ(awards->GetIndex(), 11) << "down on the twelfth stays there";
    Lua("SendAwardMessage('go_left')");
    EXPECT_EQ(awards->GetShownName(), "award10");
    Lua("SendAwardMessage('award3')");
    EXPECT_EQ(awards->GetShownName(), "award3");
    EXPECT_EQ(awards->GetIndex(), 10) << "a name shows that award without moving the index";
    EXPECT_FALSE(awards->OnKeyDown('x', 0));
}

TEST_F(AwardsWindowTest, AwardsWithoutTextsShowTheGenericOnes)
{
    tAwardsWindow* awards = Window();
    ASSERT_NE(awards, nullptr);
    // The test string table holds no award texts: each lookup falls back to the generic key,
    // which reads as the missing-text marker too.
    EXPECT_STREQ(TextOf("item_title").c_str(), GlocalisedString("award_title_generic").c_str());
    EXPECT_STREQ(TextOf("item_body").c_str(), GlocalisedString("award_teaser_generic").c_str());
    EXPECT_FALSE(TextOf("item_title").empty());
}

TEST_F(AwardsWindowTest, TheMessageGlobalGoesWithTheWindow)
{
    tAwardsWindow* awards = Window();
    EXPECT_TRUE(LuaTrue("SendAwardMessage ~= nil"));
    delete awards;
    EXPECT_TRUE(LuaTrue("SendAwardMessage == nil"));
}

}  // namespace

namespace {

TEST_F(AwardsWindowTest, TheDemoLayoutStepsWithItsArrows)
{
    Lua("PushModal('awardsscreen')");
    ASSERT_TRUE(script->RunScript("layouts/awards.lua"));
    auto* awards = GetCast<tAwardsWindow>(Find("awards"));
    ASSERT_NE(awards, nullptr);
    Lua("SendAwardMessage('go_right')");
    EXPECT_EQ(awards->GetShownName(), "award1");
}

}  // namespace
