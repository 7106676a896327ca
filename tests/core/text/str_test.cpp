#include "core/text/str.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/cpu_clock.h"

namespace {

TEST(Str, NullAndEmptyBehaveAlike)
{
    str null;
    str empty("");
    str fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(null.length(), 0u);
    EXPECT_EQ(empty.length(), 0u);
    EXPECT_STREQ(null.c_str(), "");
    EXPECT_STREQ(fromNull.c_str(), "");
    EXPECT_EQ(fromNull.capacity(), 16u);
    EXPECT_EQ(null.capacity(), 0u);
    EXPECT_TRUE(null == empty);
    EXPECT_FALSE(null < empty);
    EXPECT_FALSE(empty < null);
    EXPECT_EQ(null[0], 0);
    EXPECT_EQ(null.to_int(), 0);
}

TEST(Str, CapacityRules)
{
    EXPECT_EQ(str("hello").capacity(), 6u);
    EXPECT_EQ(str("hi", 2).capacity(), 16u);
    str counted("abcdef", 3);
    EXPECT_STREQ(counted.c_str(), "abc");
    str withZero("ab\0cd", 5);
    EXPECT_EQ(withZero.length(), 2u);
    str grown("x");
    grown._reserve(40);
    EXPECT_EQ(grown.capacity(), 40u);
    EXPECT_STREQ(grown.c_str(), "x");
}

TEST(Str, CopiesShareUntilChanged)
{
    str a("shared");
    str b(a);
    EXPECT_EQ(a.use_count(), 2);
    EXPECT_EQ(a.c_str(), b.c_str());
    b += "!";
    EXPECT_STREQ(a.c_str(), "shared");
    EXPECT_STREQ(b.c_str(), "shared!");
    EXPECT_EQ(a.use_count(), 1);

    str c(a);
    c.replace("s", "S", str::kAll);
    c.downcase();
    str d(a);
    d.erase(0, 1);
    EXPECT_STREQ(a.c_str(), "shared");
    EXPECT_STREQ(d.c_str(), "hared");
}

TEST(Str, AlwaysUniqueDuplicatesOnCopy)
{
    gbStrAlwaysUnique = true;
    str a("x");
    str b(a);
    str c;
    c = a;
    gbStrAlwaysUnique = false;
    EXPECT_EQ(a.use_count(), 1);
    EXPECT_NE(a.c_str(), b.c_str());
    EXPECT_NE(a.c_str(), c.c_str());
    EXPECT_STREQ(c.c_str(), "x");
}

TEST(Str, SelfAssignmentAndSelfAppend)
{
    str a("ab");
    a = a;
    EXPECT_STREQ(a.c_str(), "ab");
    a += a;
    EXPECT_STREQ(a.c_str(), "abab");
    a.replace(a, "z");
    EXPECT_STREQ(a.c_str(), "z");
}

TEST(Str, CompareIsAStrictOrderForHighBytes)
{
    // A narrowed byte difference would order "\xE9" before "a" here and break the map.
    str high("\xE9");
    str low("a");
    EXPECT_TRUE(low < high);
    EXPECT_FALSE(high < low);
    EXPECT_GT(high.compare(str()), 0);
    EXPECT_LT(str().compare(high), 0);
    EXPECT_GT(str("\xFF").compare(str("\x01")), 0);

    std::map<str, int> m;
    const char* keys[] = {"\xFF", "a", "\x80z", "", "b", "\xC3\xA9", "A"};
    int i = 0;
    for (const char* k : keys)
        m[str(k)] = i++;
    ASSERT_EQ(m.size(), 7u);
    for (const char* k : keys)
        EXPECT_EQ(m.count(str(k)), 1u) << k;
    std::string prev;
    bool first = true;
    for (auto& [k, v] : m) {
        if (!first) {
            EXPECT_LT(prev, std::string(k.c_str()));
        }
        prev = k.c_str();
        first = false;
    }
}

TEST(Str, FindCharacter)
{
    str abc("a.b.c");
    EXPECT_EQ(abc.find('.', str::kFromEnd, 0), 3u);
    EXPECT_EQ(abc.find('.', 0, 0), 1u);
    EXPECT_EQ(abc.find('.', 0, 2), 3u);
    EXPECT_EQ(abc.find('.', str::kFromEnd, 2), 1u);
    EXPECT_EQ(str("abc").find('.', str::kFromEnd, 0), str::npos);
    EXPECT_EQ(str("abc").find('.', 0, 0), str::npos);
    EXPECT_EQ(str("aBc").find('b', str::kIgnoreCase), 1u);
    EXPECT_EQ(str("abc").find('a', 0, 3), str::npos);
    EXPECT_EQ(str().find('a'), str::npos);
}

TEST(Str, FindString)
{
    EXPECT_EQ(str("xxab").find(str("AB"), str::kIgnoreCase), 2u);
    EXPECT_EQ(str("xxab").find(str("AB"), 0), str::npos);
    str abcd("abcd");
    EXPECT_EQ(abcd.find(str(""), 0, 2), 2u);
    EXPECT_EQ(abcd.find(str(), 0, 2), 2u);
    EXPECT_EQ(abcd.find(str("x"), 0, 4), str::npos);
    EXPECT_EQ(abcd.find(str(""), str::kFromEnd, 0), 4u);
    EXPECT_EQ(abcd.find(str("abcde")), str::npos);
    EXPECT_EQ(abcd.find(str("abcde"), str::kFromEnd), str::npos);
    EXPECT_EQ(abcd.find(str("cd"), 0, 3), str::npos);
    EXPECT_EQ(str("abab").find(str("ab"), str::kFromEnd, 0), 2u);
    EXPECT_EQ(str("abab").find(str("ab"), str::kFromEnd, 1), 0u);
    EXPECT_EQ(str("abab").find(str("ab"), str::kFromEnd, 3), str::npos);
    EXPECT_EQ(str("\xC3\xA9t\xC3\xA9").find(str("\xC3\xA9"), 0, 1), 3u);
}

TEST(Str, Replace)
{
    str a("aXa");
    a.replace("a", "bb", str::kAll);
    EXPECT_STREQ(a.c_str(), "bbXbb");
    str b("aXa");
    b.replace("a", "bb", 0);
    EXPECT_STREQ(b.c_str(), "bbXa");
    str c("aaaa");
    c.replace("aa", "a", str::kAll);
    EXPECT_STREQ(c.c_str(), "aa");
    str d("a-A-a");
    d.replace("a", "", str::kAll | str::kIgnoreCase);
    EXPECT_STREQ(d.c_str(), "--");
    str e("aaa");
    e.replace("a", "aa", str::kAll);
    EXPECT_STREQ(e.c_str(), "aaaaaa");
    str f("x.y.z");
    f.replace(".", "/", str::kFromEnd);
    EXPECT_STREQ(f.c_str(), "x.y/z");
    str g("aXa");
    g.replace(g, str("<") + g + ">", str::kAll);
    EXPECT_STREQ(g.c_str(), "<aXa>");

    // Each match costs its own bytes, not the whole text again.
    const std::string slashes(400000, '\\');
    str path(slashes.c_str()), grown(slashes.c_str());
    const double start = ThreadCpuSeconds();
    path.replace("\\", "/", str::kAll);
    grown.replace("\\", "\\\\", str::kAll, 2);
    EXPECT_LT(ThreadCpuSeconds() - start, 1.0 * kCpuBoundScale);
    EXPECT_EQ(std::string(path.c_str()), std::string(400000, '/'));
    EXPECT_EQ(grown.length(), 2u * 400000 - 2);
}

TEST(Str, ReplaceFromEndAllVisitsEachOccurrenceOnce)
{
    str a("a.b.c");
    a.replace(".", "..", str::kAll | str::kFromEnd);
    EXPECT_STREQ(a.c_str(), "a..b..c");
    str b("aaa");
    b.replace("a", "aa", str::kAll | str::kFromEnd);
    EXPECT_STREQ(b.c_str(), "aaaaaa");
}

TEST(Str, ReplaceOfEmptyPatternInsertsOnceAndNeverRepeats)
{
    struct Case {
        const char* text;
        unsigned flags, start;
        const char* want;
    } cases[] = {
        {"abcd", 0, 0, "Xabcd"},
        {"abcd", 0, 2, "abXcd"},
        {"abcd", 0, 4, "abcd"},
        {"abcd", str::kFromEnd, 0, "abcdX"},
        {"abcd", str::kFromEnd, 1, "abcXd"},
        {"abcd", str::kAll, 0, "abcd"},
        {"abcd", str::kAll | str::kFromEnd, 0, "abcd"},
    };
    for (const Case& c : cases) {
        str t(c.text);
        t.replace("", "X", c.flags, c.start);
        EXPECT_STREQ(t.c_str(), c.want) << c.text << " flags " << c.flags << " start " << c.start;
    }
    str n;
    n.replace("", "x", 0);
    EXPECT_EQ(n.length(), 0u);
    n.replace("a", "x", str::kAll);
    EXPECT_EQ(n.length(), 0u);
}

TEST(Str, SubstrAndErase)
{
    str h("hello");
    EXPECT_STREQ(h.substr(2, -1).c_str(), "llo");
    EXPECT_STREQ(h.substr(9, 3).c_str(), "");
    EXPECT_STREQ(h.substr(1, 2).c_str(), "el");
    EXPECT_STREQ(h.substr(3, 100).c_str(), "lo");
    EXPECT_STREQ(h.substr(0, 0).c_str(), "");
    EXPECT_GE(h.substr(9, 3).capacity(), 1u);
    EXPECT_STREQ(str().substr(0).c_str(), "");

    str e("hello");
    e.erase(1, 2);
    EXPECT_STREQ(e.c_str(), "hlo");
    e.erase(1);
    EXPECT_STREQ(e.c_str(), "h");
    e.erase(5, 1);
    EXPECT_STREQ(e.c_str(), "h");
    str f("hello");
    f.erase(3, 2);
    EXPECT_STREQ(f.c_str(), "hel");
    f.erase(1, 50);
    EXPECT_STREQ(f.c_str(), "h");
}

TEST(Str, Concatenation)
{
    str a("ab");
    EXPECT_STREQ((a + 'c').c_str(), "abc");
    EXPECT_EQ((a + 'c').capacity(), 16u);
    EXPECT_STREQ((a + str("cd")).c_str(), "abcd");
    EXPECT_STREQ((str() + str()).c_str(), "");
    str n;
    n += 'x';
    n += '\0';
    EXPECT_STREQ(n.c_str(), "x");
    n += str();
    EXPECT_STREQ(n.c_str(), "x");
    std::string big(100, 'q');
    n += big.c_str();
    EXPECT_EQ(n.length(), 101u);
    EXPECT_EQ(n.capacity(), 102u);
}

TEST(Str, Overlay)
{
    str a("ab");
    EXPECT_EQ(a.overlay(-1, "xyz", 3, true), 5u);
    EXPECT_STREQ(a.c_str(), "abxyz");

    str b("hello");
    EXPECT_EQ(b.overlay(1, "EL", 2, false), 3u);
    EXPECT_STREQ(b.c_str(), "hELlo");
    b.overlay(1, "E", 1, true);
    EXPECT_STREQ(b.c_str(), "hE");

    str n;
    EXPECT_EQ(n.overlay(0, "abc", 3, true), 3u);
    EXPECT_STREQ(n.c_str(), "abc");

    // Appending past capacity doubles it, and an unterminated append stays terminated.
    str c("0123456789abcde");  // capacity 16
    c.overlay(-1, "XY", 2, false);
    EXPECT_EQ(c.capacity(), 32u);
    EXPECT_STREQ(c.c_str(), "0123456789abcdeXY");
}

TEST(Str, DowncaseLeavesHighBytes)
{
    str a("AbC\xC9");
    a.downcase();
    EXPECT_STREQ(a.c_str(), "abc\xC9");
}

TEST(Str, ToInt)
{
    EXPECT_EQ(str("42x").to_int(), 42);
    EXPECT_EQ(str("-7").to_int(), -7);
    EXPECT_EQ(str("abc").to_int(), 0);
    EXPECT_EQ(str("99999999999999").to_int(), 2147483647);
}

TEST(Str, Formatting)
{
    std::string big(5000, 'z');
    str f = str::getFormatted("%s", big.c_str());
    EXPECT_EQ(f.length(), 5000u);
    EXPECT_EQ(std::string(f.c_str()), big);
    str g = str::getFormatted("%s|%d|%s", big.c_str(), 7, "end");
    EXPECT_EQ(std::string(g.c_str()), big + "|7|end");
    EXPECT_STREQ(str::getFormatted("%d-%s", 3, "x").c_str(), "3-x");
    str h("old");
    h.format("%05.1f", 2.25);
    EXPECT_STREQ(h.c_str(), "002.2");
}

TEST(Str, Utf8Encoding)
{
    EXPECT_STREQ(str::from_utf32(0x41).c_str(), "A");
    EXPECT_STREQ(str::from_utf32(0xE9).c_str(), "\xC3\xA9");
    EXPECT_STREQ(str::from_utf32(0x20AC).c_str(), "\xE2\x82\xAC");
    EXPECT_STREQ(str::from_utf32(0x1F600).c_str(), "\xF0\x9F\x98\x80");
    EXPECT_STREQ(str::from_utf32(0xD800).c_str(), "\xED\xA0\x80");
    EXPECT_STREQ(str::from_utf32(0xFEFF).c_str(), "");
    EXPECT_STREQ(str::from_utf32(0xFFFE).c_str(), "");
    EXPECT_STREQ(str::from_utf32(0x110000).c_str(), "");
    EXPECT_STREQ(str::from_utf32(static_cast<unsigned>(-1)).c_str(), "");
}

TEST(Str, Utf8Decoding)
{
    EXPECT_EQ(str::to_utf32("\xC3\xA9"), 0xE9u);
    EXPECT_EQ(str::to_utf32("\xA9"), 0u);
    EXPECT_EQ(str::to_utf32("\xC3"), 0u);
    EXPECT_EQ(str::to_utf32("\xE2\x82"), 0u);
    EXPECT_EQ(str::to_utf32("\xE2\x82\xAC"), 0x20ACu);
    EXPECT_EQ(str::to_utf32("\xF0\x9F\x98\x80"), 0x1F600u);
    EXPECT_EQ(str::to_utf32("A"), 0x41u);
    EXPECT_EQ(str::to_utf32(""), 0u);
    EXPECT_EQ(str::to_utf32(nullptr), 0u);
    for (unsigned cp : {0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFDu, 0x10000u, 0x10FFFFu})
        EXPECT_EQ(str::to_utf32(str::from_utf32(cp).c_str()), cp) << cp;
}

}  // namespace
