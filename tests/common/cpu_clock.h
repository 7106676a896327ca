#pragma once
// Seconds of processor time the calling thread has used: a bound on work that other load on the
// machine does not stretch, as it stretches time on the wall clock.
//   const double start = ThreadCpuSeconds();
//   ...
//   EXPECT_LT(ThreadCpuSeconds() - start, 1.0 * kCpuBoundScale);

#include <ctime>

// Unoptimised code under the address checker runs several times slower: bounds scale with it.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kCpuBoundScale = 8.0;
#else
constexpr double kCpuBoundScale = 1.0;
#endif

inline double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
