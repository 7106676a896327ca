// What the player sees of the night forest and of where Mira stands: Mira tinted by the forest's
// light before and after the lantern burns, no sky showing between the treetops, the way on to
// the clearing drawn and named once the lantern burns, and Mira standing and walking only on the
// floor each scene's picture shows (round the table, the pond, the stump; beside the lamp).

#include "game/demo/demo_data.h"
#include "game/demo/demo_mesh.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include "game/world/path/path_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
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

// Places of a scene's picture: floor Mira may stand on, or what is no floor for her (water, a
// wall, the foot of something standing there, floor hidden under the bar), where her feet or
// her figure would show her standing in it.
struct TPlace
{
    const char* mesh;
    TBox box;
    bool floor;
    const char* what;
};

// The bar's top edge is at y 528; her soles may reach 2 pixels below it.
constexpr int kLowestFeet = 530;
const TPlace kPlaces[] = {
    {"quest/cottage/cottage", {320, 400, 510, 450}, false, "between the table's legs, behind their feet"},
    {"quest/cottage/cottage",
     {0, 380, 86, 600},
     false,
     "the floor lamp's corner: beside its pole, in front of its base"},
    {"quest/cottage/cottage", {0, kLowestFeet + 1, 800, 600}, false, "under the bar"},
    {"quest/cottage/cottage", {415, 468, 416, 469}, true, "in front of the drawer, where she opens it"},
    {"quest/cottage/cottage", {250, 410, 251, 411}, true, "west of the table, by the wall"},
    {"quest/cottage/cottage", {600, 410, 601, 411}, true, "east of it"},
    {"quest/cottage/cottage", {100, 470, 101, 530}, true, "beside the lamp"},
    {"quest/cottage/cottage", {300, 480, 301, 481}, true, "where she starts"},
    {"quest/cottage/cottage", {700, 470, 701, 471}, true, "the door from the garden"},
    {"quest/garden/garden", {748, 424, 852, 536}, false, "the pond"},
    {"quest/garden/garden", {700, 452, 900, 508}, false, "the pond's round ends"},
    {"quest/garden/garden", {0, 380, 60, 505}, false, "the cottage's wall, west of the door"},
    {"quest/garden/garden", {140, 380, 170, 505}, false, "the cottage's wall, east of the door"},
    {"quest/garden/garden", {60, 380, 140, 470}, false, "the door above its threshold"},
    {"quest/garden/garden", {1467, 380, 1515, 510}, false, "behind the gate's west post"},
    {"quest/garden/garden", {1569, 380, 1600, 510}, false, "behind the gate's east post"},
    {"quest/garden/garden", {0, kLowestFeet + 1, 1600, 600}, false, "under the bar"},
    {"quest/garden/garden", {100, 480, 101, 530}, true, "in the doorway and in front of the wall"},
    {"quest/garden/garden", {760, 400, 840, 416}, true, "north of the pond"},
    {"quest/garden/garden", {1460, 515, 1461, 516}, true, "in front of the gate"},
    {"quest/garden/garden", {1540, 480, 1541, 481}, true, "in the gateway"},
    {"quest/forest/forest", {4, 400, 82, 480}, false, "behind the first trunk's foot"},
    {"quest/forest/forest", {135, 400, 199, 470}, false, "behind the second trunk's foot"},
    {"quest/forest/forest", {456, 400, 510, 440}, false, "behind the middle trunk's foot"},
    {"quest/forest/forest", {596, 400, 664, 440}, false, "behind the fourth trunk's foot"},
    {"quest/forest/forest", {680, 400, 792, 462}, false, "behind the signpost and the last trunk"},
    {"quest/forest/forest", {358, 476, 442, 492}, false, "the stump's foot"},
    {"quest/forest/forest", {0, kLowestFeet + 1, 800, 600}, false, "under the bar"},
    {"quest/forest/forest", {60, 530, 61, 531}, true, "in from the garden"},
    {"quest/forest/forest", {322, 506, 323, 507}, true, "by the stump"},
    {"quest/forest/forest", {770, 478, 771, 479}, true, "on the way on, in front of the last trunk"},
    {"quest/clearing/clearing", {24, 400, 97, 480}, false, "behind the west trunk's foot"},
    {"quest/clearing/clearing", {703, 400, 783, 480}, false, "behind the east trunk's foot"},
    {"quest/clearing/clearing", {500, 400, 650, 441}, false, "the stone"},
    {"quest/clearing/clearing", {0, kLowestFeet + 1, 800, 600}, false, "under the bar"},
    {"quest/clearing/clearing", {60, 520, 61, 521}, true, "in from the forest"},
    {"quest/clearing/clearing", {525, 458, 526, 459}, true, "beside the stone, by Pip"},
};

bool In(const TBox& box, const tVector2<float>& at)
{
    return at.x >= float(box.left) && at.x < float(box.right) && at.y >= float(box.top) && at.y < float(box.bottom);
}

// The first place of the mesh that is no floor and holds `at`, or null.
const TPlace* NoFloorAt(const std::string& mesh, const tVector2<float>& at)
{
    for (const TPlace& place : kPlaces)
        if (!place.floor && place.mesh == mesh && In(place.box, at))
            return &place;
    return nullptr;
}

// The first place that is no floor on the route, every 2 pixels along it; null when none.
const TPlace* NoFloorOnRoute(const std::string& mesh, const std::vector<tVector2<float>>& route, tVector2<float>* at)
{
    for (size_t leg = 1; leg < route.size(); ++leg) {
        const float length = tVector2<float>::Distance(route[leg - 1], route[leg]);
        for (float t = 0; t <= length; t += 2) {
            *at = lerp(route[leg - 1], route[leg], t / std::max(length, 1.0f));
            if (const TPlace* place = NoFloorAt(mesh, *at))
                return place;
        }
    }
    return nullptr;
}

// The built ground meshes, each read once.
const tMesh& Ground(const std::string& mesh)
{
    static std::map<std::string, tMesh> read;
    const auto found = read.find(mesh);
    return found != read.end() ? found->second : read.emplace(mesh, BuiltMesh(mesh)).first->second;
}

TEST(DemoVisual, MiraStandsAndWalksOnlyOnTheFloorEachPictureShows)
{
    for (const TPlace& place : kPlaces) {
        int wrong = 0, wrongX = 0, wrongY = 0;
        for (int y = place.box.top; y < place.box.bottom; y += 2)
            for (int x = place.box.left; x < place.box.right; x += 2)
                if ((Ground(place.mesh).PolyCollide(tVector2<float>(float(x), float(y))) >= 0) != place.floor)
                    wrongX = x, wrongY = y, ++wrong;
        EXPECT_EQ(wrong, 0) << place.mesh << ": " << place.what << (place.floor ? " is not" : " is")
                            << " walkable, e.g. at " << wrongX << ", " << wrongY;
    }

    // Walks the player asks for, every step of them on the floor.
    const struct
    {
        const char* mesh;
        float fromX, fromY, toX, toY;
        const char* what;
    } walks[] = {
        {"quest/cottage/cottage", 250, 410, 600, 410, "from one side of the table to the other"},
        {"quest/garden/garden", 600, 480, 1000, 480, "across the pond"},
        {"quest/garden/garden", 640, 480, 1000, 515, "to the pond's far side, down by the bar"},
        {"quest/garden/garden", 100, 480, 1460, 515, "from the door to the gate"},
        {"quest/forest/forest", 60, 530, 770, 478, "along the path past the stump to the way on"},
        {"quest/clearing/clearing", 60, 520, 525, 458, "to Pip"},
    };
    for (const auto& walk : walks) {
        std::vector<tVector2<float>> route;
        if (!WalkRoute(Ground(walk.mesh), tVector2<float>(walk.fromX, walk.fromY), tVector2<float>(walk.toX, walk.toY),
                       &route)) {
            ADD_FAILURE() << walk.mesh << ": no way " << walk.what;
            continue;
        }
        tVector2<float> at;
        const TPlace* place = NoFloorOnRoute(walk.mesh, route, &at);
        EXPECT_EQ(place, nullptr) << walk.mesh << ": " << walk.what << " goes through " << place->what << " at " << at.x
                                  << ", " << at.y;
    }

    // Clicks on things standing on the floor, or on what is no floor: she walks beside them.
    const struct
    {
        const char* mesh;
        float x, y, fromX, fromY;
        const char* what;
    } clicks[] = {
        {"quest/cottage/cottage", 47, 470, 300, 480, "the floor lamp's foot"},
        {"quest/cottage/cottage", 47, 520, 300, 480, "the floor in front of the lamp"},
        {"quest/garden/garden", 800, 500, 600, 480, "the pond"},
        {"quest/garden/garden", 1491, 480, 1400, 500, "the gate's west post"},
        {"quest/forest/forest", 400, 484, 300, 500, "the stump's foot"},
        {"quest/forest/forest", 748, 440, 600, 480, "the last trunk, under the way's name"},
    };
    for (const auto& click : clicks) {
        const tVector2<float> at = Ground(click.mesh)
                                       .ClosestPointToMeshFromPoint(tVector2<float>(click.x, click.y),
                                                                    tVector2<float>(click.fromX, click.fromY));
        const TPlace* place = NoFloorAt(click.mesh, at);
        EXPECT_EQ(place, nullptr) << click.mesh << ": a click on " << click.what << " takes her into " << place->what
                                  << " at " << at.x << ", " << at.y;
    }
}

}  // namespace
