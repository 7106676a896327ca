#pragma once
// Completions of sounds that ran to their end on the sound thread, held until the main
// thread's notification pass delivers them. A callback is then only ever called on the main
// thread, so it may reach the asset manager and the file layer (which have no lock), and it
// cannot be called while another thread destroys it.

#include <cstddef>
#include <memory>

class TSound;
class TSoundCallBack;
class TSoundInstance;

namespace SoundCompletions {

void Post(TSoundCallBack* callback, std::shared_ptr<TSoundInstance> instance, std::shared_ptr<TSound> next);
// Drops what is pending for a callback that is going away.
void Forget(TSoundCallBack* callback);
// Calls OnComplete for everything pending, oldest first, holding the manager's mutex.
void Deliver();
// Drops everything pending (the manager is shutting down: no callback is called).
void Clear();
std::size_t PendingCount();

}  // namespace SoundCompletions
