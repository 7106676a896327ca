#pragma once
// One HTTP transfer, advanced a step at a time on the caller's thread.

#include <cstdio>
#include <memory>
#include <string>

typedef void CURL;
typedef void CURLM;

class THttpData
{
public:
    // A reply kept in memory never grows past this; a larger one fails the request.
    static constexpr unsigned kMaxBodyInMemory = 16u << 20;

    enum EStatus
    {
        kRunning = 0,
        kFinished = 1,
        kFailed = 2,
        kOutputFileFailed = 3,
    };

    // Starts the transfer. outFile empty keeps the body in memory. timeoutMs bounds the whole
    // transfer, connection included; a transfer over time fails.
    THttpData(const char* url, const char* outFile, const char* args, bool post, long timeoutMs);
    ~THttpData();
    THttpData(const THttpData&) = delete;
    // Destroys a transfer the caller no longer wants without waiting: releasing one still in
    // progress waits for its pending name lookup, so that happens on a thread of its own.
    static void Discard(std::unique_ptr<THttpData> transfer);
    THttpData& operator=(const THttpData&) = delete;

    // Moves the transfer on as far as it goes without waiting, then answers the status.
    int Poll();
    int GetStatus() const { return mStatus; }

    // The body received so far, always zero-terminated.
    const char* GetBuffer() const { return mBuffer.c_str(); }
    unsigned GetReceived() const { return mReceived; }
    // The reply's HTTP status once finished; 0 before.
    long GetResponseCode() const { return mResponseCode; }

private:
    static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
    bool WriteData(const char* data, size_t n);
    void Finish(int status);

    std::string mUrl;
    std::string mOutFile;
    std::string mArgs;
    bool mPost;
    int mStatus = kRunning;
    unsigned mReceived = 0;
    long mResponseCode = 0;
    std::string mBuffer;
    FILE* mFile = nullptr;
    CURL* mEasy = nullptr;
    CURLM* mMulti = nullptr;
    struct curl_slist* mHeaders = nullptr;
};
