#pragma once
// The OpenAL side of one stream: a source fed through a queue of two buffers.
// Every call is made holding SoundManagerMutex::mMutex.

#include <AL/al.h>

class TStreamSpooler;

class TSoundStreamData
{
public:
    // Bytes one buffer holds at most; the refill decodes into one shared block of this size.
    static constexpr int kBufferBytes = 65536;

    TSoundStreamData() = default;
    ~TSoundStreamData() { Destroy(); }
    TSoundStreamData(const TSoundStreamData&) = delete;
    TSoundStreamData& operator=(const TSoundStreamData&) = delete;

    // Makes the buffers and the source; the format of each buffer comes from the spooler's
    // source at every refill, so the first four arguments are not needed here.
    bool Init(int rate, int channels, int bits, float seconds, TStreamSpooler* spooler, bool loop);
    ALuint GetAudioSource();
    void Play(bool);
    // Refills while playing and not paused; true while audio is queued.
    bool Stream();
    bool StreamHelper();
    void Pause();
    void Resume();
    void SetVolume(float volume);
    void Destroy();
    // Switches to another spooler (chaining) and rewinds it.
    void SetStreamSpooler(TStreamSpooler* spooler);

    bool IsComplete() const { return mComplete; }
    bool IsExhausted() const { return mExhausted; }
    bool IsPlaying() const { return mPlaying; }
    bool IsPaused() const { return mPaused; }
    bool HasSource() const { return mHasSource; }
    ALuint GetSourceName() const { return mSource; }

private:
    bool mLoop = false;
    bool mPlaying = false;
    bool mComplete = false;
    bool mExhausted = false;
    bool mPaused = false;
    TStreamSpooler* mSpooler = nullptr;  // owned by the stream
    bool mBufferFree[2] = {true, true};
    ALuint mBuffers[2] = {0, 0};
    bool mHasBuffers = false;
    ALuint mSource = 0;
    bool mHasSource = false;
};
