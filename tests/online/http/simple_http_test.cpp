#include "online/http/simple_http.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "../support/test_score_server.h"

namespace {
int WaitDone(TSimpleHttp& http, int timeoutMs = 5000)
{
    int status = TSimpleHttp::kRunning;
    PollUntil([&] { return (status = http.GetStatus()) != TSimpleHttp::kRunning; }, timeoutMs);
    return status;
}

std::string Escaped(const char* value)
{
    TSimpleHttp http;
    http.Init("http://127.0.0.1/", true);
    http.AddArg("v", value);
    return http.GetArgs().substr(2);
}
}  // namespace

TEST(SimpleHttpArgs, PostBodyStartsWithFirstNameAndJoinsWithAmpersand)
{
    TSimpleHttp http;
    http.Init("http://127.0.0.1/x", true);
    http.AddArg("lang", "en");
    http.AddArg("numScores", 500);
    http.AddArg("empty", "");
    http.AddArg("null", nullptr);
    EXPECT_EQ(http.GetArgs(), "lang=en&numScores=500&empty=&null=");
}

TEST(SimpleHttpArgs, GetPutsQuestionMarkBeforeFirstArgument)
{
    TSimpleHttp http;
    http.Init("http://127.0.0.1/x", false);
    http.AddArg("a", "1");
    http.AddArg("b", -7);
    EXPECT_EQ(http.GetArgs(), "?a=1&b=-7");
}

TEST(SimpleHttpArgs, InitClearsArgumentsAndRestartsSeparators)
{
    TSimpleHttp http;
    http.Init("http://127.0.0.1/x", false);
    http.AddArg("a", "1");
    http.Init("http://127.0.0.1/x", true);
    http.AddArg("b", "2");
    EXPECT_EQ(http.GetArgs(), "b=2");
}

TEST(SimpleHttpArgs, EscapesEveryByteOfTheTable)
{
    EXPECT_EQ(Escaped(" \"#$%&+,/:;<=>?@[\\]^`{|}"),
              "%20%22%23%24%25%26%2B%2C%2F%3A%3B%3C%3D%3E%3F%40%5B%5C%5D%5E%60%7B%7C%7D");
}

TEST(SimpleHttpArgs, LeavesOtherBytesUnchanged)
{
    EXPECT_EQ(Escaped("Az09'!()*-._~"), "Az09'!()*-._~");
    EXPECT_EQ(Escaped("\xC3\xA9\x7F\x01\t"), "\xC3\xA9\x7F\x01\t");
    // Base64 text: its three special characters are escaped.
    EXPECT_EQ(Escaped("ab+/c=="), "ab%2B%2Fc%3D%3D");
}

TEST(SimpleHttpArgs, NamesAreNotEscaped)
{
    TSimpleHttp http;
    http.Init("http://127.0.0.1/", true);
    http.AddArg("a b", "c d");
    EXPECT_EQ(http.GetArgs(), "a b=c%20d");
}

TEST(SimpleHttpStatus, NoRequestAnswersFailedAndNoContents)
{
    TSimpleHttp http;
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetContents(), nullptr);
    http.Init("http://127.0.0.1/", true);
    http.AddArg("a", "1");
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFailed);
}

TEST(SimpleHttpTransfer, PostSendsExactBodyAndReceivesReply)
{
    TestScoreServer server;
    server.QueueReply(TestReply::Xml("<hiscore><ok/></hiscore>"));
    TSimpleHttp http;
    http.Init(server.Url().c_str(), true);
    http.AddArg("game", "demo game");
    http.AddArg("score", "a+b/c=");
    http.DoRequest(0);
    EXPECT_EQ(http.GetContents(), nullptr);
    ASSERT_EQ(WaitDone(http), TSimpleHttp::kFinished);
    ASSERT_NE(http.GetContents(), nullptr);
    EXPECT_STREQ(http.GetContents(), "<hiscore><ok/></hiscore>");
    // Finished stays finished.
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFinished);

    auto reqs = server.Requests();
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].method, "POST");
    EXPECT_EQ(reqs[0].target, "/go/hiscore");
    EXPECT_EQ(reqs[0].body, "game=demo%20game&score=a%2Bb%2Fc%3D");
    EXPECT_EQ(reqs[0].headers["user-agent"], "zvlib/Mac");
    EXPECT_EQ(reqs[0].headers.count("expect"), 0u);
}

TEST(SimpleHttpTransfer, GetAppendsArgumentsToAddress)
{
    TestScoreServer server;
    server.QueueReply(TestReply::Xml("fine"));
    TSimpleHttp http;
    http.Init(server.Url("/page").c_str(), false);
    http.AddArg("q", "x y");
    http.AddArg("n", 3);
    http.DoRequest(0);
    ASSERT_EQ(WaitDone(http), TSimpleHttp::kFinished);
    EXPECT_STREQ(http.GetContents(), "fine");
    auto reqs = server.Requests();
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].method, "GET");
    EXPECT_EQ(reqs[0].target, "/page?q=x%20y&n=3");
    EXPECT_EQ(reqs[0].body, "");
}

TEST(SimpleHttpTransfer, AnEmptyBodyAndAServerErrorPageBothFinishWithTheirStatus)
{
    TestScoreServer server;
    server.QueueReply(TestReply::Xml(""));
    server.QueueReply(TestReply::Error500("<html>boom</html>"));
    TSimpleHttp http;
    http.Init(server.Url().c_str(), true);
    http.DoRequest(0);
    ASSERT_EQ(WaitDone(http), TSimpleHttp::kFinished);
    EXPECT_STREQ(http.GetContents(), "");
    EXPECT_EQ(http.GetResponseCode(), 200);

    http.Init(server.Url().c_str(), true);
    EXPECT_EQ(http.GetResponseCode(), 0);
    http.DoRequest(0);
    ASSERT_EQ(WaitDone(http), TSimpleHttp::kFinished);
    EXPECT_STREQ(http.GetContents(), "<html>boom</html>");
    EXPECT_EQ(http.GetResponseCode(), 500);
}

TEST(SimpleHttpTransfer, LargeBodyArrivesWhole)
{
    std::string big;
    for (int i = 0; i < 50000; ++i)
        big += std::to_string(i % 10);
    TestScoreServer server;
    server.QueueReply(TestReply::Xml(big));
    TSimpleHttp http;
    http.Init(server.Url().c_str(), true);
    http.DoRequest(0);
    ASSERT_EQ(WaitDone(http), TSimpleHttp::kFinished);
    EXPECT_EQ(std::string(http.GetContents()), big);
}

TEST(SimpleHttpFailure, DroppedConnectionFails)
{
    TestScoreServer server;
    server.QueueReply(TestReply::Dropped());
    TSimpleHttp http;
    http.Init(server.Url().c_str(), true);
    http.DoRequest(0);
    EXPECT_EQ(WaitDone(http), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetContents(), nullptr);
}

TEST(SimpleHttpFailure, RefusedConnectionFails)
{
    TSimpleHttp http;
    std::string url = "http://127.0.0.1:" + std::to_string(TestScoreServer::ClosedPort()) + "/go/hiscore";
    http.Init(url.c_str(), true);
    http.DoRequest(0);
    EXPECT_EQ(WaitDone(http), TSimpleHttp::kFailed);
}

TEST(SimpleHttpFailure, NonWebAddressIsRefused)
{
    TSimpleHttp http;
    http.Init("file:///etc/hostname", false);
    http.DoRequest(0);
    EXPECT_EQ(WaitDone(http), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetContents(), nullptr);
}

TEST(SimpleHttpFailure, SlowReplyTimesOutWithoutBlockingPolls)
{
    TestScoreServer server;
    server.QueueReply(TestReply::Delayed(3000, "<late/>"));
    TSimpleHttp http;
    http.SetTimeout(300);
    http.Init(server.Url().c_str(), true);
    http.DoRequest(0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kRunning);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(WaitDone(http), TSimpleHttp::kFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST(SimpleHttpFailure, InitAbandonsRunningRequest)
{
    TestScoreServer server;
    server.QueueReply(TestReply::Delayed(400, "<first/>"));
    server.QueueReply(TestReply::Xml("<second/>"));
    TSimpleHttp http;
    http.Init(server.Url().c_str(), true);
    http.AddArg("n", 1);
    http.DoRequest(0);
    ASSERT_TRUE(PollUntil([&] {
        http.GetStatus();
        return server.RequestCount() == 1;
    }));
    http.Init(server.Url().c_str(), true);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetContents(), nullptr);
    http.AddArg("n", 2);
    http.DoRequest(0);
    ASSERT_EQ(WaitDone(http), TSimpleHttp::kFinished);
    EXPECT_STREQ(http.GetContents(), "<second/>");
}

TEST(SimpleHttpOutputFile, BodyGoesToFileAndUnopenableFileAnswers3)
{
    char dir[] = "/tmp/tv_http_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path = std::string(dir) + "/body.xml";

    TestScoreServer server;
    server.QueueReply(TestReply::Xml("<saved/>"));
    TSimpleHttp http;
    http.Init(server.Url().c_str(), true, path.c_str());
    http.DoRequest(0);
    ASSERT_EQ(WaitDone(http), TSimpleHttp::kFinished);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "<saved/>");

    std::string bad = std::string(dir) + "/missing/body.xml";
    http.Init(server.Url().c_str(), true, bad.c_str());
    http.DoRequest(0);
    EXPECT_EQ(http.GetStatus(), TSimpleHttp::kOutputFileFailed);
    EXPECT_EQ(http.GetContents(), nullptr);
    EXPECT_EQ(server.RequestCount(), 1u);

    std::remove(path.c_str());
    rmdir(dir);
}
