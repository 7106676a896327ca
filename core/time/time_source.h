#pragma once
// The engine's millisecond clock. The platform installs its own source when it starts; tests
// install a fake one so that nothing has to sleep.
//   uint32_t t = TimerNow();
//   SetTimeSource([] { return fakeNow; });   // SetTimeSource(nullptr) restores the default

#include <cstdint>
#include <functional>

using TimeSource = std::function<uint32_t()>;

// Milliseconds from the installed source; by default a monotonic clock counted from the
// first call, so wall-clock changes never stall timed tasks. Wraps after 49.7 days.
uint32_t TimerNow();
void SetTimeSource(TimeSource source);
