// The demo's cottage and garden loaded from the assembled data folder: every file found, the
// planes, light map, ground and actors in place, the scene's Lua state gone at unload; a
// missing or damaged file logged and the scene still played; texts the string tables lack are
// missing to the scripts, never shown as the table's "#####".

#include "demo_scene_fixture.h"

#include <gmock/gmock.h>

#include <regex>
#include <sstream>

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using DemoSceneLoad = DemoSceneTest;

// The lines of a log that tell of a failure: a file or a part that did not load, a script
// error, a failed assertion.
std::vector<std::string> FailureLines(const std::string& log)
{
    static const std::regex failure("fail|No valid sound|ASSERT|GLOBAL LUA ERROR|Couldn't open|corrupt",
                                    std::regex::icase);
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        if (std::regex_search(line, failure))
            lines.push_back(line);
    return lines;
}

TEST_F(DemoSceneLoad, EachSceneLoadsWholeAndLeavesNothingAtUnload)
{
    struct TPlaced
    {
        const char* name;
        tVector2<float> at;
    };
    const struct
    {
        const char* scene;
        TRect bounds;
        std::vector<int> planeDepths;
        bool lightmap;
        std::vector<TPlaced> actors;  // in spawn order, placed by their own scripts
        tVector2<float> walkable, notWalkable;
    } cases[] = {
        {"cottage",
         {0, 0, 800, 600},
         {1},
         true,
         {{"NELKA", {300, 480}}, {"DRAWER", {415, 343}}, {"NOTE", {423, 295}}, {"DOOR", {635, 390}}},
         {400, 500},
         {400, 300}},
        {"garden",
         {0, 0, 1600, 600},
         {1, 2, 600},
         false,
         {{"NELKA", {100, 480}}, {"GARDENER", {420, 430}}, {"GATE", {1540, 505}}, {"COTTAGE_DOOR", {100, 500}}},
         {1000, 480},
         {800, 480}},  // the pond
    };
    // The interface's atlas comes with the game's layout, which every scene loads.
    const bool hudAtlas = TFile::Exists("quest/hud/pieces.xml");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scene);
        NewLog();
        ASSERT_TRUE(Enter(c.scene));
        std::vector<std::string> failures = FailureLines(NewLog());
        if (!hudAtlas)
            std::erase(failures, "Failed to load atlas quest/hud/pieces.xml");
        EXPECT_EQ(failures, std::vector<std::string>{});

        EXPECT_EQ(scene->GetSceneBounds(), c.bounds);
        std::vector<int> depths;
        for (const tBGPlane& plane : scene->mPlanes)
            depths.push_back(plane.GetDepth());
        EXPECT_EQ(depths, c.planeDepths);
        EXPECT_EQ(scene->mLightmapWidth > 0, c.lightmap);
        EXPECT_GE(scene->GetGround().PolyCollide(c.walkable), 0);
        EXPECT_LT(scene->GetGround().PolyCollide(c.notWalkable), 0);
        ASSERT_EQ(scene->GetActors().size(), c.actors.size());
        for (size_t i = 0; i < c.actors.size(); ++i) {
            const tGirl& actor = *scene->GetActors()[i];
            EXPECT_EQ(actor.GetName(), str(c.actors[i].name));
            EXPECT_EQ(actor.GetPosition(), c.actors[i].at) << c.actors[i].name;
            EXPECT_TRUE(actor.HasGraphics() || actor.GetZone()) << c.actors[i].name;
            EXPECT_EQ(Run((std::string("return scene.") + c.actors[i].name + ".name").c_str()), c.actors[i].name);
        }
        EXPECT_EQ(scene->GetCameraActor(), Mira());
        Frame();
        EXPECT_TRUE(Mira()->HasGraphics());  // standing, facing her way

        scene->DumpScene();
        EXPECT_EQ(scene->GetLua().GetState(), nullptr);
        EXPECT_TRUE(scene->GetActors().empty());
        EXPECT_EQ(scene->GetGround().Polys().size(), 0u);
        EXPECT_TRUE(scene->mPlanes.empty());
        EXPECT_EQ(scene->mLightmapWidth, 0);
    }
}

TEST_F(DemoSceneLoad, AMissingOrDamagedFileIsLoggedAndTheSceneStillPlays)
{
    static const char garbage[] = "this is no picture, no mesh and no animation";
    const struct
    {
        const char* scene;
        const char* file;  // missing: every file whose name begins so
        bool damaged;
        const char* logged;
    } cases[] = {
        {"garden", "quest/garden/garden_near.png", false, "Failed to load quest/garden/garden_near"},
        {"garden", "quest/garden/garden_front.png", true, "Failed to load quest/garden/garden_front"},
        {"garden", "quest/garden/garden.dmesh", false, "LoadGround(garden) failed"},
        {"garden", "quest/garden/garden.dverts", true, "LoadGround(garden) failed"},
        {"garden", "quest/garden/gardener_halo.dmesh", true, "tGirl[GARDENER]::LoadZone(quest/garden/gardener_halo)"},
        {"garden", "quest/garden/gate_closed.png", false, "tGirl::LoadImage(gate_closed) failed to find image"},
        {"garden", "anims/gardener.xml", true, "tGirl::RegisterAnimFile(anims/gardener.xml) failed"},
        {"cottage", "anims/mira.", false, "tGirl::RegisterAnimFile(anims/mira.xml) failed"},
        {"cottage", "quest/cottage/cottage_light.png", true, "No lightmap image quest/cottage/cottage_light"},
        {"cottage", "quest/cottage/drawer_halo.dverts", false, "tGirl[DRAWER]::LoadZone(quest/cottage/drawer_halo)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TFile::mResourceMap.clear();
        TFile::ScanForResources();
        ForgetBestRefs();
        if (c.damaged)
            TFile::AddMemoryFile(c.file, garbage, sizeof garbage);
        else
            std::erase_if(TFile::mResourceMap, [&](const auto& entry) { return entry.first.find(c.file) == 0; });
        NewLog();
        ASSERT_TRUE(Enter(c.scene));
        ASSERT_EQ(scene->GetActors().size(), 4u);
        ASSERT_GE(PlayUntil([&] { return MiraHasControl(); }), 0);
        EXPECT_THAT(NewLog(), HasSubstr(c.logged));

        // She still goes where the player clicks.
        const tVector2<float> from = Mira()->GetPosition();
        ClickWorld(from.x + 60, from.y + 40);
        Play(20);
        EXPECT_NE(Mira()->GetPosition(), from);
        EXPECT_THAT(Log(), Not(HasSubstr("GLOBAL LUA ERROR")));
        scene->DumpScene();
    }
}

// A place kept in the saved game is taken up only while it is floor: one the ground left out
// since it was kept (the floor lamp's foot) gives way to the scene's start.
TEST_F(DemoSceneLoad, AKeptPlaceThatIsNoFloorNowGivesWayToTheScenesStart)
{
    const struct
    {
        int x, y;
        tVector2<float> at;
    } cases[] = {
        {415, 468, {415, 468}},  // in front of the drawer
        {47, 500, {300, 480}},   // on the lamp's foot
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Enter("cottage"));
        Run(("game:SetString('at_scene', 'cottage') game:Set('at_x', " + std::to_string(c.x) + ") game:Set('at_y', " +
             std::to_string(c.y) + ")")
                .c_str());
        ASSERT_TRUE(Enter("cottage"));
        Frame();
        EXPECT_EQ(Mira()->GetPosition(), c.at) << c.x << ", " << c.y;
    }
}

// The string tables answer "#####" for a key they lack; a scene's script functions and what
// the scene shows take it, and an empty text, for no text at all.
TEST_F(DemoSceneLoad, MissingAndEmptyTextsAreNoTextToTheScripts)
{
    ASSERT_TRUE(Enter("cottage"));
    static const char blank[] =
        "<Workbook><Worksheet><Table><Row><Cell><Data>blank</Data></Cell><Cell><Data></Data></Cell></Row>"
        "</Table></Worksheet></Workbook>";
    ASSERT_TRUE(scene->Strings().Table().MergeStringData(blank, sizeof blank - 1));
    const struct
    {
        const char* code;
        const char* result;
    } cases[] = {
        {"return tostring((scene:grabstring('nope')))", "nil"},
        {"return tostring((scene:grabstring('blank')))", "nil"},
        {"return scene:grabformattedstring('nope', { 1 }) .. '|'", "|"},
        {"return scene:grabformattedstring('blank', {}) .. '|'", "|"},
        {"local who, line = scene:grabspeechline('nope') return who .. '|' .. line", "|"},
        {"local who, line = scene:grabspeechline('blank') return who .. '|' .. line", "|"},
        {"return Choice('nope')", "nope|nope"},
        {"quest:AddQuest('q', 'nope', 'blank', 'icon') return 'added'", "added"},
        {"BOOK_PRI:AddDiaryEntry('d', 'A title', 'nope') return 'added'", "added"},
        {"scene.NELKA:Say('blank', 10) return 'said'", "said"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Run(c.code), c.result) << c.code;
    EXPECT_EQ(Run("return quest:CheckQuest('q')"), "active");
    EXPECT_EQ(ProgressSummary(),
              "scene cottage after ; at_x=300 at_y=480 canreturnfromscene=0; bag0; bag1; quests q-; book0 d/0; book1; "
              "book2");
    EXPECT_TRUE(Mira()->HasText());  // the key stands in for its text

    // A floating name whose key is missing shows nothing.
    Run("scene.DOOR.point_at_name = 'nope'");
    scene->OnMouseMove(TPoint(635, 300));
    EXPECT_EQ(scene->GetPointedActor(), Actor("DOOR"));
    EXPECT_EQ(scene->mFloatText, nullptr);
    std::istringstream shown(Log());
    for (std::string line; std::getline(shown, line);) {
        if (line.find("TEXT[") != std::string::npos || line.find("SayRaw(") != std::string::npos) {
            EXPECT_THAT(line, Not(HasSubstr("#####")));
        }
    }
}

}  // namespace
