#include "game/world/sound/sfx_manager.h"

#include "common/log_capture.h"
#include "core/files/asset.h"
#include "core/time/time_source.h"
#include "game/world/common/game_clock.h"
#include "game/world/sound/vox_completion.h"
#include "sound/manager/completion_queue.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_manager.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/speex_data_source.h"
#include "sound/support/sound_fixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using namespace soundtest;

std::atomic<uint32_t> gNow{0};
float gTalkSpeed = 0.0f;
bool gVoiceOn = true;

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class SfxTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        SetTimeSource([] { return gNow.load(); });
        GameClockStart();
        gTalkSpeed = 0.0f;
        gVoiceOn = true;
        tSFXSettings settings;
        settings.talkSpeed = [] { return gTalkSpeed; };
        settings.voiceEnabled = [] { return gVoiceOn; };
        sfx.SetSettings(settings);
        TOggDataSource::Register();
        TSpeexDataSource::Register();
        TAssetManager::SetInstance(&mAssets);
        static bool made = false;
        if (!made) {
            made = true;
            const Pcm line = MakeTone(300.0, 0.4, 8000, 1);
            AddMemoryFixture("audio/vox/mira_hello.ogg", EncodeVorbis(MakeTone(300.0, 0.4, 22050, 1), 22050, 1));
            SpeexOptions speex;
            speex.waveSize = true;
            AddMemoryFixture("audio/vox/gardener_roses.spx", EncodeSpeex(line, speex));
            AddMemoryFixture("audio/vox/broken.ogg", Bytes(300, 0x5A));
        }
    }
    void TearDown() override
    {
        sfx.KillAll();
        GameClockPause();
        SetTimeSource(nullptr);
        TAssetManager::SetInstance(nullptr);
    }
    void Advance(uint32_t ms) { gNow += ms; }

    tSFXManager sfx;
    TAssetManager mAssets;
};

TEST_F(SfxTest, SpeechDelayFromWordsAndPunctuation)
{
    const struct
    {
        const char* text;
        float speed;
        float seconds;
    } cases[] = {
        {"", 0.0f, 3.0f},
        {"", 1.0f, 0.9f},
        {"Hello there.", 0.0f, 3.8f},
        {"...", 0.0f, 4.2f},
        {"Wait!Now", 0.0f, 3.8f},
        {"  two   words  ", 0.0f, 3.4f},
        {"42 roses, 7 bees?", 0.5f, (3.0f + 0.8f + 0.8f) * 0.65f},
    };
    for (const auto& c : cases) {
        gTalkSpeed = c.speed;
        EXPECT_NEAR(sfx.ComputeSpeechDelay(c.text), c.seconds, 1e-5) << '"' << c.text << "\" at " << c.speed;
    }
}

TEST_F(SfxTest, LinesWithoutAFileAreTimedFromTheirText)
{
    const struct
    {
        const char* what;
        const char* name;
        bool voice;
        bool tried;  // the file was found and refused to play
    } cases[] = {
        {"no file", "nobody_here", true, false},
        {"voice off", "mira_hello", false, false},
        {"a file that will not play", "broken", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gVoiceOn = c.voice;
        TLogCapture log;
        sfx.PlayVox(c.name, "Hello there.");  // 3.8 s
        const std::string text = log.Text();
        EXPECT_NE(text.find(std::string("PlayVox(audio/vox/") + c.name + ":Hello there.) No Vox file"),
                  std::string::npos)
            << text;
        EXPECT_EQ(text.find(std::string("Couldn't get audio/vox/") + c.name + ".ogg") != std::string::npos, c.tried)
            << text;
        EXPECT_TRUE(sfx.IsVoxQuiteDone());
        EXPECT_FALSE(sfx.IsVoxMostlyDone());
        Advance(3799);
        EXPECT_FALSE(sfx.IsVoxMostlyDone());
        Advance(2);
        EXPECT_TRUE(sfx.IsVoxMostlyDone());
    }
    TLogCapture log;
    sfx.PlayBGVox("nobody_here", "Hm.");
    EXPECT_NE(log.Text().find("PlayBGVox(audio/vox/nobody_here) No BGVox file"), std::string::npos);
    EXPECT_TRUE(sfx.IsBGVoxQuiteDone());
}

TEST_F(SfxTest, MusicKeptOrRestarted)
{
    TLogCapture log;
    sfx.SetMusic("audio/music/theme.ogg", true);
    sfx.SetMusic("audio/music/theme.ogg", true);
    EXPECT_EQ(std::string(sfx.GetCurrentMusic().c_str()), "audio/music/theme.ogg");
    sfx.PlayMusic("audio/music/theme.ogg", true);
    sfx.PlayMusic("audio/music/theme.ogg", true);
    sfx.KillMusic();
    EXPECT_TRUE(sfx.GetCurrentMusic().empty());
    const std::string text = log.Text();
    EXPECT_EQ(Count(text, "SetMusic(audio/music/theme.ogg) ALREADY SET"), 1u);
    EXPECT_EQ(Count(text, "tSFXManager::Play(audio/music/theme.ogg, 1, 1001)"), 3u);
    // Music that could not start completes through the waived callback after two seconds.
    EXPECT_TRUE(sfx.IsMusicQuiteDone());
    Advance(2001);
    EXPECT_TRUE(sfx.IsMusicMostlyDone());
}

TEST_F(SfxTest, DumpVoxDropsSpeexOnly)
{
    sfx.Play("audio/vox/a.ogg", false, kGroupVox);
    sfx.Play("audio/vox/b.spx", false, kGroupVox);
    ASSERT_TRUE(sfx.IsCached("audio/vox/a.ogg"));
    ASSERT_TRUE(sfx.IsCached("audio/vox/b.spx"));
    TLogCapture log;
    sfx.DumpVox();
    EXPECT_NE(log.Text().find("DUMPVOX[audio/vox/b.spx]"), std::string::npos);
    EXPECT_TRUE(sfx.IsCached("audio/vox/a.ogg"));
    EXPECT_FALSE(sfx.IsCached("audio/vox/b.spx"));
}

bool WaitFor(const std::function<bool()>& done, double seconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

// The real back end plays in real time into nothing.
class SfxPlayTest : public SfxTest
{
public:
    void SetUp() override
    {
        SfxTest::SetUp();
        setenv("ALSOFT_DRIVERS", "null", 0);
        if (!manager.HasOutput())
            GTEST_SKIP() << "no OpenAL back end here";
        ASSERT_TRUE(manager.Init());
    }
    TSoundManager manager;
};

// The sound thread sees each line end and the completion reaches the tracker at the main
// thread's next notification pass.
TEST_F(SfxPlayTest, VorbisAndSpeexLinesCompleteFromTheSoundThread)
{
    const struct
    {
        const char* name;
        const char* file;
        tVoxCompletion& tracker;
        bool background;
    } cases[] = {
        {"mira_hello", "audio/vox/mira_hello.ogg", gVoxComplete, false},
        {"gardener_roses", "audio/vox/gardener_roses.spx", gVoxComplete, false},
        {"gardener_roses", "audio/vox/gardener_roses.spx", gBGVoxComplete, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        TLogCapture log;
        if (c.background)
            sfx.PlayBGVox(c.name, "Roses.");
        else
            sfx.PlayVox(c.name, "Hello there.");
        EXPECT_FALSE(c.tracker.IsQuiteComplete());
        // Mostly done after the sound's length on the game clock (0.4 s).
        EXPECT_NEAR(double(c.tracker.GetDeadline()), double(GameClockTime()) + 400.0, 30.0);
        EXPECT_TRUE(WaitFor(
            [&] {
                manager.HandleNotifications();
                return c.tracker.IsQuiteComplete();
            },
            5.0));
        const std::string text = log.Text();
        EXPECT_NE(text.find(std::string(c.background ? "PlayBGVox(" : "PlayVox(") + c.file), std::string::npos) << text;
        EXPECT_NE(text.find("tVoxCompletion::OnComplete()"), std::string::npos) << text;
    }
    EXPECT_TRUE(sfx.IsCached("audio/vox/gardener_roses.spx"));

    // A damaged file with a working device: timed from the text, never waited on for ever.
    TLogCapture log;
    sfx.PlayVox("broken", "Hello there.");
    const std::string text = log.Text();
    EXPECT_NE(text.find("No Vox file"), std::string::npos) << text;
    EXPECT_TRUE(sfx.IsVoxQuiteDone());
    EXPECT_EQ(gVoxComplete.GetDeadline(), GameClockTime() + 3800u);
}

TEST_F(SfxPlayTest, KillingALineCompletesIt)
{
    sfx.PlayVox("mira_hello", "Hello there.");
    ASSERT_FALSE(sfx.IsVoxQuiteDone());
    sfx.KillVox();
    EXPECT_TRUE(WaitFor(
        [&] {
            manager.HandleNotifications();
            return sfx.IsVoxQuiteDone();
        },
        2.0));
}

// The end of a line that ran out just before the next one started, still waiting for the
// notification pass, is not the end of the next line; and a line plays once.
TEST_F(SfxPlayTest, EndOfTheLineBeforeDoesNotEndTheNext)
{
    sfx.PlayVox("mira_hello", "Hello there.");
    ASSERT_TRUE(WaitFor([] { return SoundCompletions::PendingCount() > 0; }, 5.0));
    sfx.PlayVox("mira_hello", "Hello again.");
    manager.HandleNotifications();
    EXPECT_FALSE(sfx.IsVoxQuiteDone());
    ASSERT_TRUE(WaitFor(
        [&] {
            manager.HandleNotifications();
            return sfx.IsVoxQuiteDone();
        },
        5.0));
    EXPECT_EQ(manager.StreamCount(), 0u);
}

}  // namespace
