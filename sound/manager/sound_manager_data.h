#pragma once
// What the sound manager keeps: the OpenAL device and context, the stream lists, the
// volumes and the sound thread.

#include <map>
#include <memory>
#include <vector>

#include <AL/alc.h>

#include "sound/manager/sound_manager.h"

class SoundThread;

class TSoundManagerData
{
public:
    TSoundManagerData(TSoundManager::eDevice device, int loopbackRate);
    ~TSoundManagerData() { Close(); }
    // Releases every stream, then the context and the device. Runs once.
    void Close();
    TSoundManagerData(const TSoundManagerData&) = delete;
    TSoundManagerData& operator=(const TSoundManagerData&) = delete;

    std::vector<std::shared_ptr<TSoundStream>> mStreams;  // registration order
    float mMasterVolume = 1.0f;
    std::map<int, float> mTypeVolumes;
    std::vector<std::shared_ptr<TSoundStream>> mDelayedReleases;
    std::unique_ptr<SoundThread> mThread;

    ALCdevice* mDevice = nullptr;
    ALCcontext* mContext = nullptr;
    bool mLoopback = false;

private:
    void OpenDefault();
    void OpenLoopback(int rate);
};
