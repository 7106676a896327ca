// What the player sees of the night forest and the cottage's table: Mira tinted by the forest's
// light before and after the lantern burns, no sky showing between the treetops, the way on to
// the clearing drawn and named once the lantern burns, and Mira walking round the table rather
// than between its legs.

#include "game/demo/demo_data.h"
#include "game/demo/demo_mesh.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include "game/world/path/path_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const uint8_t* Pixel(const TPicture& picture, int x, int y)
{
    return &picture.rgba[(size_t(y) * size_t(picture.width) + size_t(x)) * 4];
}

// The brightest channel over the box.
int Brightest(const TPicture& picture, const TBox& box)
{
    int most = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            for (int c = 0; c < 3; ++c)
                most = std::max<int>(most, Pixel(picture, x, y)[c]);
    return most;
}

// Pixels of the box bluer than they are green by more than `margin`: the sky's colour.
int SkyPixels(const TPicture& picture, const TBox& box, int margin)
{
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            n += Pixel(picture, x, y)[2] > Pixel(picture, x, y)[1] + margin ? 1 : 0;
    return n;
}

// Over the signpost of the way on to the clearing, and its board inside its frame.
constexpr int kWayOnX = 720, kWayOnY = 404;
constexpr TBox kWayOnBoard{684, 398, 732, 410};

// The forest as the player meets it, reached straight from the cottage: the lantern burning (the
// fireflies seen) or not, Mira by the garden path or (lit) beside the stump, no line spoken over
// her. Then the pointer goes over the way on: `wayName` is the name shown there.
TPicture ForestShot(bool lit, const std::string& path, std::string* wayName)
{
    TDataCopy data;
    data.Append("quest/cottage/cottage.lua", "\ntable.insert(scene_spec.actorlist, {\n"
                                             "    name = \"TO_FOREST\",\n"
                                             "    command = function(self)\n"
                                             "        game:Set(\"cottage_opening\", 1)\n"
                                             "        game:Set(\"forest_arrived\", 1)\n"
                                             "        game:Set(\"lantern_lit\", " +
                                                 std::string(lit ? "1" : "0") +
                                                 ")\n"
                                                 "        game:Set(\"fireflies_seen\", " +
                                                 std::string(lit ? "1" : "0") +
                                                 ")\n"
                                                 "        coroutine.yield(RESUME.ON_DELAY, 5)\n"
                                                 "        scene:ChainTo(\"forest\")\n"
                                                 "    end,\n"
                                                 "})\n");
    data.Append("quest/forest/forest.lua", "\ntable.insert(scene_spec.actorlist, {\n"
                                           "    name = \"LOOKOUT\",\n"
                                           "    command = function(self)\n"
                                           "        coroutine.yield(RESUME.ON_FADE)\n"
                                           "        if game:Get(\"lantern_lit\") == 1 then\n"
                                           "            ActorNamed(\"NELKA\"):JumpToPoint{ x = 330, y = 500 }\n"
                                           "        end\n"
                                           "        coroutine.yield(RESUME.ON_DELAY, 10)\n"
                                           "        game:TaskComplete(\"forest shown\")\n"
                                           "    end,\n"
                                           "})\n");
    TDemoRun run(data.Dir());
    if (!run.Started() || !run.WaitFor("Menu shown: layouts/mainmenu.lua")) {
        ADD_FAILURE() << run.Log();
        return TPicture();
    }
    StartANewGameAs(run, "Ann");
    if (!run.WaitFor("MET_TaskEvent(scripted-task, forest shown", 30000)) {
        ADD_FAILURE() << run.Log();
        return TPicture();
    }
    run.Send("50 move 400 60");  // the pointer up in the sky, off Mira
    const TPicture shot = Shot(run, path);
    const size_t mark = run.Log().size();
    run.Send("50 move " + std::to_string(kWayOnX) + " " + std::to_string(kWayOnY));
    const std::string named = "CREATE TEXT[<outline color=\"000000\" size=\"2\"\\>";
    if (run.WaitFor(named, 10000, mark)) {
        const size_t at = run.Log().find(named, mark) + named.size();
        *wayName = run.Log().substr(at, run.Log().find(']', at) - at);
    }
    QuitThroughTheDialog(run);
    return shot;
}

// Pixels of the box within 12 of the colour in every channel.
int PixelsLike(const TPicture& picture, const TBox& box, int r, int g, int b)
{
    int n = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const uint8_t* p = Pixel(picture, x, y);
            n += std::abs(p[0] - r) <= 12 && std::abs(p[1] - g) <= 12 && std::abs(p[2] - b) <= 12 ? 1 : 0;
        }
    return n;
}

// Mira's head and dress (her feet are behind the bar) by the garden path and beside the stump.
constexpr TBox kMiraByThePath{35, 420, 90, 505};
constexpr TBox kMiraByTheStump{305, 395, 360, 495};
// Between the middle treetops, just above the forest floor.
constexpr TBox kBetweenTheTreetops{300, 330, 400, 360};

TEST(DemoVisual, TheForestTintsMiraByItsLightShowsNoSkyBetweenItsTreetopsAndShowsTheWayOnOnceLit)
{
    std::string darkWayName, litWayName;
    const TPicture dark = ForestShot(false, ArtifactDir() + "/visual_forest_dark.png", &darkWayName);
    const TPicture lit = ForestShot(true, ArtifactDir() + "/visual_forest_lit.png", &litWayName);
    ASSERT_EQ(dark.width, 800);
    ASSERT_EQ(lit.width, 800);
    // Untinted, her face and arms would be near white.
    const int inTheDark = Brightest(dark, kMiraByThePath);
    EXPECT_LT(inTheDark, 140) << "Mira is lit in the night";
    EXPECT_GT(Brightest(lit, kMiraByTheStump), inTheDark + 40) << "the lantern does not light Mira";
    EXPECT_EQ(SkyPixels(dark, kBetweenTheTreetops, 16), 0);
    EXPECT_EQ(SkyPixels(lit, kBetweenTheTreetops, -8), 0) << "the sky shows grey in the lantern's light";
    // The way on: named after where the hint sends her, from the start; its signpost drawn once
    // the lantern burns.
    EXPECT_EQ(darkWayName, "On to the clearing");
    EXPECT_EQ(litWayName, "On to the clearing");
    const int board = (kWayOnBoard.right - kWayOnBoard.left) * (kWayOnBoard.bottom - kWayOnBoard.top);
    EXPECT_GT(PixelsLike(lit, kWayOnBoard, 0x8a, 0x6a, 0x40), board / 2) << "no signpost on the way on";
    EXPECT_EQ(PixelsLike(dark, kWayOnBoard, 0x8a, 0x6a, 0x40), 0) << "the way on shows before the lantern burns";
}

TEST(DemoVisual, MiraWalksRoundTheTableNotBetweenItsLegs)
{
    const tMesh floor = BuiltMesh("quest/cottage/cottage");
    const struct
    {
        float x, y;
        bool walkable;
    } points[] = {
        {415, 410, false},  // behind the drawer, between the legs
        {305, 440, false},  // by the west leg's foot
        {525, 420, false},  // by the east leg
        {415, 468, true},   // in front of the drawer, where she opens it
        {250, 410, true},   // west of the table, by the wall
        {600, 410, true},   // east of it
    };
    for (const auto& p : points)
        EXPECT_EQ(floor.PolyCollide(tVector2<float>(p.x, p.y)) >= 0, p.walkable) << p.x << ", " << p.y;

    // From one side of the table to the other by the wall: round its front.
    std::vector<tVector2<float>> route;
    ASSERT_TRUE(WalkRoute(floor, tVector2<float>(250, 410), tVector2<float>(600, 410), &route));
    float front = 0;
    for (const auto& at : route)
        front = std::max(front, at.y);
    EXPECT_GE(front, 452) << "she went through the table";
}

}  // namespace
