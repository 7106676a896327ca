// The texts and files the movie host hands to the web view: addresses, the page, the blank
// page, the strings file and the loader movie.

#include "core/strings/string_table.h"
#include "online/web/loader_movie.h"
#include "online/web/movie_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string S(const str& s)
{
    return s.c_str();
}

TEST(MovieAddress, SpacesAndPlusSignsAreEncoded)
{
    EXPECT_EQ(S(AsFileURL("/opt/game/assets/movies/intro.swf")), "file:///opt/game/assets/movies/intro.swf");
    EXPECT_EQ(S(AsFileURL("/a b/c+d.swf")), "file:///a%20b/c%2Bd.swf");
}

TEST(MovieAddress, MarkupAndVariableSeparatorsCannotEscape)
{
    const std::string url = S(AsFileURL("/x/\"><script>alert(1)</script>&endurl=http://evil/'%?#.swf"));
    EXPECT_EQ(url.find_first_of("\"'<>&=?# "), std::string::npos) << url;
    EXPECT_NE(url.find("%22%3E%3Cscript%3E"), std::string::npos) << url;
    EXPECT_NE(url.find("%26endurl%3Dhttp://evil/%27%25%3F%23.swf"), std::string::npos) << url;
    // Bytes of other scripts pass unchanged.
    EXPECT_EQ(S(AsFileURL("/f\xc3\xa9te.swf")), "file:///f\xc3\xa9te.swf");
}

TEST(MoviePage, TemplateFilledInOrder)
{
    TMoviePageParts parts;
    parts.loaderUrl = "file:///tmp/a.swf";
    parts.width = 1024;
    parts.height = 768;
    parts.loop = true;
    parts.stringsUrl = "file:///tmp/b.txt";
    parts.movieUrl = "file:///game/assets/m.swf";
    parts.blankUrl = "file:///tmp/c.html";
    EXPECT_EQ(S(BuildMoviePage(parts)),
              "<html><body style=\"margin: 0px\" bgcolor='#000000'>"
              "<object name=\"flash\" data=\"file:///tmp/a.swf\" border=\"0\" width=\"1024\" height=\"768\" "
              "loop=\"true\" >"
              "<PARAM NAME=\"flashvars\" VALUE=\"strings=file:///tmp/b.txt&swf=file:///game/assets/m.swf"
              "&endurl=file:///tmp/c.html\">"
              "</object></body></html>");
    parts.loop = false;
    // A "$" in an address is not taken for a placeholder.
    parts.movieUrl = "file:///$width/m.swf";
    const std::string page = S(BuildMoviePage(parts));
    EXPECT_NE(page.find("loop=\"false\""), std::string::npos);
    EXPECT_NE(page.find("swf=file:///$width/m.swf"), std::string::npos);
}

TEST(MoviePage, BlankPageIs65Bytes)
{
    EXPECT_EQ(strlen(kBlankMoviePage), 65u);
    EXPECT_EQ(std::string(kBlankMoviePage), "<html><body style=\"margin: 0px\" bgcolor='#000000'></body></html>\n");
}

std::string Sheet(const std::vector<std::pair<std::string, std::string>>& rows)
{
    std::string s = "<Workbook><Worksheet><Table>";
    for (auto& [label, text] : rows)
        s += "<Row><Cell><Data>" + label + "</Data></Cell><Cell><Data>" + text + "</Data></Cell></Row>";
    return s + "</Table></Worksheet></Workbook>";
}

TEST(MovieStrings, LabelNames)
{
    EXPECT_EQ(S(MovieStringName("flash01_02")), "flash01_02");
    EXPECT_EQ(S(MovieStringName("FLASH_title")), "title");
    EXPECT_EQ(S(MovieStringName("FLASH_")), "");
    EXPECT_EQ(S(MovieStringName("abc")), "");
}

TEST(MovieStrings, RecordsWithMarkersOnly)
{
    TStringTable table;
    table.SetQuiet(true);
    const std::string sheet =
        Sheet({{"FLASH_title", "The Lighthouse"}, {"FLASH_", "bare"}, {"FLASH_body", "Line two"}, {"other", "o"}});
    ASSERT_TRUE(table.MergeStringData(sheet.data(), sheet.size()));
    EXPECT_EQ(S(BuildMovieStrings(table)), "@@~~@@~~bare@@~~@@~~"
                                           "body@@~~@@~~Line two@@~~@@~~"
                                           "title@@~~@@~~The Lighthouse@@~~@@~~");

    TStringTable numbered;
    numbered.SetQuiet(true);
    const std::string second = Sheet({{"flash01_02", "x & y"}, {"other", "o"}});
    ASSERT_TRUE(numbered.MergeStringData(second.data(), second.size()));
    EXPECT_EQ(S(BuildMovieStrings(numbered)), "flash01_02@@~~@@~~x & y@@~~@@~~");

    TStringTable empty;
    EXPECT_EQ(S(BuildMovieStrings(empty)), "");
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

TEST(LoaderMovie, HeaderAndTagStream)
{
    const std::vector<uint8_t>& movie = LoaderMovie();
    ASSERT_EQ(movie.size(), kLoaderMovieSize);
    EXPECT_EQ(std::string(movie.begin(), movie.begin() + 3), "FWS");
    EXPECT_EQ(movie[3], 6);
    EXPECT_EQ(Le32(movie, 4), 1498u);
    // A frame rectangle of 15-bit fields ends at byte 16, then the rate and the frame count.
    EXPECT_EQ(movie[8] >> 3, 15);
    EXPECT_EQ(movie[17], 0);
    EXPECT_EQ(movie[kLoaderFrameRateOffset], 30);
    EXPECT_EQ(movie[19] | movie[20] << 8, 3);

    // The tags fill the file exactly, end with an end tag and show three frames.
    size_t at = 21;
    int frames = 0, actions = 0;
    bool ended = false;
    while (at + 2 <= movie.size() && !ended) {
        const unsigned header = movie[at] | movie[at + 1] << 8;
        const unsigned code = header >> 6;
        size_t length = header & 0x3f;
        at += 2;
        if (length == 0x3f) {
            length = Le32(movie, at);
            at += 4;
        }
        frames += code == 1;
        if (code == 12) {
            ++actions;
            EXPECT_EQ(movie[at + length - 1], 0) << "action list without its end";
        }
        ended = code == 0;
        at += length;
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(at, movie.size());
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(actions, 2);
    const std::string text(movie.begin(), movie.end());
    EXPECT_NE(text.find("endurl"), std::string::npos);
    EXPECT_NE(text.find("_level1"), std::string::npos);
}

TEST(LoaderMovie, IntrosAndOutrosRunSlower)
{
    EXPECT_EQ(LoaderFrameRateFor("movies/intro.swf"), 12);
    EXPECT_EQ(LoaderFrameRateFor("movies/outro.swf"), 12);
    EXPECT_EQ(LoaderFrameRateFor("movies/scene3.swf"), 30);
    EXPECT_EQ(LoaderFrameRateFor("movies/intro.png"), 30);
}

}  // namespace
