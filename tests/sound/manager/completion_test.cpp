#include "sound/manager/loopback_fixture.h"

#include "sound/manager/sound_stream.h"

namespace soundtest {
namespace {

using CompletionTest = LoopbackTest;

TEST_F(CompletionTest, SoundThatRunsToItsEndReportsOnce)
{
    auto sound = Tone("c_short", 0.1);
    RecordingCallBack callback;
    auto instance = sound->Play(false);
    ASSERT_TRUE(instance);
    instance->SetCompleteAction(&callback, nullptr);
    EXPECT_EQ(callback.AttachedCount(), 1u);
    EXPECT_EQ(sound->InstanceCount(), 1u);

    Render(2048);
    EXPECT_TRUE(callback.calls.empty()) << "0.1 s are 4410 frames";
    Render(8192);
    ASSERT_EQ(callback.calls.size(), 1u);
    EXPECT_EQ(callback.calls[0].instance, instance);
    EXPECT_EQ(callback.calls[0].next, nullptr);
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_EQ(sound->InstanceCount(), 0u);
    EXPECT_EQ(instance->GetCallBack(), nullptr);
    EXPECT_EQ(callback.AttachedCount(), 0u);
    EXPECT_EQ(mManager->StreamCount(), 0u);
    Render(8192);
    EXPECT_EQ(callback.calls.size(), 1u);
}

TEST_F(CompletionTest, DroppedInstancePlaysToItsEndOnItsOwn)
{
    auto sound = Tone("c_dropped", 0.1);
    sound->Play(false);
    EXPECT_EQ(sound->InstanceCount(), 1u);
    EXPECT_EQ(mManager->StreamCount(), 1u);
    Render(8192);
    EXPECT_EQ(sound->InstanceCount(), 0u);
    EXPECT_EQ(mManager->StreamCount(), 0u);
}

TEST_F(CompletionTest, LoopingSoundNeverEndsAndKillingItReports)
{
    auto sound = Tone("c_loop", 0.1);
    RecordingCallBack callback;
    auto instance = sound->Play(true);
    instance->SetCompleteAction(&callback, nullptr);
    Render(44100);
    EXPECT_TRUE(callback.calls.empty());
    EXPECT_TRUE(instance->IsPlaying());

    EXPECT_TRUE(sound->KillInstance(instance));
    ASSERT_EQ(callback.calls.size(), 1u) << "reported when the killed stream is released";
    EXPECT_EQ(callback.calls[0].instance, instance);
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_EQ(mManager->StreamCount(), 0u);
    EXPECT_FALSE(sound->KillInstance(nullptr));
    EXPECT_TRUE(sound->KillInstance(instance)) << "an instance without a stream is still handled";
}

TEST_F(CompletionTest, KillStopsEveryInstanceOfTheSound)
{
    auto sound = Tone("c_many", 1.0);
    RecordingCallBack callback;
    for (int i = 0; i < 3; ++i)
        sound->Play(false)->SetCompleteAction(&callback, nullptr);
    auto otherSound = Tone("c_other", 1.0);
    auto other = otherSound->Play(false);
    EXPECT_TRUE(sound->Kill());
    EXPECT_EQ(callback.calls.size(), 3u);
    EXPECT_FALSE(sound->Kill());
    EXPECT_TRUE(other->IsPlaying());
}

TEST_F(CompletionTest, ChainedSoundFollowsAndBothEndsAreReported)
{
    auto first = Tone("c_first", 0.2);
    auto second = Tone("c_second", 0.2, 0, 882.0);
    RecordingCallBack callback;
    auto instance = first->Play(false);
    first->SetCompleteAction(instance, &callback, second);
    EXPECT_EQ(instance->GetNext(), second);

    // The first sound's data (8820 frames) runs out during this; its end is reported by the
    // main-thread pass, with no next sound, and the instance now plays the second sound.
    Render(12000, false);
    EXPECT_TRUE(callback.calls.empty()) << "the first end waits for the main-thread pass";
    EXPECT_EQ(instance->GetSound(), second);
    mManager->HandleNotifications();
    ASSERT_EQ(callback.calls.size(), 1u);
    EXPECT_EQ(callback.calls[0].next, nullptr);
    EXPECT_EQ(callback.calls[0].soundAtCall, second);
    EXPECT_TRUE(instance->IsPlaying());
    EXPECT_EQ(first->InstanceCount(), 0u);
    EXPECT_EQ(second->InstanceCount(), 1u);

    Render(20000);
    ASSERT_EQ(callback.calls.size(), 2u);
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_EQ(second->InstanceCount(), 0u);
}

TEST_F(CompletionTest, KillingAChainedStreamDiscardsTheChainAndReportsTheNextSound)
{
    auto first = Tone("c_first", 0.2);
    auto second = Tone("c_second", 0.2, 0, 882.0);
    RecordingCallBack callback;
    auto instance = first->Play(false);
    first->SetCompleteAction(instance, &callback, second);
    EXPECT_TRUE(instance->GetStream()->HasNextSpooler());
    first->KillInstance(instance);
    ASSERT_EQ(callback.calls.size(), 1u);
    EXPECT_EQ(callback.calls[0].next, second);
    EXPECT_EQ(second->InstanceCount(), 0u);
}

TEST_F(CompletionTest, DestroyedCallbacksAreNeverCalled)
{
    auto sound = Tone("c_short", 0.1);
    auto instance = sound->Play(false);
    {
        RecordingCallBack gone;
        instance->SetCompleteAction(&gone, nullptr);
    }
    EXPECT_EQ(instance->GetCallBack(), nullptr);
    Render(8192);
    EXPECT_FALSE(instance->IsPlaying());

    // Gone between the two ends of a chain.
    auto first = Tone("c_first", 0.2);
    auto second = Tone("c_second", 0.2, 0, 882.0);
    auto chained = first->Play(false);
    auto* callback = new RecordingCallBack;
    first->SetCompleteAction(chained, callback, second);
    Render(12000);
    ASSERT_EQ(callback->calls.size(), 1u);
    delete callback;
    Render(20000);
    EXPECT_FALSE(chained->IsPlaying());
}

TEST_F(CompletionTest, CallbackMayStartAndStopSounds)
{
    struct Relay : TSoundCallBack
    {
        std::shared_ptr<TSound> next;
        std::shared_ptr<TSound> victim;
        std::shared_ptr<TSoundInstance> started;
        int calls = 0;
        void OnComplete(std::shared_ptr<TSoundInstance>, std::shared_ptr<TSound>) override
        {
            ++calls;
            victim->Kill();
            started = next->Play(false);
        }
    };
    auto victim = Tone("c_victim", 2.0);
    victim->Play(true);
    victim->Play(true);
    Relay relay;
    relay.next = Tone("c_relay_next", 0.1);
    relay.victim = victim;
    auto trigger = Tone("c_short", 0.1);
    trigger->Play(false)->SetCompleteAction(&relay, nullptr);
    Render(8192);
    EXPECT_EQ(relay.calls, 1);
    EXPECT_EQ(victim->InstanceCount(), 0u);
    ASSERT_TRUE(relay.started);
    EXPECT_TRUE(relay.started->IsPlaying());
    EXPECT_EQ(mManager->StreamCount(), 1u);
    Render(8192);
    EXPECT_FALSE(relay.started->IsPlaying());
}

TEST_F(CompletionTest, ReleasingTheSoundStopsItsInstances)
{
    RecordingCallBack callback;
    auto second = Tone("c_released", 1.0)->Play(false);
    second->SetCompleteAction(&callback, nullptr);
    mHeld.clear();
    EXPECT_FALSE(second->IsPlaying());
    EXPECT_EQ(callback.calls.size(), 1u);
    EXPECT_EQ(mManager->StreamCount(), 0u);
}

TEST_F(CompletionTest, DestroyingTheManagerCallsNoCallback)
{
    auto sound = Tone("c_loop", 0.1);
    RecordingCallBack callback;
    auto instance = sound->Play(true);
    instance->SetCompleteAction(&callback, nullptr);
    Render(1024);
    mManager.reset();
    EXPECT_TRUE(callback.calls.empty());
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_EQ(TSoundManager::GetInstance(), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(sound->Play(false), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("No Sound Manager"), std::string::npos);
}

TEST_F(CompletionTest, CallbackWithoutNextOnAFinishedInstanceHasNoEffect)
{
    auto sound = Tone("c_short", 0.1);
    auto instance = sound->Play(false);
    Render(8192);
    RecordingCallBack callback;
    sound->SetCompleteAction(instance, &callback, nullptr);
    EXPECT_EQ(instance->GetCallBack(), nullptr);
    EXPECT_EQ(callback.AttachedCount(), 0u);
    sound->SetCompleteAction(instance, &callback, Tone("c_second", 0.2, 0, 882.0));
    EXPECT_EQ(instance->GetNext(), nullptr);
}

}  // namespace
}  // namespace soundtest
