#include "sound/manager/completion_queue.h"

#include <deque>

#include "sound/manager/sound.h"
#include "sound/manager/sound_callback.h"
#include "sound/manager/sound_instance.h"
#include "sound/manager/sound_manager_mutex.h"

namespace {

struct TPending
{
    TSoundCallBack* callback;
    std::shared_ptr<TSoundInstance> instance;
    std::shared_ptr<TSound> next;
};

// Guarded by the manager's mutex; never destroyed, like the mutex.
std::deque<TPending>& Pending()
{
    static auto* pending = new std::deque<TPending>;
    return *pending;
}

}  // namespace

namespace SoundCompletions {

void Post(TSoundCallBack* callback, std::shared_ptr<TSoundInstance> instance, std::shared_ptr<TSound> next)
{
    TSoundLock lock;
    Pending().push_back({callback, std::move(instance), std::move(next)});
}

void Forget(TSoundCallBack* callback)
{
    TSoundLock lock;
    std::erase_if(Pending(), [callback](const TPending& p) { return p.callback == callback; });
}

void Deliver()
{
    TSoundLock lock;
    // One at a time: a callback may post, forget or destroy other callbacks.
    while (!Pending().empty()) {
        TPending next = std::move(Pending().front());
        Pending().pop_front();
        next.callback->OnComplete(std::move(next.instance), std::move(next.next));
    }
}

void Clear()
{
    std::deque<TPending> dropped;
    TSoundLock lock;
    dropped.swap(Pending());
}

std::size_t PendingCount()
{
    TSoundLock lock;
    return Pending().size();
}

}  // namespace SoundCompletions
