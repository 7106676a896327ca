#include "online/http/http_data.h"

#include <curl/curl.h>

#include <mutex>
#include <system_error>
#include <thread>

#include "core/debug/debug_log.h"

namespace {
void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
}  // namespace

THttpData::THttpData(const char* url, const char* outFile, const char* args, bool post, long timeoutMs)
    : mUrl(url ? url : ""), mOutFile(outFile ? outFile : ""), mArgs(args ? args : ""), mPost(post)
{
    GlobalInit();

    if (!mOutFile.empty()) {
        mFile = std::fopen(mOutFile.c_str(), "wb");
        if (!mFile) {
            WriteDbg("HTTP: cannot open output file %s", mOutFile.c_str());
            mStatus = kOutputFileFailed;
            return;
        }
    }

    mEasy = curl_easy_init();
    mMulti = curl_multi_init();
    if (!mEasy || !mMulti) {
        WriteDbg("HTTP: cannot create a transfer for %s", mUrl.c_str());
        Finish(kFailed);
        return;
    }

    std::string address = mPost ? mUrl : mUrl + mArgs;
    curl_easy_setopt(mEasy, CURLOPT_URL, address.c_str());
    // The address may come from a data file: plain web transfers only, no redirects.
    curl_easy_setopt(mEasy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(mEasy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(mEasy, CURLOPT_USERAGENT, "zvlib/Mac");
    curl_easy_setopt(mEasy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(mEasy, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(mEasy, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(mEasy, CURLOPT_WRITEFUNCTION, &THttpData::WriteCallback);
    curl_easy_setopt(mEasy, CURLOPT_WRITEDATA, this);
    if (mPost) {
        curl_easy_setopt(mEasy, CURLOPT_POSTFIELDSIZE, static_cast<long>(mArgs.size()));
        curl_easy_setopt(mEasy, CURLOPT_COPYPOSTFIELDS, mArgs.c_str());
        // No round trip waiting for a go-ahead before the body.
        mHeaders = curl_slist_append(nullptr, "Expect:");
        curl_easy_setopt(mEasy, CURLOPT_HTTPHEADER, mHeaders);
    } else {
        curl_easy_setopt(mEasy, CURLOPT_HTTPGET, 1L);
    }

    if (curl_multi_add_handle(mMulti, mEasy) != CURLM_OK) {
        WriteDbg("HTTP: cannot start the transfer for %s", mUrl.c_str());
        Finish(kFailed);
    }
}

void THttpData::Discard(std::unique_ptr<THttpData> transfer)
{
    if (!transfer || !transfer->mEasy)
        return;
    // Nobody waits for it: the handles are its alone, and it ends with the lookup.
    try {
        std::thread([doomed = std::move(transfer)] {}).detach();
    } catch (const std::system_error&) {
        WriteDbg("HTTP: no thread to release an abandoned request; releasing it here");
    }
}

THttpData::~THttpData()
{
    Finish(mStatus == kRunning ? kFailed : mStatus);
}

void THttpData::Finish(int status)
{
    mStatus = status;
    if (mMulti && mEasy)
        curl_multi_remove_handle(mMulti, mEasy);
    if (mEasy)
        curl_easy_cleanup(mEasy);
    if (mMulti)
        curl_multi_cleanup(mMulti);
    if (mHeaders)
        curl_slist_free_all(mHeaders);
    mEasy = nullptr;
    mMulti = nullptr;
    mHeaders = nullptr;
    if (mFile) {
        if (std::fclose(mFile) != 0 && mStatus == kFinished) {
            WriteDbg("HTTP: cannot write output file %s", mOutFile.c_str());
            mStatus = kFailed;
        }
        mFile = nullptr;
    }
}

int THttpData::Poll()
{
    if (mStatus != kRunning)
        return mStatus;

    int running = 0;
    if (curl_multi_perform(mMulti, &running) != CURLM_OK) {
        WriteDbg("HTTP: transfer error for %s", mUrl.c_str());
        Finish(kFailed);
        return mStatus;
    }

    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(mMulti, &queued)) {
        if (msg->msg != CURLMSG_DONE || msg->easy_handle != mEasy)
            continue;
        if (msg->data.result == CURLE_OK) {
            // Whatever the status, the body is the reply: the caller judges an error page.
            curl_easy_getinfo(mEasy, CURLINFO_RESPONSE_CODE, &mResponseCode);
            Finish(kFinished);
        } else {
            WriteDbg("HTTP: request to %s failed: %s", mUrl.c_str(), curl_easy_strerror(msg->data.result));
            Finish(kFailed);
        }
        break;
    }
    return mStatus;
}

size_t THttpData::WriteCallback(char* data, size_t size, size_t count, void* self)
{
    size_t n = size * count;
    return static_cast<THttpData*>(self)->WriteData(data, n) ? n : 0;
}

bool THttpData::WriteData(const char* data, size_t n)
{
    if (n == 0)
        return true;
    if (mFile) {
        if (std::fwrite(data, 1, n, mFile) != n)
            return false;
    } else {
        if (mBuffer.size() + n > kMaxBodyInMemory) {
            WriteDbg("HTTP: reply from %s is larger than %u bytes; dropped", mUrl.c_str(), kMaxBodyInMemory);
            return false;
        }
        mBuffer.append(data, n);
    }
    mReceived += static_cast<unsigned>(n);
    return true;
}
