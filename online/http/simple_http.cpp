#include "online/http/simple_http.h"

#include <atomic>
#include <cstdio>

#include "online/http/http_data.h"

namespace {
std::atomic<long> gDefaultTimeoutMs{TSimpleHttp::kDefaultTimeoutMs};

const char* EscapeOf(unsigned char c)
{
    switch (c) {
    case ' ': return "%20";
    case '"': return "%22";
    case '#': return "%23";
    case '$': return "%24";
    case '%': return "%25";
    case '&': return "%26";
    case '+': return "%2B";
    case ',': return "%2C";
    case '/': return "%2F";
    case ':': return "%3A";
    case ';': return "%3B";
    case '<': return "%3C";
    case '=': return "%3D";
    case '>': return "%3E";
    case '?': return "%3F";
    case '@': return "%40";
    case '[': return "%5B";
    case '\\': return "%5C";
    case ']': return "%5D";
    case '^': return "%5E";
    case '`': return "%60";
    case '{': return "%7B";
    case '|': return "%7C";
    case '}': return "%7D";
    default: return nullptr;
    }
}
}  // namespace

TSimpleHttp::TSimpleHttp() : mTimeoutMs(gDefaultTimeoutMs.load()) {}

void TSimpleHttp::SetDefaultTimeout(long ms)
{
    gDefaultTimeoutMs = ms;
}

TSimpleHttp::~TSimpleHttp()
{
    Abandon();
}

void TSimpleHttp::Abandon()
{
    THttpData::Discard(std::move(mRequest));
}

void TSimpleHttp::Init(const char* url, bool post, const char* outFile)
{
    mUrl = url ? url : "";
    mPost = post;
    mOutFile = outFile ? outFile : "";
    mArgs.clear();
    mFirstArg = true;
    Abandon();
}

void TSimpleHttp::EscapeValue(std::string& out, const char* value)
{
    if (!value)
        return;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p) {
        const char* esc = EscapeOf(*p);
        if (esc)
            out += esc;
        else
            out += static_cast<char>(*p);
    }
}

void TSimpleHttp::AddArg(const char* name, const char* value)
{
    if (!mFirstArg)
        mArgs += '&';
    else if (!mPost)
        mArgs += '?';
    mArgs += name ? name : "";
    mArgs += '=';
    EscapeValue(mArgs, value);
    mFirstArg = false;
}

void TSimpleHttp::AddArg(const char* name, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    AddArg(name, text);
}

void TSimpleHttp::DoRequest(int)
{
    Abandon();
    mRequest = std::make_unique<THttpData>(mUrl.c_str(), mOutFile.c_str(), mArgs.c_str(), mPost, mTimeoutMs);
}

int TSimpleHttp::GetStatus()
{
    if (!mRequest)
        return kFailed;
    return mRequest->Poll();
}

const char* TSimpleHttp::GetContents() const
{
    if (!mRequest || mRequest->GetStatus() != kFinished)
        return nullptr;
    return mRequest->GetBuffer();
}

long TSimpleHttp::GetResponseCode() const
{
    return mRequest && mRequest->GetStatus() == kFinished ? mRequest->GetResponseCode() : 0;
}
