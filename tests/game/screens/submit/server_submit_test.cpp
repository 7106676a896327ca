// The score submission dialog on the demo's layout: its setup text with values no input can
// break out of, the submit button following the fields, Enter and the Remember tick, a game
// with no score server, the anonymous name kept for next time, the outcomes of a request, and a
// submission that sends nothing.

#include <gtest/gtest.h>

#include "common/cpu_clock.h"
#include "common/log_capture.h"
#include "core/prefs/prefs.h"
#include "core/script/message.h"
#include "game/screens/score_screen_fixture.h"
#include "render/texture/texture.h"
#include "ui/screen/image.h"
#include "ui/widgets/text_edit.h"
#include "ui/window/message_types.h"

namespace {

class SubmitTest : public ScoreScreenTest
{
protected:
    void Poll(TServerSubmit* dialog)
    {
        EXPECT_TRUE(dialog->IsPolling());
        PollUntil([&] { return !dialog->OnTaskAnimate(); });
        // The next frame: a closed dialog goes, and the script waiting for it learns so.
        wm->ClearDestroyedWindows();
        wm->DispatchMessages();
    }
    void Type(const char* edit, const char* text)
    {
        auto* field = GetCast<TTextEdit>(Find(edit));
        ASSERT_NE(field, nullptr) << edit;
        field->SetText(text);
        wm->SetFocusWindow(field);
        wm->PostWindowMessage(new TMessage(kTextEditChanged, edit, nullptr));
        wm->DispatchMessages();
    }
};

TEST_F(SubmitTest, SetupTextPresetsTheFieldsAndNoValueCanEndItsString)
{
    TZvHiscores* scores = StartSettings();
    Lua("gChunk = GetLuaServerSubmitSetupVars(false)");
    EXPECT_EQ(Global("gChunk"), "gNameEdit=''; gAccountEdit=''; gPassEdit=''; gRemember=false; "
                                "gMedalsMode=false;gEligibleScore=0");
    Lua("gChunk = GetLuaServerSubmitSetupVars(true)");
    EXPECT_EQ(Global("gChunk"), "gNameEdit=''; gAccountEdit=''; gPassEdit=''; gRemember=false; gMedalsMode=true;");

    const std::string account = "o'brien\\";
    const std::string password = "p'); os.exit() --\n\r\t";
    const std::string anonName = "Ann \"The\" [[Great]]\\'";
    scores->KeepScore(40, false, nullptr);
    server.QueueReply(TestReply::Xml("<hiscore/>"));
    ASSERT_TRUE(scores->SubmitData(account.c_str(), password.c_str(), true, TZvHiscores::kSubmitScore));
    TSettings::GetInstance()->GetPrefs()->SetStr(TServerSubmit::kAnonNameKey, anonName.c_str(), 0, true);
    scores->KeepScore(70, false, nullptr);
    Lua("gEligibleScore = nil; assert(loadstring(GetLuaServerSubmitSetupVars(false)))()");
    EXPECT_EQ(Global("gNameEdit"), anonName);
    EXPECT_EQ(Global("gAccountEdit"), account);
    EXPECT_EQ(Global("gPassEdit"), password);
    EXPECT_EQ(Global("gRemember"), "true");
    EXPECT_EQ(Global("gMedalsMode"), "false");
    EXPECT_EQ(Global("gEligibleScore"), "70");
}

// Names kept from earlier (the player's own and a remembered log-in) of a megabyte each open the
// dialog and draw its first frame at once, in their fields as they were kept; keys there answer at
// once too (the field is past its length: a letter is refused, Backspace taken).
TEST_F(SubmitTest, MegabyteNamesOpenTheDialogAtOnce)
{
    TZvHiscores* scores = StartSettings();
    scores->KeepScore(55, false, nullptr);
    std::string anonName(1000000, 'n'), account(1000000, 'a');
    server.QueueReply(TestReply::Xml("<hiscore/>"));
    ASSERT_TRUE(scores->SubmitData(account.c_str(), "pw", true, TZvHiscores::kSubmitScore));
    TSettings::GetInstance()->GetPrefs()->SetStr(TServerSubmit::kAnonNameKey, anonName.c_str(), 0, true);

    const double start = ThreadCpuSeconds();
    ASSERT_NE(OpenSubmit(), nullptr);
    wm->SetFocusWindow(Find("nameedit"));
    Send(TEvent::kIdle);
    for (const int key : {8, int('m')})
        Send(TEvent::kChar, 0, 0, key);
    EXPECT_LT(ThreadCpuSeconds() - start, 1.0 * kCpuBoundScale);
    anonName.pop_back();
    for (const auto& [edit, text] : {std::pair{"nameedit", anonName}, std::pair{"accountedit", account}}) {
        auto* field = GetCast<TTextEdit>(Find(edit));
        ASSERT_NE(field, nullptr) << edit;
        EXPECT_EQ(field->GetText().c_str(), text) << edit;
    }
}

TEST_F(SubmitTest, WithNoScoreServerTheDialogSaysSoBeforeAnythingIsTyped)
{
    StartSettings(false)->KeepScore(55, false, nullptr);
    ASSERT_NE(OpenSubmit(), nullptr);
    EXPECT_TRUE(Shown("submiterror"));
    EXPECT_EQ(TextOf("submiterror"), std::string(GlocalisedString("submit_noserver").c_str()));
    for (const char* hidden : {"namefield", "accountfield", "passfield", "remember", "submittoserver", "submitconnect",
                               "submiterrorok", "cancel"})
        EXPECT_FALSE(Shown(hidden)) << hidden;
    // A notice: its one button, OK, is what Enter presses.
    EXPECT_TRUE(Shown("noticeok"));
    Send(TEvent::kChar, 0, 0, TEvent::kEnter);
    wm->ClearDestroyedWindows();
    wm->DispatchMessages();
    EXPECT_EQ(Global("gOutcome"), "noticeok");
}

TEST_F(SubmitTest, EnterSendsAndRememberShowsItsTick)
{
    StartSettings()->KeepScore(55, false, nullptr);
    TServerSubmit* dialog = OpenSubmit();
    ASSERT_NE(dialog, nullptr);
    auto* remember = GetCast<TButton>(Find("remember"));
    ASSERT_NE(remember, nullptr);
    for (const bool ticked : {true, false}) {
        Lua(std::string("SetButtonToggleState('remember', ") + (ticked ? "true" : "false") + ")");
        const auto& layer = remember->GetLayer(static_cast<unsigned>(remember->GetCurrentLayer()));
        ASSERT_FALSE(layer.empty());
        auto* picture = GetCast<TImage>(layer.front());
        ASSERT_TRUE(picture && picture->GetTexture());
        const std::string name = picture->GetTexture()->GetName().c_str();
        EXPECT_NE(name.find(ticked ? "checkbox_on" : "checkbox_off"), std::string::npos) << name;
    }
    server.QueueReply(TestReply::Xml("<hiscore/>"));
    Type("nameedit", "Ann");
    Send(TEvent::kChar, 0, 0, TEvent::kEnter);
    wm->DispatchMessages();
    EXPECT_TRUE(dialog->IsPolling()) << "Enter pressed Send";
    Poll(dialog);
    EXPECT_EQ(Global("gOutcome"), "success");
}

TEST_F(SubmitTest, SubmitButtonShowsWhileANameOrAnAccountIsTyped)
{
    struct Case
    {
        const char* name;
        const char* account;
        bool shown;
    };
    const Case cases[] = {
        {"", "", false}, {"Ann", "", true}, {"", "ann01", true}, {"Ann", "ann01", true}, {"", "", false},
    };
    StartSettings();
    ASSERT_NE(OpenSubmit(), nullptr);
    EXPECT_FALSE(Shown("submittoserver")) << "nothing typed yet";
    for (const Case& c : cases) {
        Type("nameedit", c.name);
        Type("accountedit", c.account);
        EXPECT_EQ(Shown("submittoserver"), c.shown) << "'" << c.name << "', '" << c.account << "'";
    }
}

TEST_F(SubmitTest, AnonymousSuccessClosesTheDialogAndKeepsTheName)
{
    StartSettings()->KeepScore(55, false, nullptr);
    TServerSubmit* dialog = OpenSubmit();
    ASSERT_NE(dialog, nullptr);
    const size_t modals = wm->GetModalStack().size();
    Lua("kept = SubmitToServer");
    server.QueueReply(TestReply::Xml("<hiscore/>"));
    Type("nameedit", "Anonymous Ann");
    Press("submittoserver");
    EXPECT_TRUE(Shown("submitconnect"));
    EXPECT_FALSE(Shown("namefield"));
    Poll(dialog);
    EXPECT_EQ(Global("gOutcome"), "success");
    EXPECT_EQ(wm->GetModalStack().size(), modals - 1) << "the dialog closed";
    EXPECT_EQ(Global("SubmitToServer"), "nil") << "the dialog's global went with it";
    TLogCapture log;
    Lua("kept()");
    EXPECT_NE(log.Text().find("SubmitToServer: its window has closed"), std::string::npos) << log.Text();
    EXPECT_EQ(server.RequestCount(), 1u);
    Lua("assert(loadstring(GetLuaServerSubmitSetupVars(false)))()");
    EXPECT_EQ(Global("gNameEdit"), "Anonymous Ann") << "offered again next time";
}

TEST_F(SubmitTest, FailureShowsTheServersMessageAndStaysOpen)
{
    TZvHiscores* scores = StartSettings();
    scores->KeepScore(55, false, nullptr);
    TServerSubmit* dialog = OpenSubmit();
    ASSERT_NE(dialog, nullptr);
    server.QueueReply(TestReply::Xml("<hiscore><message>Wrong password &lt;again&gt;</message></hiscore>"));
    Type("accountedit", "ann01");
    Press("submittoserver");
    Poll(dialog);
    EXPECT_TRUE(Shown("submiterror"));
    EXPECT_EQ(TextOf("submiterror"), "Wrong password \\<again>") << "shown as text, not markup";
    EXPECT_FALSE(Shown("submitconnect"));
    EXPECT_TRUE(Shown("submiterrorok"));
    EXPECT_TRUE(Shown("cancel"));
    EXPECT_FALSE(Shown("noticeok"));
    EXPECT_EQ(Global("gReturnValue"), "nil");
    EXPECT_EQ(Global("gOutcome"), "nil");
    EXPECT_EQ(Find("submitdialog"), dialog) << "the dialog stays open";
    Press("submiterrorok");
    EXPECT_TRUE(Shown("accountedit")) << "back to editing";
    EXPECT_FALSE(Shown("submiterror"));
}

TEST_F(SubmitTest, NothingToSendShowsAnErrorInsteadOfTheLastOutcome)
{
    TZvHiscores* scores = StartSettings();
    scores->KeepScore(55, false, nullptr);
    server.QueueReply(TestReply::Xml("<hiscore><score/></hiscore>"));
    ASSERT_TRUE(scores->SubmitData("Ann", "", false, TZvHiscores::kSubmitAll));
    char message[512];
    bool listed = false;
    ASSERT_TRUE(PollUntil(
        [&] { return scores->GetServerRequestStatus(message, sizeof message, &listed) == TZvHiscores::kRequestDone; }));

    // The score went out already: this submission sends nothing.
    TServerSubmit* dialog = OpenSubmit();
    ASSERT_NE(dialog, nullptr);
    Type("nameedit", "Ann");
    Press("submittoserver");
    EXPECT_FALSE(dialog->IsPolling());
    EXPECT_TRUE(Shown("submiterror"));
    EXPECT_EQ(TextOf("submiterror"), std::string(GlocalisedString("submitnotsent").c_str()));
    EXPECT_TRUE(Shown("submiterrorok"));
    EXPECT_TRUE(Shown("cancel"));
    EXPECT_FALSE(Shown("noticeok"));
    EXPECT_EQ(Global("gReturnValue"), "nil");
    EXPECT_EQ(Global("gOutcome"), "nil");
    EXPECT_EQ(server.RequestCount(), 1u);
    // Nor does a stray poll read the earlier request's success.
    EXPECT_FALSE(dialog->OnTaskAnimate());
    wm->ClearDestroyedWindows();
    wm->DispatchMessages();
    EXPECT_EQ(Find("submitdialog"), dialog);
    EXPECT_EQ(Global("gOutcome"), "nil");
}

}  // namespace
