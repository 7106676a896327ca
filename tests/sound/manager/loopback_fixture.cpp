#include "sound/manager/loopback_fixture.h"

#include <AL/al.h>
#include <cmath>
#include <set>

#include "sound/manager/sound_stream.h"
#include "sound/sources/ogg_data_source.h"
#include "sound/sources/speex_data_source.h"

namespace soundtest {

void LoopbackTest::SetUp()
{
    TOggDataSource::Register();
    TSpeex::Register();
    mAssets = std::make_unique<TAssetManager>();
    TAssetManager::SetInstance(mAssets.get());
    mManager = std::make_unique<TSoundManager>(TSoundManager::eDevice::kLoopback, kMixRate);
    ASSERT_TRUE(mManager->HasOutput());
    ASSERT_TRUE(mManager->Init(false));
}

void LoopbackTest::TearDown()
{
    mHeld.clear();
    mManager.reset();
    TAssetManager::SetInstance(nullptr);
    mAssets.reset();
}

std::vector<float> LoopbackTest::Render(int frames, bool mainPass)
{
    std::vector<float> mix(static_cast<size_t>(frames) * 2);
    constexpr int kBlock = 256;
    for (int done = 0; done < frames; done += kBlock) {
        mManager->InternalHandleNotifications(true);
        if (mainPass)
            mManager->HandleNotifications();
        int n = std::min(kBlock, frames - done);
        EXPECT_TRUE(mManager->RenderLoopback(mix.data() + static_cast<size_t>(done) * 2, n));
    }
    return mix;
}

std::shared_ptr<TSound> LoopbackTest::Tone(const char* name, double seconds, int group, double frequency)
{
    static std::set<std::string> made;
    std::string file = std::string("tones/") + name + ".ogg";
    if (made.insert(file).second)
        AddMemoryFixture(file.c_str(), EncodeVorbis(MakeTone(frequency, seconds, kMixRate, 1), kMixRate, 1, 0.9f));
    auto sound = TSound::Get(str(file.c_str()), true, group);
    mHeld.push_back(sound);
    return sound;
}

double LoopbackTest::LeftRms(const std::vector<float>& mix, int from, int to)
{
    double sum = 0.0;
    for (int i = from; i < to; ++i)
        sum += static_cast<double>(mix[static_cast<size_t>(i) * 2]) * mix[static_cast<size_t>(i) * 2];
    return to > from ? std::sqrt(sum / (to - from)) : 0.0;
}

double LoopbackTest::MinWindowRms(const std::vector<float>& mix, int from, int to, int window)
{
    double least = 1e9;
    for (int start = from; start + window <= to; start += window / 2)
        least = std::min(least, LeftRms(mix, start, start + window));
    return least;
}

float LoopbackTest::SourceGain(const std::shared_ptr<TSoundInstance>& instance)
{
    float gain = -1.0f;
    if (!instance || !instance->GetStream())
        return gain;
    alGetSourcef(instance->GetStream()->GetData().GetSourceName(), AL_GAIN, &gain);
    return gain;
}

int LoopbackTest::SourceState(const std::shared_ptr<TSoundInstance>& instance)
{
    ALint state = 0;
    if (!instance || !instance->GetStream())
        return state;
    alGetSourcei(instance->GetStream()->GetData().GetSourceName(), AL_SOURCE_STATE, &state);
    return state;
}

}  // namespace soundtest
