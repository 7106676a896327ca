#pragma once
// A scripted HTTP server on 127.0.0.1 for the online tests: answers each request with the next
// queued reply (or the default one), records what it received, and can delay, fail or drop.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TestReply
{
    int status = 200;
    std::string body;
    std::string contentType = "text/xml";
    int delayMs = 0;
    bool drop = false;  // close the connection without answering

    static TestReply Xml(std::string body);
    static TestReply Error500(std::string body = "<html>Internal Server Error</html>");
    static TestReply Dropped();
    static TestReply Delayed(int ms, std::string body);
};

struct RecordedRequest
{
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers;  // names lower-cased
    std::string body;
};

class TestScoreServer
{
public:
    TestScoreServer();
    ~TestScoreServer();
    TestScoreServer(const TestScoreServer&) = delete;
    TestScoreServer& operator=(const TestScoreServer&) = delete;

    int Port() const { return mPort; }
    std::string Url(const std::string& path = "/go/hiscore") const;

    void QueueReply(TestReply reply);
    void SetDefaultReply(TestReply reply);

    std::vector<RecordedRequest> Requests() const;
    size_t RequestCount() const;
    // Waits until at least n requests have arrived; false on time-out.
    bool WaitForRequests(size_t n, int timeoutMs = 5000) const;

    // A port on 127.0.0.1 that nobody listens on.
    static int ClosedPort();

private:
    void Run();
    void Serve(int fd);
    bool SleepUnlessStopped(int ms);

    int mListen = -1;
    int mPort = 0;
    bool mStop = false;
    mutable std::mutex mMutex;
    mutable std::condition_variable mArrived;
    std::deque<TestReply> mQueue;
    TestReply mDefault;
    std::vector<RecordedRequest> mRequests;
    std::thread mThread;
};

// Splits an argument text ("a=1&b=x%2By") into decoded (name, value) pairs.
std::vector<std::pair<std::string, std::string>> ParseFormBody(const std::string& body);
// Undoes %XX escapes.
std::string PercentDecode(const std::string& text);

// Calls done() every millisecond until it answers true; false when timeoutMs passed first.
template <class F>
bool PollUntil(F done, int timeoutMs = 5000)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
