// A display change in play: the pictures of the scene are made again while the game window
// stands, and nothing is asked of a game that is gone.

#include "game/demo/demo_data.h"
#include "game/demo/demo_run.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoDisplay, APlayedSceneReloadsItsPicturesAfterADisplayChange)
{
    TDemoRun run(BuildRoot());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    StartANewGameAs(run, "Ann");
    ASSERT_TRUE(run.WaitFor("Game shown: layouts/game.lua")) << run.Log();
    size_t mark = run.Log().size();
    run.Send("100 display");
    EXPECT_TRUE(run.WaitFor("tTRLTask::DoTask() OUT", 20000, mark)) << run.Log();

    LeavePlayForTheMenu(run);
    mark = run.Log().size();
    run.Send("100 display");
    ASSERT_TRUE(run.Screenshot(run.TempDir() + "/menu.png"));
    EXPECT_EQ(run.Log().find("tTRLTask::DoTask()", mark), std::string::npos) << run.Log();
    QuitThroughTheDialog(run);
}

}  // namespace
