#pragma once
// A sound manager on OpenAL's loopback device, with no sound thread: the test renders the
// mix itself and runs the sound-thread pass between blocks, so completion, pausing and gain
// are deterministic.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/files/asset.h"
#include "sound/manager/sound.h"
#include "sound/manager/sound_callback.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager.h"
#include "sound/support/sound_fixtures.h"

namespace soundtest {

constexpr int kMixRate = 44100;

// Records every completion it is told of.
class RecordingCallBack : public TSoundCallBack
{
public:
    struct Call
    {
        std::shared_ptr<TSoundInstance> instance;
        std::shared_ptr<TSound> next;
        std::shared_ptr<TSound> soundAtCall;
    };
    void OnComplete(std::shared_ptr<TSoundInstance> instance, std::shared_ptr<TSound> next) override
    {
        calls.push_back({instance, next, instance->GetSound()});
    }
    std::vector<Call> calls;
};

class LoopbackTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Renders `frames` stereo frames in blocks of 256, running the sound-thread pass before
    // each block (and the main-thread pass too when `mainPass` is set).
    std::vector<float> Render(int frames, bool mainPass = true);
    // A mono 44.1 kHz tone, cached per name, kept in memory (decoded when short). The test
    // holds every sound it asked for (releasing a sound stops it).
    std::shared_ptr<TSound> Tone(const char* name, double seconds, int group = 0, double frequency = 441.0);
    // RMS of the left channel over frames [from, to).
    static double LeftRms(const std::vector<float>& mix, int from, int to);
    // The smallest left-channel RMS over windows of `window` frames in [from, to).
    static double MinWindowRms(const std::vector<float>& mix, int from, int to, int window);
    // The OpenAL gain and state of the source that plays an instance.
    static float SourceGain(const std::shared_ptr<TSoundInstance>& instance);
    static int SourceState(const std::shared_ptr<TSoundInstance>& instance);

    std::unique_ptr<TAssetManager> mAssets;
    std::unique_ptr<TSoundManager> mManager;
    std::vector<std::shared_ptr<TSound>> mHeld;
};

}  // namespace soundtest
