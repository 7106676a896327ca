#pragma once
// Owns sound output for the whole process: the OpenAL device and context, the list of
// playing streams, the master and per-type volumes, and the sound thread that keeps streams
// fed. The platform object creates the one instance and calls Init, HandleNotifications
// (every event poll) and AppActivate; the game sets volumes and pauses or kills by type.
// A sound type is a sound's group; -1 means every type.

#include <atomic>
#include <cstddef>
#include <memory>

class TSoundManagerData;
class TSoundStream;

class TSoundManager
{
public:
    enum class eDevice
    {
        kDefault,   // the system's default output
        kLoopback,  // renders only when asked (RenderLoopback), for checks of what is heard
    };

    // Opens the default device; without one the game runs silently.
    TSoundManager();
    explicit TSoundManager(eDevice device, int loopbackRate = 44100);
    ~TSoundManager();
    TSoundManager(const TSoundManager&) = delete;
    TSoundManager& operator=(const TSoundManager&) = delete;

    // The manager sounds play through: the one most recently constructed and still alive.
    static TSoundManager* GetInstance();

    // Starts the sound thread once; true also when already initialised. Without the thread
    // (startThread false) the owner runs InternalHandleNotifications itself.
    bool Init(bool startThread = true);

    // Adds a stream (owned by a shared pointer) to the list of playing streams.
    bool RegisterStream(TSoundStream* stream);
    void StopStream(const std::shared_ptr<TSoundStream>& stream);
    // Moves a listed stream to the delayed releases, freed at the next main-thread pass.
    void StopStreamDelayed(const std::shared_ptr<TSoundStream>& stream);

    // Main-thread pass: frees delayed releases, reports sounds that ended by chaining, and
    // delivers the completions of sounds that ended on the sound thread.
    void HandleNotifications();
    // Sound-thread pass: refills every stream and reports streams that ran to their end.
    void InternalHandleNotifications(bool);

    void SetVolume(float volume);
    // master x the type's volume; the master alone for a type never given one (and for -1).
    float GetVolume(int type);
    void SetTypeVolume(int type, float volume);
    void SetStreamVolume(const std::shared_ptr<TSoundStream>& stream);
    void UpdateAllVolumes();
    void PauseAllSounds(bool pause, int type);
    void KillAllSounds(int type);
    void AppActivate(bool active);

    bool IsInitialised() const { return mInitialised; }
    bool IsShuttingDown() const { return mShuttingDown; }
    bool IsAppActive() const { return mAppActive; }
    bool HasSoundThread() const;
    // Whether a device and context were made; false means every sound is silent.
    bool HasOutput() const;
    std::size_t StreamCount() const;
    std::size_t DelayedReleaseCount() const;
    // Loopback device only: mixes `frames` stereo float frames into dst. False otherwise.
    bool RenderLoopback(float* dst, int frames);

private:
    std::unique_ptr<TSoundManagerData> mData;
    std::atomic<bool> mInitialised{false};
    std::atomic<bool> mShuttingDown{false};
    bool mAppActive = true;
};
