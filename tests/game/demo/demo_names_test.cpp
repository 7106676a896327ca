// The player choice and the name dialog as a player meets them, end to end: pages that hide
// the menu, Return and Escape (there, on the other pages and in the diary), typing after a
// click elsewhere in the dialog, a refused name asked for again, and a delete that asks first.

#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// Places on the name dialog (layouts/entername.lua: 400 x 320, centred) and the player page.
constexpr int kNameFieldX = 400, kNameFieldY = 210;
constexpr int kRulesX = 400, kRulesY = 330;
constexpr int kDialogBottom = 459;
constexpr int kDeleteX = kPageX + 400;
constexpr int kDeleteYesY = kDialogButtonY + 50;  // the question stands below the first row
constexpr int kDiaryButtonX = 400, kDiaryButtonY = 546;

size_t Count(const std::string& text, const std::string& what, size_t from)
{
    size_t n = 0;
    for (size_t at = text.find(what, from); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(DemoNames, DialogsHideTheMenuAnswerTheKeysKeepTheTypingAndAskFirst)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    const std::string dir = run.TempDir();

    // The page covers the menu: where the "High Scores" button lies below, one flat colour.
    run.Send(Click(kPlayX, kPlayY));
    ASSERT_TRUE(run.WaitFor("Opening layouts/chooseplayer.lua")) << run.Log();
    const TPicture page = Shot(run, dir + "/page.png");
    ASSERT_EQ(page.width, 800);
    TPicture flat = page;
    const uint8_t* corner = &page.rgba[(210 * 800 + 462) * 4];
    for (size_t i = 0; i < flat.rgba.size(); i += 4)
        std::copy(corner, corner + 4, &flat.rgba[i]);
    EXPECT_EQ(CountDifferingPixels(page, flat, 3, 462, 210, 660, 266), 0u) << dir << "/page.png";

    // Escape goes back to the menu without starting anything.
    size_t mark = run.Log().size();
    run.Send("100 key escape");
    ASSERT_TRUE(run.WaitFor("Closed layouts/chooseplayer.lua", 20000, mark)) << run.Log();

    // A click into the field, then on the rules: the typing still reaches the field, and
    // Return confirms the name (and only the name dialog).
    run.Send(Click(kPlayX, kPlayY));
    ASSERT_TRUE(run.WaitFor("Opening layouts/chooseplayer.lua", 20000, mark)) << run.Log();
    mark = run.Log().size();
    run.Send(Click(kNewX, kPageButtonY));
    ASSERT_TRUE(run.WaitFor("Asking for a name", 20000, mark)) << run.Log();
    run.Send(Click(kNameFieldX, kNameFieldY));
    run.Send("100 text An");
    const TPicture typed = Shot(run, dir + "/typed.png");
    run.Send(Click(kRulesX, kRulesY));
    run.Send("100 text n");
    run.Send("100 move 215 440");  // the cursor off the rules
    // The dialog has its frame all round, and the rules, shown whole, stay where they are.
    const uint8_t* edge = &typed.rgba[(kDialogBottom * 800 + 400) * 4];
    EXPECT_GT(edge[0] + edge[1] + edge[2], 300) << dir << "/typed.png";
    const TPicture clicked = Shot(run, dir + "/clicked.png");
    EXPECT_EQ(CountDifferingPixels(typed, clicked, 8, 240, 258, 560, 366), 0u) << dir << "/clicked.png";
    run.Send("300 key return");
    ASSERT_TRUE(run.WaitFor("Player created: Ann", 20000, mark)) << run.Log();

    // The same name with a blank after it is refused, said why and asked for again; Escape
    // leaves the dialog and keeps the player list.
    mark = run.Log().size();
    run.Send(Click(kNewX, kPageButtonY));
    ASSERT_TRUE(run.WaitFor("Asking for a name", 20000, mark)) << run.Log();
    run.Send("100 text Ann ");
    run.Send("300 key return");
    ASSERT_TRUE(run.WaitFor("Name refused: entername_taken", 20000, mark)) << run.Log();
    ASSERT_TRUE(run.WaitFor("Asking for a name", 20000, run.Log().find("Name refused", mark))) << run.Log();
    run.Send("300 key escape");

    // Delete asks: Escape keeps the player, "Delete" deletes.
    run.Send(Click(kDeleteX, kPageButtonY));
    ASSERT_TRUE(run.WaitFor("Asking before deleting a player", 20000, mark)) << run.Log();
    run.Send("300 key escape");
    ASSERT_TRUE(run.WaitFor("Delete dialog answered: delete_no", 20000, mark)) << run.Log();
    run.Send(Click(kDeleteX, kPageButtonY));
    ASSERT_TRUE(run.WaitFor("Asking before deleting a player", 20000, run.Log().find("delete_no", mark))) << run.Log();
    run.Send("300 move " + std::to_string(kDialogYesX) + " " + std::to_string(kDeleteYesY));
    run.Send(Click(kDialogYesX, kDeleteYesY));
    ASSERT_TRUE(run.WaitFor("Delete dialog answered: delete_yes", 20000, mark)) << run.Log();
    EXPECT_EQ(Count(run.Log(), "Player created", mark), 0u) << run.Log();
    EXPECT_EQ(run.Log().find("Starting a new game"), std::string::npos) << run.Log();
    run.Send("300 key escape");
    ASSERT_TRUE(run.WaitFor("Closed layouts/chooseplayer.lua", 20000, mark)) << run.Log();

    // Escape leaves the other games, the awards and, in play, the diary.
    for (const auto& [x, y, layout] : {std::tuple{kMoreGamesX, kMoreGamesY, "layouts/xsell.lua"},
                                       std::tuple{kAwardsX, kAwardsY, "layouts/awards.lua"}}) {
        mark = run.Log().size();
        run.Send(Click(x, y));
        ASSERT_TRUE(run.WaitFor(std::string("Opening ") + layout, 20000, mark)) << run.Log();
        run.Send("300 key escape");
        ASSERT_TRUE(run.WaitFor(std::string("Closed ") + layout, 20000, mark)) << run.Log();
    }
    StartANewGameAs(run, "Bo");
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua")) << run.Log();
    mark = run.Log().size();
    run.Send("500 move " + std::to_string(kDiaryButtonX) + " " + std::to_string(kDiaryButtonY));
    run.Send(Click(kDiaryButtonX, kDiaryButtonY));
    ASSERT_TRUE(run.WaitFor("MET_RELAY(++DiaryAccesses)", 20000, mark)) << run.Log();
    run.Send("300 key escape");
    ASSERT_TRUE(run.WaitFor("PAUSE:::::::::::::::::: EXITED", 20000, mark)) << run.Log();

    QuitThroughTheDialog(run);
    EXPECT_EQ(run.Log().find("Lua error"), std::string::npos) << run.Log();
    EXPECT_EQ(DumpPrefs(run).find("name = Ann"), std::string::npos) << DumpPrefs(run);
}

}  // namespace
