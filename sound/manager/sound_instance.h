#pragma once
// The caller's handle on one playback of a sound. Its stream pointer is cleared when the
// stream goes, so it is null once playback is over. Fields change under the manager's mutex.

#include <memory>

class TSound;
class TSoundCallBack;
class TSoundStream;

class TSoundInstance : public std::enable_shared_from_this<TSoundInstance>
{
public:
    explicit TSoundInstance(TSoundStream* stream) : mStream(stream) {}

    // Forwards to the sound it plays, if that still exists.
    void SetCompleteAction(TSoundCallBack* callback, const std::shared_ptr<TSound>& next);

    // Null once playback is over.
    TSoundStream* GetStream() const;
    bool IsPlaying() const { return GetStream() != nullptr; }
    // After a chained switch, the next sound.
    std::shared_ptr<TSound> GetSound() const;
    std::shared_ptr<TSound> GetNext() const;
    TSoundCallBack* GetCallBack() const;

private:
    friend class TSound;
    friend class TSoundData;
    friend class TSoundStream;
    friend class TSoundCallBack;

    // The stream switched to the chained sound.
    void MoveToNextSound(TSoundStream* stream);

    TSoundStream* mStream;  // not owned
    std::weak_ptr<TSound> mSound;
    std::weak_ptr<TSound> mNext;
    TSoundCallBack* mCallback = nullptr;  // not owned
};
