#pragma once
// A test that needs a peer this machine may lack (the reference interpreter, an OpenAL back
// end, an SDL video driver) skips without it; under CI (the CI variable set to anything but
// "", "0" or "false") the set-up script installs every peer, so a missing one is a failure.
//   if (!host.IsReady()) TV_SKIP_WITHOUT_PEER("no SDL video driver");

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tvtest {

inline bool UnderCi()
{
    const char* ci = std::getenv("CI");
    const std::string value = ci ? ci : "";
    return !value.empty() && value != "0" && value != "false";
}

}  // namespace tvtest

// Returns from the test (or SetUp) it is used in.
#define TV_SKIP_WITHOUT_PEER(why)                                                                                      \
    do {                                                                                                               \
        if (::tvtest::UnderCi())                                                                                       \
            GTEST_FAIL() << why << " (a peer the CI set-up installs)";                                                 \
        else                                                                                                           \
            GTEST_SKIP() << why;                                                                                       \
    } while (0)
