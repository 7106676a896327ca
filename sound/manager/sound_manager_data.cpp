#include "sound/manager/sound_manager_data.h"

#include <AL/al.h>
#include <AL/alext.h>

#include "core/debug/debug_log.h"
#include "sound/manager/sound_manager_mutex.h"
#include "sound/manager/sound_stream.h"
#include "sound/manager/sound_thread.h"

TSoundManagerData::TSoundManagerData(TSoundManager::eDevice device, int loopbackRate)
{
    if (device == TSoundManager::eDevice::kLoopback)
        OpenLoopback(loopbackRate);
    else
        OpenDefault();
    if (mDevice && !mContext)
        WriteDbg("Sound: no context on the sound device; sound is off");
    if (mContext)
        alcMakeContextCurrent(mContext);
    alGetError();
}

void TSoundManagerData::OpenDefault()
{
    mDevice = alcOpenDevice(nullptr);
    if (!mDevice) {
        WriteDbg("Sound: no sound device could be opened; sound is off");
        return;
    }
    mContext = alcCreateContext(mDevice, nullptr);
}

void TSoundManagerData::OpenLoopback(int rate)
{
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto supported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    if (!open || !supported) {
        WriteDbg("Sound: no loopback device; sound is off");
        return;
    }
    mDevice = open(nullptr);
    if (!mDevice) {
        WriteDbg("Sound: no loopback device; sound is off");
        return;
    }
    mLoopback = true;
    if (!supported(mDevice, rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT))
        return;
    const ALCint attributes[] = {
        ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT, ALC_FREQUENCY, rate, 0};
    mContext = alcCreateContext(mDevice, attributes);
}

void TSoundManagerData::Close()
{
    TSoundLock lock;
    // Moved out first: a stream released here may start or stop others from its notify.
    std::vector<std::shared_ptr<TSoundStream>> releases;
    releases.swap(mDelayedReleases);
    releases.clear();
    while (!mStreams.empty()) {
        std::vector<std::shared_ptr<TSoundStream>> streams;
        streams.swap(mStreams);
        streams.clear();
    }
    mDelayedReleases.clear();
    if (mContext) {
        if (alcGetCurrentContext() == mContext)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(mContext);
        mContext = nullptr;
    }
    if (mDevice) {
        alcCloseDevice(mDevice);
        mDevice = nullptr;
    }
}
