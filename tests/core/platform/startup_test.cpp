// Start-up: the command line, cheat arguments, Unicode flags, and a whole run on the
// scripted host.

#include "platform_fakes.h"

#include "core/config/config.h"
#include "core/crypto/cheat_code.h"
#include "core/crypto/encrypt.h"
#include "core/platform/platform.h"
#include "core/platform/startup.h"
#include "core/system/identifiers.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Args
{
    std::vector<std::string> text;
    std::vector<char*> argv;
    explicit Args(std::vector<std::string> t) : text(std::move(t))
    {
        for (auto& s : text)
            argv.push_back(s.data());
        argv.push_back(nullptr);
    }
    int argc() const { return int(text.size()); }
};

using Startup = PlatformFixture;

TEST_F(Startup, CommandLineIsEachArgumentAndASpace)
{
    Args none({"prog"});
    EXPECT_STREQ(BuildCommandLine(none.argc(), none.argv.data()).c_str(), "");
    Args two({"prog", "a", "b"});
    EXPECT_STREQ(BuildCommandLine(two.argc(), two.argv.data()).c_str(), "a b ");
}

TEST_F(Startup, CheatArgumentsTakeTheTextAfterTheSeparator)
{
    Args plain({"prog", "--cheat=XYZ"});
    ApplyCheatArguments(plain.argc(), plain.argv.data());
    EXPECT_STREQ(TConfig::GetConfig("cheatcode", "").c_str(), "XYZ");

    Args later({"prog", "--cheat=ONE", "x--cheat:ABC", "other"});
    ApplyCheatArguments(later.argc(), later.argv.data());
    EXPECT_STREQ(TConfig::GetConfig("cheatcode", "").c_str(), "ABC");

    Args bare({"prog", "--cheat"});
    ApplyCheatArguments(bare.argc(), bare.argv.data());
    EXPECT_STREQ(TConfig::GetConfig("cheatcode", "unset").c_str(), "");

    TConfig::SetConfig("cheatcode", "keep");
    Args empty({"prog", "--cheat="});
    ApplyCheatArguments(empty.argc(), empty.argv.data());
    EXPECT_STREQ(TConfig::GetConfig("cheatcode", "unset").c_str(), "");

    TConfig::SetConfig("cheatcode", "keep");
    Args program({"--cheat=notme"});
    ApplyCheatArguments(program.argc(), program.argv.data());
    EXPECT_STREQ(TConfig::GetConfig("cheatcode", "").c_str(), "keep");
}

TEST_F(Startup, UnicodeFlagMatrix)
{
    EXPECT_FALSE(ConfigureUnicodeInput());
    EXPECT_FALSE(gbZvUnicode);
    EXPECT_FALSE(gbQuenmarrUnicode);

    TConfig::SetConfig(TConfig::kUTF8Mode, "0");
    EXPECT_FALSE(ConfigureUnicodeInput());

    TConfig::SetConfig(TConfig::kUTF8Mode, "1");
    EXPECT_TRUE(ConfigureUnicodeInput());
    EXPECT_TRUE(gbZvUnicode);
    EXPECT_FALSE(gbQuenmarrUnicode);

    gbZvUnicode = false;
    TConfig::SetConfig(TConfig::kUTF8Mode, "0");
    TConfig::SetConfig("QuenmarrUnicode", "yes");
    EXPECT_TRUE(ConfigureUnicodeInput());
    EXPECT_FALSE(gbZvUnicode);
    EXPECT_TRUE(gbQuenmarrUnicode);
}

struct RunRecord
{
    TPlatform* platform = nullptr;
    std::string commandLine;
    bool unicode = false;
    std::vector<int32_t> types;
    bool soundReady = false;
};
RunRecord gRun;

void RecordingMain(TPlatform* platform, const char* commandLine)
{
    gRun.platform = platform;
    gRun.commandLine = commandLine;
    gRun.unicode = platform->GetData()->UnicodeHandlerInstalled();
    gRun.soundReady = platform->GetSoundManager() != nullptr;
    for (int i = 0; i < 10; ++i) {
        TEvent e;
        platform->GetEvent(&e);
        gRun.types.push_back(e.type);
        if (e.type == TEvent::kCloseRequest)
            platform->Exit(0);
        if (e.type == TEvent::kQuit)
            return;
    }
}

void ThrowingMain(TPlatform*, const char*)
{
    throw std::runtime_error("boom");
}

TEST_F(Startup, RunBuildsThePlatformRunsMainAndTearsDown)
{
    gRun = RunRecord();
    TConfig::SetConfig(TConfig::kUTF8Mode, "1");
    auto fake = std::make_unique<TFakeHost>();
    TSystemEvent close;
    close.eventClass = sysev::kWindow;
    close.kind = sysev::kWindowClose;
    fake->events.push_back(close);
    Args args({"prog", "-url=http://x", "two"});
    testing::internal::CaptureStderr();
    RunApplication(std::move(fake), args.argc(), args.argv.data(), RecordingMain, false);
    testing::internal::GetCapturedStderr();

    EXPECT_NE(gRun.platform, nullptr);
    EXPECT_EQ(gRun.commandLine, "-url=http://x two ");
    EXPECT_TRUE(gRun.unicode);
    EXPECT_TRUE(gRun.soundReady);
    EXPECT_EQ(gRun.types, (std::vector<int32_t>{TEvent::kIdle, TEvent::kCloseRequest, TEvent::kQuit}));
    EXPECT_EQ(render.Count("renderer"), 1);
    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    EXPECT_TRUE(TConfig::Entries().empty());
}

// What the game held when the exception left it is not known, so the platform it may hold
// parts of is left standing; only the sound stops.
TEST_F(Startup, AnEscapingExceptionIsReportedAndOnlyTheSoundStops)
{
    testing::internal::CaptureStderr();
    RunApplication(std::make_unique<TFakeHost>(), 0, nullptr, ThrowingMain, false);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Unhandled exception\n"), std::string::npos);
    EXPECT_NE(log.find("The exception: boom"), std::string::npos) << log;
    TPlatform* left = TPlatform::GetInstance();
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->GetSoundManager(), nullptr);
    delete left;
}

void CheatMain(TPlatform*, const char*)
{
    gRun.commandLine = TConfig::GetConfig(TConfig::kCheatMode, "unset").c_str();
}

TEST_F(Startup, ACheatCodeWorksOnTheComputerItWasMadeFor)
{
    InstallCheatDecoder();
    TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
    // The code is made from this computer's id, as the platform will find it.
    const str id = zvGetComputerId();
    TEncrypt enc("Rw4TnQ8vLpXe");
    const unsigned need = enc.EncryptBinary(id.c_str(), id.length(), nullptr, 0, true);
    std::vector<char> code(need + 1, 0);
    ASSERT_EQ(enc.EncryptBinary(id.c_str(), id.length(), code.data(), need, true), 0u);
    const std::string good = std::string("--cheat=") + code.data();

    Args right({"prog", good});
    gRun = RunRecord();
    testing::internal::CaptureStderr();
    RunApplication(std::make_unique<TFakeHost>(), right.argc(), right.argv.data(), CheatMain, false);
    EXPECT_EQ(gRun.commandLine, "1");

    TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
    Args wrong({"prog", "--cheat=AAAAAAAAAAAA"});
    RunApplication(std::make_unique<TFakeHost>(), wrong.argc(), wrong.argv.data(), CheatMain, false);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(gRun.commandLine, "0");
    TConfig::SetCheatDecoder(nullptr);
}

}  // namespace
