#include "online/http/simple_http.h"
#include "online/scores/hiscore_table.h"
#include "online/scores/zv_hiscores.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "../support/test_score_server.h"
#include "common/log_capture.h"
#include "score_test_env.h"

namespace {
const char* kFixedError = "Unable to connect to server. Please try again later.";

class ScoreProtocol : public ::testing::Test
{
protected:
    ScoreTestEnv env;
    TestScoreServer server;
    std::unique_ptr<TZvHiscores> h;
    char message[512] = {};
    bool listed = false;

    void SetUp() override
    {
        // A line end after the address, as text editors leave it.
        env.WriteServerFile(server.Url() + "\r\n");
        h = Make();
    }

    std::unique_ptr<TZvHiscores> Make()
    {
        auto s = std::make_unique<TZvHiscores>(true);
        s->SetProperty(TZvHiscores::kPropUserName, "ann");
        s->SetProperty(TZvHiscores::kPropGameMode, "easy");
        return s;
    }

    int Wait()
    {
        int status = TZvHiscores::kRequestRunning;
        message[0] = 0;
        listed = false;
        PollUntil([&] {
            return (status = h->GetServerRequestStatus(message, sizeof message, &listed)) !=
                   TZvHiscores::kRequestRunning;
        });
        return status;
    }

    // Requests move only while polled, as in the game's frames.
    bool WaitRequests(size_t n)
    {
        return PollUntil([&] {
            h->GetServerRequestStatus(message, sizeof message, &listed);
            return server.RequestCount() >= n;
        });
    }

    std::string LastBody() const
    {
        auto reqs = server.Requests();
        return reqs.empty() ? std::string() : reqs.back().body;
    }

    std::string Arg(const std::string& name) const
    {
        for (auto& [n, v] : ParseFormBody(LastBody()))
            if (n == name)
                return v;
        return "<absent>";
    }

    void LoadCategories()
    {
        server.QueueReply(TestReply::Xml("<hiscore><tables><table table=\"t1\" name=\"Daily\"/>"
                                         "<table table=\"t2\" name=\"All time\"/></tables></hiscore>"));
        h->RequestCategoryInformation();
        ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    }
};
}  // namespace

TEST_F(ScoreProtocol, ServerAddressFileLosesItsLineEnd)
{
    EXPECT_EQ(h->GetServerUrl(), str(server.Url().c_str()));
}

TEST_F(ScoreProtocol, CategoryListRequestAndReply)
{
    LoadCategories();
    auto reqs = server.Requests();
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].method, "POST");
    EXPECT_EQ(reqs[0].target, "/go/hiscore");
    EXPECT_EQ(reqs[0].body, "lang=en&ver=1.0&action=tables&game=demo");
    ASSERT_EQ(h->GetCategoryCount(), 2);
    char name[5];
    ASSERT_TRUE(h->GetCategoryName(1, name, sizeof name));
    EXPECT_STREQ(name, "All ");
    EXPECT_FALSE(h->GetCategoryName(2, name, sizeof name));
    EXPECT_FALSE(h->GetCategoryName(0, nullptr, 5));
}

TEST_F(ScoreProtocol, CategoryReplyWithMessageShowsServerText)
{
    server.QueueReply(TestReply::Xml("<hiscore><message>Closed for <b>maintenance</b></message></hiscore>"));
    h->RequestCategoryInformation();
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, "Closed for");
    EXPECT_EQ(h->GetCategoryCount(), 0);
}

TEST_F(ScoreProtocol, ScoreRequestArgumentsWithAndWithoutCategory)
{
    h->RequestScores(0);
    ASSERT_TRUE(WaitRequests(1));
    EXPECT_EQ(LastBody(), "lang=en&ver=1.0&action=get&game=demo&type=easy&numScores=500");
    Wait();
    LoadCategories();
    h->RequestScores(1);
    ASSERT_TRUE(WaitRequests(3));
    EXPECT_EQ(LastBody(), "lang=en&ver=1.0&action=get&game=demo&type=easy&table=t2&numScores=500");
    Wait();
    h->RequestScores(-1);
    ASSERT_TRUE(WaitRequests(4));
    EXPECT_EQ(Arg("table"), "<absent>");
}

TEST_F(ScoreProtocol, ScoreTableReplyFillsGlobalTableAndOwnRow)
{
    server.QueueReply(TestReply::Xml(
        "<hiscore><scores>"
        "<score name=\"zed\" data=\"d1\" ver=\"1.0\" guid=\"g1\" anonymous=\"false\" score=\"900\" rank=\"1\"/>"
        "<junk/>"
        "<score name=\"annie\" data=\"d2\" guid=\"g2\" anonymous=\"true\" score=\"800\" rank=\"2\" account=\"true\"/>"
        "</scores></hiscore>"));
    h->RequestScores(-1);
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    ASSERT_EQ(h->GetScoreCount(false), 2);
    int rank = 0, score = 0;
    bool anonymous = true;
    char name[16], data[16];
    ASSERT_TRUE(h->GetScore(false, 0, &rank, name, sizeof name, &anonymous, &score, data, sizeof data));
    EXPECT_EQ(rank, 1);
    EXPECT_EQ(score, 900);
    EXPECT_STREQ(name, "zed");
    EXPECT_FALSE(anonymous);
    EXPECT_STREQ(data, "d1");
    ASSERT_TRUE(h->GetUserBestScore(TZvHiscores::kUserScoreGlobal, &score, &rank, data, sizeof data));
    EXPECT_EQ(score, 800);
    EXPECT_EQ(rank, 2);
    EXPECT_STREQ(data, "d2");
}

// Reading stops at the first row past those the table keeps: what follows is never read.
TEST_F(ScoreProtocol, ReadingAScoreTableStopsAtTheRowsItKeeps)
{
    std::string xml = "<hiscore><scores><note/>";
    for (int i = 1; i <= TZvHiscoreTable::kMaxRows + 1; ++i)
        xml += "<score name=\"p" + std::to_string(i) + "\" score=\"" + std::to_string(i) + "\"/><x>y</x>";
    for (int i = 0; i < 100000; ++i)
        xml += "<deep>";
    server.QueueReply(TestReply::Xml(xml));
    TLogCapture log;
    h->RequestScores(-1);
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone) << message;
    EXPECT_EQ(h->GetScoreCount(false), TZvHiscoreTable::kMaxRows);
    char name[16] = {};
    int score = 0;
    ASSERT_TRUE(
        h->GetScore(false, TZvHiscoreTable::kMaxRows - 1, nullptr, name, sizeof name, nullptr, &score, nullptr, 0));
    EXPECT_STREQ(name, "p500");
    EXPECT_NE(log.Text().find("server sent more than 500 scores"), std::string::npos) << log.Text();
}

TEST_F(ScoreProtocol, GlobalScoreFoundThroughLocalGuid)
{
    h->KeepScore(800, false, nullptr);  // guid0001
    server.QueueReply(TestReply::Xml("<hiscore><scores>"
                                     "<score name=\"ann\" guid=\"other\" score=\"900\" rank=\"1\"/>"
                                     "<score name=\"ann\" guid=\"guid0001\" score=\"800\" rank=\"2\"/>"
                                     "</scores></hiscore>"));
    h->RequestScores(-1);
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    int score = 0, rank = 0;
    ASSERT_TRUE(h->GetUserGlobalScore(&score, &rank, nullptr, 0));
    EXPECT_EQ(score, 800);
    EXPECT_EQ(rank, 2);
}

TEST_F(ScoreProtocol, ScoreReplyFailuresGiveTheirMessages)
{
    server.QueueReply(
        TestReply::Xml("<hiscore><protocolError>Missing required parameter: type</protocolError></hiscore>"));
    h->RequestScores(-1);
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, "Score request failed because game mode is not valid");

    server.QueueReply(TestReply::Xml("<hiscore/>"));
    h->RequestScores(-1);
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, "Score request failed because no category information has been received yet");
    EXPECT_EQ(h->GetScoreCount(false), 0);

    LoadCategories();
    server.QueueReply(TestReply::Xml("<hiscore><message>Try later</message></hiscore>"));
    h->RequestScores(0);
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, "Try later");
}

TEST_F(ScoreProtocol, TransportFailuresUseDefaultOrFixedText)
{
    server.QueueReply(TestReply::Error500());
    h->RequestCategoryInformation();
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, kFixedError);

    server.QueueReply(TestReply::Xml("this is not xml at all"));
    h->RequestCategoryInformation();
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, kFixedError);

    server.QueueReply(TestReply::Dropped());
    h->RequestCategoryInformation();
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, kFixedError);

    env.WriteSettings("<hiscore><defaulterror>Server away</defaulterror><language>de</language></hiscore>");
    h->LoadSettings();
    server.QueueReply(TestReply::Dropped());
    h->RequestCategoryInformation();
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, "Server away");
    // The settings file's language wins over the game's.
    h->SetProperty(TZvHiscores::kPropLanguage, "fr");
    h->RequestCategoryInformation();
    ASSERT_TRUE(WaitRequests(5));
    EXPECT_EQ(Arg("lang"), "de");
}

TEST_F(ScoreProtocol, SlowServerIsRunningThenTimesOut)
{
    TSimpleHttp::SetDefaultTimeout(300);
    h = Make();
    server.QueueReply(TestReply::Delayed(3000, "<hiscore/>"));
    h->RequestCategoryInformation();
    EXPECT_EQ(h->GetServerRequestStatus(message, sizeof message, &listed), TZvHiscores::kRequestRunning);
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, kFixedError);
}

TEST_F(ScoreProtocol, RefusedConnectionFails)
{
    env.WriteServerFile("http://127.0.0.1:" + std::to_string(TestScoreServer::ClosedPort()) + "/go/hiscore\n");
    h = Make();
    h->RequestCategoryInformation();
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, kFixedError);
}

TEST_F(ScoreProtocol, ScoreSubmissionPayloadAndAcceptance)
{
    h->LogScore(300, false, "gd", "<extra/>");  // guid0001
    h->KeepMedal("gold", TZvHiscores::kMedalGame, "");
    h->KeepMedal("star", TZvHiscores::kMedalGameMode, "");
    server.QueueReply(TestReply::Xml("<hiscore><score/></hiscore>"));
    ASSERT_TRUE(h->SubmitData("annie", "p&w", true, TZvHiscores::kSubmitAll));
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    EXPECT_TRUE(listed);

    std::string body = LastBody();
    EXPECT_EQ(body.rfind("lang=en&ver=1.0&game=demo&action=submit&score=", 0), 0u) << body;
    std::string payload = Arg("score");
    EXPECT_EQ(body.find_first_of("+/="), body.find('=')) << "Base64 specials must be escaped: " << body;
    EXPECT_EQ(ScoreTestEnv::DecryptPayload(payload),
              "<?xml version=\"1.0\"?>\n"
              "<score\n    guid=\"guid0001\"\n    name=\"annie\"\n    password=\"p&amp;w\"\n    type=\"easy\"\n"
              "    game=\"demo\"\n    score=\"300\"\n    data=\"gd\"\n    ver=\"1.2\">\n"
              "<extra/><medal name=\"gold\" per=\"game\"/><medal name=\"star\" per=\"type\"/></score>\n");

    EXPECT_FALSE(h->GetUserEligibleScore(nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(h->GetNumMedalsToSubmit(), 0);
    str name, pass;
    ASSERT_TRUE(h->GetRememberedUserInfo(&name, &pass));
    EXPECT_EQ(name, str("annie"));
    EXPECT_EQ(pass, str("p&w"));

    // Acceptance is saved; the next fetch names the account.
    auto again = Make();
    EXPECT_FALSE(again->GetUserEligibleScore(nullptr, nullptr, nullptr, 0));
    h->RequestScores(-1);
    ASSERT_TRUE(WaitRequests(2));
    EXPECT_EQ(Arg("username"), "annie");
}

TEST_F(ScoreProtocol, AnonymousSubmissionSendsNoPasswordNorMedals)
{
    h->KeepScore(10, false, nullptr);
    h->KeepMedal("gold", TZvHiscores::kMedalGame, "");
    server.QueueReply(TestReply::Xml("<hiscore/>"));
    ASSERT_TRUE(h->SubmitData("Ann \"<the> great\"", "", false, TZvHiscores::kSubmitAll));
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    EXPECT_FALSE(listed);
    EXPECT_EQ(ScoreTestEnv::DecryptPayload(Arg("score")),
              "<?xml version=\"1.0\"?>\n"
              "<score\n    guid=\"guid0001\"\n    name=\"Ann &quot;&lt;the&gt; great&quot;\"\n    type=\"easy\"\n"
              "    game=\"demo\"\n    score=\"10\"\n    ver=\"1.2\">\n</score>\n");
    EXPECT_EQ(h->GetNumMedalsToSubmit(), 1);
    EXPECT_FALSE(h->GetRememberedUserInfo(nullptr, nullptr));
    h->RequestScores(-1);
    ASSERT_TRUE(WaitRequests(2));
    EXPECT_EQ(Arg("username"), "<absent>");
}

TEST_F(ScoreProtocol, UserNameWithHighBytesIsRefusedBeforeAnyRequest)
{
    h->KeepScore(10, false, nullptr);
    EXPECT_FALSE(h->SubmitData("bad\xC0name", "pw", false, TZvHiscores::kSubmitAll));
    EXPECT_FALSE(h->SubmitMedalsToServer("", "x\xFF", "pw", false));
    EXPECT_EQ(server.RequestCount(), 0u);
    server.QueueReply(TestReply::Xml("<hiscore/>"));
    EXPECT_TRUE(h->SubmitData("ok\x80\xBF", "pw", false, TZvHiscores::kSubmitAll));
    EXPECT_EQ(Wait(), TZvHiscores::kRequestDone);
}

TEST_F(ScoreProtocol, MedalsAloneWhenNothingLeftToSubmit)
{
    EXPECT_FALSE(h->SubmitData("annie", "pw", false, TZvHiscores::kSubmitAll));
    EXPECT_FALSE(h->SubmitData("annie", "pw", false, TZvHiscores::kSubmitMedals));
    EXPECT_EQ(server.RequestCount(), 0u);

    h->KeepMedal("star", TZvHiscores::kMedalGameMode, "");
    server.QueueReply(TestReply::Xml("<hiscore><medals/></hiscore>"));
    ASSERT_TRUE(h->SubmitData("annie", "pw", true, TZvHiscores::kSubmitAll));
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    EXPECT_FALSE(listed);
    std::string body = LastBody();
    EXPECT_EQ(body.rfind("lang=en&ver=1.0&game=demo&action=medals&medals=", 0), 0u) << body;
    EXPECT_EQ(ScoreTestEnv::DecryptPayload(Arg("medals")),
              "<?xml version=\"1.0\"?>\n<medals\n    name=\"annie\"\n    password=\"pw\"\n    game=\"demo\">\n"
              "<medal name=\"star\" per=\"type\" type=\"easy\"/></medals>\n");
    EXPECT_EQ(h->GetNumMedalsToSubmit(), 0);
}

TEST_F(ScoreProtocol, MedalReplyWithoutMedalsChildMarksNoScore)
{
    h->KeepScore(10, false, nullptr);
    h->KeepMedal("gold", TZvHiscores::kMedalGame, "");
    server.QueueReply(TestReply::Delayed(200, "<hiscore/>"));
    ASSERT_TRUE(h->SubmitData("annie", "pw", false, TZvHiscores::kSubmitMedals));
    // Earned while the request runs: not part of it.
    h->KeepMedal("silver", TZvHiscores::kMedalGame, "");
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    EXPECT_TRUE(h->GetUserEligibleScore(nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(h->GetNumMedalsToSubmit(), 1);
}

TEST_F(ScoreProtocol, ScoreRecordedDuringSubmissionStaysUnsubmitted)
{
    h->KeepScore(50, false, nullptr);
    h->KeepScore(20, false, nullptr);
    server.QueueReply(TestReply::Delayed(200, "<hiscore><score/></hiscore>"));
    ASSERT_TRUE(h->SubmitData("annie", "pw", false, TZvHiscores::kSubmitScore));
    h->KeepScore(90, false, nullptr);
    ASSERT_EQ(Wait(), TZvHiscores::kRequestDone);
    int score = 0;
    ASSERT_TRUE(h->GetUserEligibleScore(&score, nullptr, nullptr, 0));
    EXPECT_EQ(score, 90);
    EXPECT_EQ(h->GetScoreCount(true), 3);
}

TEST_F(ScoreProtocol, RejectedSubmissionsMarkNothing)
{
    h->KeepScore(10, false, nullptr);
    server.QueueReply(TestReply::Error500("<html><body>oops</body></html>"));
    ASSERT_TRUE(h->SubmitData("annie", "pw", true, TZvHiscores::kSubmitScore));
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, kFixedError);
    EXPECT_TRUE(h->GetUserEligibleScore(nullptr, nullptr, nullptr, 0));

    server.QueueReply(TestReply::Xml("<hiscore><message>hiscore.error.invalidUsernameOrPassword</message></hiscore>"));
    ASSERT_TRUE(h->SubmitData("annie", "bad", true, TZvHiscores::kSubmitScore));
    ASSERT_TRUE(h->GetRememberedUserInfo(nullptr, nullptr));
    EXPECT_EQ(Wait(), TZvHiscores::kRequestFailed);
    EXPECT_STREQ(message, "hiscore.error.invalidUsernameOrPassword");
    EXPECT_FALSE(h->GetRememberedUserInfo(nullptr, nullptr));
    EXPECT_TRUE(h->GetUserEligibleScore(nullptr, nullptr, nullptr, 0));
}

// The status of the reply does not decide: a score reply is read as any other, and only an
// error page that is none fails for its status.
TEST_F(ScoreProtocol, SubmissionRepliesWithAnErrorStatusAreReadWhenTheyAreScoreReplies)
{
    const struct
    {
        int status;
        const char* body;
        int result;
        const char* message;
        bool stillRemembered;
        bool stillEligible;
        const char* logged;
    } cases[] = {
        {403, "<hiscore><message>hiscore.error.invalidUsernameOrPassword</message></hiscore>",
         TZvHiscores::kRequestFailed, "hiscore.error.invalidUsernameOrPassword", false, true, "HiScore User Message"},
        {400, "<hiscore><score/></hiscore>", TZvHiscores::kRequestDone, "", true, false, ""},
        {500, "<html>oops</html>", TZvHiscores::kRequestFailed, kFixedError, true, true,
         "the server answered with status 500 and no score reply"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        h->KeepScore(10, false, nullptr);
        TestReply reply = TestReply::Xml(c.body);
        reply.status = c.status;
        server.QueueReply(reply);
        ASSERT_TRUE(h->SubmitData("annie", "pw", true, TZvHiscores::kSubmitScore));
        TLogCapture log;
        EXPECT_EQ(Wait(), c.result);
        EXPECT_STREQ(message, c.message);
        EXPECT_EQ(h->GetRememberedUserInfo(nullptr, nullptr), c.stillRemembered);
        EXPECT_EQ(h->GetUserEligibleScore(nullptr, nullptr, nullptr, 0), c.stillEligible);
        EXPECT_NE(log.Text().find(c.logged), std::string::npos) << log.Text();
    }
}

TEST_F(ScoreProtocol, NewRequestAbandonsTheRunningOne)
{
    server.QueueReply(TestReply::Delayed(300, "<hiscore><tables><table table=\"a\" name=\"A\"/></tables></hiscore>"));
    server.QueueReply(TestReply::Xml("<hiscore><scores/></hiscore>"));
    h->RequestCategoryInformation();
    ASSERT_TRUE(WaitRequests(1));
    h->RequestScores(-1);
    EXPECT_EQ(Wait(), TZvHiscores::kRequestDone);
    EXPECT_EQ(h->GetCategoryCount(), 0);
    EXPECT_EQ(h->GetScoreCount(false), 0);
}

// Without "hiscoreserver.txt" no request goes out: each fails at once with its reason.
TEST(ScoreProtocolNoServer, EveryRequestFailsAtOnceSayingSo)
{
    ScoreTestEnv env;
    TZvHiscores h(true);
    h.SetProperty(TZvHiscores::kPropUserName, "ann");
    h.SetProperty(TZvHiscores::kPropGameMode, "easy");
    h.KeepScore(40, true, nullptr);
    EXPECT_EQ(h.GetServerUrl(), str());
    const std::vector<std::function<void()>> requests = {
        [&] { h.RequestCategoryInformation(); },
        [&] { h.RequestScores(0); },
        [&] { EXPECT_TRUE(h.SubmitData("ann", "", false, TZvHiscores::ESubmitMode(-1))); },
    };
    for (size_t i = 0; i < requests.size(); ++i) {
        requests[i]();
        char message[512] = {};
        bool listed = true;
        EXPECT_EQ(h.GetServerRequestStatus(message, sizeof message, &listed), TZvHiscores::kRequestFailed) << i;
        EXPECT_STREQ(message, "No score server is set up for this game.") << i;
    }
}
