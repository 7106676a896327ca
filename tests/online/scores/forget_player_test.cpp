// A deleted player: their awards and their remembered log-in go, their scores stay in the
// table, and nobody else's awards or log-in are touched, also after a reload.

#include "online/scores/zv_hiscores.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "score_test_env.h"

namespace {

class ForgetPlayer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        env.WriteScoreFileXml("<?xml version=\"1.0\"?>\n"
                              "<user player=\"ann\" name=\"annie\" pass=\"pw\"></user>\n"
                              "<user player=\"bo\" name=\"bobby\" pass=\"pw\"></user>\n"
                              "<score name=\"story_mode\">"
                              "<row rank=\"1\" score=\"30\" name=\"ann\"></row>"
                              "<row rank=\"2\" score=\"20\" name=\"bo\"></row>"
                              "<row rank=\"3\" score=\"10\" name=\"ann\"></row>"
                              "</score>\n"
                              "<medals user=\"profile-a\"><medal medalname=\"gate\" type=\"game\"/></medals>\n"
                              "<medals user=\"ann\"><medal medalname=\"old\" type=\"game\"/></medals>\n"
                              "<medals user=\"bo\"><medal medalname=\"gate\" type=\"game\"/></medals>\n");
    }
    // "rows|medals under each owner|who has a log-in", as the tables answer.
    static std::string Left(TZvHiscores& h)
    {
        std::string out;
        h.SetProperty(TZvHiscores::kPropGameMode, "story_mode");
        for (int i = 0; i < h.GetScoreCount(true); ++i) {
            char name[16] = "";
            int score = 0;
            h.GetScore(true, i, nullptr, name, sizeof name, nullptr, &score, nullptr, 0);
            out += std::string(name) + std::to_string(score) + ",";
        }
        out += "|";
        for (const char* owner : {"profile-a", "ann", "bo"}) {
            h.SetProperty(TZvHiscores::kPropMedalOwner, owner);
            out += std::to_string(h.GetNumMedalsEarned());
        }
        out += "|";
        for (const char* player : {"ann", "bo"}) {
            h.SetProperty(TZvHiscores::kPropUserName, player);
            out += h.GetRememberedUserInfo(nullptr, nullptr) ? player : "-";
        }
        return out;
    }

    ScoreTestEnv env;
};

TEST_F(ForgetPlayer, AwardsAndLogInGoScoresStay)
{
    const struct
    {
        const char* name;
        const char* key;  // empty: the awards are kept under the name
        const char* left;
    } cases[] = {
        {"ann", "profile-a", "ann30,bo20,ann10,|011|-bo"},
        {"bo", "", "ann30,bo20,ann10,|010|--"},
    };
    auto h = std::make_unique<TZvHiscores>(true);
    ASSERT_EQ(Left(*h), "ann30,bo20,ann10,|111|annbo");
    for (const auto& c : cases) {
        h->ForgetPlayer(c.name, c.key);
        EXPECT_EQ(Left(*h), c.left) << c.name;
        h = std::make_unique<TZvHiscores>(true);
        EXPECT_EQ(Left(*h), c.left) << c.name << " after a reload";
    }
}

}  // namespace
