// The scene choice and the game's start: the demo page lists every scene, titles reach the
// layout as values, scene numbers are checked against the list, a new game starts scene 0 and
// is saved when it loaded, a saved game is continued.

#include <string>

#include "common/log_capture.h"
#include "core/time/time_source.h"
#include "game/screens/choosescene/choose_scene.h"
#include "game/screens/choosescene/game_start.h"
#include "game/screens/menu_fixture.h"
#include "game/script/metrics.h"
#include "game/script/window_autoreg.h"
#include "game/world/scenelist/scene_list.h"
#include "ui/widgets/button.h"

namespace {

class ChooseSceneTest : public MenuTest
{
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        AddAutoRegWindowTypes(wm.get());
        // A title that would break a line of Lua source.
        g_SceneDescs = {{"Mira's \"Cottage\"]] os.exit(1) --[[ {'\\", "cottage", "quest/cottage/"},
                        {"The Garden", "garden", "quest/garden/"},
                        {"The Night Forest", "forest", "quest/forest/"}};
        gCurrentScene = 0;
        SetSceneLoader([this](const str& name, bool resume) {
            loads += std::string(name.c_str()) + (resume ? "+resume;" : ";");
            return loadWorks;
        });
    }
    void TearDown() override
    {
        SetSceneLoader(nullptr);
        g_SceneDescs.clear();
        gCurrentScene = 0;
        MenuTest::TearDown();
    }
    void MakePlayerWithProgress()
    {
        settings->CreateNewUser("Ann");
        gGamestate.Set("lamp_lit", 1);
    }

    std::string loads;
    bool loadWorks = true;
};

TEST_F(ChooseSceneTest, DemoPageListsEveryScene)
{
    gCurrentScene = 1;
    TLogCapture log;
    StartInterface();
    ReadLayout("layouts/choosescene.lua");
    ASSERT_NE(GetCast<TChooseScene>(Find("choosescene")), nullptr);
    for (size_t i = 0; i < g_SceneDescs.size(); ++i) {
        auto* button = GetCast<TButton>(Find(("button" + std::to_string(i)).c_str()));
        ASSERT_NE(button, nullptr) << i;
        EXPECT_EQ(button->GetLabel(), g_SceneDescs[i].title);
        EXPECT_EQ(button->IsOn(), i == 1) << i;
    }
    EXPECT_EQ(Find("button3"), nullptr);
    EXPECT_NE(log.Text().find("TOTAL COMMAND = UpdateSceneList( 1, 3, {\"Mira's \\\"Cottage\\\"]] os.exit(1) --[[ "
                              "{'\\\\\",\"The Garden\",\"The Night Forest\",} )"),
              std::string::npos)
        << log.Text();

    // Choose the forest and jump there; the page closes behind a scene that loaded.
    GetCast<TButton>(Find("button2"))->DoPress();
    EXPECT_EQ(Run("return GetCurrentSelectedScene()"), "2");
    TLogCapture entered;
    GetCast<TButton>(Find("scene_jump"))->DoPress();
    EXPECT_EQ(loads, "forest;");
    EXPECT_EQ(gCurrentScene, 2);
    EXPECT_NE(entered.Text().find("Scene 2 entered: true"), std::string::npos) << entered.Text();
}

TEST_F(ChooseSceneTest, StartAtSceneClearsTheGameJumpToSceneKeepsIt)
{
    struct Case
    {
        const char* call;
        const char* result;
        int lampLit;  // the progress variable afterwards
        const char* loads;
    };
    const Case cases[] = {
        {"JumpToScene(1)", "true", 1, "garden;"}, {"StartAtScene(2)", "true", 0, "forest;"},
        {"StartAtScene(3)", "false", 1, ""},  // refused before anything is cleared
        {"JumpToScene(-1)", "false", 1, ""},      {"JumpToScene(2147483648)", "false", 1, ""},
        {"JumpToScene('garden')", "nil", 1, ""},  // not a number: logged, no answer
        {"StartAtScene()", "nil", 1, ""},
    };
    Layout("TChooseScene{ name = 'page', w = 600, h = 400 }");
    for (const Case& c : cases) {
        MakePlayerWithProgress();
        loads.clear();
        EXPECT_EQ(Run(std::string("return ") + c.call), c.result) << c.call;
        EXPECT_EQ(gGamestate.Get("lamp_lit"), c.lampLit) << c.call;
        EXPECT_EQ(loads, c.loads) << c.call;
    }
    EXPECT_EQ(Run("SetCurrentScene(2); return GetCurrentSelectedScene()"), "0");
    EXPECT_EQ(gCurrentScene, 2);
    CloseTop();
    EXPECT_EQ(Run("return tostring(JumpToScene) .. tostring(StartAtScene) .. tostring(SetCurrentScene)"), "nilnilnil");
}

TEST_F(ChooseSceneTest, NewGameStartsSceneZeroAndIsSavedOnlyWhenItLoaded)
{
    for (const bool works : {false, true}) {
        MakeSettings();
        MakePlayerWithProgress();
        loadWorks = works;
        loads.clear();
        EXPECT_EQ(StartNewGame(), works);
        EXPECT_EQ(loads, "cottage;");
        EXPECT_EQ(gCurrentScene, 0);
        EXPECT_EQ(gGamestate.Get("lamp_lit"), 0);
        EXPECT_EQ(lf_IsSavedGamePresent(), works);
    }
    const std::string saved = settings->GetPrefs()->GetStr("S0:SCENE", "", 0).c_str();
    EXPECT_EQ(saved, "cottage");
    // No scene to start: nothing is loaded (nor read past the list).
    g_SceneDescs.clear();
    loads.clear();
    EXPECT_FALSE(StartNewGame());
    EXPECT_EQ(loads, "");
}

TEST_F(ChooseSceneTest, SavedGameIsContinuedInItsScene)
{
    EXPECT_FALSE(LoadDefaultGame());  // no player
    settings->CreateNewUser("Ann");
    EXPECT_FALSE(LoadDefaultGame());  // no saved game
    EXPECT_EQ(loads, "");

    gGamestate.SetScene("garden", true);
    gGamestate.Set("lamp_lit", 1);
    ASSERT_TRUE(lf_SaveGame());
    gGamestate.clear();
    for (const bool works : {true, false}) {
        loadWorks = works;
        EXPECT_EQ(LoadDefaultGame(), works);
        EXPECT_EQ(gGamestate.Get("lamp_lit"), 1);
    }
    EXPECT_EQ(loads, "garden+resume;garden+resume;");
}

// Each game has its own play clock: another player's new game, and a Continue, start at 0
// however long the last game lasted.
TEST_F(ChooseSceneTest, EveryGameStartedOrContinuedStartsItsPlayClockAtZero)
{
    uint32_t now = 1000;
    SetTimeSource([&now] { return now; });
    const auto begun = [] {
        TLogCapture log;
        MET_BeginPlay();
        const std::string text = log.Text();
        const size_t at = text.find("MET_BeginPlay() at PlayTime ");
        return at == std::string::npos ? text : text.substr(at + 28, text.find(' ', at + 28) - at - 28);
    };
    MakeSettings();
    settings->CreateNewUser("Ann");
    ASSERT_TRUE(StartNewGame());
    EXPECT_EQ(begun(), "0.00000");
    now += 126880;
    ASSERT_TRUE(lf_SaveGame());
    MET_EndPlay();

    settings->CreateNewUser("Bob");
    ASSERT_TRUE(StartNewGame());
    EXPECT_EQ(begun(), "0.00000");
    now += 2000;
    MET_EndPlay();

    settings->SetCurrentUser(0);
    ASSERT_TRUE(LoadDefaultGame());
    EXPECT_EQ(begun(), "0.00000");
    MET_EndPlay();
    SetTimeSource(nullptr);
}

}  // namespace

TEST_F(ChooseSceneTest, ASavedSceneOutsideTheSceneListIsNeverOpened)
{
    settings->CreateNewUser("Ann");
    const std::string longName(100000, 'x');
    for (const std::string& saved :
         {std::string("nowhere"), std::string("../../../etc/passwd"), longName, std::string("quest/garden/garden")}) {
        SCOPED_TRACE(saved.substr(0, 40));
        settings->GetPrefs()->SetStr("S0:SCENE", saved.c_str(), 0, true);
        loads.clear();
        TLogCapture log;
        EXPECT_FALSE(LoadDefaultGame());
        EXPECT_EQ(loads, "");
        const std::string text = log.Text();
        EXPECT_NE(text.find("no scene of the scene list"), std::string::npos) << text.substr(0, 300);
        EXPECT_LT(text.size(), 1000u);  // the name is cut short in the log
    }
}
