// The movie host against a test web view: not starting, the files it writes, the page it
// loads, the polling rule, draw suspension and what destruction leaves behind.

#include "core/files/file.h"
#include "core/strings/string_table.h"
#include "online/web/flash_host.h"
#include "online/web/flash_host_data.h"
#include "online/web/loader_movie.h"
#include "online/web/movie_page.h"
#include "online/web/web_view.h"
#include "web_test_support.h"

namespace {

class FlashHostTest : public MovieHostTest
{
protected:
    TFlashHostEnvironment Env()
    {
        TFlashHostEnvironment env;
        env.view = view;
        env.strings = &strings;
        env.displayWidth = 1024;
        env.displayHeight = 768;
        env.assetsFolder = "/games/lighthouse/assets/";
        env.tempFolder = tempFolder.c_str();
        return env;
    }
    void SetUp() override
    {
        MovieHostTest::SetUp();
        strings.SetQuiet(true);
        const std::string sheet = "<Table><Row><Cell><Data>FLASH_skip</Data></Cell><Cell><Data>Skip &lt;Esc&gt;"
                                  "</Data></Cell></Row></Table>";
        ASSERT_TRUE(strings.MergeStringData(sheet.data(), sheet.size()));
    }
    TStringTable strings;
};

TEST_F(FlashHostTest, MissingMovieNeverStarts)
{
    {
        TFlashHost host("movies/absent.swf", Env());
        EXPECT_FALSE(host.IsStarted());
        EXPECT_FALSE(host.Start(false, true, false));
        EXPECT_FALSE(host.IsPlaying());
        host.Stop();
        EXPECT_TRUE(DrawsAFrame());
    }
    EXPECT_EQ(view->opens, 0);
    EXPECT_EQ(view->shows + view->hides, 0);
    EXPECT_TRUE(view->pages.empty());
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_TRUE(Display().fills.empty());
}

TEST_F(FlashHostTest, WithoutAWebViewCallersSkipTheMovie)
{
    view->available = false;
    {
        TFlashHost host(kMovie, Env());
        EXPECT_FALSE(host.IsStarted());
        EXPECT_FALSE(host.Start(true, true, true));
        EXPECT_FALSE(host.IsPlaying());
        EXPECT_TRUE(DrawsAFrame());
    }
    EXPECT_EQ(view->opens, 1);
    EXPECT_EQ(view->shows, 0);
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_TRUE(Display().fills.empty());

    // The program's own web view is of that kind.
    TFlashHost host(kMovie);
    EXPECT_FALSE(host.IsStarted());
    EXPECT_FALSE(host.Start(false, false, false));
    EXPECT_FALSE(host.IsPlaying());
    EXPECT_FALSE(GetProgramWebView()->Open());
}

TEST_F(FlashHostTest, PlaysUntilTheLoaderReachesTheEndPage)
{
    {
        TFlashHost host(kMovie, Env());
        ASSERT_TRUE(host.IsStarted());
        EXPECT_EQ(view->shows, 1);
        EXPECT_EQ(std::string(host.GetData().movieUrl.c_str()),
                  "file:///games/lighthouse/assets/movies/scene%20one%2Btwo.swf");

        ASSERT_TRUE(host.Start(true, true, false));
        const TFlashHostData& data = host.GetData();
        ASSERT_EQ(view->pages.size(), 1u);
        const std::string page = view->pages[0];
        EXPECT_NE(page.find("width=\"1024\" height=\"768\" loop=\"true\""), std::string::npos);
        EXPECT_EQ(PathFromFileUrl(PageVariable(page, "strings")), data.stringsPath.c_str());
        EXPECT_EQ(PageVariable(page, "swf"), data.movieUrl.c_str());
        EXPECT_EQ(PathFromFileUrl(PageVariable(page, "endurl")), data.htmlPath.c_str());
        EXPECT_NE(page.find(std::string("data=\"file://") + data.swfPath.c_str() + "\""), std::string::npos);
        EXPECT_EQ(view->scripts, std::vector<std::string>{"location.href"});

        // The three files, made in the temporary folder.
        EXPECT_EQ(TempFiles().size(), 3u);
        const std::string loader = ReadWholeFile(data.swfPath.c_str());
        ASSERT_EQ(loader.size(), kLoaderMovieSize);
        EXPECT_EQ(loader[kLoaderFrameRateOffset], 30);
        EXPECT_EQ(ReadWholeFile(data.stringsPath.c_str()), "skip@@~~@@~~Skip <Esc>@@~~@@~~");
        EXPECT_EQ(ReadWholeFile(data.htmlPath.c_str()), kBlankMoviePage);

        // While the page from text shows, the movie plays and nothing is drawn.
        EXPECT_FALSE(DrawsAFrame());
        EXPECT_TRUE(host.IsPlaying());
        EXPECT_TRUE(host.IsPlaying());
        view->FinishMovie();
        EXPECT_FALSE(host.IsPlaying());

        host.Stop();
        EXPECT_TRUE(DrawsAFrame());
        EXPECT_TRUE(Display().fills.empty());
        EXPECT_EQ(view->hides, 0);
    }
    // Destruction: the view goes, both buffers are black, the blank page is loaded last and
    // the files are gone.
    EXPECT_EQ(view->hides, 1);
    ASSERT_EQ(Display().fills.size(), 2u);
    for (const TFill& fill : Display().fills) {
        EXPECT_EQ(fill.rect, TRect(0, 0, 800, 600));
        EXPECT_EQ(fill.color.red + fill.color.green + fill.color.blue, 0.0f);
        EXPECT_EQ(fill.color.alpha, 1.0f);
    }
    EXPECT_EQ(view->pages.back(), kBlankMoviePage);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(FlashHostTest, DestructionWithoutStopLetsTheManagerDraw)
{
    {
        TFlashHost host(kMovie, Env());
        ASSERT_TRUE(host.Start(false, false, false));
        EXPECT_FALSE(DrawsAFrame());
    }
    EXPECT_TRUE(DrawsAFrame());
}

TEST_F(FlashHostTest, IntroLoaderAndUntranslatedStrings)
{
    const char intro[] = "intro";
    TFile::AddMemoryFile("movies/intro.swf", intro, sizeof intro);
    {
        TFlashHost host("movies/intro.swf", Env());
        ASSERT_TRUE(host.Start(false, false, false));
        const std::string loader = ReadWholeFile(host.GetData().swfPath.c_str());
        ASSERT_EQ(loader.size(), kLoaderMovieSize);
        EXPECT_EQ(loader[kLoaderFrameRateOffset], 12);
        EXPECT_EQ(ReadWholeFile(host.GetData().stringsPath.c_str()), "");
        EXPECT_NE(view->pages[0].find("loop=\"false\""), std::string::npos);
    }
    TFile::AddMemoryFile("movies/intro.swf", nullptr, 0);
}

TEST_F(FlashHostTest, ASecondStartReplacesTheFiles)
{
    TFlashHost host(kMovie, Env());
    ASSERT_TRUE(host.Start(false, true, false));
    const std::string firstPage = host.GetData().htmlPath.c_str();
    ASSERT_TRUE(host.Start(false, true, false));
    EXPECT_EQ(TempFiles().size(), 3u);
    EXPECT_FALSE(FileExists(firstPage));
    EXPECT_TRUE(FileExists(host.GetData().htmlPath.c_str()));
    // The first page's end address no longer counts as the end.
    view->location = "file://" + firstPage;
    EXPECT_TRUE(host.IsPlaying());
}

TEST_F(FlashHostTest, UnwritableTemporaryFolderMeansNoStart)
{
    TFlashHostEnvironment env = Env();
    env.tempFolder = (tempFolder + "/missing").c_str();
    TFlashHost host(kMovie, env);
    ASSERT_TRUE(host.IsStarted());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(host.Start(false, true, false));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("unable to open tmp file " + tempFolder + "/missing/"), std::string::npos) << log;
    EXPECT_TRUE(view->pages.empty());
    EXPECT_TRUE(DrawsAFrame());
    EXPECT_FALSE(host.IsPlaying());
}

}  // namespace
