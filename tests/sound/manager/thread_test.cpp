#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "common/missing_peer.h"
#include "core/files/asset.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_callback.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/support/sound_fixtures.h"

namespace soundtest {
namespace {

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
class RealDeviceTest : public SoundThreadTest
{
protected:
    void SetUp() override
    {
        SoundThreadTest::SetUp();
        // Read once per process, at OpenAL's first use; an explicit choice is kept.
        setenv("ALSOFT_DRIVERS", "null", 0);
        mManager = std::make_unique<TSoundManager>();
        if (!mManager->HasOutput())
            TV_SKIP_WITHOUT_PEER("no OpenAL back end here");
        ASSERT_TRUE(mManager->Init());
        ASSERT_TRUE(mManager->HasSoundThread());
    }
    void TearDown() override
    {
        mManager.reset();
        SoundThreadTest::TearDown();
    }
    // Runs the main thread's pass (as every event poll does) until `done` or time-out.
    bool PollUntil(const std::function<bool()>& done, double seconds)
    {
        return WaitFor(
            [&] {
                mManager->HandleNotifications();
                return done();
            },
            seconds);
    }
    std::unique_ptr<TSoundManager> mManager;
};

// A voice line's callback plays the next line: it reaches the asset manager, so it must run
// on the main thread, and only from the main thread's pass.
TEST_F(RealDeviceTest, CompletionOfASoundThatRanToItsEndIsDeliveredOnTheMainThread)
{
    EXPECT_TRUE(mManager->Init());
    struct NextLine : TSoundCallBack
    {
        std::vector<std::thread::id> threads;
        std::shared_ptr<TSound> line;
        std::shared_ptr<TSoundInstance> next;
        void OnComplete(std::shared_ptr<TSoundInstance>, std::shared_ptr<TSound>) override
        {
            threads.push_back(std::this_thread::get_id());
            if (threads.size() == 1) {
                line = TSound::Get("thread/hum.ogg", true, 1);
                next = line->Play(false);
            }
        }
    } lines;
    auto blip = TSound::Get("thread/blip.ogg", true, 1);
    auto instance = blip->Play(false);
    ASSERT_TRUE(instance);
    instance->SetCompleteAction(&lines, nullptr);
    ASSERT_TRUE(WaitFor([&] { return !instance->IsPlaying(); }, 5.0));
    EXPECT_TRUE(lines.threads.empty()) << "called before the main thread's pass";
    ASSERT_TRUE(PollUntil([&] { return !lines.threads.empty(); }, 1.0));
    EXPECT_EQ(lines.threads, std::vector<std::thread::id>{std::this_thread::get_id()});
    ASSERT_TRUE(lines.next);
    EXPECT_TRUE(PollUntil([&] { return !lines.next->IsPlaying(); }, 5.0));
    EXPECT_EQ(lines.threads.size(), 1u);
    EXPECT_EQ(mManager->StreamCount(), 0u);
}

// A callback destroyed after its sound ended on the sound thread but before the main
// thread's pass is never called (the sanitizers see any call into its remains).
TEST_F(RealDeviceTest, CallbackDestroyedBeforeItsCompletionIsDeliveredIsNotCalled)
{
    auto calls = std::make_shared<std::atomic<int>>(0);
    struct Watcher : TSoundCallBack
    {
        std::shared_ptr<std::atomic<int>> calls;
        std::vector<int> state = std::vector<int>(64, 1);  // what a half-destroyed callback loses
        void OnComplete(std::shared_ptr<TSoundInstance>, std::shared_ptr<TSound>) override { *calls += state.at(63); }
    };
    auto watcher = std::make_unique<Watcher>();
    watcher->calls = calls;
    auto blip = TSound::Get("thread/blip.ogg", true, 1);
    auto instance = blip->Play(false);
    ASSERT_TRUE(instance);
    instance->SetCompleteAction(watcher.get(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return !instance->IsPlaying(); }, 5.0));
    watcher.reset();
    mManager->HandleNotifications();
    EXPECT_EQ(calls->load(), 0);
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
