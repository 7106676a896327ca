#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/log_capture.h"
#include "core/script/df_lua.h"
#include "game/script/df_log.h"
#include "game/script/df_log_lua.h"
#include "game/script/df_printf.h"

namespace {

// The C-style form, as LOGITv receives its arguments.
std::string VaFormat(uint32_t size, const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    const uint32_t n = df_vsnprintf(buffer, size, format, args);
    va_end(args);
    EXPECT_EQ(n, std::string(buffer).size());
    return buffer;
}

template <class... A>
std::string Counted(const char* format, const A&... args)
{
    char buffer[256];
    const uint32_t n = df_snprintf(buffer, sizeof buffer, format, args...);
    EXPECT_EQ(n, std::string(buffer).size());
    return buffer;
}

std::string C(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

}  // namespace

// Where the game's formatter and the C library's must agree.
TEST(DfPrintf, AgreesWithTheCLibrary)
{
    struct Case
    {
        std::string ours, theirs;
    };
    const Case cases[] = {
        {VaFormat(256, "%d", 42), C("%d", 42)},
        {VaFormat(256, "%5d", -42), C("%6d", -42)},  // the sign widens the field by one
        {VaFormat(256, "%05d", -42), C("%05d", -42)},
        {VaFormat(256, "%d", -2147483647 - 1), C("%d", -2147483647 - 1)},
        {VaFormat(256, "%ld", 10000000000L), C("%ld", 10000000000L)},
        {VaFormat(256, "%ld", -9223372036854775807L - 1), C("%ld", -9223372036854775807L - 1)},
        {VaFormat(256, "%.2f", 0.05), C("%.2f", 0.05)},
        {VaFormat(256, "%4.2f", 3.14159), C("%4.2f", 3.14159)},
        {VaFormat(256, "%.0f", 3.7), C("%.0f", 3.7)},
        {VaFormat(256, "%.2f", -1.234), C("%.2f", -1.234)},
        {VaFormat(256, "%8.3f", -2.5), C("%9.3f", -2.5)},
        {VaFormat(256, "%x", 255), C("%X", 255)},
        {VaFormat(256, "%8x", 0x1234), C("%8X", 0x1234)},
        {VaFormat(256, "%08x", 255), C("%08X", 255)},
        {VaFormat(256, "%lx", 0x123456789ABCDEFUL), C("%lX", 0x123456789ABCDEFUL)},
        {VaFormat(256, "%s and %c", "text", 'z'), C("%s and %c", "text", 'z')},
        {VaFormat(256, "100%%"), C("100%%")},
        {VaFormat(256, "%2$d %d", 7, 9, 11), "9 11"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ours, c.theirs);
}

// Where the game's rules are its own.
TEST(DfPrintf, OwnRules)
{
    int local = 0;
    struct Case
    {
        std::string ours, expected;
    };
    const Case cases[] = {
        {VaFormat(256, "%f", 1.5), "1.50000"},  // default precision 5
        {VaFormat(256, "%f", 0.0), "0.00000"},
        {VaFormat(256, "%.1f", 1.25), "1.3"},
        {VaFormat(256, "%5s|", "ab"), "ab|"},  // no width for texts
        {VaFormat(256, "%s", static_cast<const char*>(nullptr)), "<null>"},
        {VaFormat(256, "a%ub", 5), "ab"},  // unknown conversions write nothing
        {VaFormat(256, "a%ib", 5), "ab"},
        {VaFormat(256, "%-5s", "x"), "5s"},
        {VaFormat(256, "50%"), "50%"},
        {VaFormat(256, "%p", &local), C("%lX", reinterpret_cast<unsigned long>(&local))},  // the full pointer
        {VaFormat(256, "%.12f", 0.5), "0.500000000"},                                      // at most 9 places
        {VaFormat(256, "%.2f|%3.0f", std::nan(""), -std::nan("")), "0.00|  0"},            // NaN prints 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ours, c.expected);
}

TEST(DfPrintf, CutAtTheBufferEnd)
{
    char buffer[8];
    EXPECT_EQ(df_snprintf(buffer, 1, "abc"), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(df_snprintf(buffer, 4, "abcdef"), 3u);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(df_snprintf(buffer, 4, "%d", 123456), 3u);
    EXPECT_STREQ(buffer, "123");
    EXPECT_EQ(df_snprintf(buffer, 4, "%5d", -7), 3u);
    EXPECT_STREQ(buffer, "   ");
    EXPECT_EQ(df_snprintf(buffer, 4, "%s", "longer"), 3u);
    EXPECT_STREQ(buffer, "lon");
    buffer[0] = 'x';
    EXPECT_EQ(df_snprintf(buffer, 0, "abc"), 0u);  // no room even for the zero byte
    EXPECT_EQ(buffer[0], 'x');
}

// The counted form never reads past its arguments, and converts what it is given.
TEST(DfPrintf, CountedArgumentsStopAtTheirEnd)
{
    EXPECT_EQ(Counted("%d %s %f %x"), "0 <null> 0.00000 0");
    EXPECT_EQ(Counted("%3$d|%d", 1, 2), "0|0");
    EXPECT_EQ(Counted("%2$d %d", 7, 9, 11), "9 11");
    EXPECT_EQ(Counted("%d %d", 2.9, -1), "2 -1");
    EXPECT_EQ(Counted("%.1f", 3), "3.0");
    EXPECT_EQ(Counted("%s", 5), "<null>");
    EXPECT_EQ(Counted("%d", 4294967297LL), "1");  // 32 bits without "l"
    EXPECT_EQ(Counted("%ld", 4294967297LL), "4294967297");
    EXPECT_EQ(Counted("%d %.1f", std::nan(""), std::nan("")), "0 0.0");  // NaN prints 0
}

TEST(DfPrintf, BadConversionIsAssertedInTheLog)
{
    TLogCapture log;
    EXPECT_EQ(Counted("x%uy"), "xy");
    EXPECT_NE(log.Text().find("ASSERT: \"Bad Printf Format Value\"\n"), std::string::npos);
}

TEST(DfLog, OneLinePerMessage)
{
    struct Case
    {
        std::string message, line;
    };
    const Case cases[] = {
        {"Failed to open (a.dverts)\n", "Failed to open (a.dverts)\n"},
        {"no break", "no break\n"},
        {"a\nb", "ab\n"},
        {"a\nb\n", "a\nb\n"},
    };
    for (const Case& c : cases) {
        TLogCapture log;
        df_puts(c.message.c_str());
        EXPECT_EQ(log.Text(), c.line);
    }
    TLogCapture log;
    LOGIT("Failed to open (%s)\n", "a.dverts");
    EXPECT_EQ(log.Text(), "Failed to open (a.dverts)\n");
}

// A script's text is written as it is, never read as a format.
TEST(DfLog, ScriptsLogTheirTextVerbatim)
{
    const std::pair<const char*, std::string> cases[] = {
        {"LOGIT('Menu shown: ' .. 'layouts/mainmenu.lua')", "Menu shown: layouts/mainmenu.lua\n"},
        {"LOGIT('100%s %d %n')", "100%s %d %n\n"},
        {"LOGIT(12)", "12\n"},
    };
    dfLua lua;
    lua.open();
    BindLogToLua(lua);
    for (const auto& [code, line] : cases) {
        TLogCapture log;
        ASSERT_EQ(luaL_loadbuffer(lua.GetState(), code, std::strlen(code), "t") || lua_pcall(lua.GetState(), 0, 0, 0),
                  0);
        EXPECT_EQ(log.Text(), line) << code;
    }
}

TEST(DfLog, LongMessagesAreCut)
{
    const std::string longText(3000, 'q');
    TLogCapture log;
    LOGIT("%s", longText.c_str());
    EXPECT_EQ(log.Text(), std::string(kLogBufferSize - 1, 'q') + "\n");
}

TEST(DfLog, StringMatchIsExact)
{
    EXPECT_TRUE(StringMatch("door", "door"));
    EXPECT_FALSE(StringMatch("Door", "door"));
    EXPECT_FALSE(StringMatch("door", "doors"));
    EXPECT_FALSE(StringMatch("door", nullptr));
    EXPECT_TRUE(StringMatch(nullptr, nullptr));
}
