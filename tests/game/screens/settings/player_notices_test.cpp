// Notices for the player: a failing save is told once until every file saved again; a notice
// waits for a screen above the bottom window; one that asks ends the game once closed.

#include "common/log_capture.h"
#include "core/script/message.h"
#include "game/screens/settings/player_notices.h"
#include "ui/window/dialog.h"
#include "ui/window/message_types.h"
#include "ui/window/modal_window.h"
#include "ui/window/window_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(PlayerNotices, AFailingSaveIsToldOnceUntilEveryFileSavedAgain)
{
    const struct
    {
        const char* path;
        bool saved;
        bool told;
    } steps[] = {
        {"/home/p/prefs.dat", true, false},   {"/home/p/prefs.dat", false, true},
        {"/home/p/prefs.dat", false, false},  {"/home/p/hiscore.dat", false, false},
        {"/home/p/prefs.dat", true, false},   {"/home/p/prefs.dat", false, false},  // scores still fail
        {"/home/p/hiscore.dat", true, false}, {"/home/p/prefs.dat", true, false},
        {"/home/p/hiscore.dat", false, true},
    };
    TWindowManager manager;
    manager.PushModal(new TModalWindow);
    manager.PushModal(new TModalWindow);
    TPlayerNotices notices;
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.path) + (step.saved ? " saved" : " failed") + " after " +
                     std::to_string(&step - steps) + " steps");
        notices.OnSaveOutcome({step.path, step.saved, step.saved ? ESaveProblem::kNone : ESaveProblem::kNotWritten});
        ASSERT_EQ(notices.Pending().size(), step.told ? 1u : 0u);
        if (step.told) {
            EXPECT_EQ(notices.Pending()[0].title, str("savefail_title"));
            ASSERT_EQ(notices.Pending()[0].arguments.size(), 1u);
            EXPECT_EQ(notices.Pending()[0].arguments[0], str("/home/p"));
        }
        notices.Update(&manager, nullptr);
    }
}

// The words name what is wrong; a file failing for another reason than those told is told too.
TEST(PlayerNotices, ASaveFailureIsToldInTheWordsOfItsReason)
{
    const struct
    {
        const char* path;
        ESaveProblem problem;
        bool spare;
        const char* title;  // null: not told again
        const char* body;
        const char* argument;
    } steps[] = {
        {"/h/t/prefs.dat.prev", ESaveProblem::kFolderInTheWay, true, "savespare_title", "savespare_folder_body",
         "/h/t/prefs.dat.prev"},
        {"/h/t/prefs.dat.prev", ESaveProblem::kFolderInTheWay, true, nullptr, nullptr, nullptr},
        {"/h/t/scores.dat", ESaveProblem::kFolderInTheWay, false, "savefail_title", "savefail_folder_body",
         "/h/t/scores.dat"},
        {"/h/t/prefs.dat", ESaveProblem::kNotWritten, false, "savefail_title", "savefail_body", "/h/t"},
        {"/h/t/x.dat.prev", ESaveProblem::kNotWritten, true, "savespare_title", "savespare_body", "/h/t/x.dat.prev"},
        {"user:prefs.dat", ESaveProblem::kNoFolder, false, "savefail_title", "savefail_nofolder_body", nullptr},
        {"user:scores.dat", ESaveProblem::kNoFolder, false, nullptr, nullptr, nullptr},
    };
    TPlayerNotices notices;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.path);
        const size_t before = notices.Pending().size();
        notices.OnSaveOutcome({step.path, false, step.problem, step.spare});
        ASSERT_EQ(notices.Pending().size(), before + (step.title ? 1 : 0));
        if (!step.title)
            continue;
        const TPlayerNotice& told = notices.Pending().back();
        EXPECT_EQ(told.title, str(step.title));
        EXPECT_EQ(told.body, str(step.body));
        EXPECT_EQ(told.arguments, step.argument ? std::vector<str>{step.argument} : std::vector<str>{});
    }
}

TEST(PlayerNotices, ANoticeWaitsForAScreenAndOneThatAsksEndsTheGameOnceClosed)
{
    TWindowManager manager;
    manager.PushModal(new TModalWindow);  // the screen
    TPlayerNotices notices;
    notices.Post({"running_title", "running_body", {}, true});
    notices.Post({"running_title", "running_body", {}, true});
    notices.Update(&manager, nullptr);
    ASSERT_EQ(notices.Pending().size(), 1u);

    manager.PushModal(new TModalWindow);  // the menu
    notices.Update(&manager, nullptr);
    EXPECT_TRUE(notices.Pending().empty());
    const auto* shown = dynamic_cast<const TDialog*>(manager.GetTopModalWindow());
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetTitle(), str("running_title"));
    EXPECT_EQ(shown->GetScriptName(), str("scripts/ok.lua"));

    auto quits = [&manager] {
        const auto& queue = manager.GetMessageQueue();
        return std::count_if(queue.begin(), queue.end(), [](const TMessage* m) { return m->GetType() == kQuitNow; });
    };
    notices.Update(&manager, nullptr);
    EXPECT_EQ(quits(), 0);
    TLogCapture log;
    manager.PopModal(shown->GetName());
    notices.Update(&manager, nullptr);
    EXPECT_NE(log.Text().find("The player closed the notice running_title"), std::string::npos);
    notices.Update(&manager, nullptr);
    EXPECT_EQ(quits(), 1);
}

}  // namespace
