// The demo's cottage and garden played headless with clicks, as a player would: the opening,
// the drawer, the note, the door before and after the quest, the way out to the garden saved
// on the way, the walk round the pond, the gardener's conversation, the key on the gate, and
// a restart that finds everything where it was.

#include "demo_scene_fixture.h"

#include "game/world/scene/choice_handler.h"

#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using DemoScenePlay = DemoSceneTest;

TEST_F(DemoScenePlay, TheCottageFromTheOpeningLineToTheGardenDoor)
{
    ASSERT_TRUE(Enter("cottage"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
    EXPECT_THAT(Log(), HasSubstr("SayRaw([Pip? Pip! Where has that cat got to this time?], -1)"));
    EXPECT_EQ(ProgressValue("cottage_opening"), 1);
    EXPECT_TRUE(gAwardsManager.HasAward("award_woke_up"));

    // The door before the quest: she goes there, says why not, and stays in the cottage.
    ClickWorld(635, 300);
    ASSERT_GE(PlayUntil([&] { return Mira()->HasText(); }), 0);
    EXPECT_EQ(Mira()->GetPosition(), tVector2<float>(635, 430));  // the door's "walkto"
    EXPECT_THAT(Log(), HasSubstr("SayRaw([Not yet. Pip may have left me a clue.], 150)"));
    Play(160);
    EXPECT_FALSE(Mira()->HasText());
    EXPECT_TRUE(MiraHasControl());
    EXPECT_EQ(scene->mChainTo, str());

    // The drawer: the key lands in the bag and is shown to the player.
    ClickWorld(415, 343);
    ASSERT_GE(PlayUntil([&] { return ProgressValue("drawer_open") == 1; }), 0);
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    EXPECT_EQ(link.added, std::vector<std::string>{"0:key"});

    // The note: a diary entry with its numbered lines, the quest, the note itself.
    ClickWorld(423, 295);
    ASSERT_GE(PlayUntil([&] { return !MiraHasControl(); }), 0);
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    const std::string read = "scene cottage after ; canreturnfromscene=0 cottage_opening=1 drawer_open=1; bag0 "
                             "key:A little brass key. note:Pip's note, with a paw print.; bag1; quests findpip-; "
                             "book0 note/3; book1; book2";
    EXPECT_EQ(ProgressSummary(), read);
    for (const char* award : {"award_found_key", "award_read_note"})
        EXPECT_TRUE(gAwardsManager.HasAward(award)) << award;

    // The door after the quest: a fade, then the scene change waits for the next update.
    ClickWorld(635, 300);
    ASSERT_GE(PlayUntil([&] { return !scene->mChainTo.empty(); }), 0);
    EXPECT_EQ(scene->GetSceneName(), str("cottage"));
    EXPECT_TRUE(scene->IsFadeDone());
    Frame();
    EXPECT_EQ(scene->GetSceneName(), str("garden"));
    EXPECT_EQ(Mira()->GetScene(), scene.get());

    // Saved on the way out, in the player's table: the garden, after the cottage.
    TPrefs saved(false);
    EXPECT_EQ(saved.GetStr("S0:SCENE", "", 0), str("garden"));
    EXPECT_EQ(saved.GetStr("S0:LASTSCENE", "", 0), str("cottage"));
    EXPECT_EQ(saved.GetStr("I:S0:I0:B[BAG_INV]key", "", 0), str("key"));
    EXPECT_EQ(saved.GetInt("V:S0:I3:value", 0, 0), 1);  // left_home, the fourth name

    // In the garden she steps in from the cottage door.
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    EXPECT_EQ(Mira()->GetPosition(), tVector2<float>(200, 500));
    EXPECT_THAT(Log(), Not(HasSubstr("GLOBAL LUA ERROR")));
}

TEST_F(DemoScenePlay, TheGardenRoundThePondThroughTheConversationToTheGate)
{
    SetProgressScene("cottage");
    ASSERT_TRUE(Enter("garden"));
    Run("BAG_INV:AddInventory(items.key, false)");
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();

    // Along the north shore, then a click south-west across the pond: the path goes round
    // the water, on the ground all the way, and ends on the point clicked.
    ASSERT_TRUE(WalkMira(700, 400));
    ASSERT_TRUE(WalkMira(830, 395));
    const tMesh& ground = scene->GetGround();
    ClickWorld(790, 560);
    float westmost = 830, eastmost = 830;
    const int frames = PlayUntil([&] {
        const tVector2<float> at = Mira()->GetPosition();
        EXPECT_GE(ground.PolyCollide(at), 0) << at.x << "," << at.y;
        westmost = std::min(westmost, at.x);
        eastmost = std::max(eastmost, at.x);
        return at == tVector2<float>(790, 560) && Mira()->GetMotion() == MOTION_STAND;
    });
    ASSERT_GE(frames, 0);
    EXPECT_TRUE(westmost <= 700 || eastmost >= 900) << westmost << ".." << eastmost;

    // The gardener: a click walks her over, he greets her, and six choices scroll in the box.
    tGirl* gardener = Actor("GARDENER");
    ClickWorld(gardener->GetPosition().x, gardener->GetPosition().y - 60);
    tChoiceHandler& handler = scene->GetChoiceHandler();
    ASSERT_GE(PlayUntil([&] { return handler.IsChoiceOpen(); }), 0);
    EXPECT_THAT(Log(), HasSubstr("Good morning, miss. Lost something, have we?"));
    EXPECT_EQ(choices.ButtonsEnabled(), std::vector<bool>(6, true));
    EXPECT_THAT(choices.TextOf(5), HasSubstr("I must be going."));
    EXPECT_TRUE(TChoiceBox::Enabled(choices.slider));
    EXPECT_EQ(scene->GetConversationPartner(), gardener);

    // Each click records the answer, signals the gardener, and his script goes on: the roses
    // go into the diary, the lantern into the magic bag, and goodbye ends the talk.
    const struct
    {
        int pick;
        const char* key;
        const char* answer;
    } talk[] = {
        {1, "garden_ask_roses", "Mind the roses. They took me ten long years."},
        {3, "garden_ask_lantern", "Take this lantern. The forest is dark at night."},
        {5, "garden_ask_bye", ""},
    };
    for (const auto& t : talk) {
        SCOPED_TRACE(t.key);
        ChoiceClicked(t.pick);
        EXPECT_EQ(ProgressText("conv"), t.key);
        EXPECT_TRUE(gardener->IsWaitingFor(RESUME_NOW));
        EXPECT_FALSE(handler.IsChoiceOpen());
        ASSERT_GE(PlayUntil([&] { return handler.IsChoiceOpen() || MiraHasControl(); }), 0);
        EXPECT_THAT(Log(), HasSubstr(t.answer));
    }
    EXPECT_TRUE(MiraHasControl());
    EXPECT_FALSE(scene->IsConversationMode());

    // East along the lawn to the gate, the key in hand: it opens, and so does the gateway.
    ASSERT_TRUE(WalkMiraEast(1420, 400));
    UseBagItem(0);
    ClickWorld(1540, 450);
    ASSERT_GE(PlayUntil([&] { return ProgressValue("gate_open") == 1; }), 0);
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    EXPECT_EQ(ProgressSummary(),
              "scene garden after cottage; asked_garden_ask_lantern=1 asked_garden_ask_roses=1 canreturnfromscene=0 "
              "gate_open=1 lantern_given=1 met_gardener=1; bag0; bag1 lantern:The gardener's lantern.; quests "
              "lantern-; book0 roses/2; book1; book2");
    EXPECT_TRUE(gAwardsManager.HasAward("award_opened_gate"));

    // The restart: saved here, everything forgotten, loaded back, the scene entered again.
    EXPECT_EQ(Run("return tostring(game:SaveGame())"), "true");
    const std::string kept = ProgressSummary();
    scene.reset();
    ForgetProgress();
    scene = std::make_unique<TestScene>();
    TheScene() = scene.get();
    ASSERT_TRUE(LoadProgress());
    EXPECT_EQ(ProgressSummary(), kept);
    ASSERT_TRUE(scene->LoadSceneByName(ProgressScene().c_str(), true));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    EXPECT_GE(scene->GetGround().PolyCollide({1540, 480}), 0);

    // Through the gateway, now walkable, on the way to the forest.
    ASSERT_TRUE(WalkMiraEast(1420, 400));
    ClickWorld(1540, 450);
    ASSERT_GE(PlayUntil([&] { return !scene->mChainTo.empty(); }), 0);
    EXPECT_EQ(scene->mChainTo, str("forest"));
    EXPECT_EQ(Mira()->GetPosition(), tVector2<float>(1540, 480));
    EXPECT_THAT(Log(), Not(HasSubstr("GLOBAL LUA ERROR")));
}

}  // namespace
