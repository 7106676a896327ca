#include "sound/manager/sound_stream_data.h"

#include <cstdint>

#include "sound/manager/al_error.h"
#include "sound/manager/sound_manager_mutex.h"
#include "sound/manager/stream_spooler.h"

namespace {

// The one staging block every refill decodes into; used only under the manager's mutex.
alignas(16) unsigned char sOpenALBuffer[TSoundStreamData::kBufferBytes];

}  // namespace

bool TSoundStreamData::Init(int, int, int, float, TStreamSpooler* spooler, bool loop)
{
    TSoundLock lock;
    mLoop = loop;
    mSpooler = spooler;
    alGetError();
    alGenBuffers(2, mBuffers);
    if (ReportALError()) {
        mHasBuffers = false;
        return false;
    }
    mHasBuffers = true;
    GetAudioSource();
    return mHasSource;
}

ALuint TSoundStreamData::GetAudioSource()
{
    TSoundLock lock;
    if (mHasSource)
        return mSource;
    alGenSources(1, &mSource);
    if (ReportALError())
        return 0;
    mHasSource = true;
    alSource3f(mSource, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(mSource, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    alSource3f(mSource, AL_DIRECTION, 0.0f, 0.0f, 0.0f);
    alSourcef(mSource, AL_ROLLOFF_FACTOR, 0.0f);
    // Never attenuated or panned by position.
    alSourcei(mSource, AL_SOURCE_RELATIVE, AL_TRUE);
    ReportALError();
    return mSource;
}

void TSoundStreamData::Play(bool)
{
    TSoundLock lock;
    mComplete = false;
    if (mSpooler)
        mSpooler->Reset();
    StreamHelper();
    if (mHasSource) {
        alSourcePlay(mSource);
        ReportALError();
    }
    mPlaying = true;
    mPaused = false;
}

bool TSoundStreamData::Stream()
{
    TSoundLock lock;
    if (mPlaying && !mPaused)
        return StreamHelper();
    return true;
}

bool TSoundStreamData::StreamHelper()
{
    TSoundLock lock;
    if (mHasSource) {
        ALint processed = 0;
        alGetSourcei(mSource, AL_BUFFERS_PROCESSED, &processed);
        for (ALint i = 0; i < processed; ++i) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(mSource, 1, &buffer);
            if (ReportALError())
                break;
            mBufferFree[buffer == mBuffers[0] ? 0 : 1] = true;
        }
    }
    bool queued = false;
    if (mHasSource && mHasBuffers && mSpooler && !mExhausted) {
        for (int b = 0; b < 2; ++b) {
            if (!mBufferFree[b])
                continue;
            unsigned int n = 0;
            mSpooler->StreamToBuffer(kBufferBytes, sOpenALBuffer, &n, mLoop);
            const auto& source = mSpooler->GetSource();
            const int channels = source ? source->GetChannels() : 1;
            // OpenAL takes whole sample frames only.
            n -= n % (channels == 1 ? 2u : 4u);
            if (n == 0) {
                mExhausted = true;
                break;
            }
            alBufferData(mBuffers[b], channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, sOpenALBuffer,
                         static_cast<ALsizei>(n), source->GetBitRate());
            alSourceQueueBuffers(mSource, 1, &mBuffers[b]);
            if (ReportALError())
                continue;
            mBufferFree[b] = false;
            queued = true;
        }
    }
    // A source whose queue ran dry before this refill has stopped: start it again.
    if (queued && mPlaying && !mPaused) {
        ALint state = 0;
        alGetSourcei(mSource, AL_SOURCE_STATE, &state);
        if (state == AL_STOPPED) {
            alSourcePlay(mSource);
            ReportALError();
        }
    }
    mComplete = mBufferFree[0] && mBufferFree[1];
    return !mComplete;
}

void TSoundStreamData::Pause()
{
    TSoundLock lock;
    if (mPaused)
        return;
    if (mHasSource) {
        alSourcePause(mSource);
        ReportALError();
    }
    mPaused = true;
}

void TSoundStreamData::Resume()
{
    TSoundLock lock;
    if (!mPaused)
        return;
    if (mHasSource) {
        alSourcePlay(mSource);
        ReportALError();
    }
    mPaused = false;
}

void TSoundStreamData::SetVolume(float volume)
{
    TSoundLock lock;
    if (!mHasSource)
        return;
    alSourcef(mSource, AL_GAIN, volume);
    ReportALError();
}

void TSoundStreamData::Destroy()
{
    TSoundLock lock;
    if (mHasSource) {
        mBufferFree[0] = mBufferFree[1] = true;
        alSourceStop(mSource);
        ReportALError();
        alDeleteSources(1, &mSource);
        ReportALError();
        mHasSource = false;
        mSource = 0;
    }
    if (mHasBuffers) {
        alDeleteBuffers(2, mBuffers);
        ReportALError();
        mHasBuffers = false;
        mBuffers[0] = mBuffers[1] = 0;
    }
    mPlaying = false;
    mPaused = false;
}

void TSoundStreamData::SetStreamSpooler(TStreamSpooler* spooler)
{
    TSoundLock lock;
    mComplete = false;
    mExhausted = false;
    mSpooler = spooler;
    if (mSpooler)
        mSpooler->Reset();
}
