#include "test_score_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace {
// Proxies from the environment must never carry the tests' requests elsewhere.
const bool gProxiesCleared = [] {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(name);
    return true;
}();

int Listener(int* port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("socket");
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        throw std::runtime_error("bind");
    }
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

bool ReadMore(int fd, std::string& data)
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 3000) <= 0)
        return false;
    char buf[4096];
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0)
        return false;
    data.append(buf, static_cast<size_t>(n));
    return true;
}

void SendAll(int fd, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

const char* Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}
}  // namespace

TestReply TestReply::Xml(std::string body)
{
    TestReply r;
    r.body = std::move(body);
    return r;
}

TestReply TestReply::Error500(std::string body)
{
    TestReply r;
    r.status = 500;
    r.contentType = "text/html";
    r.body = std::move(body);
    return r;
}

TestReply TestReply::Dropped()
{
    TestReply r;
    r.drop = true;
    return r;
}

TestReply TestReply::Delayed(int ms, std::string body)
{
    TestReply r = Xml(std::move(body));
    r.delayMs = ms;
    return r;
}

TestScoreServer::TestScoreServer()
{
    (void)gProxiesCleared;
    mListen = Listener(&mPort);
    listen(mListen, 16);
    mDefault.status = 404;
    mDefault.body = "no reply scripted";
    mDefault.contentType = "text/plain";
    mThread = std::thread([this] { Run(); });
}

TestScoreServer::~TestScoreServer()
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStop = true;
    }
    mThread.join();
    close(mListen);
}

std::string TestScoreServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(mPort) + path;
}

void TestScoreServer::QueueReply(TestReply reply)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mQueue.push_back(std::move(reply));
}

void TestScoreServer::SetDefaultReply(TestReply reply)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mDefault = std::move(reply);
}

std::vector<RecordedRequest> TestScoreServer::Requests() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

size_t TestScoreServer::RequestCount() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests.size();
}

bool TestScoreServer::WaitForRequests(size_t n, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(mMutex);
    return mArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return mRequests.size() >= n; });
}

int TestScoreServer::ClosedPort()
{
    int port = 0;
    int fd = Listener(&port);
    close(fd);
    return port;
}

bool TestScoreServer::SleepUnlessStopped(int ms)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (mStop)
                return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void TestScoreServer::Run()
{
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (mStop)
                return;
        }
        pollfd p{mListen, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0)
            continue;
        int fd = accept4(mListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        Serve(fd);
        close(fd);
    }
}

void TestScoreServer::Serve(int fd)
{
    std::string data;
    size_t headerEnd;
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos)
        if (!ReadMore(fd, data))
            return;

    RecordedRequest req;
    std::string head = data.substr(0, headerEnd);
    size_t lineEnd = head.find("\r\n");
    std::string requestLine = head.substr(0, lineEnd);
    size_t sp1 = requestLine.find(' ');
    size_t sp2 = requestLine.find(' ', sp1 + 1);
    req.method = requestLine.substr(0, sp1);
    req.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    size_t pos = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
    while (pos < head.size()) {
        size_t e = head.find("\r\n", pos);
        if (e == std::string::npos)
            e = head.size();
        std::string line = head.substr(pos, e - pos);
        size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            size_t v = line.find_first_not_of(' ', colon + 1);
            req.headers[name] = v == std::string::npos ? "" : line.substr(v);
        }
        pos = e + 2;
    }

    size_t length = 0;
    if (auto it = req.headers.find("content-length"); it != req.headers.end())
        length = std::strtoul(it->second.c_str(), nullptr, 10);
    std::string rest = data.substr(headerEnd + 4);
    while (rest.size() < length)
        if (!ReadMore(fd, rest))
            break;
    req.body = rest.substr(0, length);

    TestReply reply;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mRequests.push_back(req);
        if (!mQueue.empty()) {
            reply = mQueue.front();
            mQueue.pop_front();
        } else {
            reply = mDefault;
        }
    }
    mArrived.notify_all();

    if (reply.delayMs > 0 && !SleepUnlessStopped(reply.delayMs))
        return;
    if (reply.drop)
        return;
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) + "\r\n";
    out += "Content-Type: " + reply.contentType + "\r\n";
    out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    out += reply.body;
    SendAll(fd, out);
}

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> ParseFormBody(const std::string& body)
{
    std::vector<std::pair<std::string, std::string>> out;
    size_t pos = 0;
    while (pos <= body.size() && !body.empty()) {
        size_t amp = body.find('&', pos);
        if (amp == std::string::npos)
            amp = body.size();
        std::string pair = body.substr(pos, amp - pos);
        size_t eq = pair.find('=');
        if (eq == std::string::npos)
            out.emplace_back(PercentDecode(pair), "");
        else
            out.emplace_back(PercentDecode(pair.substr(0, eq)), PercentDecode(pair.substr(eq + 1)));
        pos = amp + 1;
    }
    return out;
}
