// The platform object: what its constructor reads, its services and its shut-down.

#include "platform_fakes.h"

#include "core/config/config.h"
#include "core/files/asset.h"
#include "core/files/file.h"
#include "core/platform/browser.h"
#include "core/platform/platform.h"
#include "core/strings/string_table.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

class PlatformObject : public PlatformFixture
{
protected:
    void CopyUserStrings()
    {
        const fs::path user = fs::path(mTemp) / "share" / "tessivander";
        fs::create_directories(user);
        const fs::path data = fs::path(TV_TEST_SOURCE_DIR) / "tests/core/platform/data/user";
        fs::copy_file(data / "strings_extra.xml", user / "strings_extra.xml");
        fs::copy_file(data / "notstrings.xml", user / "notstrings.xml");
    }
    std::unique_ptr<TPlatform> Make(const char* commandLine = "")
    {
        auto data = MakeData();
        data->SetCommandLine(commandLine);
        return std::make_unique<TPlatform>(data.release());
    }
};

TEST_F(PlatformObject, ConstructorReadsCommandLineSettingsAndStrings)
{
    CopyUserStrings();
    TConfig::SetConfig(TConfig::kUTF8Mode, "1");
    TConfig::SetConfig(TConfig::kGameName, "from start-up");
    testing::internal::CaptureStderr();
    auto platform = Make("-url=abc def --stringtest ");
    const std::string log = testing::internal::GetCapturedStderr();

    EXPECT_EQ(TPlatform::GetInstance(), platform.get());
    EXPECT_STREQ(TConfig::GetConfig("memorymax", "").c_str(), "100000000");
    EXPECT_STREQ(TConfig::GetConfig("texturememorymax", "").c_str(), "100000000");
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kDownloadURL, "").c_str(), "abc");
    EXPECT_STREQ(TConfig::GetConfig("stringtest", "").c_str(), "1");
    EXPECT_STREQ(TConfig::GetConfig("utf8modeinit", "").c_str(), "1");
    EXPECT_EQ(TConfig::GetConfig(TPlatform::kComputerId, "").length(), 16u);
    // From settings.xml, in document order.
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kInstallKey, "").c_str(), "retail");
    EXPECT_TRUE(TPlatform::IsEnabled(TPlatform::kVerboseDebug));
    EXPECT_STREQ(TConfig::GetConfig("custom", "").c_str(), "second");
    // The product name wins over both the start-up and the settings file.
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kGameName, "").c_str(), "tessivander");
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kGameVersion, "").c_str(), "1.0.0");
    EXPECT_NE(log.find("tessivander, version 1.0.0.\n"), std::string::npos) << log;

    EXPECT_EQ(windows.calls, (std::vector<std::string>{"create", "script", "strings on"}));
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"ogg"}));

    TStringTable* strings = platform->GetStringTable();
    ASSERT_NE(strings, nullptr);
    // "--stringtest" masks every text, keeping its shape.
    EXPECT_STREQ(strings->GetString("windowtitle").c_str(), "xxxxxxxxxxx xxxx");
    // Merged from the user folder ("Hello again"); a file not named string* is left alone.
    EXPECT_STREQ(strings->GetString("greeting").c_str(), "xxxxx xxxxx");

    EXPECT_TRUE(fs::is_directory(fs::path(mTemp) / "share/tessivander"));
    EXPECT_TRUE(fs::is_directory(fs::path(mTemp) / "share/vantorell/tessivander"));
    EXPECT_EQ(fs::status(fs::path(mTemp) / "share/tessivander").permissions() & fs::perms::all,
              fs::perms(0755) & ~fs::perms(0));
    EXPECT_STREQ(TFile::mUserDir.c_str(), (mTemp + "/share/tessivander").c_str());
}

TEST_F(PlatformObject, WithoutHomeTheUserFolderIsInTheAccountsHomeFolder)
{
    unsetenv("HOME");
    unsetenv("XDG_DATA_HOME");
    accountHome = (mTemp + "/account").c_str();
    auto platform = Make();
    EXPECT_STREQ(TFile::mUserDir.c_str(), (mTemp + "/account/.local/share/tessivander").c_str());
    EXPECT_TRUE(fs::is_directory(mTemp + "/account/.local/share/tessivander"));
}

TEST_F(PlatformObject, DownloadAddressRunsToTheEnd)
{
    CopyUserStrings();
    auto platform = Make("-url=abc");
    EXPECT_STREQ(platform->GetStringTable()->GetString("windowtitle").c_str(), "Tessivander Test");
    EXPECT_STREQ(platform->GetStringTable()->GetString("greeting").c_str(), "Hello again");
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kDownloadURL, "").c_str(), "abc");
    EXPECT_STREQ(TConfig::GetConfig("stringtest", "none").c_str(), "none");
}

TEST_F(PlatformObject, MissingSettingsAndStringsLeaveThingsAlone)
{
    setenv("TESSIVANDER_RESOURCES",
           (std::string(TV_TEST_SOURCE_DIR) + "/tests/core/platform/data/resources_empty").c_str(), 1);
    testing::internal::CaptureStderr();
    auto platform = Make();
    testing::internal::GetCapturedStderr();
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kInstallKey, "unset").c_str(), "unset");
    EXPECT_EQ(windows.Count("strings on"), 0);
    EXPECT_STREQ(TConfig::GetConfig(TPlatform::kDownloadURL, "none").c_str(), "none");
}

TEST_F(PlatformObject, RandomSettingsAndStringsAreNamedInTheLog)
{
    const fs::path assets = fs::path(mTemp) / "resources" / "assets";
    fs::create_directories(assets);
    static const char kGarbage[] = "\x03\xff<\0settings>\x80\x81 not xml at all";
    const std::string garbage(kGarbage, sizeof kGarbage - 1);
    std::ofstream(assets / "settings.xml", std::ios::binary) << garbage;
    std::ofstream(assets / "strings.xml", std::ios::binary) << garbage;
    setenv("TESSIVANDER_RESOURCES", (mTemp + "/resources").c_str(), 1);
    testing::internal::CaptureStderr();
    auto platform = Make();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Settings file 'assets/settings.xml' ignored"), std::string::npos) << log;
    EXPECT_NE(log.find("String table 'strings.xml' not loaded"), std::string::npos) << log;
    // The file opened: lookups stay on and show the missing-label mark.
    EXPECT_EQ(windows.Count("strings on"), 1);
}

TEST_F(PlatformObject, DestructorTakesEverythingDownInOrder)
{
    auto platform = Make();
    TPlatformData* data = platform->GetData();
    EXPECT_TRUE(platform->InitSound());
    EXPECT_TRUE(platform->InitSound());
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"ogg", "create", "init", "init"}));
    EXPECT_EQ(TAssetManager::GetInstance(), platform->GetAssetManager());
    (void)data;
    windows.calls.clear();
    render.calls.clear();
    sound.calls.clear();
    platform.reset();
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"destroy", "gamestate"}));
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"destroy"}));
    EXPECT_EQ(render.calls, (std::vector<std::string>{"shutdown"}));
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    EXPECT_EQ(TAssetManager::GetInstance(), nullptr);
    EXPECT_TRUE(TConfig::Entries().empty());
    EXPECT_FALSE(TFile::Exists("__systemcursor__.png"));
}

TEST_F(PlatformObject, BuiltInCursorIsAPngRegisteredAtEveryScan)
{
    auto platform = Make();
    ASSERT_TRUE(TFile::Exists("__systemcursor__.png"));
    TFile f;
    ASSERT_TRUE(f.Open("__systemcursor__.png"));
    unsigned char head[24] = {};
    ASSERT_EQ(f.Read(head, sizeof head), sizeof head);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_EQ(std::memcmp(head, signature, 8), 0);
    EXPECT_EQ(std::memcmp(head + 12, "IHDR", 4), 0);
    const unsigned width = (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19];
    EXPECT_GT(width, 0u);
    EXPECT_LE(width, 64u);
    f.Close();

    TFile::ShutDownFileSystem();
    EXPECT_FALSE(TFile::Exists("__systemcursor__.png"));
    TFile::ScanForResources();
    EXPECT_TRUE(TFile::Exists("__systemcursor__.png"));
}

TEST_F(PlatformObject, SetDisplayMakesTheScreenFirstAndPushesTheClipping)
{
    auto platform = Make();
    platform->SetDisplay(800, 600, false);
    EXPECT_EQ(windows.Count("screen 800x600"), 1);
    ASSERT_FALSE(render.calls.empty());
    EXPECT_EQ(render.calls.back(), "push 800x600");
    EXPECT_EQ(render.Count("set 800x600"), 1);
    EXPECT_TRUE(host->Called("cursor off"));
}

TEST_F(PlatformObject, TasksClipboardAndRandomNumbers)
{
    struct Nop : TTask
    {
        bool DoTask() override { return true; }
    };
    auto platform = Make();
    Nop* task = new Nop;
    platform->AdoptTask(task);
    EXPECT_TRUE(platform->GetTaskList()->Contains(task));
    EXPECT_TRUE(platform->OrphanTask(task));
    EXPECT_FALSE(platform->OrphanTask(task));
    Nop listener;
    platform->AdoptTextureRefreshListener(&listener);
    EXPECT_TRUE(platform->OrphanTextureRefreshListener(&listener));
    delete task;

    // The clipboard is out of reach: a copy is refused and nothing comes back.
    EXPECT_FALSE(platform->StringToClipboard("copied"));
    EXPECT_STREQ(platform->StringFromClipboard().c_str(), "");

    std::set<unsigned> seen;
    for (int i = 0; i < 10; ++i)
        seen.insert(platform->Rand());
    EXPECT_GT(seen.size(), 8u);

    platform->Exit(3);
    TEvent e;
    platform->GetEvent(&e);
    EXPECT_EQ(e.type, TEvent::kQuit);
}

TEST_F(PlatformObject, BrowserTakesOnlyWebAddresses)
{
    EXPECT_TRUE(IsBrowsableUrl("http://example.com/"));
    EXPECT_TRUE(IsBrowsableUrl("HTTPS://example.com/a?b=c"));
    EXPECT_FALSE(IsBrowsableUrl(nullptr));
    EXPECT_FALSE(IsBrowsableUrl("http://"));
    EXPECT_FALSE(IsBrowsableUrl("file:///etc/passwd"));
    EXPECT_FALSE(IsBrowsableUrl("javascript:alert(1)"));
    EXPECT_FALSE(IsBrowsableUrl("ftp://example.com/"));
    EXPECT_FALSE(IsBrowsableUrl("http://example.com/\nrm -rf"));
    EXPECT_FALSE(IsBrowsableUrl(" http://example.com/"));
}

TEST_F(PlatformObject, BrowserGetsTheAddressAsOneArgumentWithoutAShell)
{
    const fs::path bin = fs::path(mTemp) / "bin";
    fs::create_directories(bin);
    const fs::path out = fs::path(mTemp) / "opened.txt";
    {
        std::ofstream script(bin / "xdg-open");
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"" << out.string() << ".tmp\"\nmv \"" << out.string()
               << ".tmp\" \"" << out.string() << "\"\n";
    }
    fs::permissions(bin / "xdg-open", fs::perms(0755));
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);

    auto platform = Make();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform->OpenBrowser("file:///etc/passwd"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("refused"), std::string::npos);
    const char* url = "https://example.com/a b;$(touch x)\"'";
    EXPECT_TRUE(platform->OpenBrowser(url));
    for (int i = 0; i < 200 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    setenv("PATH", oldPath.c_str(), 1);
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), std::string("1\n") + url + "\n");
}

}  // namespace
