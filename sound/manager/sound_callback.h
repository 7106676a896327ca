#pragma once
// Told when a sound instance has finished. May be destroyed before the sounds it watches;
// it then detaches itself from them and is never called again. OnComplete runs on the main
// thread holding the manager's mutex: for a sound that ran to its end on the sound thread,
// at the manager's next HandleNotifications. It may play, chain or stop sounds.

#include <memory>
#include <set>

class TSound;
class TSoundInstance;

class TSoundCallBack
{
public:
    TSoundCallBack() = default;
    virtual ~TSoundCallBack();
    TSoundCallBack(const TSoundCallBack&) = delete;
    TSoundCallBack& operator=(const TSoundCallBack&) = delete;

    // `next` is the chained next sound, or empty.
    virtual void OnComplete(std::shared_ptr<TSoundInstance> instance, std::shared_ptr<TSound> next) = 0;

    // Instances this callback is attached to (for checks).
    std::size_t AttachedCount() const;

private:
    friend class TSound;
    friend class TSoundData;

    std::set<std::weak_ptr<TSoundInstance>, std::owner_less<std::weak_ptr<TSoundInstance>>> mInstances;
};
