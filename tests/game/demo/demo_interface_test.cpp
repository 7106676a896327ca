// What the player sees of the interface: pictures and texts that must agree with the game (the
// lantern's stars, the credits, the other games' links, the lantern's light), and, in play, the
// pointer that says when the game is busy, the scene's pointer and names that stay out of
// dialogs, Mira's line when she is clicked, the diary button that pulses only for a new page,
// and the other games' note that keeps off the page's sides.

#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string Built(const std::string& file)
{
    std::ifstream in(BuildRoot() + "/assets/" + file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

const uint8_t* Pixel(const TPicture& picture, int x, int y)
{
    return &picture.rgba[(size_t(y) * size_t(picture.width) + size_t(x)) * 4];
}

bool Near(const uint8_t* p, int r, int g, int b, int tolerance)
{
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

// Pixels of the box within `tolerance` of the colour.
int CountColour(const TPicture& picture, const TBox& box, int r, int g, int b, int tolerance = 24)
{
    int n = 0;
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, picture.height); ++y)
        for (int x = std::max(box.left, 0); x < std::min(box.right, picture.width); ++x)
            n += Near(Pixel(picture, x, y), r, g, b, tolerance) ? 1 : 0;
    return n;
}

// Runs of the colour down the column from `top` to `bottom`: the stars on a shutter.
int RunsDown(const TPicture& picture, int x, int top, int bottom, int r, int g, int b)
{
    int runs = 0;
    bool in = false;
    for (int y = top; y < bottom; ++y) {
        const bool here = Pixel(picture, x, y)[3] > 128 && Near(Pixel(picture, x, y), r, g, b, 40);
        runs += here && !in ? 1 : 0;
        in = here;
    }
    return runs;
}

TEST(DemoInterface, ThePopupsLanternShowsTheStarsOfTheLanternAndOfTheSketch)
{
    std::smatch stars;
    const std::string script = Built("quest/forest/lantern.lua");
    ASSERT_TRUE(std::regex_search(script, stars, std::regex(R"(STARS = \{ (\d), (\d), (\d), (\d) \})")));
    TPicture popup, sketch;
    ASSERT_TRUE(LoadPng(BuildRoot() + "/assets/quest/forest/lantern_popup.png", &popup));
    ASSERT_TRUE(LoadPng(BuildRoot() + "/assets/diary/lantern_sketch.png", &sketch));
    for (int i = 0; i < 4; ++i) {
        const int count = std::stoi(stars[i + 1]);
        EXPECT_EQ(RunsDown(popup, 48 + 20 * i, 50, 120, 0xff, 0xf0, 0xa0), count) << "the popup's shutter " << i + 1;
        EXPECT_EQ(RunsDown(sketch, 69 + 21 * i, 50, 110, 0x4a, 0x40, 0x36), count) << "the sketch's shutter " << i + 1;
    }
}

TEST(DemoInterface, TextsNameTheTeamOnceAndGiveEveryOtherGameItsLink)
{
    const std::string credits = Built("credits/credits.txt");
    EXPECT_EQ(Count(credits, "The Tessivander team"), 1u) << credits;
    EXPECT_EQ(Count(credits, "tessivander team"), 0u) << credits;
    const std::string xsell = Built("xsell/xsell.xml");
    EXPECT_EQ(Count(xsell, "<gameinfo "), 3u);
    EXPECT_EQ(Count(xsell, "linktext=\"More about it\""), 3u) << xsell;
}

TEST(DemoInterface, TheLanternsLightFadesWithoutRings)
{
    TPicture light;
    ASSERT_TRUE(LoadPng(BuildRoot() + "/assets/quest/forest/forest_warmth.png", &light));
    // Along a radius from the stump: each step out changes the light by the least it can.
    int steepest = 0;
    for (int x = 401; x < 780; ++x)
        steepest = std::max(steepest, std::abs(Pixel(light, x, 420)[3] - Pixel(light, x - 1, 420)[3]));
    EXPECT_LE(steepest, 2);
    EXPECT_GT(Pixel(light, 400, 420)[3], 60) << "the light is there";
}

// The cottage, where Mira speaks her opening line at once and the door shows the exit pointer.
constexpr int kWallX = 200, kWallY = 200;
constexpr int kDoorX = 635, kDoorY = 300;
constexpr TBox kDoorLabel{520, 240, 760, 340};
constexpr TBox kDiaryButton{368, 514, 432, 578};
constexpr int kNoteX = 423, kNoteY = 292;
constexpr int kResumeX = 400, kResumeY = 244;
constexpr int kMiraX = 300, kMiraY = 410;

TBox AroundThePointer(int x, int y)
{
    return TBox{x - 14, y - 14, x + 30, y + 30};
}

TEST(DemoInterface, ThePointerSaysWhenTheGameIsBusyAndTheScenesPointerAndNamesStayOutOfDialogs)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("PlayVox(audio/vox/mira_opening")) << run.Log();

    // The opening line: clicks do nothing meanwhile, and the pointer's hourglass says so.
    run.Send("50 move " + std::to_string(kWallX) + " " + std::to_string(kWallY));
    const TPicture busy = Shot(run, ArtifactDir() + "/interface_busy.png");
    EXPECT_GT(CountColour(busy, AroundThePointer(kWallX, kWallY), 0xe8, 0xb8, 0x50), 10) << "the hourglass";
    CloseAwardNotice(run, 0, ArtifactDir() + "/interface_award.png");

    // Nothing new in the diary yet: its button rests.
    run.Send("50 move " + std::to_string(kWallX) + " " + std::to_string(kWallY));
    const TPicture away = Shot(run, ArtifactDir() + "/interface_away.png");
    const TPicture later = Shot(run, ArtifactDir() + "/interface_later.png");
    EXPECT_EQ(CountDifferingPixels(away, later, 8, kDiaryButton.left, kDiaryButton.top, kDiaryButton.right,
                                   kDiaryButton.bottom),
              0u)
        << "the diary button stands still";

    // Over the door, the exit pointer and the door's name; a pause over it shows the plain
    // pointer, and after it the name has gone with the pointer.
    run.Send("300 move " + std::to_string(kDoorX) + " " + std::to_string(kDoorY));
    const TPicture door = Shot(run, ArtifactDir() + "/interface_door.png");
    ASSERT_GT(CountColour(door, AroundThePointer(kDoorX, kDoorY), 0x8a, 0x5a, 0x30, 12), 40) << "the exit pointer";
    ASSERT_GT(CountDifferingPixels(away, door, 8, kDoorLabel.left, kDoorLabel.top, kDoorLabel.right,
                                   kDoorLabel.bottom),
              100u)
        << "the door's name";
    size_t mark = run.Log().size();
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("Pause screen shown", 20000, mark)) << run.Log();
    const TPicture paused = Shot(run, ArtifactDir() + "/interface_paused.png");
    EXPECT_EQ(CountColour(paused, AroundThePointer(kDoorX, kDoorY), 0x8a, 0x5a, 0x30, 12), 0) << "the exit pointer";
    run.Send("400 move " + std::to_string(kResumeX) + " " + std::to_string(kResumeY));
    ASSERT_TRUE(ClickUntil(run, kResumeX, kResumeY, "PAUSE:::::::::::::::::: EXITED", mark)) << run.Log();
    run.Send("300 move " + std::to_string(kWallX) + " " + std::to_string(kWallY));
    const TPicture resumed = Shot(run, ArtifactDir() + "/interface_resumed.png");
    EXPECT_LT(CountDifferingPixels(away, resumed, 8, kDoorLabel.left, kDoorLabel.top, kDoorLabel.right,
                                   kDoorLabel.bottom),
              20u)
        << "the door's name has gone";

    // Mira clicked: she says a line of her own.
    mark = run.Log().size();
    run.Send(Click(kMiraX, kMiraY));
    ASSERT_TRUE(run.WaitFor("MET_Event(ClickedOnActor, NELKA, )", 20000, mark)) << run.Log();
    EXPECT_TRUE(run.WaitFor("It's Pip I'm worried about.]", 5000, mark)) << run.Log().substr(mark);

    // The note read, the diary has a new page: its button pulses.
    mark = run.Log().size();
    run.Send(Click(kNoteX, kNoteY));
    ASSERT_TRUE(run.WaitFor("BASE BODY [", 30000, mark)) << run.Log();
    CloseAwardNotice(run, mark, ArtifactDir() + "/interface_note_award.png");
    bool pulsed = false;
    TPicture before = Shot(run, ArtifactDir() + "/interface_pulse.png");
    for (int i = 0; i < 10 && !pulsed; ++i) {
        const TPicture now = Shot(run, ArtifactDir() + "/interface_pulse.png");
        pulsed = CountDifferingPixels(before, now, 8, kDiaryButton.left, kDiaryButton.top, kDiaryButton.right,
                                      kDiaryButton.bottom) > 50;
    }
    EXPECT_TRUE(pulsed) << "the diary button pulses";
    QuitThroughTheDialog(run);
}

TEST(DemoInterface, TheOtherGamesNoteKeepsOffThePagesSides)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_TRUE(ClickUntil(run, kMoreGamesX, kMoreGamesY, "Opening layouts/xsell.lua", 0)) << run.Log();
    // "Visit our site" (the test machine starts no browser: the note gives the address).
    const size_t mark = run.Log().size();
    ASSERT_TRUE(ClickUntil(run, kPageX + 225, kPageY + 490, "OpenBrowser", mark)) << run.Log();
    const TPicture note = Shot(run, ArtifactDir() + "/interface_xsell_note.png");
    const TBox band{0, kPageY + 54, 800, kPageY + 96};
    const int all = CountColour(note, band, 255, 190, 120, 40);
    EXPECT_GT(all, 100) << "the note";
    EXPECT_EQ(all, CountColour(note, TBox{kPageX + 90, band.top, kPageX + 550, band.bottom}, 255, 190, 120, 40))
        << "the note lies well inside the page";
    run.Send(Click(kXSellBackX, kXSellBackY));
    ASSERT_TRUE(run.WaitFor("Closed layouts/xsell.lua", 20000, mark)) << run.Log();
    QuitThroughTheDialog(run);
}

}  // namespace
