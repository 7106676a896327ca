// The demo's cottage and garden played headless with clicks, as a player would: the opening,
// the drawer, the note, the door before and after the quest, the way out to the garden saved
// on the way, the walk round the pond, the gardener's conversation, the key on the gate, and
// a restart that finds everything where it was.

#include "demo_scene_fixture.h"

#include "game/world/scene/choice_handler.h"
#include "game/world/sound/vox_completion.h"
#include "render/anim/animated_sprite.h"
#include "render/anim/animated_texture.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <gmock/gmock.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

using ::testing::AllOf;
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

    // The drawer: the key lands in the bag and is shown to the player. In no frame (play may be
    // left in any) is the drawer open without its award.
    ClickWorld(415, 343);
    int halfDone = 0;
    ASSERT_GE(PlayUntil([&] {
                  const bool open = ProgressValue("drawer_open") == 1;
                  halfDone += open && !gAwardsManager.HasAward("award_found_key");
                  return open && MiraHasControl();
              }),
              0);
    EXPECT_EQ(halfDone, 0);
    EXPECT_EQ(link.added, std::vector<std::string>{"0:key"});

    // The note: a diary entry with its numbered lines, the quest, the note itself.
    ClickWorld(423, 295);
    ASSERT_GE(PlayUntil([&] { return !MiraHasControl(); }), 0);
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    // (Where Mira stood when she last came to rest is progress too.)
    const std::string read = "scene cottage after ; at_x=423 at_y=468 canreturnfromscene=0 cottage_opening=1 "
                             "drawer_open=1 flash_diary=1 "
                             "hint_walked=1; bag0 key:A little brass key. note:Pip's note, with a paw print.; bag1; "
                             "quests findpip-; book0 note/3; book1; book2";
    EXPECT_EQ(ProgressSummary(), read);
    for (const char* award : {"award_found_key", "award_read_note"})
        EXPECT_TRUE(gAwardsManager.HasAward(award)) << award;

    // The door after the quest: a fade, then the scene change waits for the next update.
    const std::weak_ptr<TAnimatedTexture> sheet = Mira()->GetAnimatedSprite()->GetAnimatedTexture();
    ClickWorld(635, 300);
    ASSERT_GE(PlayUntil([&] { return !scene->mChainTo.empty(); }), 0);
    EXPECT_EQ(scene->GetSceneName(), str("cottage"));
    EXPECT_TRUE(scene->IsFadeDone());
    Frame();
    EXPECT_EQ(scene->GetSceneName(), str("garden"));
    EXPECT_EQ(Mira()->GetScene(), scene.get());
    EXPECT_EQ(Mira()->GetAnimatedSprite()->GetAnimatedTexture(), sheet.lock());  // not read again

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
    gGamestate.SetScene("cottage", true);
    ASSERT_TRUE(Enter("garden"));
    Run("BAG_INV:AddInventory(items.key, false)");
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();

    // Along the north shore, then a click south-west across the pond, down by the bar: the path
    // goes round the water (the pond reaches under the bar: round its west end), on the ground
    // all the way, and ends on the point clicked.
    ASSERT_TRUE(WalkMira(700, 400));
    ASSERT_TRUE(WalkMira(830, 395));
    const tMesh& ground = scene->GetGround();
    ClickWorld(650, 525);
    float westmost = 830, eastmost = 830;
    const int frames = PlayUntil([&] {
        const tVector2<float> at = Mira()->GetPosition();
        EXPECT_GE(ground.PolyCollide(at), 0) << at.x << "," << at.y;
        westmost = std::min(westmost, at.x);
        eastmost = std::max(eastmost, at.x);
        return at == tVector2<float>(650, 525) && Mira()->GetMotion() == MOTION_STAND;
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
    EXPECT_THAT(choices.TextOf(0), HasSubstr("I must be going."));
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
        {2, "garden_ask_roses", "Mind the roses. They took me ten long years."},
        {3, "garden_ask_lantern", "Take this lantern. The forest is dark at night."},
        {0, "garden_ask_bye", ""},
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
              "scene garden after cottage; asked_garden_ask_lantern=1 asked_garden_ask_roses=1 at_x=1460 at_y=515 "
              "canreturnfromscene=0 flash_diary=1 "
              "gate_open=1 hint_walked=1 lantern_given=1 met_gardener=1; bag0; bag1 lantern:The gardener's "
              "lantern.; quests "
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

// A line runs out between two frames and the player clicks at once. The click waits for the
// next frame, where the script goes on: it reaches the hotspot it was on when the script hands
// Mira back (the empty drawer's line, then the note), and nothing when the script opens a talk's
// choices instead (Pip's greeting): rows that no frame has shown take no click, neither in the
// scene nor through the window manager, until the manager has drawn them.
TEST_F(DemoScenePlay, AClickAsALineEndsActsOnlyOnWhatWasOnTheScreen)
{
    const auto lineEnds = [&](tGirl* speaker) {
        ASSERT_GE(PlayUntil([&] { return speaker->IsWaitingFor(RESUME_ON_VOXDONE); }), 0) << Log();
        const uint32_t deadline = gVoxComplete.GetDeadline();
        ASSERT_NE(deadline, tVoxCompletion::kNoDeadline);
        now += deadline - GameClockTime() + 1;
        NewLog();
    };
    ASSERT_TRUE(Enter("cottage"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
    Run("game:Set('drawer_open', 1)");
    ClickWorld(415, 343);
    ASSERT_NO_FATAL_FAILURE(lineEnds(Actor("DRAWER")));
    ClickWorld(423, 295);
    EXPECT_FALSE(MiraHasControl()) << "the drawer's script went on in the click";
    Frame();
    EXPECT_THAT(NewLog(), AllOf(HasSubstr("MET_Event(ClickedOnActor, NOTE"), Not(HasSubstr("inactiveclick"))));
    EXPECT_GE(PlayUntil([&] { return Log().find("SayRaw([Gone to chase the moon.") != std::string::npos; }, 600), 0);

    ASSERT_TRUE(Enter("clearing"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
    ClickWorld(575, 380);
    ASSERT_GE(PlayUntil([&] { return Log().find("SayRaw([Mrrrow?") != std::string::npos; }), 0) << Log();

    // The game window on the screen of a window manager, which has drawn it without choices.
    TWindowManager wm;
    auto* screen = new TModalWindow;
    wm.SetScreen(screen);
    screen->SetWindowSize(800, 600);
    gameWindow->SetWindowSize(800, 600);
    screen->AdoptChild(gameWindow, false);
    struct TGiveBack
    {
        TWindow* screen;
        TWindow* game;
        ~TGiveBack() { screen->OrphanChild(game); }
    } giveBack{screen, gameWindow};
    TRenderer::GetInstance()->PushClippingRectangle(TURect(0, 0, 800, 600));
    const auto send = [&](int32_t type, TWindow* at) {
        TEvent e;
        e.type = type;
        if (at) {
            TRect r;
            at->GetWindowRect(&r);
            e.x = r.left + 5;
            e.y = r.top + 5;
        }
        wm.HandleEvent(&e);
    };
    send(TEvent::kIdle, nullptr);

    ASSERT_NO_FATAL_FAILURE(lineEnds(Actor("PIP")));
    ClickWorld(300, 30);
    ClickWorld(300, 30);  // a second click, taken before any frame
    EXPECT_FALSE(TChoiceBox::Enabled(choices.box)) << "the choices opened in the click";
    Frame();
    EXPECT_TRUE(TChoiceBox::Enabled(choices.box));
    send(TEvent::kMouseDown, choices.buttons[0]);
    EXPECT_TRUE(Actor("PIP")->IsWaitingFor(RESUME_ON_CHOICE));
    EXPECT_THAT(NewLog(), AllOf(HasSubstr("inactiveclick"), Not(HasSubstr("ChoiceClicked"))));
    send(TEvent::kIdle, nullptr);
    send(TEvent::kMouseDown, choices.buttons[0]);
    EXPECT_THAT(NewLog(), HasSubstr("ChoiceClicked(0)"));
    TRenderer::GetInstance()->PopClippingRectangle();
}

// A wait for a click that a handler begins does not end on the click that ran the handler. What
// the scripts do in the update a held click waits for decides whether it acts: control handed
// back, with nothing opened meanwhile, lets it reach the note it was on; choices, an actor, a
// popup or a scene change to come, or no control, leave it a click that found nobody in control.
TEST_F(DemoScenePlay, AClickReachesOnlyTheSceneItWasMadeOn)
{
    ASSERT_TRUE(Enter("cottage"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
    // The hand takes clicks after Mira; the note's handler has it wait for one.
    Run("scene:Spawn{ name = 'HAND' }\n"
        "scene.HAND:SetDepthValue(-1)\n"
        "scene.NOTE.on_click = function(clicker, clicked)\n"
        "    scene.HAND:StartProc(function(self) heard = coroutine.yield(RESUME.ON_CLICK) end)\n"
        "    return RESPONSE.IGNORE\n"
        "end");
    ClickWorld(423, 295);
    Play(3);
    EXPECT_EQ(Run("return tostring(heard)"), "nil");
    ClickWorld(300, 450);
    Frame();
    EXPECT_EQ(Run("return tostring(heard)"), "4");

    const struct
    {
        const char* what;
        const char* then;  // after Mira has control again
        bool acts;
    } cases[] = {
        {"control back", "", true},
        {"and choices", "self:OfferChoices{ choices = { 'a|A' } }", false},
        {"and an actor", "scene:Spawn{ name = 'NEWCOMER' }", false},
        {"and a popup", "scene:DoPopup('', 'Title', 'Body')", false},
        {"no control", "scene.NELKA:SetMode(MODE.CUTSCENE)", false},
        {"and a scene change", "scene:ChainTo('garden')", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Enter("cottage"));
        ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
        Run((std::string("scene.NELKA:SetMode(MODE.CUTSCENE)\n"
                         "scene:Spawn{ name = 'STAGEHAND', command = function(self)\n"
                         "    coroutine.yield(RESUME.ON_SIGNAL)\n"
                         "    scene.NELKA:SetMode(MODE.FOLLOWCLICKS)\n") +
             c.then + "\nend }")
                .c_str());
        Actor("STAGEHAND")->Signal();
        NewLog();
        ClickWorld(423, 295);
        Frame();
        const std::string log = NewLog();
        EXPECT_EQ(log.find("ClickedOnActor, NOTE") != std::string::npos, c.acts) << log;
        EXPECT_EQ(log.find("inactiveclick") != std::string::npos, !c.acts) << log;
    }
    EXPECT_THAT(Log(), Not(HasSubstr("GLOBAL LUA ERROR")));
}

// An actor's script waits on a delay, a walk, an animation and a dialogue choice in turn, and
// each wait ends on its own event. The animation is Mira's sheet with one that ends.
// However slowly she walks, one click on the gardener brings Mira to him: he tends his roses
// where he stands, and she stands beside him, not inside him.
TEST_F(DemoScenePlay, OneClickOnTheGardenerStartsTheTalkBesideHim)
{
    SetRangedWalkSpeedSource([] { return 1.0f; });
    gGamestate.SetScene("cottage", true);
    ASSERT_TRUE(Enter("garden"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0) << Log();
    tGirl* gardener = Actor("GARDENER");
    EXPECT_LT(PlayUntil([&] { return gardener->GetMotion() != MOTION_STAND; }, 600), 0) << "he does not pace";
    ClickWorld(gardener->GetPosition().x, gardener->GetPosition().y - 60);
    ASSERT_GE(PlayUntil([&] { return scene->GetChoiceHandler().IsChoiceOpen(); }), 0) << Log();
    EXPECT_GE(std::abs(Mira()->GetPosition().x - gardener->GetPosition().x), 45.0f)
        << Mira()->GetPosition().x << " beside " << gardener->GetPosition().x;
}

TEST_F(DemoScenePlay, AWaitingActorResumesOnTheEventItWaitsFor)
{
    std::ifstream sheet(std::string(TV_ASSETS_RESOURCE_DIR) + "/assets/anims/mira.xml");
    std::string waving((std::istreambuf_iterator<char>(sheet)), std::istreambuf_iterator<char>());
    const size_t script = waving.find("luascript=\"");
    ASSERT_NE(script, std::string::npos);
    waving.insert(script + 11, "function DoWave()&#10;    delay(50)&#10;    frames{1, 2, 3}&#10;end&#10;");
    TFile::AddMemoryFile("anims/waving.xml", waving.data(), unsigned(waving.size()));

    ASSERT_TRUE(Enter("garden"));
    Run(R"(resumed = {}
scene:Spawn{ name = "WAITER", anim = "anims/waving.xml", command = function(self)
    self:JumpToPoint{ x = 300, y = 500 }
    local function note(reason, detail) table.insert(resumed, reason .. ":" .. detail) end
    note(coroutine.yield(RESUME.ON_DELAY, 5), "delay")
    self:WalkToXY{ x = 340, y = 500 }
    note(coroutine.yield(RESUME.ON_WALKTO), self:GetPosition().x)
    self:AddFlag(AFLAG.AFLAG_SPECIAL_ANIM)
    local waving = self:PlayAnim("DoWave")
    note(coroutine.yield(RESUME.ON_ANIM), tostring(waving))
    self:OfferChoices{ choices = { "a|Yes", "b|No" } }
    note(coroutine.yield(RESUME.ON_CHOICE), game:GetString("conv"))
end })");
    auto resumed = [&] { return Run("return table.concat(resumed, ' ')"); };
    EXPECT_EQ(PlayUntil([&] { return !resumed().empty(); }), 5);
    ASSERT_GE(PlayUntil([&] { return resumed().find("1:") != std::string::npos; }), 0);
    EXPECT_EQ(Actor("WAITER")->GetPosition(), tVector2<float>(340, 500));
    // A 50 ms pause and three frames, a frame a step.
    EXPECT_GE(PlayUntil([&] { return scene->GetChoiceHandler().IsChoiceOpen(); }), 4);
    EXPECT_EQ(resumed(), "2:delay 1:340 8:true");
    Play(3);
    EXPECT_EQ(resumed(), "2:delay 1:340 8:true");
    ChoiceClicked(1);
    Frame();
    EXPECT_EQ(resumed(), "2:delay 1:340 8:true 11:b");
}

// Scripts spawn and remove actors while the scene walks its actors, in an update and in a
// click: the newcomers take part from then on, the leavers are gone for good, and the
// gardener's script, waiting when he is removed, never runs again.
TEST_F(DemoScenePlay, ActorsComeAndGoInTheMiddleOfAnUpdateOrAClick)
{
    ASSERT_TRUE(Enter("garden"));
    ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
    Run(R"(childTicks = 0
scene:Spawn{ name = "SPAWNER", command = function(self)
    coroutine.yield(RESUME.ON_DELAY, 1)
    scene:Spawn{ name = "CHILD", command = function(child)
        while true do childTicks = childTicks + 1 coroutine.yield(RESUME.ON_DELAY, 1) end
    end }
    self:Expire()
end }
scene:Spawn{ name = "TRAP", halo = "gardener_halo",
    command = function(self) self:JumpToPoint{ x = 400, y = 520 } self:SetMode(MODE.STATIC) end,
    on_click = function(clicker, clicked)
        scene.GARDENER:Expire()
        clicked:Expire()
        scene:Spawn{ name = "LATE" }
        return RESPONSE.IGNORE
    end })");
    Frame();
    EXPECT_EQ(Actor("SPAWNER"), nullptr);
    EXPECT_EQ(Run("return tostring(scene.SPAWNER)"), "nil");
    ASSERT_NE(Actor("CHILD"), nullptr);
    Play(4);
    // One tick at its spawn, one in the update that spawned it, one in each update since.
    EXPECT_EQ(Run("return childTicks"), "6");

    scene->OnMouseMove(TPoint(400, 480));
    EXPECT_EQ(scene->GetPointedActor(), Actor("TRAP"));
    ClickWorld(400, 480);
    ASSERT_NE(Actor("LATE"), nullptr);
    EXPECT_FALSE(Actor("LATE")->WasClicked());  // not there when the click went round
    EXPECT_TRUE(Actor("CHILD")->WasClicked());
    EXPECT_TRUE(Actor("TRAP")->IsExpired());
    Frame();
    for (const char* gone : {"TRAP", "GARDENER"}) {
        EXPECT_EQ(Actor(gone), nullptr) << gone;
        EXPECT_EQ(Run((std::string("return tostring(scene.") + gone + ")").c_str()), "nil") << gone;
    }
    EXPECT_EQ(scene->GetPointedActor(), nullptr);
    EXPECT_EQ(Mira()->GetPosition(), tVector2<float>(100, 480));  // the click was ignored
    Play(30);
    EXPECT_EQ(Run("return childTicks"), "37");
    EXPECT_THAT(Log(), Not(HasSubstr("GLOBAL LUA ERROR")));
}

}  // namespace
