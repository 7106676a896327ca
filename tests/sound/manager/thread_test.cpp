#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/files/asset.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_callback.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/support/sound_fixtures.h"

namespace soundtest {
namespace {

class Counter : public TSoundCallBack
{
public:
    void OnComplete(std::shared_ptr<TSoundInstance>, std::shared_ptr<TSound>) override { ++calls; }
    std::atomic<int> calls{0};
};

bool WaitFor(const std::function<bool()>& done, double seconds)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

class SoundThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TOggDataSource::Register();
        TAssetManager::SetInstance(&mAssets);
        static bool made = false;
        if (!made) {
            made = true;
            AddMemoryFixture("thread/blip.ogg", EncodeVorbis(MakeTone(441.0, 0.05, 44100, 1), 44100, 1));
            AddMemoryFixture("thread/hum.ogg", EncodeVorbis(MakeTone(220.0, 1.0, 22050, 2), 22050, 2));
        }
    }
    void TearDown() override { TAssetManager::SetInstance(nullptr); }
    TAssetManager mAssets;
};

// The real back end (the null device plays in real time) and the real sound thread.
TEST_F(SoundThreadTest, RealDeviceCompletesSoundsOnTheSoundThread)
{
    // Read once per process, at OpenAL's first use; an explicit choice is kept.
    setenv("ALSOFT_DRIVERS", "null", 0);
    TSoundManager manager;
    if (!manager.HasOutput())
        GTEST_SKIP() << "no OpenAL back end here";
    EXPECT_TRUE(manager.Init());
    EXPECT_TRUE(manager.Init());
    EXPECT_TRUE(manager.HasSoundThread());
    Counter counter;
    auto blip = TSound::Get("thread/blip.ogg", true, 1);
    auto instance = blip->Play(false);
    ASSERT_TRUE(instance);
    instance->SetCompleteAction(&counter, nullptr);
    EXPECT_TRUE(WaitFor([&] { return counter.calls == 1; }, 5.0));
    EXPECT_TRUE(WaitFor([&] { return !instance->IsPlaying(); }, 1.0));
    EXPECT_EQ(manager.StreamCount(), 0u);
}

// Main thread and sound thread at once: plays, kills, volume and pause changes, callbacks
// that start and stop sounds, all while the thread refills and completes streams.
TEST_F(SoundThreadTest, MainThreadAndSoundThreadShareTheStateSafely)
{
    TSoundManager manager(TSoundManager::eDevice::kLoopback, 44100);
    ASSERT_TRUE(manager.HasOutput());
    manager.Init();
    auto blip = TSound::Get("thread/blip.ogg", true, 1);
    auto hum = TSound::Get("thread/hum.ogg", false, 2);

    struct Replay : TSoundCallBack
    {
        std::shared_ptr<TSound> sound;
        std::shared_ptr<TSound> hum;
        std::atomic<int> calls{0};
        std::atomic<bool> stopping{false};
        void OnComplete(std::shared_ptr<TSoundInstance>, std::shared_ptr<TSound>) override
        {
            if (stopping)
                return;
            if (++calls % 3 == 0)
                hum->Kill();
            else if (auto again = sound->Play(false))
                again->SetCompleteAction(this, nullptr);
        }
    } replay;
    replay.sound = blip;
    replay.hum = hum;

    std::vector<float> mix(512 * 2);
    for (int round = 0; round < 300; ++round) {
        if (round % 10 == 0) {
            if (auto i = blip->Play(false))
                i->SetCompleteAction(&replay, nullptr);
            hum->Play(round % 20 == 0);
        }
        if (round % 7 == 0)
            manager.SetTypeVolume(round % 2 + 1, (round % 5) / 4.0f);
        if (round % 13 == 0)
            manager.PauseAllSounds(round % 26 == 0, 2);
        if (round % 50 == 0)
            manager.AppActivate(round % 100 != 0);
        manager.RenderLoopback(mix.data(), 512);
        manager.HandleNotifications();
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    EXPECT_GT(replay.calls.load(), 0);
    replay.stopping = true;
    manager.KillAllSounds(-1);
    EXPECT_EQ(manager.StreamCount(), 0u);
}

TEST(SoundWithoutDevice, GameRunsSilentlyWithALogLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process reads the back-end list; one that names no usable back end.
    const char* old = std::getenv("ALSOFT_DRIVERS");
    std::string saved = old ? old : "";
    setenv("ALSOFT_DRIVERS", "nosuchdriver", 1);
    EXPECT_EXIT(
        {
            TOggDataSource::Register();
            AddMemoryFixture("thread/blip.ogg", EncodeVorbis(MakeTone(441.0, 0.05, 44100, 1), 44100, 1));
            TSoundManager manager;
            manager.Init();
            auto sound = TSound::Get("thread/blip.ogg", true, 1);
            bool silent = sound && sound->HasSource() && !manager.HasOutput() && !sound->Play(false);
            manager.SetVolume(0.5f);
            manager.KillAllSounds(-1);
            manager.HandleNotifications();
            std::exit(silent ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "sound is off");
    if (old)
        setenv("ALSOFT_DRIVERS", saved.c_str(), 1);
    else
        unsetenv("ALSOFT_DRIVERS");
}

}  // namespace
}  // namespace soundtest
