// Abandoning a request whose name lookup has not answered returns at once: the main thread
// never waits for the network. The lookup is this program's own: getaddrinfo is replaced
// here, and for one test-only name it waits until the test lets it go.

#include "online/http/simple_http.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

#include "../support/test_score_server.h"

namespace {
constexpr const char* kHangingHost = "lookup.hangs.test";

std::mutex gMutex;
std::condition_variable gChanged;
int gWaiting = 0;
bool gReleased = true;

bool LookupIsWaiting()
{
    std::lock_guard lock(gMutex);
    return gWaiting > 0;
}

// Lets every held lookup go (as a failed lookup) and waits until they have.
void Release()
{
    std::unique_lock lock(gMutex);
    gReleased = true;
    gChanged.notify_all();
    gChanged.wait_for(lock, std::chrono::seconds(5), [] { return gWaiting == 0; });
}
}  // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result)
{
    if (node && std::strcmp(node, kHangingHost) == 0) {
        std::unique_lock lock(gMutex);
        ++gWaiting;
        gChanged.notify_all();
        gChanged.wait(lock, [] { return gReleased; });
        --gWaiting;
        gChanged.notify_all();
        return EAI_NONAME;
    }
    using Real = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return real(node, service, hints, result);
}

namespace {
struct AbandonCase
{
    const char* name;
    std::function<void(std::unique_ptr<TSimpleHttp>&)> abandon;
};

void PrintTo(const AbandonCase& c, std::ostream* os)
{
    *os << c.name;
}

class AbandonHangingLookup : public ::testing::TestWithParam<AbandonCase>
{
};

TEST_P(AbandonHangingLookup, ReturnsAtOnce)
{
    {
        std::lock_guard lock(gMutex);
        gReleased = false;
    }
    // Without the mend the abandon waits for the lookup: let it go after a while, so that
    // the test fails rather than hangs.
    std::thread watchdog([] {
        std::unique_lock lock(gMutex);
        if (!gChanged.wait_for(lock, std::chrono::seconds(3), [] { return gReleased; })) {
            gReleased = true;
            gChanged.notify_all();
        }
    });
    auto http = std::make_unique<TSimpleHttp>();
    http->Init((std::string("http://") + kHangingHost + "/go/hiscore").c_str(), false);
    http->DoRequest();
    ASSERT_TRUE(PollUntil([&] { return http->GetStatus() == TSimpleHttp::kRunning && LookupIsWaiting(); }, 3000));

    const auto start = std::chrono::steady_clock::now();
    GetParam().abandon(http);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(LookupIsWaiting()) << "the lookup ended before the abandon returned";
    EXPECT_LT(took, std::chrono::milliseconds(500));

    Release();
    watchdog.join();
    http.reset();
}

INSTANTIATE_TEST_SUITE_P(
    Http, AbandonHangingLookup,
    ::testing::Values(AbandonCase{"Init", [](std::unique_ptr<TSimpleHttp>& h) { h->Init("http://127.0.0.1/", false); }},
                      AbandonCase{"NewRequest", [](std::unique_ptr<TSimpleHttp>& h) { h->DoRequest(); }},
                      AbandonCase{"Destructor", [](std::unique_ptr<TSimpleHttp>& h) { h.reset(); }}),
    [](const ::testing::TestParamInfo<AbandonCase>& info) { return std::string(info.param.name); });
}  // namespace
