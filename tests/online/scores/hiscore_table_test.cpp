#include "online/scores/hiscore_table.h"
#include "online/scores/medals_table.h"
#include "online/scores/text_out.h"

#include <gtest/gtest.h>

namespace {
TZvHiscoreRow Row(int score, const char* name = "p", const char* guid = "")
{
    TZvHiscoreRow r;
    r.score = score;
    r.name = name;
    r.guid = guid;
    return r;
}

std::vector<int> Ranks(const TZvHiscoreTable& t)
{
    std::vector<int> out;
    for (const auto& r : t.rows)
        out.push_back(r.rank);
    return out;
}
}  // namespace

TEST(HiscoreTable, EqualScoresShareRankAndNewRowGoesBelowThem)
{
    TZvHiscoreTable t;
    t.Insert(Row(90, "a"));
    t.Insert(Row(80, "b"));
    t.Insert(Row(90, "c"));
    ASSERT_EQ(t.count, 3);
    EXPECT_EQ(t.rows[0].name, str("a"));
    EXPECT_EQ(t.rows[1].name, str("c"));
    EXPECT_EQ(t.rows[2].name, str("b"));
    EXPECT_EQ(Ranks(t), (std::vector<int>{1, 1, 3}));
    t.Insert(Row(100, "d"));
    EXPECT_EQ(Ranks(t), (std::vector<int>{1, 2, 2, 4}));
}

TEST(HiscoreTable, FullTableDropsLastRowAndRefusesLowerScore)
{
    TZvHiscoreTable t;
    for (int i = 0; i < TZvHiscoreTable::kMaxRows; ++i)
        ASSERT_TRUE(t.Insert(Row(1000 - i)));
    ASSERT_EQ(t.count, 500);
    EXPECT_FALSE(t.Insert(Row(1)));
    EXPECT_FALSE(t.Insert(Row(501)));  // equal to the last row: goes below it, past the end
    EXPECT_EQ(t.count, 500);
    EXPECT_EQ(t.rows.back().score, 501);

    EXPECT_TRUE(t.Insert(Row(2000, "top")));
    EXPECT_EQ(t.count, 500);
    EXPECT_EQ(t.rows.front().name, str("top"));
    EXPECT_EQ(t.rows.back().score, 502);
    EXPECT_EQ(t.rows.back().rank, 500);
}

TEST(HiscoreTable, FindsFirstAndFirstUnsubmittedRowOfPlayer)
{
    TZvHiscoreTable t;
    t.Insert(Row(50, "x"));
    t.Insert(Row(40, "y"));
    t.Insert(Row(30, "x"));
    t.rows[0].submitted = true;
    EXPECT_EQ(t.FindByName("x"), 0);
    EXPECT_EQ(t.FindUnsubmitted("x"), 2);
    EXPECT_EQ(t.FindUnsubmitted("z"), -1);
    t.Remove(0);
    t.Remove(7);
    EXPECT_EQ(t.count, 2);
    EXPECT_EQ(t.FindByName("x"), 1);
}

TEST(MedalsTable, HoldsWholeGameOnceAndPerModeOncePerMode)
{
    TZvMedalsTable m;
    m.Append({"gold", "game", "easy", "", false});
    m.Append({"silver", "type", "easy", "", false});
    EXPECT_TRUE(m.Holds("gold", true, "hard"));
    EXPECT_FALSE(m.Holds("gold", false, "easy"));
    EXPECT_TRUE(m.Holds("silver", false, "easy"));
    EXPECT_FALSE(m.Holds("silver", false, "hard"));
    EXPECT_FALSE(m.Holds("silver", true, "easy"));
}

TEST(MedalsTable, ServerStringWithAndWithoutModeAndEscaping)
{
    TZvMedalsTable m;
    m.Append({"gold", "game", "easy", "d", true});
    m.Append({"a\"b<c", "type", "hard&x", "", false});
    EXPECT_EQ(
        m.GenerateServerString(true),
        str("<medal name=\"gold\" per=\"game\"/><medal name=\"a&quot;b&lt;c\" per=\"type\" type=\"hard&amp;x\"/>"));
    EXPECT_EQ(m.GenerateServerString(false),
              str("<medal name=\"gold\" per=\"game\"/><medal name=\"a&quot;b&lt;c\" per=\"type\"/>"));
    EXPECT_EQ(TZvMedalsTable().GenerateServerString(true), str(""));
}

TEST(MedalsTable, MarkAsSubmittedAllOrFirstEntries)
{
    TZvMedalsTable m;
    for (const char* n : {"a", "b", "c"})
        m.Append({n, "game", "", "", false});
    m.MarkAsSubmitted(2);
    EXPECT_EQ(m.CountUnsubmitted(), 1);
    EXPECT_FALSE(m.At(2)->submitted);
    m.MarkAsSubmitted();
    EXPECT_EQ(m.CountUnsubmitted(), 0);
    EXPECT_EQ(m.At(3), nullptr);
    EXPECT_EQ(m.At(-1), nullptr);
}

TEST(TextOut, CopyCutsAndTerminates)
{
    char buf[4] = {'x', 'x', 'x', 'x'};
    CopyText(buf, 4, "abcdef");
    EXPECT_STREQ(buf, "abc");
    CopyText(buf, 1, "abcdef");
    EXPECT_STREQ(buf, "");
    buf[0] = 'q';
    CopyText(buf, 0, "abcdef");
    EXPECT_EQ(buf[0], 'q');
    CopyText(nullptr, 5, "x");
}
