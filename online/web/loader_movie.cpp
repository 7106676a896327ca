#include "online/web/loader_movie.h"

#include <cstring>
#include <string>

namespace {

// Frame size in twips: 800 × 600 pixels.
constexpr uint32_t kWidthTwips = 16000;
constexpr uint32_t kHeightTwips = 12000;
constexpr uint16_t kFrameCount = 3;

enum : uint16_t
{
    kTagEnd = 0,
    kTagShowFrame = 1,
    kTagSetBackgroundColor = 9,
    kTagDoAction = 12,
    kTagMetadata = 77,
};

enum : uint8_t
{
    kActionEnd = 0x00,
    kActionPlay = 0x06,
    kActionStop = 0x07,
    kActionLess = 0x0F,
    kActionNot = 0x12,
    kActionGetVariable = 0x1C,
    kActionGetProperty = 0x22,
    kActionGotoFrame = 0x81,
    kActionPush = 0x96,
    kActionJump = 0x99,
    kActionGetUrl2 = 0x9A,
    kActionIf = 0x9D,
};

enum : uint8_t
{
    kPropertyCurrentFrame = 4,
    kPropertyTotalFrames = 5,
};

using TBytes = std::vector<uint8_t>;

void Put16(TBytes& out, uint16_t v)
{
    out.push_back(uint8_t(v & 0xff));
    out.push_back(uint8_t(v >> 8));
}

void Put32(TBytes& out, uint32_t v)
{
    Put16(out, uint16_t(v & 0xffff));
    Put16(out, uint16_t(v >> 16));
}

class TBitWriter
{
public:
    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (mUsed == 0)
                mBytes.push_back(0);
            if ((value >> i) & 1)
                mBytes.back() |= uint8_t(0x80 >> mUsed);
            mUsed = (mUsed + 1) % 8;
        }
    }
    const TBytes& Bytes() const { return mBytes; }

private:
    TBytes mBytes;
    int mUsed = 0;
};

void PutTag(TBytes& out, uint16_t code, const TBytes& body)
{
    if (body.size() < 0x3f) {
        Put16(out, uint16_t((code << 6) | body.size()));
    } else {
        Put16(out, uint16_t((code << 6) | 0x3f));
        Put32(out, uint32_t(body.size()));
    }
    out.insert(out.end(), body.begin(), body.end());
}

// Action code with forward branches patched once their targets are known.
class TActions
{
public:
    void Op(uint8_t code) { mCode.push_back(code); }
    void PushString(const char* text)
    {
        const size_t n = strlen(text);
        mCode.push_back(kActionPush);
        Put16(mCode, uint16_t(n + 2));
        mCode.push_back(0);
        mCode.insert(mCode.end(), text, text + n + 1);
    }
    void PushInt(uint32_t value)
    {
        mCode.push_back(kActionPush);
        Put16(mCode, 5);
        mCode.push_back(7);
        Put32(mCode, value);
    }
    void GetProperty(const char* target, uint8_t property)
    {
        PushString(target);
        PushInt(property);
        Op(kActionGetProperty);
    }
    void GetUrl(uint8_t flags)
    {
        mCode.push_back(kActionGetUrl2);
        Put16(mCode, 1);
        mCode.push_back(flags);
    }
    void GotoFrame(uint16_t frame)
    {
        mCode.push_back(kActionGotoFrame);
        Put16(mCode, 2);
        Put16(mCode, frame);
    }
    // A branch whose target is set later by Land; returns its handle.
    size_t Branch(uint8_t code)
    {
        mCode.push_back(code);
        Put16(mCode, 2);
        Put16(mCode, 0);
        return mCode.size();
    }
    // The next action is where the branch goes.
    void Land(size_t branch)
    {
        const int16_t offset = int16_t(mCode.size() - branch);
        mCode[branch - 2] = uint8_t(uint16_t(offset) & 0xff);
        mCode[branch - 1] = uint8_t(uint16_t(offset) >> 8);
    }
    TBytes Done()
    {
        Op(kActionEnd);
        return mCode;
    }

private:
    TBytes mCode;
};

// Frame 1: load the movie into level 1.
TBytes LoadActions()
{
    TActions a;
    a.PushString("swf");
    a.Op(kActionGetVariable);
    a.PushString("_level1");
    a.GetUrl(0);
    return a.Done();
}

// Frame 3: once the movie in level 1 stands on its last frame, go to the end address;
// until then keep cycling through frames 2 and 3.
TBytes EndCheckActions()
{
    TActions a;
    a.PushInt(0);
    a.GetProperty("_level1", kPropertyTotalFrames);
    a.Op(kActionLess);
    a.Op(kActionNot);
    const size_t notLoaded = a.Branch(kActionIf);
    a.GetProperty("_level1", kPropertyCurrentFrame);
    a.GetProperty("_level1", kPropertyTotalFrames);
    a.Op(kActionLess);
    const size_t playing = a.Branch(kActionIf);
    a.PushString("endurl");
    a.Op(kActionGetVariable);
    a.PushString("_self");
    a.GetUrl(0);
    a.Op(kActionStop);
    const size_t done = a.Branch(kActionJump);
    a.Land(notLoaded);
    a.Land(playing);
    a.GotoFrame(1);
    a.Op(kActionPlay);
    a.Land(done);
    return a.Done();
}

TBytes BuildLoader()
{
    TBitWriter frame;
    frame.Put(15, 5);
    frame.Put(0, 15);
    frame.Put(kWidthTwips, 15);
    frame.Put(0, 15);
    frame.Put(kHeightTwips, 15);

    TBytes out = {'F', 'W', 'S', 6};
    Put32(out, uint32_t(kLoaderMovieSize));
    out.insert(out.end(), frame.Bytes().begin(), frame.Bytes().end());
    out.push_back(0);  // frame rate, fraction
    out.push_back(kLoaderFrameRate);
    Put16(out, kFrameCount);

    PutTag(out, kTagSetBackgroundColor, TBytes{0, 0, 0});
    PutTag(out, kTagDoAction, LoadActions());
    PutTag(out, kTagShowFrame, {});
    PutTag(out, kTagShowFrame, {});
    PutTag(out, kTagDoAction, EndCheckActions());
    PutTag(out, kTagShowFrame, {});

    // The file has a fixed size; players skip a metadata block they do not read.
    const size_t tail = 6 + 2;  // long tag header, end tag
    if (out.size() + tail < kLoaderMovieSize) {
        const size_t room = kLoaderMovieSize - out.size() - tail;
        std::string pad = "<!--" + std::string(room - 8, ' ') + "-->";
        TBytes body(pad.begin(), pad.end());
        body.push_back(0);
        PutTag(out, kTagMetadata, body);
    }
    PutTag(out, kTagEnd, {});
    return out;
}

}  // namespace

const std::vector<uint8_t>& LoaderMovie()
{
    static const TBytes movie = BuildLoader();
    return movie;
}

uint8_t LoaderFrameRateFor(const str& moviePath)
{
    if (moviePath.find("intro.swf") != str::npos || moviePath.find("outro.swf") != str::npos)
        return kSlowLoaderFrameRate;
    return kLoaderFrameRate;
}
