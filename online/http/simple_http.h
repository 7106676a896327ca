#pragma once
// A small HTTP client: collects an address and escaped arguments, runs one GET or POST
// without blocking, and is polled for the result once per frame.

#include <memory>
#include <string>

class THttpData;

class TSimpleHttp
{
public:
    // Status values of GetStatus.
    static constexpr int kRunning = 0;
    static constexpr int kFinished = 1;
    static constexpr int kFailed = 2;
    static constexpr int kOutputFileFailed = 3;

    // A transfer that takes longer than this (connection included) fails.
    static constexpr long kDefaultTimeoutMs = 30000;

    TSimpleHttp();
    virtual ~TSimpleHttp();
    TSimpleHttp(const TSimpleHttp&) = delete;
    TSimpleHttp& operator=(const TSimpleHttp&) = delete;

    // Starts a new request description and abandons the current request.
    void Init(const char* url, bool post, const char* outFile = nullptr);
    void AddArg(const char* name, const char* value);
    void AddArg(const char* name, int value);
    // Abandons the current request and starts a new one; the argument is not used.
    void DoRequest(int unused = 0);

    // 0 running, 1 finished, 2 failed or no request, 3 the output file could not be opened.
    // Each call moves the transfer on by one non-blocking step.
    int GetStatus();
    // The received body when the request finished; null otherwise. Valid until the next
    // Init, DoRequest or the client's destruction.
    const char* GetContents() const;
    // The HTTP status of the finished request's reply, error pages included; 0 otherwise.
    long GetResponseCode() const;

    // Time limit of the requests started after the call; for every client when set through
    // SetDefaultTimeout.
    void SetTimeout(long ms) { mTimeoutMs = ms; }
    static void SetDefaultTimeout(long ms);

    // The argument text built so far: the POST body, or what follows the address of a GET.
    const std::string& GetArgs() const { return mArgs; }

    // Appends value to out with the client's escapes.
    static void EscapeValue(std::string& out, const char* value);

private:
    void Abandon();

    std::string mUrl;
    std::string mArgs;
    std::string mOutFile;
    bool mFirstArg = true;
    bool mPost = false;
    long mTimeoutMs;
    std::unique_ptr<THttpData> mRequest;
};
