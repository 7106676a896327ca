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
        notices.OnSaveOutcome(step.path, step.saved);
        ASSERT_EQ(notices.Pending().size(), step.told ? 1u : 0u);
        if (step.told) {
            EXPECT_EQ(notices.Pending()[0].title, str("savefail_title"));
            ASSERT_EQ(notices.Pending()[0].arguments.size(), 1u);
            EXPECT_EQ(notices.Pending()[0].arguments[0], str("/home/p"));
        }
        notices.Update(&manager, nullptr);
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
