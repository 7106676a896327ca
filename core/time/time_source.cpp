#include "core/time/time_source.h"

#include <chrono>

namespace {

uint32_t MonotonicMillis()
{
    using namespace std::chrono;
    static const steady_clock::time_point origin = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - origin).count());
}

TimeSource& Source()
{
    static TimeSource source;
    return source;
}

}  // namespace

uint32_t TimerNow()
{
    const TimeSource& s = Source();
    return s ? s() : MonotonicMillis();
}

void SetTimeSource(TimeSource source)
{
    Source() = std::move(source);
}
