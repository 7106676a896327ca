#include "game/world/quest/questset.h"

#include "common/log_capture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string S(const str& s)
{
    return s.c_str();
}

// Adds one quest per letter of order, in that order.
void AddAbc(tQuestset& q, const char* order = "bac")
{
    for (const char* k = order; *k; ++k) {
        tQuestEntry e;
        e.key = str(k, 1);
        q.Add(e.key, e);
    }
}

TEST(Questset, CheckFollowsTheQuest)
{
    tQuestset q;
    EXPECT_EQ(q.Check("a"), 0);
    q.Add("a", tQuestEntry());
    EXPECT_EQ(q.Check("a"), 1);
    q.Complete("a");
    EXPECT_EQ(q.Check("a"), 2);
    TLogCapture log;
    q.Complete("zz");
    EXPECT_NE(log.Text().find("tQuestset::CompleteQuest(zz) failed"), std::string::npos);
    EXPECT_EQ(q.GetEntryCount(), 1);
}

TEST(Questset, SelectionMoves)
{
    struct Case
    {
        const char* what;
        const char* selectFirst;  // Abandon/Move steps: "+" Move(1), "-" Move(-1), "0" Move(0), "x" abandon selected
        const char* steps;
        const char* selected;
    };
    const Case cases[] = {
        {"last added is selected", "", "", "c"},
        {"move right goes to the end", "-", "+", "c"},
        {"move left goes to the start", "", "-", "a"},
        {"move 0 stays", "", "0", "c"},
        {"abandoning the first selects the next end", "-", "x", "c"},
        {"abandoning the last selects the first", "", "x", "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tQuestset q;
        AddAbc(q);
        for (const char* s = c.selectFirst; *s; ++s)
            q.Move(*s == '+' ? 1 : -1);
        for (const char* s = c.steps; *s; ++s) {
            if (*s == 'x')
                q.Abandon(q.GetSelected());
            else
                q.Move(*s == '+' ? 1 : *s == '-' ? -1 : 0);
        }
        EXPECT_EQ(S(q.GetSelected()), c.selected);
    }
}

TEST(Questset, AbandoningTheMiddleSelectsTheFirstThenRemoves)
{
    tQuestset q;
    AddAbc(q);
    q.Add("b", tQuestEntry());
    ASSERT_TRUE(q.CanMoveLeft());
    q.Abandon("b");
    EXPECT_EQ(S(q.GetSelected()), "a");
    EXPECT_EQ(q.Check("b"), 0);
    EXPECT_EQ(q.GetEntryCount(), 2);
    q.Abandon("none");
    EXPECT_EQ(q.GetEntryCount(), 2);
}

TEST(Questset, EntriesByIndexAndEmptySet)
{
    tQuestset q;
    q.Move(1);
    EXPECT_TRUE(q.GetSelected().empty());
    EXPECT_FALSE(q.CanMoveLeft());
    AddAbc(q);
    EXPECT_EQ(S(q.GetEntry(0)->key), "a");
    EXPECT_EQ(S(q.GetEntry(2)->key), "c");
    EXPECT_EQ(q.GetEntry(3), nullptr);
    EXPECT_EQ(q.GetEntry(-1), nullptr);
    q.clear();
    EXPECT_EQ(q.GetEntryCount(), 0);
    EXPECT_TRUE(q.GetSelected().empty());
}

}  // namespace
